// Soak run of the live picture: a simulated camera previews for a long time
// while the effects are switched on and off, and the resident memory and open
// descriptors are printed at a fixed interval, so a leak shows as a rising
// column. Not a test: run it by hand (see the README).
//
//   soak_preview [--minutes M] [--report-seconds S] [--toggle-ms T] [--mode WxH]
#include "capture/component/CustomVideoCap.h"
#include "capture/component/VideoWindow.h"
#include "capture/devices/SimulatedCamera.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

double ResidentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return -1;
    return double(fields.at(1).toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

int OpenDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Keeps a simulated camera's preview running with the effects toggling, "
                       "and prints resident memory and open descriptors."));
    options.addHelpOption();
    const QCommandLineOption minutes(QStringLiteral("minutes"), QStringLiteral("Run time."),
                                     QStringLiteral("M"), QStringLiteral("60"));
    const QCommandLineOption report(QStringLiteral("report-seconds"),
                                    QStringLiteral("Interval of the printed lines."),
                                    QStringLiteral("S"), QStringLiteral("60"));
    const QCommandLineOption toggle(QStringLiteral("toggle-ms"),
                                    QStringLiteral("Interval of the effect switches."),
                                    QStringLiteral("T"), QStringLiteral("500"));
    const QCommandLineOption mode(QStringLiteral("mode"),
                                  QStringLiteral("Camera mode (MJPG, 30 fps)."),
                                  QStringLiteral("WxH"), QStringLiteral("1280x720"));
    options.addOptions({minutes, report, toggle, mode});
    options.process(app);
    const QStringList size = options.value(mode).split(QLatin1Char('x'));
    const int width = size.value(0).toInt(), height = size.value(1).toInt();
    if (width < 2 || height < 2) {
        std::fprintf(stderr, "soak_preview: a mode is WxH, such as 1280x720\n");
        return 2;
    }

    TSimulatedCamera camera;
    camera.FriendlyName = QStringLiteral("Soak Camera");
    camera.DevicePath = QStringLiteral("usb#VID_0000&PID_2003#soak0");
    camera.Modes = {{width, height, true, 30}};
    TSimulatedCameras::Clear();
    TSimulatedCameras::Add(camera);

    TCustomVideoCap cap;
    cap.SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
    cap.resize(960, 540);
    cap.show();
    if (!cap.Init() ||
        (cap.SetVideoDeviceIndex(0), !cap.setVideoSize(width, height, QStringLiteral("MJPG"))) ||
        !cap.StartPreview()) {
        std::fprintf(stderr, "soak_preview: the simulated camera does not start\n");
        return 1;
    }

    // Each switch flips one effect, in turn: grayscale, invert, mirror, flip.
    int step = 0;
    QTimer switches;
    QObject::connect(&switches, &QTimer::timeout, [&] {
        switch (step++ % 4) {
        case 0:
            cap.SetGrayscale(!cap.Grayscale());
            break;
        case 1:
            cap.SetInvertColor(!cap.InvertColor());
            break;
        case 2:
            cap.SetHorizontal(!cap.Horizontal());
            break;
        default:
            cap.SetVertical(!cap.Vertical());
            break;
        }
    });
    switches.start(options.value(toggle).toInt());

    QElapsedTimer clock;
    clock.start();
    const qint64 end = qint64(options.value(minutes).toDouble() * 60'000);
    std::printf("%8s %12s %12s %16s %10s\n", "minute", "resident MiB", "descriptors",
                "frames presented", "switches");
    const auto print = [&] {
        const std::uint64_t presented =
            cap.VideoWindow() ? cap.VideoWindow()->FramesPresented() : 0;
        std::printf("%8.1f %12.1f %12d %16llu %10d\n", double(clock.elapsed()) / 60'000,
                    ResidentMiB(), OpenDescriptors(), (unsigned long long)presented, step);
        std::fflush(stdout);
    };
    print();
    QTimer reports;
    QObject::connect(&reports, &QTimer::timeout, [&] {
        print();
        if (clock.elapsed() >= end)
            app.quit();
    });
    reports.start(options.value(report).toInt() * 1000);
    int status = app.exec();
    if (!cap.Previewing()) {
        std::fprintf(stderr, "soak_preview: the preview stopped\n");
        status = 1;
    }
    cap.StopPreview();
    return status;
}
