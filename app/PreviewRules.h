#pragma once

// The rules of the preview menu that need no window and no camera: status
// texts, the resolution list, the rotation cycle, the image viewer's scale
// steps and the file kinds the load command accepts.

#include "app/MainView.h"
#include "capture/devices/CaptureTypes.h"
#include "support/Common.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

struct TVideoSizeItem;

// txtZoom: Zoom × 100 rounded to the nearest integer, a half to the even
// neighbour, formatted "%d%%" (1.25 -> "125%", 0.125 -> "12%").
QString ZoomText(double AZoom);

// The recording clock of a time stamp in microseconds: whole seconds split
// into hours, minutes and seconds, "%.2d:%.2d:%.2d" (3,725,000,000 ->
// "01:02:05"; hours above 99 keep all their digits; below 0 counts as 0).
QString RecordClockText(std::int64_t ATimeStamp);

// txtResolution: "%dx%d" of the size (1280, 720 -> "1280x720").
QString ResolutionText(const TResolutionInfo &AInfo);

// "%dx%d %s", the form in which a chosen mode is kept ("1600x1200 MJPG").
QString ResolutionFormatText(const TResolutionInfo &AInfo);

// The lines of the resolution popup: the MJPEG modes of ASizes only, the
// larger width + height first (equal sums keep their list order). The line
// of the mode in use is Current; the mode in use is given by its unrotated
// size (as the camera delivers it) and its codec, so a picture turned by 90°
// still marks its mode.
std::vector<TResolutionItem> ResolutionItems(const std::vector<TVideoSizeItem> &ASizes,
                                             int AUnrotatedWidth, int AUnrotatedHeight,
                                             const QString &ACodec);

// The next rotation of the rotate command: none -> 90 -> 180 -> 270 -> none;
// the two flips go to none.
TVideoRotationType NextRotation(TVideoRotationType ARotation);

// The image viewer's scale after a zoom step (+0.2 or -0.2), kept on the
// tenths and between MinImageScale and MaxImageScale.
constexpr double MinImageScale = 0.2;
constexpr double MaxImageScale = 10.0;
constexpr double ImageScaleStep = 0.2;
double StepImageScale(double AScale, double AStep);

// What the load command does with a file, by its extension.
enum class TLoadKind
{
    None,    // neither a picture nor a video: ignored
    Picture, // shown in the image viewer
    Movie,   // handed to the desktop's player
};

// The extension, with its dot and upper-cased (".JPG"), must equal one of the
// picture or video extensions; a part of one (".JP", ".P") does not count.
TLoadKind LoadKindOf(const QString &AFileName);

// The filter of the load dialog: "Image|*.PNG;...|Movie|*.3GP;...".
QString LoadDialogFilter();

// A filter of that form as QFileDialog takes it ("Image (*.PNG *.png ...);;
// Movie (...)"), each pattern in upper and lower case, since file names on
// Linux are case-sensitive.
QString QtFileDialogFilter(const QString &AFilter);
