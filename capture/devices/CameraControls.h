#pragma once

// A camera's picture controls (brightness, focus, ...), read and written on
// the device itself: nothing is cached, every read asks the camera. The
// identifiers are V4L2's control ids, whichever device stands behind them.
//
// A control the device lacks is "absent" (std::nullopt), which no control
// value can be mistaken for (-1 is a fine brightness on many cameras).
// Writes go through FitControlValue: clamped to the control's range and put
// on its step.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The controls the capture component names, and their V4L2 ids.
enum TCameraControl : std::uint8_t
{
    ccBrightness,
    ccContrast,
    ccHue,
    ccSaturation,
    ccSharpness,
    ccGamma,
    ccBacklight,
    ccRoll,  // V4L2_CID_ROLL_ABSOLUTE where the headers have it; else id 0, never present
    ccFocus, // manual focus position
};
// The V4L2 id; 0 (no control) for one the system does not define.
std::uint32_t ControlId(TCameraControl control);

enum TCameraControlType : std::uint8_t
{
    cctInteger,
    cctBoolean,
    cctMenu,
    cctButton,
};

struct TCameraMenuItem
{
    int Value = 0;
    QString Name;
    friend bool operator==(const TCameraMenuItem &, const TCameraMenuItem &) = default;
};

struct TCameraControlInfo
{
    std::uint32_t Id = 0; // V4L2_CID_*
    QString Name;         // as the device names it
    TCameraControlType Type = cctInteger;
    int Minimum = 0, Maximum = 0, Step = 1, Default = 0;
    bool ReadOnly = false;
    bool Inactive = false;             // e.g. manual focus while autofocus is on
    std::vector<TCameraMenuItem> Menu; // cctMenu: the entries the device names
};

// `value` clamped to [Minimum, Maximum] and moved to the nearest step
// counted from Minimum (halfway goes up), never past Maximum.
int FitControlValue(const TCameraControlInfo &info, std::int64_t value);

class TCameraControls
{
public:
    virtual ~TCameraControls() = default;
    // The controls the device offers, in its order (disabled ones left out).
    virtual std::vector<TCameraControlInfo> Query() = 0;
    // One control; absent when the device lacks it.
    virtual std::optional<TCameraControlInfo> QueryOne(std::uint32_t id) = 0;
    // The value now; absent when the device lacks the control or cannot say.
    virtual std::optional<int> Get(std::uint32_t id) = 0;
    // Writes `value` as given; false when the device refuses.
    virtual bool Set(std::uint32_t id, int value) = 0;
};

using TCameraControlsPtr = std::shared_ptr<TCameraControls>;

// Fits `value` to the control and writes it: the value written, or absent
// when the control is missing, read-only or the write failed.
std::optional<int> WriteControl(TCameraControls &controls, std::uint32_t id, std::int64_t value);
