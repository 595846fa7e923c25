#include "capture/component/PictureGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// Round to the nearest integer, halves to the even neighbour.
int Round(double v)
{
    return int(std::nearbyint(v));
}

// A position of a picture `scaled` long in a control `control` long that
// leaves no gap at either edge of the control (for a picture at least as
// long as the control).
int NoGap(int pos, int scaled, int control)
{
    if (pos > 0)
        pos = 0;
    if (pos + scaled < control)
        pos = control - scaled;
    return pos;
}

// Position of the picture in one dimension while panning: centred when it
// fits, otherwise moved by `delta` but never leaving a gap at either edge.
int Panned(int pos, int delta, int scaled, int control)
{
    if (scaled < control)
        return (control - scaled) / 2;
    return NoGap(pos + delta, scaled, control);
}

// Position in one dimension after a zoom from `before` to `scaled` long:
// centred when it fits, otherwise around the same centre without a gap.
int Zoomed(int pos, int scaled, int before, int control)
{
    if (scaled <= control)
        return (control - scaled) / 2;
    return NoGap(pos - (scaled - before) / 2, scaled, control);
}

TRect Intersected(const TRect &a, const TRect &b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

TRect At(TPoint p, QSize size)
{
    return {p.X, p.Y, p.X + size.width(), p.Y + size.height()};
}

} // namespace

QSize TPictureGeometry::RotatedSize(const TVCapMode &mode, TVideoRotationType rotation)
{
    const bool swap = rotation == vrt90 || rotation == vrt270;
    return swap ? QSize(mode.Height, mode.Width) : QSize(mode.Width, mode.Height);
}

QSize TPictureGeometry::Scaled(QSize picture) const
{
    return {Round(double(picture.width()) * double(FZoom)),
            Round(double(picture.height()) * double(FZoom))};
}

TRect TPictureGeometry::Place(const TPictureArea &area)
{
    const QSize scaled = Scaled(area.Picture);
    const QSize control = area.Control;
    if (control.width() >= scaled.width())
        FVideoPoint.X = (control.width() - scaled.width()) / 2;
    if (control.height() >= scaled.height())
        FVideoPoint.Y = (control.height() - scaled.height()) / 2;
    return At(FVideoPoint, scaled);
}

std::vector<TRect> TPictureGeometry::SetZoom(float value, float minZoom, const TPictureArea &area)
{
    float z = value;
    if (!(z >= minZoom)) // a value that is not a number too
        z = minZoom;
    if (z > MaxZoom)
        z = MaxZoom;
    const QSize control = area.Control;
    const QSize before = Scaled(area.Picture);
    const bool zoomingOut = z < FZoom;
    const TRect old = At(FVideoPoint, before);

    FZoom = z;
    const QSize scaled = Scaled(area.Picture);
    FVideoPoint = {Zoomed(FVideoPoint.X, scaled.width(), before.width(), control.width()),
                   Zoomed(FVideoPoint.Y, scaled.height(), before.height(), control.height())};

    const TRect bounds{0, 0, control.width(), control.height()};
    const TRect now = At(FVideoPoint, scaled);
    if (!zoomingOut || old.IsEmpty() || bounds.IsEmpty() || Intersected(now, bounds) == bounds)
        return {};
    // The bands of the old picture that the new one no longer covers.
    const TRect bands[] = {{old.Left, old.Top, old.Right, now.Top},
                           {old.Left, now.Bottom, old.Right, old.Bottom},
                           {old.Left, old.Top, now.Left, old.Bottom},
                           {now.Right, old.Top, old.Right, old.Bottom}};
    std::vector<TRect> uncovered;
    for (const TRect &band : bands) {
        const TRect inside = Intersected(band, bounds);
        if (!band.IsEmpty() && !inside.IsEmpty())
            uncovered.push_back(inside);
    }
    return uncovered;
}

float TPictureGeometry::WheelZoom(int angleDelta) const
{
    return float(double(FZoom) + double(angleDelta) / 120.0 * WheelStep);
}

std::optional<float> TPictureGeometry::FitLimit(const TPictureArea &area) const
{
    const int vw = area.Picture.width(), vh = area.Picture.height();
    // A control with no width (height) yet, not laid out, gives no limit: a
    // zoom of 0 would divide the selection by zero.
    if (FWideMode && vw != 0 && area.Control.width() > 0)
        return float(double(area.Control.width()) / double(vw));
    if (!FWideMode && vh != 0 && area.Control.height() > 0)
        return float(double(area.Control.height()) / double(vh));
    return std::nullopt;
}

std::optional<float> TPictureGeometry::FitHeightZoom(const TPictureArea &area)
{
    if (area.Picture.height() == 0)
        return std::nullopt;
    return float(double(area.Control.height()) / double(area.Picture.height()));
}

std::optional<float> TPictureGeometry::FitWidthZoom(const TPictureArea &area)
{
    if (area.Picture.width() == 0)
        return std::nullopt;
    return float(double(area.Control.width()) / double(area.Picture.width()));
}

std::optional<float> TPictureGeometry::FitScreenZoom(const TPictureArea &area)
{
    const int vw = area.Picture.width(), vh = area.Picture.height();
    if (vw == 0 || vh == 0)
        return std::nullopt;
    const double byWidth = double(area.Control.width()) / double(vw);
    const double byHeight = double(area.Control.height()) / double(vh);
    return float(byWidth >= byHeight ? byHeight : byWidth);
}

void TPictureGeometry::Centre(const TPictureArea &area)
{
    // From the unscaled size: a picture zoomed out below its own size would
    // otherwise end short of the control's edge.
    const QSize scaled = Scaled(area.Picture);
    const int cw = area.Control.width(), ch = area.Control.height();
    FVideoPoint = {NoGap(cw / 2 - area.Picture.width() / 2, scaled.width(), cw),
                   NoGap(ch / 2 - area.Picture.height() / 2, scaled.height(), ch)};
}

bool TPictureGeometry::Pan(TPoint delta, const TPictureArea &area)
{
    const QSize scaled = Scaled(area.Picture);
    const TPoint moved{Panned(FVideoPoint.X, delta.X, scaled.width(), area.Control.width()),
                       Panned(FVideoPoint.Y, delta.Y, scaled.height(), area.Control.height())};
    if (moved == FVideoPoint)
        return false;
    FVideoPoint = moved;
    return true;
}

TRect TPictureGeometry::ToPicturePixels(const TRect &r) const
{
    const float k = 1.0f / FZoom;
    TRect p;
    p.Left = Round(double(r.Left - FVideoPoint.X) * double(k));
    p.Top = Round(double(r.Top - FVideoPoint.Y) * double(k));
    p.Right = p.Left + Round(double(r.Right - r.Left) * double(k));
    p.Bottom = p.Top + Round(double(r.Bottom - r.Top) * double(k));
    return p;
}

TRect TPictureGeometry::Selection(TPoint from, TPoint to) const
{
    return ToPicturePixels({std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X),
                            std::max(from.Y, to.Y)});
}
