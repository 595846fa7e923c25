// The main window as the drawing commands see it: the room of the drawing
// area, the picture of the image view, the buttons the popups open from.
#include "app/MainForm.h"
#include "app/VclPanel.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"

QImage TMainForm::ImageViewerScreenshot()
{
    return imgViewer->grab().toImage();
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
