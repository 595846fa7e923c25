// The drawing menu's pen settings (type, colour, thickness and the
// pen-option button's images) and the handlers of its four popups.
#include "app/CanvasInput.h"
#include "app/DrawingCommands.h"
#include "app/DrawingLog.h"
#include "app/DrawingRules.h"
#include "app/FileNames.h"
#include "canvas/TKARVOCanvas.h"

#include <array>
#include <stdexcept>
#include <utility>

void TDrawingCommands::ConnectPopups()
{
    // The tool popups report their buttons' integer tags: a value of no
    // item does nothing in its handler.
    TPenOptionPopup &pen = FPopups->PenOption;
    connect(&pen, &TPenOptionPopup::PenTypeClicked, this, &TDrawingCommands::PenTypeClick);
    connect(&pen, &TPenOptionPopup::PenWidthClicked, this, &TDrawingCommands::PenWidthClick);
    connect(&pen, &TPenOptionPopup::PenColorClicked, this, &TDrawingCommands::PenColorClick);
    connect(&FPopups->EraserTool, &TToolPopup::ItemClicked, this,
            [this](int ATag) { EraserToolClick(TEraserItem(ATag)); });
    connect(&FPopups->ShapeTool, &TToolPopup::ItemClicked, this,
            [this](int ATag) { ShapeToolClick(TShapeItem(ATag)); });
    connect(&FPopups->BoardTool, &TToolPopup::ItemClicked, this,
            [this](int, const QString &ATagText) { BoardToolClick(ATagText); });
    if (QWidget *host = FDrawingView.CanvasHost()) {
        FInput = std::make_unique<TCanvasInput>(FCanvas, *host);
        connect(FInput.get(), &TCanvasInput::ContextMenuRequested, this,
                &TDrawingCommands::ShowBoardPopup);
    }
}

// ---- pen settings ----

void TDrawingCommands::SelectStartPen()
{
    SelectPenType(StartPenType);
    SelectPenColor(PenColorText(KARVO_DEFAULT_PEN_COLOR));
    SelectPenWidth(StartPenWidth);
}

void TDrawingCommands::SelectPenType(TCustomPenType Value)
{
    FPenType = Value;
    TPenOptionPopup &popup = FPopups->PenOption;
    switch (Value) {
    case cptPen:
        FDrawFamily = cptPen;
        popup.SetTypeOutlines(true, false);
        FCanvas.SetPenTool(KARVO_TOOL_PEN);
        break;
    case cptMarker:
        FDrawFamily = cptMarker;
        popup.SetTypeOutlines(false, true);
        FCanvas.SetPenTool(KARVO_TOOL_MARKER);
        break;
    case cptMove:
        FCanvas.SetPenTool(KARVO_TOOL_MOVE);
        break;
    }
    UpdatePenOptionImage();
}

void TDrawingCommands::SelectPenColor(const QString &AColorText)
{
    try {
        FCanvas.setPenColor(HexToColor(AColorText));
    } catch (const std::invalid_argument &e) {
        qCWarning(lcDrawing) << e.what();
        return;
    }
    FPopups->PenOption.SetCheckedColor(AColorText);
    UpdatePenOptionImage();
}

void TDrawingCommands::SelectPenWidth(std::uint8_t Value)
{
    FPenWidth = Value;
    FPopups->PenOption.SetWidthOutline(WidthFrameIndex(Value));
    FCanvas.setPenThickness(float(Value));
}

QString TDrawingCommands::GetPenColorText() const
{
    return PenColorText(FCanvas.PenColor());
}

void TDrawingCommands::UpdatePenOptionImage()
{
    const QString base = PenOptionImageBase(FPenType, GetPenColorText());
    if (!base.isEmpty())
        FView.SetButtonImages(TDrawingTag::PenOption, base);
}

// ---- the popups' handlers ----

void TDrawingCommands::PenTypeClick(TPenTypeItem AItem)
{
    switch (AItem) {
    case TPenTypeItem::Pen:
        SelectPenType(cptPen);
        break;
    case TPenTypeItem::Marker:
        SelectPenType(cptMarker);
        break;
    }
}

void TDrawingCommands::PenColorClick(const QString &AColorText)
{
    SelectPenColor(AColorText);
}

void TDrawingCommands::PenWidthClick(TPenWidthItem AItem)
{
    if (const int width = PenWidthOf(AItem))
        SelectPenWidth(std::uint8_t(width));
}

void TDrawingCommands::EraserToolClick(TEraserItem AItem)
{
    FPopups->EraserTool.close();
    switch (AItem) {
    case TEraserItem::Normal:
        FCanvas.SetPenTool(KARVO_TOOL_ERASER);
        break;
    case TEraserItem::All:
        FCanvas.ErraserAll();
        break;
    }
}

void TDrawingCommands::ShapeToolClick(TShapeItem AItem)
{
    FPopups->ShapeTool.close();
    static constexpr std::array<std::pair<TShapeItem, std::uint8_t>, 3> Tools = {
        {{TShapeItem::Line, KARVO_TOOL_LINE},
         {TShapeItem::Rectangle, KARVO_TOOL_RECTANGLE},
         {TShapeItem::Ellipse, KARVO_TOOL_ELLIPSE}}};
    for (const auto &[item, tool] : Tools)
        if (item == AItem)
            FCanvas.SetPenTool(tool);
}

void TDrawingCommands::BoardToolClick(const QString &ATagText)
{
    FPopups->BoardTool.close();
    uint32_t color = 0;
    try {
        color = HexToColor(ATagText);
    } catch (const std::invalid_argument &e) {
        qCWarning(lcDrawing) << e.what();
        return;
    }
    FCanvas.Clear();
    FCanvas.setBackgroundColor(color);
}

void TDrawingCommands::ShowBoardPopup(const QPoint &AGlobalPos)
{
    FPopups->BoardTool.OpenAt(AGlobalPos);
}
