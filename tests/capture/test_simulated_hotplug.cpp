// Simulated cameras plugged and pulled through their watched file while a
// component previews one of them.
#include "CaptureTestSupport.h"
#include "TempHome.h"
#include "capture/component/VideoWindow.h"

#include <QFile>

namespace {

class WatchedFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FFile = FHome.file("cameras.txt");
        Write("Doc Cam|usb#VID_1234&PID_2003#a|320x240 MJPG 30|pattern=colors\n"
              "Other Cam|usb#VID_1234&PID_2003#b|320x240 MJPG 30\n");
        qputenv(TSimulatedCameras::EnvironmentVariable, "@" + QFile::encodeName(FFile));
        TSimulatedCameras::LoadFromEnvironment();
    }
    void TearDown() override
    {
        qunsetenv(TSimulatedCameras::EnvironmentVariable);
        TSimulatedCameras::Clear();
    }
    // Whole, then closed: as an editor or a script writes it.
    void Write(const QByteArray &text) { writeFile(FFile, text); }
    static QStringList Paths()
    {
        QStringList paths;
        for (const TSimulatedCamera &c : TSimulatedCameras::List())
            paths << c.DevicePath;
        return paths;
    }

    TempHome FHome;
    QString FFile;
};

TEST_F(WatchedFile, AnEntryThatGoesIsLostMidStreamTheOthersRunOn)
{
    TTestVideoCap a, b;
    ASSERT_TRUE(a.SetVideoDevicePath("usb#VID_1234&PID_2003#a"));
    ASSERT_TRUE(b.SetVideoDevicePath("usb#VID_1234&PID_2003#b"));
    ASSERT_TRUE(a.StartPreview());
    ASSERT_TRUE(b.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return a.StartPreviewCount == 1 && b.StartPreviewCount == 1; }));

    // "a" is pulled, a third camera comes; "b" is written again unchanged.
    Write("Other Cam|usb#VID_1234&PID_2003#b|320x240 MJPG 30\n"
          "New Cam|usb#VID_1234&PID_2003#c|640x480 MJPG 30\n");
    ASSERT_TRUE(WaitUntil([&] { return !a.Previewing(); }));
    EXPECT_EQ(a.StopPreviewCount, 1);
    EXPECT_EQ(Paths(), QStringList({"usb#VID_1234&PID_2003#b", "usb#VID_1234&PID_2003#c"}));
    // "b" kept its camera: its stream goes on.
    const auto shown = b.VideoWindow()->FramesPresented();
    ASSERT_TRUE(WaitUntil([&] { return b.VideoWindow()->FramesPresented() > shown + 5; }));
    EXPECT_TRUE(b.Previewing());
    EXPECT_EQ(b.StopPreviewCount, 0);

    // Gone means gone: the path finds nothing; plugged in again, it runs.
    EXPECT_FALSE(a.SetVideoDevicePath("usb#VID_1234&PID_2003#a"));
    Write("Doc Cam|usb#VID_1234&PID_2003#a|320x240 MJPG 30\n");
    ASSERT_TRUE(WaitUntil([&] { return Paths() == QStringList({"usb#VID_1234&PID_2003#a"}); }));
    ASSERT_TRUE(a.SetVideoDevicePath("usb#VID_1234&PID_2003#a"));
    ASSERT_TRUE(a.StartPreview());
    EXPECT_TRUE(WaitUntil([&] { return a.StartPreviewCount == 2; }));
}

TEST_F(WatchedFile, AMissingFileIsNoCameraAndLinesOrSemicolonsSeparate)
{
    ASSERT_TRUE(QFile::remove(FFile));
    ASSERT_TRUE(WaitUntil([&] { return Paths().isEmpty(); }));
    Write("A|pa|320x240 MJPG 30;B|pb|320x240 MJPG 30\r\nbroken entry\nC|pc|320x240 MJPG 30");
    ASSERT_TRUE(WaitUntil([&] { return Paths() == QStringList({"pa", "pb", "pc"}); }));
}

} // namespace
