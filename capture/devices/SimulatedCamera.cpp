#include "capture/devices/SimulatedCamera.h"

#include "capture/devices/CaptureLog.h"
#include "capture/devices/FileHandle.h"
#include "capture/devices/FileWatch.h"
#include "capture/devices/GstHandles.h"
#include "capture/devices/SimulatedControls.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>
#include <linux/input.h>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A registered camera: its description, and the controls the streaming
// thread reads.
struct TSimState
{
    explicit TSimState(TSimulatedCamera c)
        : Config(std::move(c))
        , DropAfter(Config.DropAfterFrames)
        , DamagedEvery(Config.DamagedEvery)
    {}
    const TSimulatedCamera Config;
    std::atomic<int> DropAfter;
    std::atomic<int> DamagedEvery;
    std::atomic<bool> Unplugged{false};
    std::atomic<std::int64_t> FramesSent{0};
    TSimControlState Controls;

    // The snapshot button: the sending ends of the event streams handed out.
    std::mutex ButtonLock;
    std::vector<TFileHandle> Buttons;

    int OpenButton();
    void PressButton();
};

int TSimState::OpenButton()
{
    // A socket pair carries the button's input events like an evdev node;
    // sending to a reader that has gone fails without a signal.
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return -1;
    std::lock_guard lock(ButtonLock);
    // Streams whose reader has closed are dropped.
    std::erase_if(Buttons, [](const TFileHandle &fd) {
        pollfd p{fd.Get(), 0, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR));
    });
    Buttons.emplace_back(ends[0]);
    return ends[1];
}

void TSimState::PressButton()
{
    const auto event = [](std::uint16_t type, std::uint16_t code, std::int32_t value) {
        input_event ev{};
        ev.type = type;
        ev.code = code;
        ev.value = value;
        return ev;
    };
    const input_event events[] = {event(EV_KEY, KEY_CAMERA, 1), event(EV_SYN, SYN_REPORT, 0),
                                  event(EV_KEY, KEY_CAMERA, 0), event(EV_SYN, SYN_REPORT, 0)};
    std::lock_guard lock(ButtonLock);
    std::erase_if(Buttons, [&](const TFileHandle &fd) {
        const ssize_t sent = ::send(fd.Get(), events, sizeof events, MSG_NOSIGNAL | MSG_DONTWAIT);
        // A reader that does not read misses presses; one that has gone is
        // dropped.
        return sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK;
    });
}
using TSimStatePtr = std::shared_ptr<TSimState>;

// The controls as a driver offers them: gone with the camera.
class TSimulatedControls final : public TCameraControls
{
public:
    explicit TSimulatedControls(TSimStatePtr state)
        : FState(std::move(state))
    {}
    std::vector<TCameraControlInfo> Query() override
    {
        return Present() ? FState->Controls.Query() : std::vector<TCameraControlInfo>{};
    }
    std::optional<TCameraControlInfo> QueryOne(std::uint32_t id) override
    {
        return Present() ? FState->Controls.QueryOne(id) : std::nullopt;
    }
    std::optional<int> Get(std::uint32_t id) override
    {
        return Present() ? FState->Controls.Get(id) : std::nullopt;
    }
    bool Set(std::uint32_t id, int value) override
    {
        return Present() && FState->Controls.Set(id, value);
    }

private:
    bool Present() const { return !FState->Unplugged; }
    TSimStatePtr FState;
};

struct TRegistry
{
    std::mutex Lock;
    std::vector<TSimStatePtr> Cameras;
    // Who hears of a change of the watched file (called on its thread).
    std::mutex ListenerLock;
    std::map<int, std::function<void()>> Listeners;
    int NextListener = 1;
    // The file the cameras come from, when the variable names one. Declared
    // last: its thread stops before the rest goes.
    std::unique_ptr<TFileWatch> Watch;
};

TRegistry &Registry();

std::vector<TSimStatePtr> Parsed(const QString &text, const QString &source)
{
    std::vector<TSimStatePtr> cameras;
    QStringList errors;
    for (TSimulatedCamera &c : TSimulatedCameras::Parse(text, &errors))
        cameras.push_back(std::make_shared<TSimState>(std::move(c)));
    for (const QString &e : errors)
        qCWarning(lcCapture).noquote() << source << ":" << e;
    return cameras;
}

// "@<path>" names a file that holds the description; its path, or empty.
QString WatchedPathOf(const QString &value)
{
    const QString v = value.trimmed();
    return v.startsWith(u'@') ? v.mid(1).trimmed() : QString();
}

QString ReadDescription(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {}; // no file: no cameras
    // Line breaks separate cameras as ';' does.
    return QString::fromUtf8(f.readAll()).replace(u'\n', u';');
}

// The file changed: cameras whose path is new are plugged in, cameras whose
// path is gone are unplugged (a running stream is lost), the others stay as
// they are (a running stream goes on).
void ReloadWatchedFile(const QString &path)
{
    std::vector<TSimStatePtr> fresh =
        Parsed(ReadDescription(path), QStringLiteral("simulated cameras in ") + path);
    TRegistry &r = Registry();
    {
        std::lock_guard lock(r.Lock);
        for (TSimStatePtr &camera : fresh) {
            const auto old = std::find_if(r.Cameras.begin(), r.Cameras.end(), [&](auto &c) {
                return c->Config.DevicePath == camera->Config.DevicePath;
            });
            if (old != r.Cameras.end())
                camera = *old;
        }
        for (const TSimStatePtr &old : r.Cameras)
            if (std::find(fresh.begin(), fresh.end(), old) == fresh.end())
                old->Unplugged = true;
        r.Cameras = std::move(fresh);
    }
    std::lock_guard lock(r.ListenerLock);
    for (const auto &[id, listener] : r.Listeners)
        listener();
}

// Reads the variable: the cameras it describes, and the file to watch when
// it names one (empty otherwise).
std::vector<TSimStatePtr> FromEnvironment(QString &watched)
{
    const QString text = qEnvironmentVariable(TSimulatedCameras::EnvironmentVariable);
    watched = WatchedPathOf(text);
    if (!watched.isEmpty())
        return Parsed(ReadDescription(watched), QStringLiteral("simulated cameras in ") + watched);
    if (text.trimmed().isEmpty())
        return {};
    return Parsed(text, QLatin1String(TSimulatedCameras::EnvironmentVariable));
}

std::unique_ptr<TFileWatch> WatchFile(const QString &path)
{
    if (path.isEmpty())
        return nullptr;
    return std::make_unique<TFileWatch>(path, [path] { ReloadWatchedFile(path); });
}

TRegistry &Registry()
{
    static TRegistry &registry = *[] {
        static TRegistry r;
        QString watched;
        r.Cameras = FromEnvironment(watched);
        r.Watch = WatchFile(watched);
        return &r;
    }();
    return registry;
}

// Replaces the cameras and the watch; the old watch stops outside the lock,
// since its thread takes that lock to reload.
void ReplaceCameras(std::vector<TSimStatePtr> cameras, std::unique_ptr<TFileWatch> watch)
{
    TRegistry &r = Registry();
    std::unique_ptr<TFileWatch> old;
    {
        std::lock_guard lock(r.Lock);
        r.Cameras = std::move(cameras);
        old = std::exchange(r.Watch, std::move(watch));
    }
}

TSimStatePtr Find(const QString &devicePath)
{
    TRegistry &r = Registry();
    std::lock_guard lock(r.Lock);
    for (const TSimStatePtr &c : r.Cameras)
        if (c->Config.DevicePath == devicePath)
            return c;
    return nullptr;
}

std::uint32_t SubTypeOf(const TSimulatedMode &m)
{
    return m.Mjpeg ? FourCC('M', 'J', 'P', 'G') : FourCC('Y', 'U', 'Y', 'V');
}

TDeviceMode DeviceModeOf(const TSimulatedMode &m)
{
    TDeviceMode d;
    // The rate as a camera reports it: from a frame duration in whole
    // 100-nanosecond units.
    const std::int64_t duration = 10'000'000 / std::max(m.Fps, 1);
    const double rate = 10'000'000.0 / double(duration);
    d.Mode = {MEDIATYPE_Video,   SubTypeOf(m), m.Width, m.Height,
              m.Mjpeg ? 24 : 16, rate,         rate,    rate};
    d.FpsNumerator = m.Fps;
    d.FpsDenominator = 1;
    return d;
}

// What one source element of a simulated camera knows; the streaming thread
// reads the atomics.
struct TSimSource
{
    TSimStatePtr Camera;
    bool HasMode = false;
    TSimulatedMode Applied;
    GstElement *Picture = nullptr; // the videotestsrc inside the bin
    GstElement *Balance = nullptr; // the colour balance the controls drive
    unsigned BalanceGeneration = 0;
    std::atomic<bool> Lost{false};
    std::atomic<std::int64_t> RunFrames{0};
};

constexpr const char *SourceKey = "ovilen-simulated-source";

TSimSource *SourceOf(GstElement *bin)
{
    return static_cast<TSimSource *>(g_object_get_data(G_OBJECT(bin), SourceKey));
}

// Breaks the frame header of a JPEG frame (the precision byte of its start
// of frame), keeping every marker and length, so the frame boundaries stay
// intact and only the decoding of this frame fails.
void DamageJpeg(GstBuffer *buf)
{
    GstMapInfo map;
    if (!gst_buffer_map(buf, &map, GST_MAP_READWRITE))
        return;
    guint8 *d = map.data;
    gsize at = 2;
    while (at + 4 < map.size && d[at] == 0xFF) {
        const guint8 marker = d[at + 1];
        const gsize length = (gsize(d[at + 2]) << 8) | d[at + 3];
        if (marker >= 0xC0 && marker <= 0xC2) {
            d[at + 4] = 0; // sample precision 0
            break;
        }
        at += 2 + length;
    }
    gst_buffer_unmap(buf, &map);
}

// The picture follows the camera's controls.
void ApplyBalance(TSimSource &src)
{
    TSimState &cam = *src.Camera;
    src.BalanceGeneration = cam.Controls.Generation();
    const TSimControlState::TBalance b = cam.Controls.Balance();
    if (src.Balance)
        g_object_set(src.Balance, "brightness", b.Brightness, "contrast", b.Contrast, "saturation",
                     b.Saturation, "hue", b.Hue, nullptr);
}

GstPadProbeReturn OnCameraFrame(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *src = static_cast<TSimSource *>(data);
    TSimState &cam = *src->Camera;
    if (cam.Controls.Generation() != src->BalanceGeneration)
        ApplyBalance(*src); // from the next frame on
    const std::int64_t n = ++src->RunFrames;
    ++cam.FramesSent;
    if (src->Lost)
        return GST_PAD_PROBE_DROP;
    const int dropAfter = cam.DropAfter;
    if (cam.Unplugged || (dropAfter >= 0 && n > dropAfter)) {
        // As a V4L2 source reports a camera that went away.
        src->Lost = true;
        GError *err = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ,
                                          "Could not read from resource.");
        gst_element_post_message(src->Picture, gst_message_new_error(GST_OBJECT(src->Picture), err,
                                                                     "simulated camera lost"));
        g_error_free(err);
        return GST_PAD_PROBE_DROP;
    }
    const int every = cam.DamagedEvery;
    if (every > 0 && src->Applied.Mjpeg && n % every == 0) {
        GstBuffer *buf = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
        GST_PAD_PROBE_INFO_DATA(info) = buf;
        DamageJpeg(buf);
    }
    return GST_PAD_PROBE_OK;
}

class TSimDevice final : public TCaptureDevice
{
public:
    explicit TSimDevice(TSimStatePtr state)
        : FState(std::move(state))
    {}

    QString FriendlyName() const override { return FState->Config.FriendlyName; }
    QString DevicePath() const override { return FState->Config.DevicePath; }

    std::vector<TDeviceMode> ReadModes() override
    {
        std::vector<TDeviceMode> modes;
        for (const TSimulatedMode &m : FState->Config.Modes)
            modes.push_back(DeviceModeOf(m));
        return modes;
    }

    TDeviceMode ReadCurrentFormat() override
    {
        const auto &modes = FState->Config.Modes;
        return modes.empty() ? TDeviceMode{} : DeviceModeOf(modes.front());
    }

    GstElement *CreateSource(const char *name) override
    {
        GstElement *bin = gst_bin_new(name);
        gst_element_add_pad(bin, gst_ghost_pad_new_no_target("src", GST_PAD_SRC));
        auto *src = new TSimSource;
        src->Camera = FState;
        g_object_set_data_full(G_OBJECT(bin), SourceKey, src,
                               [](gpointer p) { delete static_cast<TSimSource *>(p); });
        return bin;
    }

    bool ApplyMode(GstElement *source, const TDeviceMode &mode) override;
    bool Open(GstElement *source) override;
    int OpenSnapshotButton() override { return FState->OpenButton(); }
    TCameraControlsPtr OpenControls() override
    {
        return std::make_shared<TSimulatedControls>(FState);
    }

private:
    TSimStatePtr FState;
};

bool TSimDevice::ApplyMode(GstElement *source, const TDeviceMode &mode)
{
    TSimSource *src = SourceOf(source);
    if (!src)
        return false;
    const auto &modes = FState->Config.Modes;
    const auto it = std::find_if(modes.begin(), modes.end(), [&](const TSimulatedMode &m) {
        return DeviceModeOf(m).Mode == mode.Mode;
    });
    if (it == modes.end())
        return false;

    // Rebuild the camera's insides for the mode: test picture -> raw format
    // -> (JPEG encoder) -> a short queue, the camera's own wire.
    GstBin *bin = GST_BIN(source);
    TGstRef<GstPad> ghost = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(source, "src"));
    gst_ghost_pad_set_target(GST_GHOST_PAD(ghost.get()), nullptr);
    while (bin->children)
        gst_bin_remove(bin, GST_ELEMENT(bin->children->data));
    src->HasMode = false;
    src->Picture = nullptr;
    src->Balance = nullptr;

    GstElement *picture = gst_element_factory_make("videotestsrc", "picture");
    GstElement *balance = gst_element_factory_make("videobalance", "balance");
    GstElement *raw = gst_element_factory_make("capsfilter", "raw");
    GstElement *encoder = it->Mjpeg ? gst_element_factory_make("jpegenc", "encoder") : nullptr;
    GstElement *wire = gst_element_factory_make("queue", "wire");
    if (!picture || !balance || !raw || !wire || (it->Mjpeg && !encoder)) {
        for (GstElement *e : {picture, balance, raw, encoder, wire})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        qCWarning(lcCapture)
            << "the simulated camera needs videotestsrc, videobalance, jpegenc and queue";
        return false;
    }
    gst_util_set_object_arg(G_OBJECT(picture), "pattern",
                            FState->Config.Pattern.toUtf8().constData());
    g_object_set(picture, "is-live", TRUE, "horizontal-speed", FState->Config.Speed, nullptr);
    TCapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING,
                                      it->Mjpeg ? "I420" : "YUY2", "width", G_TYPE_INT, it->Width,
                                      "height", G_TYPE_INT, it->Height, "framerate",
                                      GST_TYPE_FRACTION, it->Fps, 1, nullptr));
    g_object_set(raw, "caps", caps.get(), nullptr);
    // Like a camera's few capture buffers: when nobody takes a frame, the
    // oldest is dropped rather than the camera stalling.
    gst_util_set_object_arg(G_OBJECT(wire), "leaky", "downstream");
    g_object_set(wire, "max-size-buffers", 3u, "max-size-bytes", 0u, "max-size-time", guint64(0),
                 nullptr);

    gst_bin_add_many(bin, picture, balance, raw, wire, nullptr);
    GstElement *last = raw;
    bool linked = gst_element_link_many(picture, balance, raw, nullptr);
    if (encoder) {
        gst_bin_add(bin, encoder);
        linked = linked && gst_element_link(raw, encoder);
        last = encoder;
    }
    linked = linked && gst_element_link(last, wire);
    TGstRef<GstPad> out = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(last, "src"));
    gst_pad_add_probe(out.get(), GST_PAD_PROBE_TYPE_BUFFER, OnCameraFrame, src, nullptr);
    TGstRef<GstPad> wireOut = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(wire, "src"));
    linked = linked && gst_ghost_pad_set_target(GST_GHOST_PAD(ghost.get()), wireOut.get());
    if (!linked)
        return false;
    src->Picture = picture;
    src->Balance = balance;
    ApplyBalance(*src);
    src->Applied = *it;
    src->HasMode = true;
    return true;
}

bool TSimDevice::Open(GstElement *source)
{
    TSimSource *src = SourceOf(source);
    if (!src || !src->HasMode)
        return false;
    const QString &name = FState->Config.FriendlyName;
    if (FState->Unplugged) {
        qCWarning(lcCapture).noquote() << "simulated camera" << name << "is unplugged";
        return false;
    }
    const auto &refused = FState->Config.Refused;
    if (std::find(refused.begin(), refused.end(),
                  std::pair(src->Applied.Width, src->Applied.Height)) != refused.end()) {
        qCWarning(lcCapture).noquote() << "simulated camera" << name << "refuses"
                                       << src->Applied.Width << "x" << src->Applied.Height;
        return false;
    }
    src->Lost = false;
    src->RunFrames = 0;
    return true;
}

bool ParseMode(const QString &text, TSimulatedMode &mode)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,5})\\s*x\\s*(\\d{1,5})\\s+(MJPG|YUY2|YUYV)\\s+(\\d{1,3})\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    mode.Width = m.captured(1).toInt();
    mode.Height = m.captured(2).toInt();
    mode.Mjpeg = m.captured(3).compare(QLatin1String("MJPG"), Qt::CaseInsensitive) == 0;
    mode.Fps = m.captured(4).toInt();
    // jpegenc and YUY2 want even sizes of at least 2 pixels.
    return mode.Width >= 2 && mode.Height >= 2 && mode.Fps >= 1 &&
           (mode.Mjpeg || mode.Width % 2 == 0);
}

bool ParseSize(const QString &text, std::pair<int, int> &size)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,5})\\s*x\\s*(\\d{1,5})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    size = {m.captured(1).toInt(), m.captured(2).toInt()};
    return true;
}

} // namespace

std::vector<TSimulatedCamera> TSimulatedCameras::Parse(const QString &text, QStringList *errors)
{
    std::vector<TSimulatedCamera> cameras;
    const auto fail = [&](int number, const QString &why) {
        if (errors)
            errors->append(QStringLiteral("camera %1: %2").arg(number).arg(why));
    };
    int number = 0;
    for (const QString &entry : text.split(u';')) {
        if (entry.trimmed().isEmpty())
            continue;
        ++number;
        const QStringList fields = entry.split(u'|');
        if (fields.size() < 3) {
            fail(number, QStringLiteral("needs a name, a device path and modes"));
            continue;
        }
        TSimulatedCamera cam;
        cam.FriendlyName = fields[0];
        cam.DevicePath = fields[1].trimmed();
        if (cam.DevicePath.isEmpty()) {
            fail(number, QStringLiteral("has no device path"));
            continue;
        }
        bool ok = true;
        for (const QString &modeText : fields[2].split(u',')) {
            TSimulatedMode mode;
            if (!ParseMode(modeText, mode)) {
                fail(number, QStringLiteral("bad mode \"%1\" (want e.g. \"1280x720 MJPG 30\")")
                                 .arg(modeText.trimmed()));
                ok = false;
                break;
            }
            cam.Modes.push_back(mode);
        }
        for (qsizetype i = 3; ok && i < fields.size(); ++i) {
            const QString option = fields[i].trimmed();
            const QString key = option.section(u'=', 0, 0).trimmed().toLower();
            const QString value = option.section(u'=', 1).trimmed();
            bool numeric = false;
            const int n = value.toInt(&numeric);
            std::pair<int, int> size;
            if (key == QLatin1String("drop") && numeric && n >= 0)
                cam.DropAfterFrames = n;
            else if (key == QLatin1String("damaged") && numeric && n >= 0)
                cam.DamagedEvery = n;
            else if (key == QLatin1String("speed") && numeric)
                cam.Speed = n;
            else if (key == QLatin1String("pattern") && !value.isEmpty())
                cam.Pattern = value;
            else if (key == QLatin1String("refuse") && ParseSize(value, size))
                cam.Refused.push_back(size);
            else if (!option.isEmpty()) {
                fail(number, QStringLiteral("unknown option \"%1\"").arg(option));
                ok = false;
            }
        }
        if (ok)
            cameras.push_back(std::move(cam));
    }
    return cameras;
}

void TSimulatedCameras::LoadFromEnvironment()
{
    QString watched;
    auto cameras = FromEnvironment(watched);
    ReplaceCameras(std::move(cameras), WatchFile(watched));
}

QString TSimulatedCameras::WatchedFile()
{
    TRegistry &r = Registry();
    std::lock_guard lock(r.Lock);
    return r.Watch ? r.Watch->Path() : QString();
}

int TSimulatedCameras::Subscribe(std::function<void()> onChanged)
{
    TRegistry &r = Registry();
    std::lock_guard lock(r.ListenerLock);
    const int id = r.NextListener++;
    r.Listeners.emplace(id, std::move(onChanged));
    return id;
}

void TSimulatedCameras::Unsubscribe(int id)
{
    TRegistry &r = Registry();
    std::lock_guard lock(r.ListenerLock);
    r.Listeners.erase(id);
}

void TSimulatedCameras::Add(const TSimulatedCamera &camera)
{
    TRegistry &r = Registry();
    std::lock_guard lock(r.Lock);
    r.Cameras.push_back(std::make_shared<TSimState>(camera));
}

void TSimulatedCameras::Clear()
{
    ReplaceCameras({}, nullptr);
}

std::vector<TSimulatedCamera> TSimulatedCameras::List()
{
    TRegistry &r = Registry();
    std::lock_guard lock(r.Lock);
    std::vector<TSimulatedCamera> list;
    for (const TSimStatePtr &c : r.Cameras) {
        TSimulatedCamera cam = c->Config;
        cam.DropAfterFrames = c->DropAfter;
        cam.DamagedEvery = c->DamagedEvery;
        list.push_back(std::move(cam));
    }
    return list;
}

bool TSimulatedCameras::DropOut(const QString &devicePath)
{
    const TSimStatePtr c = Find(devicePath);
    if (c)
        c->Unplugged = true;
    return bool(c);
}

bool TSimulatedCameras::PlugIn(const QString &devicePath)
{
    const TSimStatePtr c = Find(devicePath);
    if (c)
        c->Unplugged = false;
    return bool(c);
}

bool TSimulatedCameras::SetDropAfterFrames(const QString &devicePath, int frames)
{
    const TSimStatePtr c = Find(devicePath);
    if (c)
        c->DropAfter = std::max(frames, -1);
    return bool(c);
}

bool TSimulatedCameras::SetDamagedEvery(const QString &devicePath, int every)
{
    const TSimStatePtr c = Find(devicePath);
    if (c)
        c->DamagedEvery = std::max(every, 0);
    return bool(c);
}

std::int64_t TSimulatedCameras::FramesSent(const QString &devicePath)
{
    const TSimStatePtr c = Find(devicePath);
    return c ? c->FramesSent.load() : 0;
}

bool TSimulatedCameras::PressButton(const QString &devicePath)
{
    const TSimStatePtr c = Find(devicePath);
    if (c)
        c->PressButton();
    return bool(c);
}

std::vector<TCaptureDevicePtr> TSimulatedProvider::Enumerate()
{
    TRegistry &r = Registry();
    std::lock_guard lock(r.Lock);
    std::vector<TCaptureDevicePtr> devices;
    for (const TSimStatePtr &c : r.Cameras)
        devices.push_back(std::make_shared<TSimDevice>(c));
    return devices;
}
