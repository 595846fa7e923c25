#pragma once

// Where the picture stands inside the capture component, as plain numbers:
// the zoom and its limits, the position of the picture's top-left corner in
// the control, fitting (4:3 by the height, wide by the width), centring,
// panning, the conversion of a selection to picture pixels and the bands of
// the control a zoom-out uncovers. It knows no widget and no camera: each
// operation is handed the sizes it works on (TPictureArea) and gives back
// plain values; the component places its picture window and repaints from
// them.
//
// Sizes in the control are the picture's sizes times the zoom, rounded to
// the nearest integer with halves to the even neighbour.

#include "capture/devices/CaptureTypes.h"

#include <QSize>
#include <optional>
#include <vector>

// The sizes one placement is worked out for.
struct TPictureArea
{
    QSize Control; // the component's size
    QSize Picture; // the picture's size after rotation (empty without a camera)
};

class TPictureGeometry
{
public:
    // The upper limit of the zoom; the lower one is the caller's (MinZoom).
    static constexpr float MaxZoom = 10.0f;
    // Zoom change of one wheel notch (120 units of wheel distance).
    static constexpr double WheelStep = 0.04;

    // The picture size of `mode` turned by `rotation`: width and height swap
    // at 90 and 270 degrees.
    static QSize RotatedSize(const TVCapMode &mode, TVideoRotationType rotation);

    float Zoom() const { return FZoom; }
    // Back to zoom 1 as a stopped preview has it; the position is not moved.
    void ResetZoom() { FZoom = 1.0f; }
    // The picture's top-left corner in the control; it may be negative.
    TPoint Position() const { return FVideoPoint; }
    void SetPosition(TPoint p) { FVideoPoint = p; }
    // Wide (16:9) fitting goes by the width, otherwise (4:3) by the height.
    bool WideMode() const { return FWideMode; }
    void SetWideMode(bool value) { FWideMode = value; }

    // `picture` at the zoom.
    QSize Scaled(QSize picture) const;
    // Centres the picture in each dimension in which it fits the control
    // (the position stays in the others) and gives its rectangle.
    TRect Place(const TPictureArea &area);
    // Sets the zoom, limited to [minZoom, MaxZoom] (a value that is not a
    // number becomes minZoom; MaxZoom wins over a minimum above it). A
    // picture that fits is centred; one that does not keeps its centre,
    // moved only as far as it takes to leave no gap at the control's edges.
    // Returns the parts of the control, inside it, that the old picture
    // covered and the new one does not (zooming out only).
    std::vector<TRect> SetZoom(float value, float minZoom, const TPictureArea &area);
    // The zoom of one wheel turn of `angleDelta` from the zoom now (not
    // limited: SetZoom limits it).
    float WheelZoom(int angleDelta) const;

    // The lower zoom limit of the fit in the fitting mode (the zoom at which
    // the picture fills the control's height, or its width in wide mode);
    // none while that side of the control or of the picture is 0.
    std::optional<float> FitLimit(const TPictureArea &area) const;
    // The zoom that fits the picture to the control's height, its width, or
    // whole into the control; none without a picture.
    static std::optional<float> FitHeightZoom(const TPictureArea &area);
    static std::optional<float> FitWidthZoom(const TPictureArea &area);
    static std::optional<float> FitScreenZoom(const TPictureArea &area);

    // Centres the unscaled picture in the control, then moves each
    // dimension in which the scaled picture overflows only as far as it
    // takes to leave no gap at the control's edges. (Place then centres the
    // dimensions in which the scaled picture fits.)
    void Centre(const TPictureArea &area);
    // Moves the picture by `delta` where it overflows the control, never
    // leaving a gap at its edges; centred where it fits. True when the
    // position changed.
    bool Pan(TPoint delta, const TPictureArea &area);

    // A rectangle in the control's coordinates in picture pixels (from the
    // picture's top-left corner; it may reach outside the picture).
    TRect ToPicturePixels(const TRect &r) const;
    // The rectangle a drag from `from` to `to` spans (in either direction),
    // in picture pixels.
    TRect Selection(TPoint from, TPoint to) const;

private:
    float FZoom = 1.0f;
    TPoint FVideoPoint;
    bool FWideMode = false;
};
