#pragma once

// What the drawing commands need of the main window beyond IMainView: the
// sizes of the drawing area, the picture the preview area shows, the window
// state and the buttons the popups open from. TMainForm implements it; tests
// give a small implementation of their own. UI thread only.

#include "app/MainTypes.h"
#include "app/MainView.h"
#include "app/MenuTags.h"

#include <QImage>
#include <QSize>

class QWidget;

class IDrawingView
{
public:
    virtual ~IDrawingView() = default;

    // What the preview work area shows now, as it is drawn: the image
    // viewer's picture in the image view; otherwise the capture component's
    // whole window (the picture with its zoom, rotation and effects, and the
    // background around it). Null when there is nothing to show.
    virtual QImage PreviewPicture() = 0;
    // The room the canvas has: the window's size less pnlDrawing's padding,
    // and less the menu bar's height outside full screen.
    virtual QSize DrawingAreaSize() const = 0;
    // The size of pnlCanvas now.
    virtual QSize CanvasPanelSize() const = 0;
    // The window's own maximised state (SetCustomWindowState(cwsMax)).
    virtual void MaximizeWindow() = 0;
    // The drawing-menu button ATag (TDrawingTag::PenOption); its popup opens
    // below it. Null for a value of no button.
    virtual QWidget *DrawingButton(TDrawingTag ATag) = 0;
    // The panel that hosts the canvas (FVclPanel): right-clicks and touches
    // on the drawing area arrive there.
    virtual QWidget *CanvasHost() = 0;
    // The window the drawing popups belong to (it owns them).
    virtual QWidget *PopupParent() = 0;
};
