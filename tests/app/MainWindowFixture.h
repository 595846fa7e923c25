#pragma once

// The real main window on simulated cameras in a temporary home: the
// program-wide objects as the program makes them, a forced end that is
// recorded instead of ending the test, and helpers to answer the window's
// modal messages.

#include "TempHome.h"
#include "app/MainForm.h"
#include "app/ProgramModules.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/component/VideoWindow.h"
#include "capture/devices/SimulatedCamera.h"
#include "support/CameraDiscovery.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

inline const QString DocCamPath = QStringLiteral("usb#VID_0000&PID_2003#win0");

inline TSimulatedCamera DocCamera(const QString &APath = DocCamPath,
                                  const QString &AName = QStringLiteral("Ovilen Document Camera"))
{
    TSimulatedCamera camera;
    camera.FriendlyName = AName;
    camera.DevicePath = APath;
    camera.Modes = {{1600, 1200, true, 30}, {1280, 720, true, 30}, {640, 480, true, 30}};
    return camera;
}

// Answers the next modal dialog by pressing the button with AResult (see
// MessageDlg.h); Text() is the message it showed.
class TDialogAnswer : public QObject
{
public:
    explicit TDialogAnswer(int AResult)
        : FResult(AResult)
    {
        FPoll.setInterval(20);
        connect(&FPoll, &QTimer::timeout, this, [this] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("Message")))
                FText = label->text();
            for (auto *button : dialog->findChildren<QPushButton *>())
                if (button->property("modalResult").toInt() == FResult) {
                    FPoll.stop();
                    ++FAnswered;
                    button->click();
                    return;
                }
        });
        FPoll.start();
    }
    const QString &Text() const { return FText; }
    int Answered() const { return FAnswered; }

private:
    int FResult;
    QTimer FPoll;
    QString FText;
    int FAnswered = 0;
};

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(Home.file(QStringLiteral("runtime")));
        TSimulatedCameras::Clear();
        TerminateProc = [this] {
            ++Terminated;
        };
    }
    void TearDown() override
    {
        Form.reset();
        Modules.reset();
        TSimulatedCameras::Clear();
        TerminateProc = [] {
            std::_Exit(1);
        };
    }

    // Makes the program's objects and the window with the cameras given.
    void Start(const std::vector<TSimulatedCamera> &ACameras = {DocCamera()})
    {
        for (const TSimulatedCamera &camera : ACameras)
            TSimulatedCameras::Add(camera);
        Modules = std::make_unique<TProgramModules>();
        Form = std::make_unique<TMainForm>();
    }
    // Start, show, and wait for the live picture.
    void StartLive()
    {
        Start();
        ASSERT_TRUE(Form->Created());
        Form->show();
        ASSERT_TRUE(WaitForFrames(3));
    }
    bool WaitForFrames(std::uint64_t ACount, int AMs = 15000)
    {
        return QTest::qWaitFor(
            [&] {
                const TVideoWindow *w = Form->VideoCap()->VideoWindow();
                return w && w->FramesPresented() >= ACount;
            },
            AMs);
    }

    TempHome Home;
    std::unique_ptr<TProgramModules> Modules;
    std::unique_ptr<TMainForm> Form;
    int Terminated = 0;
};
