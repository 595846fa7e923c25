// The main window as the drawing commands see it: the room of the drawing
// area, the picture the preview area shows, the buttons the popups open from.
#include "app/MainForm.h"
#include "app/VclPanel.h"
#include "capture/component/CustomVideoCap.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"

QImage TMainForm::PreviewPicture()
{
    // Both are rendered, not grabbed from the screen.
    if (PreviewType() == cptImage)
        return imgViewer->grab().toImage();
    return FVideoCap ? FVideoCap->CaptureWindow() : QImage();
}

QSize TMainForm::DrawingAreaSize() const
{
    // What the work area is given by the layout for the window's size now,
    // so a window that has just been maximised counts with its new size.
    if (FFullScreen)
        return size();
    return {width() - 2 * MenuGeometry::WindowPadding,
            height() - 2 * MenuGeometry::WindowPadding - MenuHeight};
}

QSize TMainForm::CanvasPanelSize() const
{
    return pnlCanvas->size();
}

void TMainForm::MaximizeWindow()
{
    SetCustomWindowState(cwsMax);
}

QWidget *TMainForm::DrawingButton(TDrawingTag ATag)
{
    return MenuButton(ATag);
}

QWidget *TMainForm::CanvasHost()
{
    return FVclPanel;
}
