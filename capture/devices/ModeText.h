#pragma once

// Mode texts ("1600x1200 (MJPG)") and the choice of a mode by size and codec.

#include "capture/devices/CaptureTypes.h"

#include <QString>

// The suffix of the mode name table for a V4L2 pixel format ("(YUY2)" for
// YUYV, "(MJPG)" for MJPG), or an empty text when the table has no row for it.
QString ModeSuffix(std::uint32_t subType);

// "%dx%d", followed by a blank and the suffix for known subtypes.
QString ModeText(const TVCapMode &mode);

// Whether a mode is the one asked for by setVideoSize: width and height as
// whole numbers, and the codec (not empty) equal to the mode's code without
// regard to case ("mjpg" matches "(MJPG)"; "(mjpg)" does too).
bool ModeMatches(const TVCapMode &mode, int width, int height, const QString &codec);

// Bits per pixel of a V4L2 pixel format as a capture format reports it.
int BitCountOf(std::uint32_t subType);

// The four characters of a code ("MJPG").
QString FourCCText(std::uint32_t code);
