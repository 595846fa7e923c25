#pragma once

// Touch and right-click input on the drawing area, added to what the canvas
// library does itself (mouse, and a stylus with its pressure).
//
// - A right-click, a stylus's barrel button or the keyboard's menu key on
//   the drawing area reports ContextMenuRequested with the pointer's screen
//   position; the canvas does not see that click.
// - One finger draws with the current tool. Its stroke starts once the
//   finger has moved a few pixels, so that a second finger coming down just
//   after it never leaves a stray mark; a finger lifted before that draws a
//   dot. Where the touch screen reports pressure, the stroke is drawn with
//   it, as a stylus's is.
// - One finger held still for LongPressMs reports ContextMenuRequested at
//   that point, as a right-click does, and draws nothing.
// - Two fingers move the drawing (as the move tool does) while it is larger
//   than the area; the tool chosen before stays chosen.
//
// Filters events of the canvas host and of the canvas's surface in it. UI
// thread only.

#include "canvaslib/KARVOCanvas.h"

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <cstdint>

class QTouchEvent;
class QWidget;
class TKARVOCanvas;

class TCanvasInput : public QObject
{
    Q_OBJECT
public:
    // How far a single finger moves before its stroke begins.
    static constexpr int StartDistance = 6;
    // How long a finger rests without moving to ask for the board.
    static constexpr int LongPressMs = 800;

    TCanvasInput(TKARVOCanvas &ACanvas, QWidget &AHost);
    ~TCanvasInput() override;

signals:
    void ContextMenuRequested(const QPoint &AGlobalPos);

protected:
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;

private:
    enum class TState
    {
        Idle,
        Waiting, // one finger down, its stroke not begun
        Drawing,
        Panning,
        Done, // the gesture ended early: the rest of it is ignored
    };

    void Watch(QWidget *AWidget);
    bool Touch(QWidget *ASurface, QTouchEvent *AEvent);
    void BeginStroke(QWidget *ASurface);
    void StrokeTo(QWidget *ASurface, QPointF APos, float APressure, bool ARelease);
    void BeginPan(QWidget *ASurface, QPointF ACentre);
    void PanTo(QWidget *ASurface, QPointF ACentre, bool ARelease);
    void Send(QWidget *ASurface, int AType, QPointF APos, float APressure);

    TKARVOCanvas &FCanvas;
    QPointer<QWidget> FHost;
    TState FState = TState::Idle;
    QPointF FStartPos;
    float FStartPressure = -1;
    QPoint FStartGlobal;
    QTimer FLongPress;
    bool FPressure = false; // the touch screen reports pressure
    // The tool number chosen before a pan, chosen again when it ends.
    std::uint8_t FToolBeforePan = KARVO_DEFAULT_PEN_TOOL;
};
