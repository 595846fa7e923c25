// One copy at a time: the lock itself, a holder that crashed, and the real
// program started beside a running copy; SIGTERM ends the program as a
// normal close does.
#include "TempHome.h"
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SingleInstance : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(Home.file(QStringLiteral("runtime")))); }

    // The program beside this test, on the offscreen platform with one
    // simulated document camera, in the temporary home.
    void StartProgram(QProcess &AProcess)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("OVILEN_SIMULATED_CAMERAS"),
                   QStringLiteral("Doc Cam|usb#VID_0000&PID_2003#one|640x480 MJPG 30"));
        AProcess.setProcessEnvironment(env);
        AProcess.setProcessChannelMode(QProcess::SeparateChannels);
        AProcess.start(QCoreApplication::applicationDirPath() + QStringLiteral("/ovilen"), {});
        ASSERT_TRUE(AProcess.waitForStarted(10000));
    }
    QString DataFolder() const { return Home.documents() + QStringLiteral("/Ovilen"); }

    TempHome Home;
};

TEST_F(SingleInstance, TheLockIsExclusiveAndFreedWhenItsHolderGoes)
{
    const QString name = QStringLiteral("OvilenTestLock");
    {
        const TSingleInstance first(name);
        ASSERT_TRUE(first.Acquired());
        EXPECT_EQ(first.FileName(), Home.file(QStringLiteral("runtime/OvilenTestLock.lock")));
        const TSingleInstance second(name);
        EXPECT_FALSE(second.Acquired());
    }
    const TSingleInstance again(name);
    EXPECT_TRUE(again.Acquired());
}

TEST_F(SingleInstance, AHolderThatWasKilledLeavesNoStaleLock)
{
    const QString name = QStringLiteral("OvilenCrashLock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const TSingleInstance held(name);
        const char byte = held.Acquired() ? 1 : 0;
        [[maybe_unused]] auto n = ::write(ready[1], &byte, 1);
        ::pause();
        std::_Exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);
    EXPECT_FALSE(TSingleInstance(name).Acquired());
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(TSingleInstance(name).Acquired());
}

TEST_F(SingleInstance, ASecondStartEndsSilentlyAtOnce)
{
    const TSingleInstance running;
    ASSERT_TRUE(running.Acquired());
    QProcess second;
    StartProgram(second);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(second.readAllStandardError().contains("first frame shown"));
    // It made nothing: not even the data folder.
    EXPECT_FALSE(QFileInfo::exists(DataFolder()));
}

TEST_F(SingleInstance, SigtermEndsTheRunningCopyAsANormalCloseDoes)
{
    QProcess program;
    StartProgram(program);
    QByteArray log;
    const bool shown = QTest::qWaitFor(
        [&] {
            log += program.readAllStandardError();
            return log.contains("first frame shown") || program.state() == QProcess::NotRunning;
        },
        30000);
    ASSERT_TRUE(shown && log.contains("first frame shown")) << log.constData();
    // While it runs, the lock is taken.
    EXPECT_FALSE(TSingleInstance().Acquired());
    ASSERT_FALSE(QFileInfo::exists(DataFolder() + QStringLiteral("/Ovilen.cfg")));

    ::kill(pid_t(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(DataFolder() + QStringLiteral("/Ovilen.cfg")));
    EXPECT_TRUE(TSingleInstance().Acquired());
}

} // namespace
