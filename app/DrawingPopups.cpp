#include "app/DrawingPopups.h"

#include "support/CustomResource.h"

namespace {

std::vector<TToolPopup::TItem> EraserItems()
{
    return {{QStringLiteral("btnDrawing_EraserTool_Normal"), int(TEraserItem::Normal), {}},
            {QStringLiteral("btnDrawing_EraserTool_All"), int(TEraserItem::All), {}}};
}

std::vector<TToolPopup::TItem> ShapeItems()
{
    return {{QStringLiteral("btnDrawing_ShapeTool_Line"), int(TShapeItem::Line), {}},
            {QStringLiteral("btnDrawing_ShapeTool_Rectangle"), int(TShapeItem::Rectangle), {}},
            {QStringLiteral("btnDrawing_ShapeTool_Ellipse"), int(TShapeItem::Ellipse), {}}};
}

std::vector<TToolPopup::TItem> BoardItems()
{
    return {{QStringLiteral("btnDrawing_BoardTool_Black"), int(TBoardItem::Black),
             QStringLiteral("#FF000000")},
            {QStringLiteral("btnDrawing_BoardTool_White"), int(TBoardItem::White),
             QStringLiteral("#FFFFFFFF")},
            {QStringLiteral("btnDrawing_BoardTool_Green"), int(TBoardItem::Green),
             QStringLiteral("#FF225550")}};
}

// A popup of AWindow; it and its controls carry their control names, which
// assistive tools read too.
template <typename T>
T &Named(T *APopup)
{
    APopup->setAccessibleName(APopup->objectName());
    for (QWidget *control : APopup->template findChildren<QWidget *>())
        if (!control->objectName().isEmpty())
            control->setAccessibleName(control->objectName());
    return *APopup;
}

} // namespace

TDrawingPopups::TDrawingPopups(QWidget *AWindow)
    : PenOption(Named(new TPenOptionPopup(AWindow)))
    , EraserTool(Named(new TToolPopup(QStringLiteral("PopupEraserTool"), EraserItems(), AWindow)))
    , ShapeTool(Named(new TToolPopup(QStringLiteral("PopupShapeTool"), ShapeItems(), AWindow)))
    , BoardTool(Named(new TToolPopup(QStringLiteral("PopupBoardTool"), BoardItems(), AWindow)))
{}

void TDrawingPopups::LoadSkin(const TCustomResource &ASkin, qreal ADevicePixelRatio)
{
    const auto image = [&](const QString &AName) {
        QImage result;
        ASkin.LoadFromResource(&result, AName, ADevicePixelRatio);
        return result;
    };
    TPenOptionPopup::TImages images;
    images.PenTypeLabel = image(QStringLiteral("RES_DRAWING_MENU_PENOPTION_PENTYPE"));
    images.PenWidthLabel = image(QStringLiteral("RES_DRAWING_MENU_PENOPTION_PENWIDTH"));
    images.PenColorLabel = image(QStringLiteral("RES_DRAWING_MENU_PENOPTION_PENCOLOR"));
    images.Pen = image(QStringLiteral("RES_DRAWING_MENU_PENOPTION_PEN"));
    images.Marker = image(QStringLiteral("RES_DRAWING_MENU_PENOPTION_MARKER"));
    for (std::size_t k = 0; k < images.Thickness.size(); ++k)
        images.Thickness[k] =
            image(QStringLiteral("RES_DRAWING_MENU_PENOPTION_THICKNESS_%1").arg(k + 1));
    images.Check = image(QStringLiteral("RES_DRAWING_MENU_PENOPTION_CHECKED"));
    PenOption.SetImages(images);

    // Each tool button from its skin family: base + "N", "D", "O".
    const auto buttons = [&](TToolPopup &APopup, std::initializer_list<const char *> ABases) {
        int k = 0;
        for (const char *base : ABases) {
            const QString name = QLatin1String(base);
            APopup.SetButtonImages(k++, image(name + u'N'), image(name + u'D'), image(name + u'O'));
        }
    };
    buttons(EraserTool, {"RES_DRAWING_MENU_ERASER_", "RES_DRAWING_MENU_ERASERALL_"});
    buttons(ShapeTool,
            {"RES_DRAWING_MENU_LINE_", "RES_DRAWING_MENU_RECTANGLE_", "RES_DRAWING_MENU_ELLIPSE_"});
    buttons(BoardTool, {"RES_DRAWING_MENU_BLACKBOARD_", "RES_DRAWING_MENU_WHITEBOARD_",
                        "RES_DRAWING_MENU_GREENBOARD_"});
}
