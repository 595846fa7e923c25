#include "TempHome.h"
#include "app/FileNames.h"
#include "support/Common.h"
#include "support/Config.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class FileNaming : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitFolders();
        Config = std::make_unique<TConfig>(PathData);
    }
    void TearDown() override { Config.reset(); }
    TempHome FHome;
};

TEST_F(FileNaming, StampIsYearMonthDaySecondsMinutes)
{
    const QDateTime t(QDate(2019, 3, 14), QTime(10, 5, 30));
    EXPECT_EQ(FileNameStamp(t), "2019_03_14_30_05");
    // The hour is not part of the stamp.
    EXPECT_EQ(FileNameStamp(QDateTime(QDate(2019, 3, 14), QTime(9, 5, 30))), "2019_03_14_30_05");
    EXPECT_EQ(FileNameStamp(QDateTime(QDate(2026, 12, 1), QTime(23, 59, 1))), "2026_12_01_01_59");
}

TEST_F(FileNaming, SameStampNeverOverwritesAnEarlierFile)
{
    const QDateTime t(QDate(2019, 3, 14), QTime(10, 5, 30));
    const QString folder = Config->PathImage;
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        const QString name = UniqueStampedFileName(folder, t, ".jpg");
        writeFile(name, QByteArray::number(i));
        names << name;
    }
    EXPECT_EQ(names,
              (QStringList{folder + "/2019_03_14_30_05.jpg", folder + "/2019_03_14_30_05_2.jpg",
                           folder + "/2019_03_14_30_05_3.jpg"}));
    EXPECT_EQ(readFile(names.at(0)), "0");
}

TEST_F(FileNaming, OutputNamesFollowTheConfiguredFolders)
{
    const QRegularExpression stamp(R"(^\d{4}_\d{2}_\d{2}_\d{2}_\d{2}(_\d+)?\.(jpg|mp4)$)");
    const QFileInfo image(GetImageFileName());
    EXPECT_EQ(image.absolutePath(), PathData + "/Image");
    EXPECT_TRUE(stamp.match(image.fileName()).hasMatch()) << image.fileName().toStdString();
    EXPECT_EQ(image.suffix(), "jpg");
    const QFileInfo movie(GetMovieFileName());
    EXPECT_EQ(movie.absolutePath(), PathData + "/Movie");
    EXPECT_EQ(movie.suffix(), "mp4");

    // A folder chosen in the settings applies to the next name, and is created.
    Config->PathImage = FHome.file("new/pictures");
    EXPECT_EQ(QFileInfo(GetImageFileName()).absolutePath(), FHome.file("new/pictures"));
    EXPECT_TRUE(QFileInfo(FHome.file("new/pictures")).isDir());
    // An emptied folder setting falls back to the default folder, never the root.
    Config->PathMovie.clear();
    EXPECT_EQ(QFileInfo(GetMovieFileName()).absolutePath(), PathData + "/Movie");

    EXPECT_EQ(GetCaptureTempFileName(), PathData + "/Temp/Capture.Bmp");
    EXPECT_EQ(GetRotateTempFileName(), PathData + "/Temp/Rotate.Bmp");
}

TEST(HexToColor, TakesRedGreenBlueIntoTheLowBytes)
{
    struct Case
    {
        const char *text;
        uint32_t expected;
    } cases[] = {
        {"#FF225550", 0x505522}, {"#FFFFFFFF", 0xFFFFFF}, {"#FF000000", 0},
        {"#00ff0000", 0x0000FF}, {"#80123456", 0x563412}, {"#zz00FF00", 0x00FF00},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexToColor(c.text), c.expected);
    }
    for (const char *bad : {"", "#FF2255", "#FF22555G", "#FF22555011", "FF225550", "#FF 25550"})
        EXPECT_THROW(HexToColor(bad), std::invalid_argument) << bad;
}

} // namespace
