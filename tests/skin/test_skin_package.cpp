// The skin the build packs beside the executable: every name the program asks
// for is there, at the size its control has, and the three states of a button
// look different. The names are made here from the naming rules of the menus,
// not read from the package.
#include "support/CustomResource.h"

#include <QColor>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct TWanted
{
    QString Name;
    QSize Size;
};

const char *const StateLetters[] = {"N", "D", "O"};

// Bases of the three-state buttons loaded when the window is made.
const char *const PreviewBases[] = {
    "LOAD",      "CAPTURE",  "RECORDING", "AF",      "FULLSCREENON", "INVERTCOLOR",
    "GRAYSCALE", "FLIPVERT", "FLIPHORZ",  "ROTATE",  "RESOLUTION",   "ZOOMIN",
    "ZOOMOUT",   "BACK",     "CAMERA",    "SETTING", "16_9"};
const char *const DrawingBases[] = {
    "LOAD",      "Save",        "UNDO",       "REDO",       "PENOPTION", "ERASERTOOL", "SHAPE",
    "ROTATE",    "INVERTCOLOR", "FLIPHORZ",   "FLIPVERT",   "RETURN",    "MOVE",       "ERASER",
    "ERASERALL", "BLACKBOARD",  "GREENBOARD", "WHITEBOARD", "LINE",      "RECTANGLE",  "ELLIPSE"};
// Bases switched in by commands: the record, full-screen and wide buttons.
const char *const RunTimeBases[] = {"STOP", "FULLSCREENOFF", "4_3"};
const char *const ColourWords[] = {"White", "Black",     "Red",  "Orange", "Yellow",
                                   "Green", "LightBlue", "Blue", "Purple"};

// Every three-state base the program asks for, with "_" at its end.
QStringList ButtonBases()
{
    QStringList bases;
    for (const char *word : PreviewBases)
        bases << QStringLiteral("RES_PREVIEW_MENU_%1_").arg(QLatin1String(word));
    for (const char *word : DrawingBases)
        bases << QStringLiteral("RES_DRAWING_MENU_%1_").arg(QLatin1String(word));
    for (const char *word : RunTimeBases)
        bases << QStringLiteral("RES_PREVIEW_MENU_%1_").arg(QLatin1String(word));
    for (const char *tool : {"PEN", "MARKER"})
        for (const char *colour : ColourWords)
            bases << QStringLiteral("RES_DRAWING_MENU_%1_%2_")
                         .arg(QLatin1String(tool), QLatin1String(colour));
    return bases;
}

QList<TWanted> WantedImages()
{
    QList<TWanted> wanted;
    for (const QString &base : ButtonBases())
        for (const char *letter : StateLetters)
            wanted << TWanted{base + QLatin1String(letter), QSize(55, 55)};
    for (const char *tab : {"RES_MENU_PREVIEW_ON", "RES_MENU_PREVIEW_OFF", "RES_MENU_DRAWING_ON",
                            "RES_MENU_DRAWING_OFF"})
        wanted << TWanted{QLatin1String(tab), QSize(80, 20)};
    const QString option = QStringLiteral("RES_DRAWING_MENU_PENOPTION_");
    for (const char *heading : {"PENTYPE", "PENWIDTH", "PENCOLOR"})
        wanted << TWanted{option + QLatin1String(heading), QSize(52, 20)};
    wanted << TWanted{option + QStringLiteral("PEN"), QSize(45, 45)};
    wanted << TWanted{option + QStringLiteral("MARKER"), QSize(45, 45)};
    for (int i = 1; i <= 5; ++i)
        wanted << TWanted{option + QStringLiteral("THICKNESS_%1").arg(i), QSize(46, 37)};
    wanted << TWanted{option + QStringLiteral("CHECKED"), QSize(25, 19)};
    return wanted;
}

// Mean difference of two images of one size over all pixels and channels, 0 to 255.
double MeanDifference(const QImage &A, const QImage &B)
{
    const QImage a = A.convertToFormat(QImage::Format_ARGB32);
    const QImage b = B.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

// Pixels that differ plainly in colour or opacity.
int DifferingPixels(const QImage &A, const QImage &B)
{
    const QImage a = A.convertToFormat(QImage::Format_ARGB32);
    const QImage b = B.convertToFormat(QImage::Format_ARGB32);
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int most =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            count += most > 48 ? 1 : 0;
        }
    }
    return count;
}

int VisiblePixels(const QImage &AImage)
{
    const QImage argb = AImage.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            count += qAlpha(argb.pixel(x, y)) >= 128 ? 1 : 0;
    return count;
}

class SkinPackage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo::exists(TCustomResource::DefaultFileName()))
            << "the build puts the skin beside the executables";
        ASSERT_TRUE(FSkin.Open());
    }

    QImage Load(const QString &AName, qreal ARatio = 1.0) const
    {
        QImage image;
        FSkin.LoadFromResource(&image, AName, ARatio);
        return image;
    }

    TCustomResource FSkin;
};

TEST_F(SkinPackage, OffersEveryNameTheProgramAsksForAtItsSize)
{
    const QList<TWanted> wanted = WantedImages();
    QSet<QString> distinct;
    for (const TWanted &w : wanted)
        distinct.insert(w.Name.toUpper());
    ASSERT_EQ(wanted.size(), 192);
    ASSERT_EQ(distinct.size(), 192);

    for (const TWanted &w : wanted) {
        SCOPED_TRACE(w.Name.toStdString());
        const QImage normal = Load(w.Name);
        ASSERT_FALSE(normal.isNull());
        EXPECT_EQ(normal.size(), w.Size);
        EXPECT_EQ(normal.devicePixelRatio(), 1.0);
        EXPECT_TRUE(normal.hasAlphaChannel());
        EXPECT_GT(VisiblePixels(normal), normal.width() * normal.height() / 20)
            << "the image shows something";

        const QImage sharp = Load(w.Name, 2.0);
        ASSERT_FALSE(sharp.isNull());
        EXPECT_EQ(sharp.size(), w.Size * 2);
        EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
        EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(w.Size));
    }
}

TEST_F(SkinPackage, ThreeStatesOfEveryButtonDifferAtAGlance)
{
    for (const QString &base : ButtonBases()) {
        SCOPED_TRACE(base.toStdString());
        const QImage normal = Load(base + u'N');
        const QImage down = Load(base + u'D');
        const QImage over = Load(base + u'O');
        // The hover face differs least from the normal one, yet clearly.
        EXPECT_GT(MeanDifference(normal, down), 40.0);
        EXPECT_GT(MeanDifference(down, over), 40.0);
        EXPECT_GT(MeanDifference(normal, over), 8.0);
    }
}

TEST_F(SkinPackage, FacesThatReplaceEachOtherAreDifferentPictures)
{
    const QList<QPair<QString, QString>> pairs = {
        {"RES_PREVIEW_MENU_RECORDING_N", "RES_PREVIEW_MENU_STOP_N"},
        {"RES_PREVIEW_MENU_FULLSCREENON_N", "RES_PREVIEW_MENU_FULLSCREENOFF_N"},
        {"RES_PREVIEW_MENU_16_9_N", "RES_PREVIEW_MENU_4_3_N"},
        {"RES_PREVIEW_MENU_ZOOMIN_N", "RES_PREVIEW_MENU_ZOOMOUT_N"},
        {"RES_DRAWING_MENU_UNDO_N", "RES_DRAWING_MENU_REDO_N"},
        {"RES_DRAWING_MENU_PEN_Red_N", "RES_DRAWING_MENU_MARKER_Red_N"},
        {"RES_DRAWING_MENU_PEN_Blue_N", "RES_DRAWING_MENU_PEN_LightBlue_N"},
        {"RES_MENU_PREVIEW_ON", "RES_MENU_PREVIEW_OFF"},
        {"RES_MENU_PREVIEW_ON", "RES_MENU_DRAWING_ON"},
        {"RES_DRAWING_MENU_PENOPTION_PENTYPE", "RES_DRAWING_MENU_PENOPTION_PENCOLOR"},
        {"RES_DRAWING_MENU_PENOPTION_THICKNESS_4", "RES_DRAWING_MENU_PENOPTION_THICKNESS_5"},
    };
    for (const auto &[first, second] : pairs) {
        SCOPED_TRACE((first + " / " + second).toStdString());
        EXPECT_GT(DifferingPixels(Load(first), Load(second)), 15);
    }
}

TEST_F(SkinPackage, PenFacesShowTheirColour)
{
    // Each colour of the swatches appears, nearly exactly, on its pen's face.
    const QRgb colours[] = {0xFFFFFFFF, 0xFF000000, 0xFFDB214C, 0xFFDB5C21, 0xFFEE940C,
                            0xFF42C734, 0xFF216FDB, 0xFF233D9F, 0xFF962FCD};
    for (int i = 0; i < 9; ++i) {
        const QString name =
            QStringLiteral("RES_DRAWING_MENU_PEN_%1_N").arg(QLatin1String(ColourWords[i]));
        SCOPED_TRACE(name.toStdString());
        const QImage face = Load(name).convertToFormat(QImage::Format_ARGB32);
        int matching = 0;
        for (int y = 0; y < face.height(); ++y) {
            for (int x = 0; x < face.width(); ++x) {
                const QRgb p = face.pixel(x, y);
                const QRgb c = colours[i];
                matching += std::abs(qRed(p) - qRed(c)) + std::abs(qGreen(p) - qGreen(c)) +
                                        std::abs(qBlue(p) - qBlue(c)) <
                                    12
                                ? 1
                                : 0;
            }
        }
        EXPECT_GT(matching, 40);
    }
}

} // namespace
