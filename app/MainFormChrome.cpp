// The window chrome of the borderless main window: its own maximised state,
// full screen with the sliding menu, dragging by the title bar and resizing
// by the edges. On Wayland, where a client cannot place its own window, the
// states map to the compositor's maximised, normal and full-screen states.
#include "app/MainForm.h"
#include "app/MainGlyphs.h"
#include "capture/component/CustomVideoCap.h"
#include "scene/GlyphButton.h"
#include "scene/ImageButton.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

using namespace MenuGeometry;

namespace {

bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

void TMainForm::SetWindowGlyphs()
{
    // Each glyph is stretched into the button's 13 × 13 inner box; the
    // minimise bar lies at the bottom of it, 13 × 5.
    const QRectF box(9, 7, WindowButtonWidth - 18, WindowButtonHeight - 14);
    btnSystemClose->SetGlyph(CloseGlyph(), box);
    btnSystemMin->SetGlyph(MinimiseGlyph(), QRectF(box.left(), box.bottom() - 5, box.width(), 5));
    btnSystemMax->SetGlyph(FCustomWindowState == cwsMax ? RestoreGlyph() : MaximiseGlyph(), box);
}

void TMainForm::SystemButtonClick(TSystemTag ATag)
{
    switch (ATag) {
    case TSystemTag::Min:
        showMinimized();
        break;
    case TSystemTag::Max:
        SetCustomWindowState(FCustomWindowState == cwsMax ? cwsNormal : cwsMax);
        break;
    case TSystemTag::Close:
        close();
        break;
    }
}

void TMainForm::SetWindowBounds(const QRect &ABounds)
{
    setGeometry(ABounds);
}

void TMainForm::SetCustomWindowState(TCustomWindowState Value)
{
    if (Value == FCustomWindowState)
        return;
    FCustomWindowState = Value;
    SetWindowGlyphs();
    if (OnWayland()) {
        if (!FFullScreen)
            Value == cwsMax ? showMaximized() : showNormal();
        return;
    }
    if (Value == cwsNormal) {
        SetWindowBounds(FOldBound2);
    } else {
        FOldBound2 = geometry();
        if (const QScreen *s = screen())
            SetWindowBounds(s->availableGeometry());
    }
}

void TMainForm::SetFullScreen(bool Value)
{
    if (Value == FFullScreen)
        return;
    FFullScreen = Value;
    if (Value) {
        FOldBound = geometry();
        if (OnWayland())
            showFullScreen();
        else if (const QScreen *s = screen())
            SetWindowBounds(s->geometry());
        // The menu floats over the picture from the window's left edge.
        vgSceneMenu->move(0, 0);
        PlaceControls();
        vgSceneMenu->raise();
        FIdleCheck.start();
        SlideMenu(true);
    } else {
        FIdleCheck.stop();
        if (OnWayland())
            FCustomWindowState == cwsMax ? showMaximized() : showNormal();
        else
            SetWindowBounds(FOldBound);
        PlaceControls();
        SlideMenu(false);
        vgSceneMenu->move(WindowPadding, WindowPadding);
        FTimerMenu.stop();
        PlaceControls();
    }
    LayoutSystem->setVisible(!Value && FMenuType == cmtPreview);
    if (FVideoCap)
        FVideoCap->FitHeight();
    SetButtonImages(TPreviewTag::FullScreen,
                    Value ? QStringLiteral("RES_PREVIEW_MENU_FULLSCREENOFF_")
                          : QStringLiteral("RES_PREVIEW_MENU_FULLSCREENON_"));
    update();
}

void TMainForm::SlideMenu(bool Hide)
{
    const int step = Hide ? -SlideStep : SlideStep;
    const int target = Hide ? -MenuHeight : 0;
    if (vgSceneMenu->y() == target)
        return;
    FTimerMenuStep = step;
    if (!FTimerMenu.isActive())
        FTimerMenu.start();
}

void TMainForm::TimerMenuTimer()
{
    const QRect before = vgSceneMenu->geometry();
    const int top = before.top() + FTimerMenuStep;
    if (FTimerMenuStep > 0) {
        if (top < 0) {
            vgSceneMenu->move(before.left(), top);
        } else {
            vgSceneMenu->move(before.left(), 0);
            FTimerMenu.stop();
        }
    } else if (top > -MenuHeight) {
        vgSceneMenu->move(before.left(), top);
    } else {
        vgSceneMenu->move(before.left(), -MenuHeight);
        FTimerMenu.stop();
    }
    vgSceneMenu->raise();
    const QRect uncovered = before.intersected(rect());
    if (FVideoCap && !uncovered.isEmpty()) {
        const QPoint at = FVideoCap->mapFrom(this, uncovered.topLeft());
        FVideoCap->CustomInvalidate(
            TRect{at.x(), at.y(), at.x() + uncovered.width(), at.y() + uncovered.height()});
    }
}

void TMainForm::ApplicationEvents1Idle()
{
    if (!FFullScreen)
        return;
    const QPoint cursor = QCursor::pos();
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    if (cursor.y() <= origin.y())
        SlideMenu(false);
    else if (cursor.y() > mapToGlobal(vgSceneMenu->geometry().bottomLeft()).y())
        SlideMenu(true);
}

void TMainForm::LayoutMenuMouseDown(const QPointF &AGlobalPos)
{
    if (FFullScreen || FMenuType != cmtPreview)
        return;
    if (FCustomWindowState == cwsMax) {
        SetCustomWindowState(cwsNormal);
        if (!OnWayland()) {
            const QRect area = screen() ? screen()->geometry() : QRect();
            move(int(AGlobalPos.x()) - width() / 2, area.top());
        }
    }
    if (QWindow *window = windowHandle())
        window->startSystemMove();
}

Qt::Edges TMainForm::EdgeAt(const QPoint &APos) const
{
    const int W = width(), H = height();
    const int X = APos.x(), Y = APos.y();
    const int PL = WindowPadding, PR = WindowPadding, PB = WindowPadding;
    if (X < PL && Y > H - PB)
        return Qt::LeftEdge | Qt::BottomEdge;
    if (X > W - PR && Y > H - PB)
        return Qt::RightEdge | Qt::BottomEdge;
    if (X > W - PR)
        return Qt::RightEdge;
    if (X < PL)
        return Qt::LeftEdge;
    if (Y > H - PB)
        return Qt::BottomEdge;
    return {};
}

void TMainForm::mouseMoveEvent(QMouseEvent *e)
{
    if (FMenuType == cmtDrawing)
        return;
    setCursor(Qt::ArrowCursor);
    if (windowState().testFlag(Qt::WindowMaximized) || FFullScreen)
        return;
    const Qt::Edges edges = EdgeAt(e->position().toPoint());
    if (edges == (Qt::LeftEdge | Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges == (Qt::RightEdge | Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if (edges == Qt::LeftEdge || edges == Qt::RightEdge)
        setCursor(Qt::SizeHorCursor);
    else if (edges == Qt::BottomEdge)
        setCursor(Qt::SizeVerCursor);
}

void TMainForm::mousePressEvent(QMouseEvent *e)
{
    if (FMenuType == cmtDrawing || windowState().testFlag(Qt::WindowMaximized) || FFullScreen)
        return;
    const Qt::Edges edges = EdgeAt(e->position().toPoint());
    if (edges && windowHandle())
        windowHandle()->startSystemResize(edges);
}
