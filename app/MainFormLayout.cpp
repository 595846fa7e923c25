// Placement of the main window's controls: the menu bar's docking, computed
// from the numbers of MenuTable.h, and the work areas below it.
#include "app/MainForm.h"
#include "app/VclPanel.h"
#include "capture/component/CustomVideoCap.h"
#include "scene/GlyphButton.h"
#include "scene/GradientPanel.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"
#include "scene/NoticePanel.h"
#include "scene/PathIcon.h"
#include "scene/TabButton.h"
#include "scene/TextItem.h"

using namespace MenuGeometry;

void TMainForm::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    PlaceControls();
    if (FVideoCap)
        FVideoCap->Centre();
}

void TMainForm::PlaceControls()
{
    if (!vgSceneMenu)
        return;
    const int W = width(), H = height();
    if (FFullScreen) {
        // The menu floats over the picture across the whole width; its top
        // is the slide's position.
        vgSceneMenu->setGeometry(0, vgSceneMenu->y(), W, MenuHeight);
    } else if (FMenuAlign == cmaBottom) {
        vgSceneMenu->setGeometry(WindowPadding, H - WindowPadding - MenuHeight,
                                 W - 2 * WindowPadding, MenuHeight);
    } else {
        vgSceneMenu->setGeometry(WindowPadding, WindowPadding, W - 2 * WindowPadding, MenuHeight);
    }
    PlaceMenuBar();
    PlaceWorkAreas();
}

void TMainForm::PlaceMenuBar()
{
    const int MW = vgSceneMenu->width();
    LayoutMenu->setGeometry(0, 0, MW, MenuTop);
    imgIcon->setGeometry(5, 5, IconSize, IconSize);
    Layout29->setGeometry(5 + IconSize + 5, 11, 160, TabHeight);
    tabPreview->setGeometry(TabPreviewX, 0, TabWidth, TabHeight);
    tabDrawing->setGeometry(TabDrawingX, 0, TabWidth, TabHeight);
    btnSystemClose->setGeometry(MW - WindowButtonWidth, 2, WindowButtonWidth, WindowButtonHeight);
    LayoutSystem->setGeometry(MW - WindowButtonWidth - SystemWidth, 0, SystemWidth, MenuTop);
    btnSystemMax->setGeometry(SystemWidth - WindowButtonWidth, 2, WindowButtonWidth,
                              WindowButtonHeight);
    btnSystemMin->setGeometry(SystemWidth - 2 * WindowButtonWidth, 2, WindowButtonWidth,
                              WindowButtonHeight);

    LayoutSubMenu->setGeometry(0, MenuTop, MW, SubMenuHeight);
    rectSubMenu->setGeometry(SubMenuMargin, 0, MW - 2 * SubMenuMargin, SubMenuHeight);
    const QRect menus(MenuInset, MenuInset, rectSubMenu->width() - 2 * MenuInset,
                      SubMenuHeight - 2 * MenuInset);
    layoutMenuPreview->setGeometry(menus);
    LayoutMenuDrawing->setGeometry(menus);

    const int buttonTop = (menus.height() - Button) / 2;
    const int margin = (Holder - Button) / 2;
    int rowEnd = 0;
    for (TImageButton *button : FMenuButtons) {
        const TMenuButtonEntry *entry = FindMenuButton(button->objectName());
        if (entry->Place == TMenuPlace::Row) {
            button->move(entry->Slot * Holder + margin, buttonTop);
            if (entry->Menu() == TMenuKind::Preview)
                rowEnd = std::max(rowEnd, (entry->Slot + 1) * Holder);
        } else if (entry->Place == TMenuPlace::Zoom) {
            button->move((ZoomWidth - ZoomBox) / 2 + entry->Slot * Button, buttonTop);
        }
    }
    LayoutZoom->setGeometry(menus.width() - ZoomWidth, 0, ZoomWidth, menus.height());

    // The recording clock and the status strip sit left of the zoom box; in
    // a narrow window they keep clear of the buttons and shrink.
    const int columnRight = LayoutZoom->x();
    const int columnLeft = std::max(rowEnd, columnRight - StatusWidth);
    const int column = std::max(0, columnRight - columnLeft);
    txtRecordTime->setGeometry(columnLeft, 0, column, RecordTimeHeight);
    const int strip = std::min(StripWidth, column);
    const int stripTop = menus.height() - 5 - StripHeight + (StripHeight - 20) / 2;
    const int zoomInfo = std::min(64, strip);
    LayoutZoomInfo->setGeometry(columnRight - zoomInfo, stripTop, zoomInfo, 20);
    imgZoom->setGeometry(0, 0, 20, 20);
    txtZoom->setGeometry(zoomInfo - 36, 0, 36, 20);
    const int resInfo = std::max(0, std::min(84, strip - zoomInfo - 4));
    LayoutResInfo->setGeometry(columnRight - strip, stripTop, resInfo, 20);
    imgResolution->setGeometry(0, 0, 20, 20);
    txtResolution->setGeometry(24, 0, std::max(0, resInfo - 24), 20);
}

void TMainForm::PlaceWorkAreas()
{
    const int W = width(), H = height();
    QRect area;
    if (FFullScreen)
        area = rect();
    else if (FMenuAlign == cmaBottom)
        area = QRect(WindowPadding, WindowPadding, W - 2 * WindowPadding,
                     H - 2 * WindowPadding - MenuHeight);
    else
        area = QRect(WindowPadding, WindowPadding + MenuHeight, W - 2 * WindowPadding,
                     H - 2 * WindowPadding - MenuHeight);
    pnlPreview->setGeometry(area);
    pnlDrawing->setGeometry(area);
    pnlCanvas->setGeometry(0, 0, area.width(), area.height());
    if (FVclPanel)
        FVclPanel->setGeometry(pnlCanvas->rect());

    const QRect inner(0, 0, area.width(), area.height());
    constexpr int SplitterWidth = 4;
    if (PreviewType() == cptSplit) {
        const int half = inner.width() / 2;
        pnlImage->setGeometry(0, 0, half, inner.height());
        Splitter->setGeometry(half, 0, SplitterWidth, inner.height());
        pnlVideo->setGeometry(half + SplitterWidth, 0, inner.width() - half - SplitterWidth,
                              inner.height());
    } else {
        pnlImage->setGeometry(inner);
        pnlVideo->setGeometry(inner);
    }
    imgViewer->setGeometry(pnlImage->rect());
    if (FVideoCap)
        FVideoCap->setGeometry(pnlVideo->rect());
    for (TNoticePanel *notice : {pnlPreviewLoading, pnlDrawingLoading})
        if (notice->isVisibleTo(notice->parentWidget()))
            notice->CentreInParent();
}
