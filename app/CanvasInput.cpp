#include "app/CanvasInput.h"

#include "canvas/TKARVOCanvas.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTouchEvent>
#include <QWidget>

namespace {

// The points of a touch event that are still on the screen.
QList<QEventPoint> Down(const QTouchEvent *AEvent)
{
    QList<QEventPoint> points;
    for (const QEventPoint &point : AEvent->points())
        if (point.state() != QEventPoint::Released)
            points << point;
    return points;
}

// Where a point is on ASurface, from its place on the screen (the same as
// its position() once the application has delivered it; a touch handed on
// by another filter may carry only its screen position).
QPointF On(const QWidget *ASurface, const QEventPoint &APoint)
{
    return ASurface->mapFromGlobal(APoint.globalPosition());
}

QPointF Centre(const QWidget *ASurface, const QList<QEventPoint> &APoints)
{
    QPointF sum;
    for (const QEventPoint &point : APoints)
        sum += On(ASurface, point);
    return APoints.isEmpty() ? sum : sum / qreal(APoints.size());
}

} // namespace

TCanvasInput::TCanvasInput(TKARVOCanvas &ACanvas, QWidget &AHost)
    : FCanvas(ACanvas)
    , FHost(&AHost)
{
    FLongPress.setSingleShot(true);
    FLongPress.setInterval(LongPressMs);
    connect(&FLongPress, &QTimer::timeout, this, [this] {
        if (FState != TState::Waiting)
            return;
        FState = TState::Done;
        emit ContextMenuRequested(FStartGlobal);
    });
    Watch(&AHost);
    for (QWidget *child : AHost.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        Watch(child);
}

TCanvasInput::~TCanvasInput()
{
    if (FHost) {
        FHost->removeEventFilter(this);
        for (QWidget *child : FHost->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->removeEventFilter(this);
    }
}

void TCanvasInput::Watch(QWidget *AWidget)
{
    AWidget->installEventFilter(this);
    // Touches reach the filter as touches, not as a mouse made from them.
    if (AWidget != FHost)
        AWidget->setAttribute(Qt::WA_AcceptTouchEvents);
}

bool TCanvasInput::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    switch (AEvent->type()) {
    case QEvent::ChildAdded:
        // The canvas's surface, made again after the canvas was released.
        if (AWatched == FHost)
            if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(AEvent)->child()))
                Watch(child);
        return false;
    case QEvent::MouseButtonPress:
        // The right button (a stylus's barrel button arrives as a tablet
        // press below) asks for the board; the canvas never sees it.
        if (static_cast<QMouseEvent *>(AEvent)->button() != Qt::RightButton)
            return false;
        emit ContextMenuRequested(static_cast<QMouseEvent *>(AEvent)->globalPosition().toPoint());
        return true;
    case QEvent::TabletPress:
        if (static_cast<QTabletEvent *>(AEvent)->button() != Qt::RightButton)
            return false;
        emit ContextMenuRequested(static_cast<QTabletEvent *>(AEvent)->globalPosition().toPoint());
        AEvent->accept();
        return true;
    case QEvent::ContextMenu:
        // The mouse's own was answered at the press; the keyboard's menu key
        // opens the board where the pointer is.
        if (static_cast<QContextMenuEvent *>(AEvent)->reason() != QContextMenuEvent::Mouse)
            emit ContextMenuRequested(static_cast<QContextMenuEvent *>(AEvent)->globalPos());
        AEvent->accept();
        return true;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        if (AWatched == FHost || !AWatched->isWidgetType())
            return false;
        return Touch(static_cast<QWidget *>(AWatched), static_cast<QTouchEvent *>(AEvent));
    default:
        return false;
    }
}

bool TCanvasInput::Touch(QWidget *ASurface, QTouchEvent *AEvent)
{
    AEvent->accept();
    const QList<QEventPoint> down = Down(AEvent);
    const QPointF pos =
        AEvent->points().isEmpty() ? FStartPos : On(ASurface, AEvent->points().first());
    const float pressure =
        FPressure && !AEvent->points().isEmpty() ? float(AEvent->points().first().pressure()) : -1;
    switch (AEvent->type()) {
    case QEvent::TouchBegin:
        FState = TState::Waiting;
        FStartPos = pos;
        FStartGlobal = AEvent->points().first().globalPosition().toPoint();
        FLongPress.start();
        FPressure = AEvent->device() &&
                    AEvent->device()->capabilities().testFlag(QInputDevice::Capability::Pressure);
        FStartPressure = FPressure ? float(AEvent->points().first().pressure()) : -1;
        if (down.size() >= 2)
            BeginPan(ASurface, Centre(ASurface, down));
        break;
    case QEvent::TouchUpdate:
        if (down.size() >= 2) {
            if (FState == TState::Drawing)
                StrokeTo(ASurface, FStartPos, -1, true);
            if (FState == TState::Waiting || FState == TState::Drawing)
                BeginPan(ASurface, Centre(ASurface, down));
            else if (FState == TState::Panning)
                PanTo(ASurface, Centre(ASurface, down), false);
        } else if (down.size() == 1) {
            const QPointF at = On(ASurface, down.first());
            if (FState == TState::Waiting && (at - FStartPos).manhattanLength() >= StartDistance)
                BeginStroke(ASurface);
            if (FState == TState::Drawing) {
                StrokeTo(ASurface, at, FPressure ? float(down.first().pressure()) : -1, false);
                FStartPos = at;
            } else if (FState == TState::Panning) {
                // One finger of two lifted: the move ends here.
                PanTo(ASurface, FStartPos, true);
                FState = TState::Done;
            }
        }
        break;
    case QEvent::TouchEnd:
        if (FState == TState::Waiting)
            BeginStroke(ASurface);
        if (FState == TState::Drawing)
            StrokeTo(ASurface, pos, pressure, true);
        else if (FState == TState::Panning)
            PanTo(ASurface, FStartPos, true);
        FState = TState::Idle;
        break;
    default: // TouchCancel
        FLongPress.stop();
        if (FState == TState::Drawing)
            StrokeTo(ASurface, FStartPos, -1, true);
        else if (FState == TState::Panning)
            PanTo(ASurface, FStartPos, true);
        FState = TState::Idle;
        break;
    }
    return true;
}

void TCanvasInput::BeginStroke(QWidget *ASurface)
{
    FLongPress.stop();
    FState = TState::Drawing;
    Send(ASurface, QEvent::MouseButtonPress, FStartPos, FStartPressure);
}

void TCanvasInput::StrokeTo(QWidget *ASurface, QPointF APos, float APressure, bool ARelease)
{
    Send(ASurface, ARelease ? QEvent::MouseButtonRelease : QEvent::MouseMove, APos, APressure);
}

void TCanvasInput::BeginPan(QWidget *ASurface, QPointF ACentre)
{
    FLongPress.stop();
    FState = TState::Panning;
    FToolBeforePan = FCanvas.StoredPenTool();
    FCanvas.SetPenTool(KARVO_TOOL_MOVE);
    FStartPos = ACentre;
    Send(ASurface, QEvent::MouseButtonPress, ACentre, -1);
}

void TCanvasInput::PanTo(QWidget *ASurface, QPointF ACentre, bool ARelease)
{
    if (ARelease) {
        Send(ASurface, QEvent::MouseButtonRelease, FStartPos, -1);
        FCanvas.SetPenTool(FToolBeforePan);
        return;
    }
    FStartPos = ACentre;
    Send(ASurface, QEvent::MouseMove, ACentre, -1);
}

void TCanvasInput::Send(QWidget *ASurface, int AType, QPointF APos, float APressure)
{
    const QPointF global = ASurface->mapToGlobal(APos);
    const auto type = QEvent::Type(AType);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    if (APressure >= 0) {
        // A touch screen with pressure draws as a stylus does.
        const QEvent::Type tablet = type == QEvent::MouseButtonPress ? QEvent::TabletPress
                                    : type == QEvent::MouseMove      ? QEvent::TabletMove
                                                                     : QEvent::TabletRelease;
        QTabletEvent event(tablet, QPointingDevice::primaryPointingDevice(), APos, global,
                           APressure, 0, 0, 0, 0, 0, Qt::NoModifier, button, buttons);
        QCoreApplication::sendEvent(ASurface, &event);
        return;
    }
    QMouseEvent event(type, APos, global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(ASurface, &event);
}
