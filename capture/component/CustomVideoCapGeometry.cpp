// Placement of the picture inside the capture component: the zoom and its
// limits, centring and fitting, panning and the selection drag with the
// mouse, the wheel, and the background around the picture.
//
// The picture window is a child widget moved and sized to (X, Y, SW, SH); it
// may be far larger than the component and stand at negative positions. Mouse
// input it does not use reaches the component through Qt's propagation, so
// every position here is already in the component's own coordinates. Qt
// repaints whatever part of the component a move of the picture window
// uncovers, and the component paints its background colour there.
#include "capture/component/CustomVideoCap.h"
#include "capture/component/VideoWindow.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

float TCustomVideoCap::MinZoom = 0.1f;

namespace {

constexpr float MaxZoom = 10.0f;
// Zoom change of one wheel notch (120 units of wheel distance).
constexpr double WheelStep = 0.04;

// Round to the nearest integer, halves to the even neighbour.
int Round(double v)
{
    return int(std::nearbyint(v));
}

QRect ToQRect(const TRect &r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TRect Normalised(TPoint a, QPoint b)
{
    return {std::min(a.X, b.x()), std::min(a.Y, b.y()), std::max(a.X, b.x()), std::max(a.Y, b.y())};
}

// The selection-done message with its rectangle in picture pixels.
class TSelectionDoneEvent : public QEvent
{
public:
    explicit TSelectionDoneEvent(const TRect &r)
        : QEvent(QEvent::Type(WM_SELECTIONDONE))
        , Rect(r)
    {}
    const TRect Rect;
};

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

} // namespace

int TCustomVideoCap::ScaledWidth() const
{
    return Round(double(VideoWidth()) * double(FZoom));
}

int TCustomVideoCap::ScaledHeight() const
{
    return Round(double(VideoHeight()) * double(FZoom));
}

void TCustomVideoCap::SetBackgroundColor(const QColor &Value)
{
    FBackgroundColor = Value;
    QPalette p = palette();
    p.setColor(QPalette::Window, Value);
    setPalette(p);
    update();
}

void TCustomVideoCap::ResizeWindow()
{
    const int sw = ScaledWidth(), sh = ScaledHeight();
    int x = FVideoPoint.X, y = FVideoPoint.Y;
    if (width() >= sw)
        x = (width() - sw) / 2;
    if (height() >= sh)
        y = (height() - sh) / 2;
    FVideoPoint = {x, y};
    if (FVideoWindow) {
        if (FAspectRatio)
            FVideoWindow->setGeometry(x, y, sw, sh);
        else
            FVideoWindow->setGeometry(0, 0, width(), height());
    }
}

void TCustomVideoCap::SetZoom(float Value)
{
    float z = Value;
    if (!(z >= MinZoom)) // a value that is not a number too
        z = MinZoom;
    if (z > MaxZoom)
        z = MaxZoom;
    const int cw = width(), ch = height();
    const int ow = ScaledWidth(), oh = ScaledHeight();
    const bool zoomingOut = z < FZoom;
    const TRect old{FVideoPoint.X, FVideoPoint.Y, FVideoPoint.X + ow, FVideoPoint.Y + oh};

    FZoom = z;
    const int sw = ScaledWidth(), sh = ScaledHeight();
    const auto place = [](int pos, int scaled, int before, int control) {
        if (scaled <= control)
            return (control - scaled) / 2;
        return NoGap(pos - (scaled - before) / 2, scaled, control); // keep the centre
    };
    const int x = place(FVideoPoint.X, sw, ow, cw);
    const int y = place(FVideoPoint.Y, sh, oh, ch);
    FVideoPoint = {x, y};
    Raise(OnChangeZoom);
    ResizeWindow();

    if (!zoomingOut || old.IsEmpty())
        return;
    const QRect control(0, 0, cw, ch);
    const TRect now{x, y, x + sw, y + sh};
    if (ToQRect(now).intersected(control) == control)
        return;
    // The bands of the old picture that the new one no longer covers.
    const TRect bands[] = {{old.Left, old.Top, old.Right, now.Top},
                           {old.Left, now.Bottom, old.Right, old.Bottom},
                           {old.Left, old.Top, now.Left, old.Bottom},
                           {now.Right, old.Top, old.Right, old.Bottom}};
    for (const TRect &band : bands) {
        const QRect r = ToQRect(band).intersected(control);
        if (!band.IsEmpty() && !r.isEmpty())
            CustomInvalidate({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    }
}

void TCustomVideoCap::SetWideMOde(bool Value)
{
    FWideMode = Value;
    const int vw = VideoWidth(), vh = VideoHeight();
    // A control with no width (height) yet, not laid out, gives no limit: a
    // zoom of 0 would divide the selection by zero. The previous limit stays.
    if (Value && vw != 0 && width() > 0)
        MinZoom = float(double(width()) / double(vw));
    else if (!Value && vh != 0 && height() > 0)
        MinZoom = float(double(height()) / double(vh));
    SetZoom(-1.0f);
}

void TCustomVideoCap::FitHeight()
{
    if (VideoHeight() != 0)
        SetZoom(float(double(height()) / double(VideoHeight())));
}

void TCustomVideoCap::FitWidth()
{
    if (VideoWidth() != 0)
        SetZoom(float(double(width()) / double(VideoWidth())));
}

void TCustomVideoCap::FitScreen()
{
    const int vw = VideoWidth(), vh = VideoHeight();
    if (vw != 0 && vh != 0) {
        const double byWidth = double(width()) / double(vw);
        const double byHeight = double(height()) / double(vh);
        SetZoom(float(byWidth >= byHeight ? byHeight : byWidth));
    }
    // The flag only: the rectangles keep their values.
    FSelectionMode = false;
    Raise(OnChangeFilter);
}

void TCustomVideoCap::Centre()
{
    // From the unscaled size: a dimension in which the scaled picture is
    // larger than the control keeps this position, moved only as far as it
    // takes to leave no gap beside the picture (a picture zoomed out below
    // its own size would otherwise end short of the control's edge).
    FVideoPoint = {NoGap(width() / 2 - VideoWidth() / 2, ScaledWidth(), width()),
                   NoGap(height() / 2 - VideoHeight() / 2, ScaledHeight(), height())};
    ResizeWindow();
    CustomInvalidate();
}

void TCustomVideoCap::SetSelectionMode(bool Value)
{
    if (Value == FSelectionMode)
        return;
    FSelectionMode = Value;
    FSelectionRect = {};
    FGrabberCB->SetSelectionRect({});
    FGrabberCB->SetSelectionMode(Value);
    Raise(OnChangeFilter);
}

void TCustomVideoCap::CustomInvalidate()
{
    update();
}

void TCustomVideoCap::CustomInvalidate(const TRect &ARect)
{
    if (!ARect.IsEmpty())
        update(ToQRect(ARect));
}

void TCustomVideoCap::paintEvent(QPaintEvent *e)
{
    // Qt leaves out what the (opaque) picture window covers: this is the
    // background around the picture.
    QPainter painter(this);
    painter.fillRect(e->rect(), FBackgroundColor);
}

void TCustomVideoCap::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    ResizeWindow();
}

// ---- mouse ----

TRect TCustomVideoCap::ToPicturePixels(const TRect &r) const
{
    const float k = 1.0f / FZoom;
    TRect p;
    p.Left = Round(double(r.Left - FVideoPoint.X) * double(k));
    p.Top = Round(double(r.Top - FVideoPoint.Y) * double(k));
    p.Right = p.Left + Round(double(r.Right - r.Left) * double(k));
    p.Bottom = p.Top + Round(double(r.Bottom - r.Top) * double(k));
    return p;
}

void TCustomVideoCap::mousePressEvent(QMouseEvent *e)
{
    if (!FEnableMouseEvent) {
        e->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    FMouseDown = e->button() == Qt::LeftButton;
    const QPoint pos = e->position().toPoint();
    FMouseDownPos = {pos.x(), pos.y()};
    if (FVideoWindow && FMouseDown && FSelectionMode) {
        FGrabberCB->SetSelectionRect({});
        FGrabberCB->SetSelectionMode(true);
    }
}

void TCustomVideoCap::mouseMoveEvent(QMouseEvent *e)
{
    if (!FEnableMouseEvent || !FMouseDown) {
        e->ignore();
        return;
    }
    const QPoint pos = e->position().toPoint();
    if (FSelectionMode) {
        if (FVideoWindow)
            FGrabberCB->SetSelectionRect(ToPicturePixels(Normalised(FMouseDownPos, pos)));
        return;
    }
    const int sw = ScaledWidth(), sh = ScaledHeight();
    const TPoint moved{Panned(FVideoPoint.X, pos.x() - FMouseDownPos.X, sw, width()),
                       Panned(FVideoPoint.Y, pos.y() - FMouseDownPos.Y, sh, height())};
    if (moved != FVideoPoint) {
        FVideoPoint = moved;
        ResizeWindow();
    }
    FMouseDownPos = {pos.x(), pos.y()};
}

void TCustomVideoCap::mouseReleaseEvent(QMouseEvent *e)
{
    if (!FEnableMouseEvent) {
        e->ignore();
        return;
    }
    if (FSelectionMode && FMouseDown && FVideoWindow) {
        FGrabberCB->SetSelectionMode(false);
        const TRect selected = ToPicturePixels(Normalised(FMouseDownPos, e->position().toPoint()));
        QCoreApplication::postEvent(this, new TSelectionDoneEvent(selected));
    }
    FMouseDown = false;
}

void TCustomVideoCap::SelectionDoneMessage(QEvent *e)
{
    const TRect selected = static_cast<TSelectionDoneEvent *>(e)->Rect;
    if (OnSelectionRect)
        OnSelectionRect(this, selected);
}

void TCustomVideoCap::wheelEvent(QWheelEvent *e)
{
    // Not marked as handled: the parent sees the wheel too.
    e->ignore();
    const int d = e->angleDelta().y();
    if (!FEnableMouseEvent || d == 0)
        return;
    SetZoom(float(double(FZoom) + double(d) / 120.0 * WheelStep));
}
