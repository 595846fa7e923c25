// Placement of the picture inside the capture component, the widget side:
// the picture window moved and sized where TPictureGeometry puts the
// picture, panning and the selection drag with the mouse, the wheel, and the
// background around the picture.
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

float TCustomVideoCap::MinZoom = 0.1f;

namespace {

QRect ToQRect(const TRect &r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TPoint ToPoint(QPoint p)
{
    return {p.x(), p.y()};
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

} // namespace

TPictureArea TCustomVideoCap::Area() const
{
    return {size(), PictureSize()};
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
    const TRect picture = FGeometry.Place(Area());
    if (FVideoWindow) {
        if (FAspectRatio)
            FVideoWindow->setGeometry(ToQRect(picture));
        else
            FVideoWindow->setGeometry(0, 0, width(), height());
    }
}

void TCustomVideoCap::SetZoom(float Value)
{
    const std::vector<TRect> uncovered = FGeometry.SetZoom(Value, MinZoom, Area());
    Raise(OnChangeZoom);
    ResizeWindow();
    for (const TRect &band : uncovered)
        CustomInvalidate(band);
}

void TCustomVideoCap::SetWideMOde(bool Value)
{
    FGeometry.SetWideMode(Value);
    // A control not laid out yet keeps the previous limit.
    if (const std::optional<float> limit = FGeometry.FitLimit(Area()))
        MinZoom = *limit;
    SetZoom(-1.0f);
}

void TCustomVideoCap::FitHeight()
{
    if (const std::optional<float> zoom = TPictureGeometry::FitHeightZoom(Area()))
        SetZoom(*zoom);
}

void TCustomVideoCap::FitWidth()
{
    if (const std::optional<float> zoom = TPictureGeometry::FitWidthZoom(Area()))
        SetZoom(*zoom);
}

void TCustomVideoCap::FitScreen()
{
    if (const std::optional<float> zoom = TPictureGeometry::FitScreenZoom(Area()))
        SetZoom(*zoom);
    // The flag only: the rectangles keep their values.
    FSelectionMode = false;
    Raise(OnChangeFilter);
}

void TCustomVideoCap::Centre()
{
    FGeometry.Centre(Area());
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

void TCustomVideoCap::mousePressEvent(QMouseEvent *e)
{
    if (!FEnableMouseEvent) {
        e->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    FMouseDown = e->button() == Qt::LeftButton;
    FMouseDownPos = ToPoint(e->position().toPoint());
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
    const TPoint pos = ToPoint(e->position().toPoint());
    if (FSelectionMode) {
        if (FVideoWindow)
            FGrabberCB->SetSelectionRect(FGeometry.Selection(FMouseDownPos, pos));
        return;
    }
    if (FGeometry.Pan({pos.X - FMouseDownPos.X, pos.Y - FMouseDownPos.Y}, Area()))
        ResizeWindow();
    FMouseDownPos = pos;
}

void TCustomVideoCap::mouseReleaseEvent(QMouseEvent *e)
{
    if (!FEnableMouseEvent) {
        e->ignore();
        return;
    }
    if (FSelectionMode && FMouseDown && FVideoWindow) {
        FGrabberCB->SetSelectionMode(false);
        const TRect selected = FGeometry.Selection(FMouseDownPos, ToPoint(e->position().toPoint()));
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
    SetZoom(FGeometry.WheelZoom(d));
}
