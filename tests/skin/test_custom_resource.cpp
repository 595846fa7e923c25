// TCustomResource with small packages made for each case: lookup by name
// without regard to case, what a missing name, undecodable data and a second
// load do to the bitmap, and packages that are missing or damaged.
#include "support/CustomResource.h"

#include "PackageFixture.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>
#include <random>

namespace {

const QColor Sentinel(0x12, 0x34, 0x56);

QImage SentinelImage()
{
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Sentinel);
    return image;
}

bool IsSentinel(const QImage &AImage)
{
    return AImage.size() == QSize(7, 5) && AImage.format() == QImage::Format_RGB32 &&
           AImage.pixelColor(3, 2) == Sentinel;
}

bool IsFilledWith(const QImage &AImage, QSize ASize, QColor AColour)
{
    if (AImage.size() != ASize)
        return false;
    for (int y = 0; y < AImage.height(); ++y)
        for (int x = 0; x < AImage.width(); ++x)
            if (AImage.pixelColor(x, y) != AColour)
                return false;
    return true;
}

class CustomResource : public ::testing::Test
{
protected:
    QString MakeSkin()
    {
        return FFixture.Build({
            {"RES_DRAWING_MENU_SAVE_N", EncodedImage({55, 55}, Qt::red)},
            {"RES_PREVIEW_MENU_LOAD_N", EncodedImage({55, 55}, Qt::green)},
            {"2x/RES_PREVIEW_MENU_LOAD_N", EncodedImage({110, 110}, Qt::blue)},
            {"RES_MENU_PREVIEW_ON", EncodedImage({80, 20}, Qt::yellow)},
            {"RES_BROKEN_N", QByteArray("this is no image at all")},
            {"RES_EMPTY_N", QByteArray()},
            {"other/RES_HIDDEN_N", EncodedImage({4, 4}, Qt::cyan)},
        });
    }

    QImage Load(const TCustomResource &ASkin, const QString &AName, qreal ARatio = 1.0)
    {
        QImage image = SentinelImage();
        ASkin.LoadFromResource(&image, AName, ARatio);
        return image;
    }

    TPackageFixture FFixture;
};

TEST_F(CustomResource, FindsNamesWithoutRegardToCase)
{
    TCustomResource skin;
    ASSERT_TRUE(skin.Open(MakeSkin()));
    for (const char *name : {"RES_DRAWING_MENU_Save_N", "RES_DRAWING_MENU_SAVE_N",
                             "res_drawing_menu_save_n", "Res_Drawing_Menu_sAVE_n"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsFilledWith(Load(skin, QLatin1String(name)), {55, 55}, Qt::red));
    }
    EXPECT_TRUE(IsFilledWith(Load(skin, "res_menu_preview_on"), {80, 20}, Qt::yellow));
}

TEST_F(CustomResource, SecondLoadReplacesTheFirstCompletely)
{
    TCustomResource skin;
    ASSERT_TRUE(skin.Open(MakeSkin()));
    QImage image;
    skin.LoadFromResource(&image, "RES_MENU_PREVIEW_ON");
    const QImage first = image;
    skin.LoadFromResource(&image, "RES_DRAWING_MENU_SAVE_N");
    EXPECT_TRUE(IsFilledWith(image, {55, 55}, Qt::red));
    skin.LoadFromResource(&image, "RES_MENU_PREVIEW_ON");
    EXPECT_EQ(image, first);
    EXPECT_TRUE(IsFilledWith(image, {80, 20}, Qt::yellow));
}

TEST_F(CustomResource, MissingNameLeavesTheBitmapAsItWas)
{
    TCustomResource skin;
    ASSERT_TRUE(skin.Open(MakeSkin()));
    // Neither an absent name, nor a folder, nor a file in another folder counts.
    for (const char *name : {"RES_PREVIEW_MENU_STOP_N", "", "2x", "other", "RES_HIDDEN_N",
                             "RES_DRAWING_MENU_SAVE_", "RES_DRAWING_MENU_SAVE_N.png"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsSentinel(Load(skin, QLatin1String(name))));
    }
    // A null bitmap is left alone too.
    skin.LoadFromResource(nullptr, "RES_DRAWING_MENU_SAVE_N");
}

TEST_F(CustomResource, UndecodableDataLeavesTheBitmapClearedToTransparent)
{
    TCustomResource skin;
    ASSERT_TRUE(skin.Open(MakeSkin()));
    for (const char *name : {"RES_BROKEN_N", "RES_EMPTY_N"}) {
        SCOPED_TRACE(name);
        const QImage image = Load(skin, QLatin1String(name));
        EXPECT_EQ(image.size(), QSize(7, 5));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_TRUE(IsTransparent(image));
    }
    QImage empty;
    skin.LoadFromResource(&empty, "RES_BROKEN_N");
    EXPECT_TRUE(empty.isNull());
}

TEST_F(CustomResource, HighDensityImageWhenAskedAndPresent)
{
    TCustomResource skin;
    ASSERT_TRUE(skin.Open(MakeSkin()));
    const QImage sharp = Load(skin, "res_preview_menu_load_n", 2.0);
    EXPECT_TRUE(IsFilledWith(sharp, {110, 110}, Qt::blue));
    EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
    // Without a 2x image the normal one is used, at its own ratio.
    const QImage fallback = Load(skin, "RES_DRAWING_MENU_SAVE_N", 2.0);
    EXPECT_TRUE(IsFilledWith(fallback, {55, 55}, Qt::red));
    EXPECT_EQ(fallback.devicePixelRatio(), 1.0);
    EXPECT_TRUE(IsFilledWith(Load(skin, "RES_PREVIEW_MENU_LOAD_N", 1.0), {55, 55}, Qt::green));
}

TEST_F(CustomResource, CompressedEntriesAreRead)
{
    const QString path =
        FFixture.Build({{"RES_ZIPPED_N", EncodedImage({40, 30}, Qt::magenta, "BMP")}},
                       {"--compress-algo", "zlib", "--threshold", "0"});
    ASSERT_FALSE(path.isEmpty());
    QFile file(path);
    ASSERT_LT(file.size(), 40 * 30 * 3) << "the fixture really is compressed";
    TCustomResource skin;
    ASSERT_TRUE(skin.Open(path));
    EXPECT_TRUE(IsFilledWith(Load(skin, "RES_ZIPPED_N"), {40, 30}, Qt::magenta));
}

TEST_F(CustomResource, ClosedSkinLoadsNothing)
{
    TCustomResource skin;
    EXPECT_FALSE(skin.IsOpen());
    EXPECT_TRUE(IsSentinel(Load(skin, "RES_DRAWING_MENU_SAVE_N")));
    ASSERT_TRUE(skin.Open(MakeSkin()));
    skin.Close();
    EXPECT_FALSE(skin.IsOpen());
    EXPECT_TRUE(IsSentinel(Load(skin, "RES_DRAWING_MENU_SAVE_N")));
}

TEST_F(CustomResource, MissingPackageDoesNotOpen)
{
    TCustomResource skin;
    EXPECT_FALSE(skin.Open(FFixture.Path("Resource.rcc")));
    EXPECT_FALSE(skin.IsOpen());
    EXPECT_FALSE(skin.Open(QString()));
    // A folder where the package should be cannot be read either.
    ASSERT_TRUE(QDir(FFixture.Path("")).mkdir("folder.rcc"));
    EXPECT_FALSE(skin.Open(FFixture.Path("folder.rcc")));
    EXPECT_FALSE(skin.IsOpen());
}

TEST_F(CustomResource, FailedOpenKeepsThePackageOpenBefore)
{
    TCustomResource skin;
    ASSERT_TRUE(skin.Open(MakeSkin()));
    EXPECT_FALSE(skin.Open(FFixture.Path("absent.rcc")));
    EXPECT_FALSE(skin.Open(FFixture.Write("junk.rcc", "qres but no more")));
    EXPECT_TRUE(IsFilledWith(Load(skin, "RES_DRAWING_MENU_SAVE_N"), {55, 55}, Qt::red));

    // A good package replaces the one open before.
    ASSERT_TRUE(skin.Open(FFixture.Build({{"RES_OTHER_N", EncodedImage({3, 3}, Qt::white)}})));
    EXPECT_TRUE(IsSentinel(Load(skin, "RES_DRAWING_MENU_SAVE_N")));
    EXPECT_TRUE(IsFilledWith(Load(skin, "RES_OTHER_N"), {3, 3}, Qt::white));
}

// Header words and tree fields of a package made by rcc (format version 3).
quint32 Word(const QByteArray &AData, int AAt)
{
    return qFromBigEndian<quint32>(AData.constData() + AAt);
}

void SetWord(QByteArray &AData, int AAt, quint32 AValue)
{
    qToBigEndian(AValue, AData.data() + AAt);
}

void SetHalf(QByteArray &AData, int AAt, quint16 AValue)
{
    qToBigEndian(AValue, AData.data() + AAt);
}

// The position of the first file among the root's children (nodes of 22 bytes).
int FirstFileNode(const QByteArray &AData)
{
    const int tree = int(Word(AData, 8));
    const int first = int(Word(AData, tree + 10));
    const int count = int(Word(AData, tree + 6));
    for (int i = first; i < first + count; ++i) {
        const int node = tree + 22 * i;
        if (!(qFromBigEndian<quint16>(AData.constData() + node + 4) & 0x02))
            return node;
    }
    return -1;
}

TEST_F(CustomResource, DamagedPackagesDoNotOpen)
{
    QFile source(MakeSkin());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray good = source.readAll();
    ASSERT_EQ(Word(good, 4), 3u) << "rcc writes format version 3";
    const int tree = int(Word(good, 8));
    const int firstFile = FirstFileNode(good);
    ASSERT_GT(firstFile, tree);

    const struct
    {
        const char *What;
        std::function<void(QByteArray &)> Damage;
    } cases[] = {
        {"empty file",
         [](QByteArray &d) {
             d.clear();
         }},
        {"header only",
         [](QByteArray &d) {
             d.truncate(12);
         }},
        {"wrong magic",
         [](QByteArray &d) {
             d[3] = 'z';
         }},
        {"unknown version",
         [](QByteArray &d) {
             SetWord(d, 4, 4);
         }},
        {"version 0",
         [](QByteArray &d) {
             SetWord(d, 4, 0);
         }},
        {"tree beyond the end",
         [](QByteArray &d) {
             SetWord(d, 8, quint32(d.size()) + 10);
         }},
        {"payloads beyond the end",
         [](QByteArray &d) {
             SetWord(d, 12, quint32(d.size()));
         }},
        {"names beyond the end",
         [](QByteArray &d) {
             SetWord(d, 16, 0xFFFFFFF0u);
         }},
        {"unknown global feature",
         [](QByteArray &d) {
             SetWord(d, 20, 0x100);
         }},
        {"root is a file",
         [tree](QByteArray &d) {
             SetHalf(d, tree + 4, 0);
         }},
        {"root has unknown flags",
         [tree](QByteArray &d) {
             SetHalf(d, tree + 4, 0x42);
         }},
        {"too many children",
         [tree](QByteArray &d) {
             SetWord(d, tree + 6, 100000);
         }},
        {"children beyond the tree",
         [tree](QByteArray &d) {
             SetWord(d, tree + 10, 0x7FFFFFFF);
         }},
        {"root is its own child",
         [tree](QByteArray &d) {
             SetWord(d, tree + 10, 0);
         }},
        {"name beyond the end",
         [firstFile](QByteArray &d) {
             SetWord(d, firstFile, 0x7FFFFFF0);
         }},
        {"data beyond the end",
         [firstFile](QByteArray &d) {
             SetWord(d, firstFile + 10, 0x7FFFFFF0);
         }},
        {"data longer than the file",
         [good, firstFile](QByteArray &d) {
             SetWord(d, int(Word(good, 12) + Word(good, firstFile + 10)), 0xFFFFFF00u);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.What);
        QByteArray data = good;
        c.Damage(data);
        TCustomResource skin;
        EXPECT_FALSE(skin.Open(FFixture.Write("damaged.rcc", data)));
        EXPECT_FALSE(skin.IsOpen());
        EXPECT_TRUE(IsSentinel(Load(skin, "RES_DRAWING_MENU_SAVE_N")));
    }

    // The tree lies at the end of the file: any cut leaves it incomplete.
    for (int length = 0; length < good.size(); ++length) {
        TCustomResource skin;
        EXPECT_FALSE(skin.Open(FFixture.Write("cut.rcc", good.left(length)))) << length;
    }
    TCustomResource skin;
    EXPECT_TRUE(skin.Open(FFixture.Write("whole.rcc", good)));
}

TEST_F(CustomResource, RandomDamageNeverGivesMoreThanTheRules)
{
    QFile source(MakeSkin());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray good = source.readAll();
    const char *const names[] = {"RES_DRAWING_MENU_SAVE_N", "RES_PREVIEW_MENU_LOAD_N",
                                 "RES_MENU_PREVIEW_ON", "RES_BROKEN_N", "RES_EMPTY_N"};
    std::mt19937 random(20180227);
    std::uniform_int_distribution<int> where(0, int(good.size()) - 1);
    std::uniform_int_distribution<int> value(0, 255);
    int opened = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray data = good;
        for (int i = 0; i <= round % 4; ++i)
            data[where(random)] = char(value(random));
        TCustomResource skin;
        if (!skin.Open(FFixture.Write("random.rcc", data)))
            continue;
        ++opened;
        for (const char *name : names) {
            for (const qreal ratio : {1.0, 2.0}) {
                // Each load ends in one of three ways: unchanged, cleared, or an image.
                const QImage image = Load(skin, QLatin1String(name), ratio);
                const bool cleared = image.size() == QSize(7, 5) && IsTransparent(image);
                const bool decoded = !image.isNull() && image.width() <= 4096 &&
                                     image.height() <= 4096 && image.hasAlphaChannel();
                EXPECT_TRUE(IsSentinel(image) || cleared || decoded)
                    << "round " << round << ' ' << name;
            }
        }
    }
    // Most damage hits image data, which still opens.
    EXPECT_GT(opened, 0);
}

} // namespace
