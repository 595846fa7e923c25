#include "TempHome.h"
#include "support/Common.h"
#include "support/Config.h"
#include "support/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class ConfigStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitFolders();
        ASSERT_EQ(PathData, FHome.documents() + "/Ovilen");
    }
    QString CfgFile() const { return PathData + "/Ovilen.cfg"; }

    TempHome FHome;
};

TEST_F(ConfigStore, FirstRunGivesDefaultsAndCreatesTheFolders)
{
    EXPECT_EQ(PathTemp, PathData + "/Temp");
    EXPECT_TRUE(QFileInfo(PathTemp).isDir());
    {
        TConfig config(PathData);
        EXPECT_EQ(config.PathImage, PathData + "/Image");
        EXPECT_EQ(config.PathMovie, PathData + "/Movie");
        EXPECT_TRUE(QFileInfo(config.PathImage).isDir());
        EXPECT_TRUE(QFileInfo(config.PathMovie).isDir());
        EXPECT_EQ(config.VideoRotate, 0);
        EXPECT_EQ(config.VideoProperty.Brightness, 0);
        EXPECT_EQ(config.VideoDevice.Format, "1600x1200 MJPG");
        EXPECT_EQ(config.RecordSize.cx, 1280);
        EXPECT_EQ(config.RecordSize.cy, 720);
        // Loading only reads.
        EXPECT_FALSE(QFileInfo::exists(CfgFile()));
    }
    // The end of the program writes the three persistent entries, and only those.
    const TIniFile written(CfgFile());
    EXPECT_EQ(written.ReadString("COMMON", "PathImage", {}), PathData + "/Image");
    EXPECT_EQ(written.ReadString("COMMON", "PathMovie", {}), PathData + "/Movie");
    EXPECT_EQ(written.ReadString("VIDEO", "VideoRotate", {}), "0");
    EXPECT_FALSE(written.ValueExists("VIDEO", "Brightness"));
    EXPECT_EQ(readFile(CfgFile()).count('='), 3);
}

TEST_F(ConfigStore, LoadsStoredValuesAndKeepsForeignEntriesOnSave)
{
    const QString pictures = FHome.file("사진");
    writeFile(CfgFile(), ("; written by hand\r\n"
                          "[common]\r\n"
                          "pathimage=" +
                          pictures +
                          "\r\n"
                          "Teacher=Kim\r\n"
                          "[Video]\r\n"
                          "VIDEOROTATE=2\r\n"
                          "brightness=-10\r\n"
                          "Format=640x480 YUY2\r\n"
                          "[Extra]\r\n"
                          "keep=me\r\n")
                             .toUtf8());
    TConfig config(PathData);
    EXPECT_EQ(config.PathImage, pictures);
    EXPECT_TRUE(QFileInfo(pictures).isDir());
    EXPECT_EQ(config.PathMovie, PathData + "/Movie");
    EXPECT_EQ(config.VideoRotate, 2);
    EXPECT_EQ(config.VideoProperty.Brightness, -10);
    // The format is never taken from the file.
    EXPECT_EQ(config.VideoDevice.Format, "1600x1200 MJPG");

    config.VideoRotate = 3;
    config.VideoProperty.Brightness = 50;
    config.PathMovie = FHome.file("movies");
    ASSERT_TRUE(config.Save());

    const QString text = QString::fromUtf8(readFile(CfgFile()));
    EXPECT_TRUE(text.startsWith("; written by hand\r\n[common]\r\npathimage=" + pictures + "\r\n"));
    EXPECT_TRUE(text.contains("Teacher=Kim\r\n"));
    EXPECT_TRUE(text.contains("VIDEOROTATE=3\r\n"));
    EXPECT_TRUE(text.contains("brightness=-10\r\n")); // never written
    EXPECT_TRUE(text.contains("[Extra]\r\nkeep=me\r\n"));
    EXPECT_EQ(TConfig(PathData).PathMovie, FHome.file("movies"));
}

TEST_F(ConfigStore, EmptyOrInvalidValuesFallBackToDefaults)
{
    writeFile(CfgFile(), "[COMMON]\nPathImage=\nPathMovie=   \n[VIDEO]\nVideoRotate=two\n"
                         "Brightness=$10\n");
    TConfig config(PathData);
    // An empty folder would send files to the root folder: the default folder is used.
    EXPECT_EQ(config.PathImage, PathData + "/Image");
    EXPECT_EQ(config.PathMovie, PathData + "/Movie");
    EXPECT_TRUE(QFileInfo(config.PathMovie).isDir());
    EXPECT_EQ(config.VideoRotate, 0);
    EXPECT_EQ(config.VideoProperty.Brightness, 16);
}

TEST_F(ConfigStore, FoldersEndingInBlanksComeBackAsSaved)
{
    // Reading trims a value, so a folder name ending in blanks needs quotes.
    const QString movies = FHome.file("Movies ");
    const QString pictures = FHome.file("사진  ");
    {
        TConfig config(PathData);
        config.PathMovie = movies;
        config.PathImage = pictures;
    }
    TConfig again(PathData);
    EXPECT_EQ(again.PathMovie, movies);
    EXPECT_EQ(again.PathImage, pictures);
    EXPECT_TRUE(QFileInfo(movies).isDir());
    EXPECT_TRUE(QFileInfo(pictures).isDir());
}

TEST_F(ConfigStore, SaveIntoAnUnwritableFolderIsSwallowed)
{
    // The data folder is replaced by a plain file: nothing can be written there.
    QDir(PathData).removeRecursively();
    writeFile(PathData, "not a folder");
    auto config = std::make_unique<TConfig>(PathData);
    config->VideoRotate = 1;
    EXPECT_FALSE(config->Save());
    EXPECT_EQ(config->VideoRotate, 1);
    config.reset(); // the final save fails quietly too
    EXPECT_EQ(readFile(PathData), "not a folder");
}

// Brightness reaches the camera only when the file has it as a number: an
// absent key would write the built-in 0, a near-black picture.
TEST_F(ConfigStore, BrightnessIsPresentOnlyWhenTheFileHasANumber)
{
    const struct
    {
        const char *Video; // the [VIDEO] section's lines
        bool Present;
        int Value;
    } cases[] = {
        {"VideoRotate=1\n", false, 0},     {"Brightness=0\n", true, 0},
        {"brightness=-1\n", true, -1},     {"Brightness=$80\n", true, 128},
        {"Brightness=bright\n", false, 0}, {"Brightness=\n", false, 0},
    };
    for (const auto &c : cases) {
        writeFile(CfgFile(), QByteArray("[VIDEO]\n") + c.Video);
        const TConfig config(PathData);
        EXPECT_EQ(config.VideoProperty.HasBrightness, c.Present) << c.Video;
        EXPECT_EQ(config.VideoProperty.Brightness, c.Value) << c.Video;
    }
}

} // namespace
