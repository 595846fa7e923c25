// Camera discovery over ten devices.
//
// BM_DiscoverTenV4l2: GetCameraList's enumeration of ten V4L2 capture nodes
// of document cameras on a sysfs tree laid out as the kernel's (each node
// under its USB device with idVendor and idProduct). Each node is really
// opened and closed (/dev/null stands in for it); VIDIOC_QUERYCAP is answered
// in memory. Against the baseline: listing the video4linux folder, the least
// any enumeration does.
//
// BM_DiscoverTenSimulated: the same over ten simulated cameras.
//
// Aim: a few milliseconds for ten devices, with no stream started.
#include "BenchSupport.h"
#include "capture/devices/SimulatedCamera.h"
#include "capture/devices/V4l2Provider.h"
#include "support/CameraDiscovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <unistd.h>

namespace {

constexpr int Devices = 10;
constexpr int Rounds = 200;

void Write(const QString &path, const QByteArray &text)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
}

// /sys with ten USB cameras, each with its video4linux node.
QString MakeSysfs(const QTemporaryDir &dir)
{
    const QString root = dir.path();
    for (int i = 0; i < Devices; ++i) {
        const QString usb =
            root + QStringLiteral("/devices/pci0000:00/0000:00:14.0/usb1/1-%1").arg(i + 1);
        const QString node =
            usb + QStringLiteral("/1-%1:1.0/video4linux/video%2").arg(i + 1).arg(2 * i);
        QDir().mkpath(node);
        Write(usb + "/idVendor", "1234\n");
        Write(usb + "/idProduct", "2003\n");
        QDir().mkpath(root + "/class/video4linux");
        QFile::link(node, root + QStringLiteral("/class/video4linux/video%1").arg(2 * i));
    }
    return root;
}

class TBenchV4l2 final : public TV4l2System
{
public:
    explicit TBenchV4l2(QString root)
        : FRoot(std::move(root))
    {}
    int Open(const QString &, int) override { return ::open("/dev/null", O_RDONLY | O_CLOEXEC); }
    int Close(int fd) override { return ::close(fd); }
    int Ioctl(int, unsigned long request, void *arg) override
    {
        if (request != VIDIOC_QUERYCAP)
            return -1;
        auto *cap = static_cast<v4l2_capability *>(arg);
        *cap = {};
        std::strcpy(reinterpret_cast<char *>(cap->card), "USB Document Camera");
        cap->capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_DEVICE_CAPS;
        cap->device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        return 0;
    }
    QString SysfsRoot() const override { return FRoot; }

private:
    QString FRoot;
};

template <typename F>
double MedianMs(F f)
{
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return Median(times);
}

void BM_DiscoverTenV4l2(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString root = MakeSysfs(dir);
    const std::vector<TDeviceProviderPtr> providers{
        std::make_shared<TV4l2Provider>(std::make_shared<TBenchV4l2>(root))};
    for (auto _ : state) {
        const double cpu0 = ProcessCpuSeconds();
        int found = 0;
        const double discover = MedianMs([&] {
            TCameraList list;
            EnumCameraDevices(QLatin1String(CameraFilter), list, providers);
            found = int(list.size());
        });
        const double cpu = (ProcessCpuSeconds() - cpu0) * 1e3 / Rounds;
        const double listing = MedianMs([&] {
            benchmark::DoNotOptimize(
                QDir(root + "/class/video4linux").entryList(QDir::Dirs | QDir::System));
        });
        state.SetIterationTime(discover / 1e3);
        state.counters["cameras_found"] = found;
        state.counters["discover_ten_ms"] = discover;
        state.counters["per_device_ms"] = discover / Devices;
        state.counters["cpu_per_discovery_ms"] = cpu;
        state.counters["folder_listing_ms"] = listing;
        state.counters["discover_vs_listing"] = discover / listing;
    }
}
BENCHMARK(BM_DiscoverTenV4l2)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DiscoverTenSimulated(benchmark::State &state)
{
    TSimulatedCameras::Clear();
    for (int i = 0; i < Devices; ++i) {
        TSimulatedCamera c;
        c.FriendlyName = QStringLiteral("Doc Cam %1").arg(i);
        c.DevicePath = QStringLiteral("usb#VID_1234&PID_2003#sim%1").arg(i);
        c.Modes = {{1280, 720, true, 30}};
        TSimulatedCameras::Add(c);
    }
    const std::vector<TDeviceProviderPtr> providers{std::make_shared<TSimulatedProvider>()};
    for (auto _ : state) {
        int found = 0;
        const double discover = MedianMs([&] {
            TCameraList list;
            EnumCameraDevices(QLatin1String(CameraFilter), list, providers);
            found = int(list.size());
        });
        state.SetIterationTime(discover / 1e3);
        state.counters["cameras_found"] = found;
        state.counters["discover_ten_ms"] = discover;
    }
    TSimulatedCameras::Clear();
}
BENCHMARK(BM_DiscoverTenSimulated)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
