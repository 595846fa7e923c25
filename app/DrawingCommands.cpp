// The drawing menu: dispatch by tag, the picture on the canvas, the pen
// settings with their popups, and the commands that turn, save and reload
// the drawing.
#include "app/DrawingCommands.h"

#include "app/CanvasInput.h"
#include "app/DrawingLog.h"
#include "app/DrawingRules.h"
#include "app/FileNames.h"
#include "canvas/TKARVOCanvas.h"
#include "capture/component/CustomVideoCap.h"
#include "scene/OptionFrame.h"
#include "support/Language.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>
#include <array>
#include <stdexcept>
#include <utility>

namespace {

using TCommand = void (TDrawingCommands::*)();

// The canvas colour of an empty board behind the picture.
constexpr uint32_t CanvasBlack = 0;

// Reads an image file, scaled down to fit ABounds when it is larger.
QImage ReadFitted(const QString &AFileName, QSize ABounds, QString &AError)
{
    QImageReader reader(AFileName);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid())
        reader.setScaledSize(FittedPictureSize(size, ABounds));
    QImage image = reader.read();
    if (image.isNull())
        AError = reader.errorString();
    else if (!size.isValid() && image.size() != FittedPictureSize(image.size(), ABounds))
        image = image.scaled(FittedPictureSize(image.size(), ABounds), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    return image;
}

} // namespace

TDrawingCommands::TDrawingCommands(TKARVOCanvas &ACanvas, TCustomVideoCap &AVideoCap,
                                   const TLanguage &ALanguage, IMainView &AView,
                                   IDrawingView &ADrawingView)
    : FCanvas(ACanvas)
    , FVideoCap(AVideoCap)
    , FLanguage(ALanguage)
    , FView(AView)
    , FDrawingView(ADrawingView)
    , FPopups(std::make_unique<TDrawingPopups>(ADrawingView.PopupParent()))
{
    TPenOptionPopup &pen = FPopups->PenOption;
    connect(&pen, &TPenOptionPopup::PenTypeClicked, this, &TDrawingCommands::PenTypeClick);
    connect(&pen, &TPenOptionPopup::PenWidthClicked, this, &TDrawingCommands::PenWidthClick);
    connect(&pen, &TPenOptionPopup::PenColorClicked, this, &TDrawingCommands::PenColorClick);
    connect(&FPopups->EraserTool, &TToolPopup::ItemClicked, this,
            [this](int ATag) { EraserToolClick(ATag); });
    connect(&FPopups->ShapeTool, &TToolPopup::ItemClicked, this,
            [this](int ATag) { ShapeToolClick(ATag); });
    connect(&FPopups->BoardTool, &TToolPopup::ItemClicked, this,
            [this](int, const QString &ATagText) { BoardToolClick(ATagText); });
    if (QWidget *host = FDrawingView.CanvasHost()) {
        FInput = std::make_unique<TCanvasInput>(FCanvas, *host);
        connect(FInput.get(), &TCanvasInput::ContextMenuRequested, this,
                &TDrawingCommands::ShowBoardPopup);
    }
}

TDrawingCommands::~TDrawingCommands() = default;

void TDrawingCommands::DrawingMenuClick(int ATag)
{
    // No button carries tag 8.
    static const std::array<std::pair<int, TCommand>, 13> Commands = {{
        {1, &TDrawingCommands::Load},
        {2, &TDrawingCommands::Save},
        {3, &TDrawingCommands::Redo},
        {4, &TDrawingCommands::Undo},
        {5, &TDrawingCommands::PenOption},
        {6, &TDrawingCommands::EraserTool},
        {7, &TDrawingCommands::ShapeTool},
        {9, &TDrawingCommands::InvertColor},
        {10, &TDrawingCommands::Rotate},
        {11, &TDrawingCommands::FlipHorz},
        {12, &TDrawingCommands::FlipVert},
        {13, &TDrawingCommands::Back},
        {14, &TDrawingCommands::Move},
    }};
    for (const auto &[tag, command] : Commands)
        if (tag == ATag) {
            (this->*command)();
            return;
        }
}

// ---- the picture on the canvas ----

void TDrawingCommands::CaptureForDrawing()
{
    const QString name = GetCaptureTempFileName();
    // The component and the viewer are rendered, not grabbed from the screen:
    // a full-screen menu over them is not in the picture, so it need not be
    // hidden first.
    const TCustomPreviewType type = FDrawingView.PreviewType();
    QImage picture =
        type == cptImage ? FDrawingView.ImageViewerScreenshot() : FVideoCap.CaptureWindow();
    if (picture.isNull()) {
        qCWarning(lcDrawing, "no picture to draw on");
        return;
    }
    // The back command reloads this file: written at every entry, so it
    // never holds a picture of an earlier one. When it cannot be written, the
    // old one goes, and back does nothing.
    if (!picture.save(name, "BMP")) {
        qCWarning(lcDrawing).noquote() << "the picture cannot be kept in" << name;
        QFile::remove(name);
    }
    if (!FView.FullScreen())
        FDrawingView.MaximizeWindow();
    SetCanvasPicture(picture);
}

void TDrawingCommands::SetCanvasPicture(const QImage &ABitmap)
{
    const QSize area = FDrawingView.DrawingAreaSize();
    FCanvas.setCanvasSize(ABitmap.width(), ABitmap.height());
    FCanvas.New();
    FCanvas.setBackgroundColor(CanvasBlack);
    FCanvas.setParentSize(std::min(ABitmap.width(), area.width()),
                          std::min(ABitmap.height(), area.height()));
    FCanvas.setBackground(ABitmap);
    FCanvas.Position(area.width() / 2 - FCanvas.Width() / 2,
                     area.height() / 2 - FCanvas.Height() / 2);
    FCanvas.Centre();
    UpdateCanvasTools();
}

bool TDrawingCommands::LoadCanvasPicture(const QString &AFileName)
{
    QString error;
    const QImage picture = ReadFitted(AFileName, FDrawingView.CanvasPanelSize(), error);
    if (picture.isNull()) {
        qCWarning(lcDrawing).noquote() << "the picture" << AFileName << "cannot be read:" << error;
        return false;
    }
    SetCanvasPicture(picture);
    return true;
}

void TDrawingCommands::UpdateCanvasTools()
{
    SetRotationAngle(0);
    const QSize panel = FDrawingView.CanvasPanelSize();
    FView.SetButtonEnabled(QStringLiteral("btnDrawing_Move"),
                           FCanvas.Width() > panel.width() || FCanvas.Height() > panel.height());
}

void TDrawingCommands::SetRotationAngle(int AAngle)
{
    FRotationAngle = AAngle;
    FView.SetButtonPressed(QStringLiteral("btnDrawing_Rotate"), AAngle != 0);
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
        FView.SetButtonImages(QStringLiteral("btnDrawing_PenOption"), base);
}

// ---- the popups' handlers ----

void TDrawingCommands::PenTypeClick(int ATag)
{
    if (ATag == 1)
        SelectPenType(cptPen);
    else if (ATag == 2)
        SelectPenType(cptMarker);
}

void TDrawingCommands::PenColorClick(const QString &AColorText)
{
    SelectPenColor(AColorText);
}

void TDrawingCommands::PenWidthClick(int ATag)
{
    if (const int width = PenWidthOfTag(ATag))
        SelectPenWidth(std::uint8_t(width));
}

void TDrawingCommands::EraserToolClick(int ATag)
{
    FPopups->EraserTool.close();
    if (ATag == 1)
        FCanvas.SetPenTool(KARVO_TOOL_ERASER);
    else if (ATag == 2)
        FCanvas.ErraserAll();
}

void TDrawingCommands::ShapeToolClick(int ATag)
{
    FPopups->ShapeTool.close();
    static constexpr std::array<std::pair<int, std::uint8_t>, 3> Tools = {
        {{1, KARVO_TOOL_LINE}, {2, KARVO_TOOL_RECTANGLE}, {3, KARVO_TOOL_ELLIPSE}}};
    for (const auto &[tag, tool] : Tools)
        if (tag == ATag)
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

// ---- commands ----

QWidget *TDrawingCommands::Anchor(const char *AButton)
{
    return FDrawingView.DrawingButton(QLatin1String(AButton));
}

void TDrawingCommands::Load()
{
    const QString file = FView.OpenFileDialog(LoadPictureFilter());
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    if (!LoadCanvasPicture(file))
        FView.ShowInformation(FLanguage.Msg.m_LoadError);
}

void TDrawingCommands::Save()
{
    const QString name = GetImageFileName();
    if (!FCanvas.SaveToSnapshot(name)) {
        // The drawing stays as it is; the teacher can try again elsewhere.
        qCWarning(lcDrawing).noquote() << "the drawing cannot be saved to" << name;
        FView.ShowInformation(FLanguage.Msg.m_SaveError);
        return;
    }
    FView.ShowInformation(QStringLiteral("\"%1\" %2").arg(name, FLanguage.Msg.m_Saved));
}

void TDrawingCommands::Redo()
{
    FCanvas.Redo();
}

void TDrawingCommands::Undo()
{
    FCanvas.Undo();
}

void TDrawingCommands::PenOption()
{
    // The move tool gives way to the family drawn with last, whose frame the
    // popup still shows; the eraser or a shape gives way to the pen type.
    if (FPenType == cptMove)
        SelectPenType(DrawFamily());
    else
        FCanvas.SetPenTool(FPenType == cptMarker ? KARVO_TOOL_MARKER : KARVO_TOOL_PEN);
    if (QWidget *anchor = Anchor("btnDrawing_PenOption"))
        FPopups->PenOption.Open(anchor);
}

void TDrawingCommands::EraserTool()
{
    if (QWidget *anchor = Anchor("btnDrawing_EraserTool"))
        FPopups->EraserTool.Open(anchor);
}

void TDrawingCommands::ShapeTool()
{
    if (QWidget *anchor = Anchor("btnDrawing_ShapeTool"))
        FPopups->ShapeTool.Open(anchor);
}

void TDrawingCommands::InvertColor()
{
    FCanvas.InvertColor();
}

void TDrawingCommands::FlipHorz()
{
    FCanvas.FlipHorz();
}

void TDrawingCommands::FlipVert()
{
    FCanvas.FlipVert();
}

void TDrawingCommands::Rotate()
{
    const int angle = FRotationAngle;
    FView.ShowWaiting(true);
    // The drawing goes through a file so the annotations become part of the
    // picture. A snapshot that cannot be written or read back leaves the
    // canvas as it is: an older file must never replace the drawing.
    const QString name = GetRotateTempFileName();
    QImage turned;
    if (FCanvas.SaveToSnapshot(name)) {
        QImageReader reader(name);
        const QImage snapshot = reader.read();
        if (snapshot.isNull())
            qCWarning(lcDrawing).noquote()
                << "the turned drawing cannot be read from" << name << ":" << reader.errorString();
        else
            turned = snapshot.transformed(QTransform().rotate(90));
    } else {
        qCWarning(lcDrawing).noquote() << "the drawing cannot be written to" << name;
    }
    if (turned.isNull()) {
        FView.ShowWaiting(false);
        FView.ShowInformation(FLanguage.Msg.m_SaveError);
        return;
    }
    FCanvas.setVisible(false);
    SetCanvasPicture(turned);
    FCanvas.setVisible(true);
    FView.ShowWaiting(false);

    const int next = NextRotationAngle(angle);
    SetRotationAngle(next);
    if (next == 90 || next == 270) {
        FView.SetButtonEnabled(QStringLiteral("btnDrawing_Move"), true);
    } else {
        FView.SetButtonEnabled(QStringLiteral("btnDrawing_Move"), false);
        if (FPenType == cptPen || FPenType == cptMarker)
            SelectPenType(FPenType);
    }
}

void TDrawingCommands::Back()
{
    const QString name = GetCaptureTempFileName();
    if (QFileInfo(name).isFile() && !LoadCanvasPicture(name))
        FView.ShowInformation(FLanguage.Msg.m_LoadError);
}

void TDrawingCommands::Move()
{
    SelectPenType(cptMove);
}
