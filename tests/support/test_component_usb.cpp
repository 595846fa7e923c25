// The USB notifier on the simulated cameras' watched file: cameras plugged
// in, pulled and swapped from outside the process, a burst of changes, calls
// held back while a call or a modal dialog runs, and a throwing handler.
#include "TempHome.h"
#include "capture/devices/SimulatedCamera.h"
#include "support/CameraDiscovery.h"
#include "support/ComponentUSB.h"

#include <QDialog>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

const QByteArray CamA = "Doc Cam|usb#VID_1234&PID_2003#a|640x480 MJPG 30\n";
const QByteArray CamB = "Doc Cam|usb#VID_1234&PID_2003#b|640x480 MJPG 30\n";
const QByteArray WebCam = "Web Cam|usb#VID_046D&PID_0825#w|640x480 MJPG 30\n";

class HotPlug : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FFile = FHome.file("cameras.txt");
        WriteCameras("");
        qputenv(TSimulatedCameras::EnvironmentVariable, "@" + QFile::encodeName(FFile));
        TSimulatedCameras::LoadFromEnvironment();
        ASSERT_EQ(TSimulatedCameras::WatchedFile(), FFile);
        FUsb = std::make_unique<TComponentUSB>();
        FUsb->OnUSBChanage = [this] {
            ++Calls;
            TCameraList now;
            EnumCameraDevices(CameraFilter, now, {std::make_shared<TSimulatedProvider>()});
            Seen.push_back(now);
            if (During)
                During();
        };
    }
    void TearDown() override
    {
        FUsb.reset();
        qunsetenv(TSimulatedCameras::EnvironmentVariable);
        TSimulatedCameras::Clear();
    }
    // Whole, then closed: as an editor or a script writes it.
    void WriteCameras(const QByteArray &text) { writeFile(FFile, text); }
    static bool WaitFor(const std::function<bool()> &done) { return QTest::qWaitFor(done, 10000); }
    // Long enough for a second call to come if one were due.
    static void Settle() { QTest::qWait(3 * TComponentUSB::CoalesceMs); }
    static QStringList Paths(const TCameraList &list)
    {
        QStringList paths;
        for (const TCameraEntry &e : list)
            paths << e.DevicePath;
        return paths;
    }

    TempHome FHome;
    QString FFile;
    std::unique_ptr<TComponentUSB> FUsb;
    int Calls = 0;
    std::vector<TCameraList> Seen;
    std::function<void()> During;
};

TEST_F(HotPlug, PlugSwapAndPullAreEachOneCall)
{
    const struct
    {
        const char *What;
        QByteArray File;
        QStringList Cameras;
    } steps[] = {
        {"plugged in", WebCam + CamA, {"usb#VID_1234&PID_2003#a"}},
        {"swapped", WebCam + CamB, {"usb#VID_1234&PID_2003#b"}},
        {"pulled", WebCam, {}},
    };
    for (const auto &step : steps) {
        const int before = Calls;
        WriteCameras(step.File);
        ASSERT_TRUE(WaitFor([&] { return Calls > before; })) << step.What;
        Settle();
        EXPECT_EQ(Calls, before + 1) << step.What;
        EXPECT_EQ(Paths(Seen.back()), step.Cameras) << step.What;
    }
    // The swap kept the count and still changed the cameras.
    EXPECT_EQ(Seen[0].size(), Seen[1].size());
    EXPECT_FALSE(SameCameras(Seen[0], Seen[1]));
}

TEST_F(HotPlug, ABurstOfChangesIsOneCall)
{
    for (int i = 0; i < 6; ++i)
        WriteCameras(i % 2 ? CamA + CamB : CamA);
    ASSERT_TRUE(WaitFor([&] { return Calls > 0; }));
    Settle();
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Paths(Seen.back()),
              QStringList({"usb#VID_1234&PID_2003#a", "usb#VID_1234&PID_2003#b"}));
}

TEST_F(HotPlug, NoCallInsideACallOrAModalDialog)
{
    // The first call opens a dialog, and a camera comes while it is open.
    bool secondWhileOpen = false;
    During = [&] {
        if (Calls != 1)
            return;
        QDialog dialog;
        QTimer::singleShot(0, [&] { WriteCameras(CamA + CamB); });
        QTimer::singleShot(2000, &dialog, &QDialog::accept);
        dialog.exec();
        secondWhileOpen = Calls > 1;
    };
    WriteCameras(CamA);
    ASSERT_TRUE(WaitFor([&] { return Calls == 2; }));
    EXPECT_FALSE(secondWhileOpen);
    EXPECT_EQ(Seen.back().size(), 2);

    // A modal dialog of someone else holds the call back too.
    During = nullptr;
    QDialog settings;
    int callsWhileOpen = -1;
    QTimer::singleShot(0, [&] { WriteCameras(CamB); });
    QTimer::singleShot(2000, &settings, [&] {
        callsWhileOpen = Calls;
        settings.accept();
    });
    settings.exec();
    EXPECT_EQ(callsWhileOpen, 2);
    ASSERT_TRUE(WaitFor([&] { return Calls == 3; }));
    EXPECT_EQ(Paths(Seen.back()), QStringList({"usb#VID_1234&PID_2003#b"}));
}

TEST_F(HotPlug, AThrowingHandlerIsLoggedAndTheNotifierGoesOn)
{
    During = [] {
        throw std::runtime_error("handler broke");
    };
    WriteCameras(CamA);
    ASSERT_TRUE(WaitFor([&] { return Calls == 1; }));
    WriteCameras(CamB);
    ASSERT_TRUE(WaitFor([&] { return Calls == 2; }));
    EXPECT_EQ(Paths(Seen.back()), QStringList({"usb#VID_1234&PID_2003#b"}));
}

TEST_F(HotPlug, AHandlerMayEndTheNotifier)
{
    // As a main window that closes itself when its camera is gone.
    During = [this] {
        FUsb.reset();
    };
    WriteCameras(CamA);
    ASSERT_TRUE(WaitFor([&] { return Calls == 1; }));
    EXPECT_EQ(FUsb, nullptr);
    WriteCameras(CamB);
    Settle();
    EXPECT_EQ(Calls, 1);
}

TEST_F(HotPlug, WithoutAHandlerNothingHappens)
{
    FUsb->OnUSBChanage = nullptr;
    WriteCameras(CamA);
    Settle();
    // The file still changed the cameras.
    TCameraList now;
    EnumCameraDevices(CameraFilter, now, {std::make_shared<TSimulatedProvider>()});
    EXPECT_EQ(now.size(), 1);
    EXPECT_EQ(Calls, 0);
}

} // namespace
