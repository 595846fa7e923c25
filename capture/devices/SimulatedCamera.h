#pragma once

// Simulated cameras: GStreamer test pictures that travel the same pipeline as
// a camera (MJPG modes are JPEG-encoded, so the decoder stage runs for real).
//
// Configured by the environment variable OVILEN_SIMULATED_CAMERAS:
//   cameras separated by ';', fields by '|':
//   <friendly name>|<device path>|<mode>,<mode>,...[|<option>...]
//   mode:    <W>x<H> <MJPG|YUY2> <fps>          e.g. "1280x720 MJPG 30"
//   options: drop=N        the camera is lost after N frames of each run (0: at once)
//            damaged=N     every Nth JPEG frame has a broken header
//            refuse=WxH    the mode of that size is listed but will not start
//            pattern=NAME  the videotestsrc pattern (default smpte)
//            speed=N       pixels the picture moves per frame (default 4; 0 = still)
// or "@<file>": the file holds the same description (cameras also one per
// line) and is watched. A changed file is a device change: cameras with a
// new device path are plugged in, cameras whose path is gone are unplugged
// (a running stream is lost), the others go on as they are.
//
// Tests (of any module) drive the same cameras through TSimulatedCameras.

#include "capture/devices/CaptureDevice.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

struct TSimulatedMode
{
    int Width = 0;
    int Height = 0;
    bool Mjpeg = true; // MJPG, or YUY2 when false
    int Fps = 30;

    friend bool operator==(const TSimulatedMode &, const TSimulatedMode &) = default;
};

struct TSimulatedCamera
{
    QString FriendlyName;
    QString DevicePath;
    std::vector<TSimulatedMode> Modes;
    int DropAfterFrames = -1; // lost after this many frames of a run; -1: never
    int DamagedEvery = 0;     // 0: no damaged frames
    std::vector<std::pair<int, int>> Refused;
    QString Pattern = QStringLiteral("smpte");
    int Speed = 4;

    friend bool operator==(const TSimulatedCamera &, const TSimulatedCamera &) = default;
};

// The program-wide list of simulated cameras. It is read from the environment
// on first use; the functions below change it at run time.
class TSimulatedCameras
{
public:
    static constexpr const char *EnvironmentVariable = "OVILEN_SIMULATED_CAMERAS";

    // Parses the variable's syntax. An entry that cannot be read is left out
    // and its reason appended to `errors`.
    static std::vector<TSimulatedCamera> Parse(const QString &text, QStringList *errors = nullptr);

    // Replaces the list with the cameras the environment describes, and
    // watches the file it names (if any) from now on.
    static void LoadFromEnvironment();
    // The file being watched; empty when none is.
    static QString WatchedFile();
    // `onChanged` runs (on the watching thread, never on the caller's) after
    // each change of the watched file has been applied to the list, until
    // Unsubscribe(id) returns.
    static int Subscribe(std::function<void()> onChanged);
    static void Unsubscribe(int id);
    static void Add(const TSimulatedCamera &camera);
    // No cameras, and no file watched.
    static void Clear();
    static std::vector<TSimulatedCamera> List();

    // Controls of a camera found by its device path; false when none has it.
    // The camera is lost now: a running stream ends with a device error and
    // the camera cannot be started until it is plugged in again.
    static bool DropOut(const QString &devicePath);
    static bool PlugIn(const QString &devicePath);
    static bool SetDropAfterFrames(const QString &devicePath, int frames); // -1: never
    static bool SetDamagedEvery(const QString &devicePath, int every);
    // Frames the camera has sent since it was added.
    static std::int64_t FramesSent(const QString &devicePath);
    // A press and release of the camera's snapshot button, delivered to every
    // component that has the camera bound.
    static bool PressButton(const QString &devicePath);
};

// The provider that lists the simulated cameras.
class TSimulatedProvider final : public TDeviceProvider
{
public:
    std::vector<TCaptureDevicePtr> Enumerate() override;
};
