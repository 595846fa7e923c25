// The drawing menu: dispatch by tag, the picture on the canvas, and the
// commands that turn, save and reload the drawing. The pen settings and the
// popups' handlers are in DrawingPens.cpp.
#include "app/DrawingCommands.h"

#include "app/CanvasInput.h"
#include "app/DrawingLog.h"
#include "app/DrawingRules.h"
#include "app/FileNames.h"
#include "canvas/TKARVOCanvas.h"
#include "support/Language.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>
#include <array>
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

TDrawingCommands::TDrawingCommands(TKARVOCanvas &ACanvas, const TLanguage &ALanguage,
                                   IMainView &AView, IDrawingView &ADrawingView)
    : FCanvas(ACanvas)
    , FLanguage(ALanguage)
    , FView(AView)
    , FDrawingView(ADrawingView)
    , FPopups(std::make_unique<TDrawingPopups>(ADrawingView.PopupParent()))
{
    ConnectPopups();
}

TDrawingCommands::~TDrawingCommands() = default;

void TDrawingCommands::DrawingMenuClick(TDrawingTag ATag)
{
    using enum TDrawingTag;
    static const std::array<std::pair<TDrawingTag, TCommand>, 13> Commands = {{
        {Load, &TDrawingCommands::Load},
        {Save, &TDrawingCommands::Save},
        {Redo, &TDrawingCommands::Redo},
        {Undo, &TDrawingCommands::Undo},
        {PenOption, &TDrawingCommands::PenOption},
        {EraserTool, &TDrawingCommands::EraserTool},
        {ShapeTool, &TDrawingCommands::ShapeTool},
        {InvertColor, &TDrawingCommands::InvertColor},
        {Rotate, &TDrawingCommands::Rotate},
        {FlipHorz, &TDrawingCommands::FlipHorz},
        {FlipVert, &TDrawingCommands::FlipVert},
        {Back, &TDrawingCommands::Back},
        {Move, &TDrawingCommands::Move},
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
    // The view renders the picture rather than grabbing the screen: a
    // full-screen menu over it is not in the picture, so it need not be
    // hidden first.
    const QImage picture = FDrawingView.PreviewPicture();
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
    FView.SetButtonEnabled(TDrawingTag::Move,
                           FCanvas.Width() > panel.width() || FCanvas.Height() > panel.height());
}

void TDrawingCommands::SetRotationAngle(int AAngle)
{
    FRotationAngle = AAngle;
    FView.SetButtonPressed(TDrawingTag::Rotate, AAngle != 0);
}

// ---- commands ----

QWidget *TDrawingCommands::Anchor(TDrawingTag AButton)
{
    return FDrawingView.DrawingButton(AButton);
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
    if (QWidget *anchor = Anchor(TDrawingTag::PenOption))
        FPopups->PenOption.Open(anchor);
}

void TDrawingCommands::EraserTool()
{
    if (QWidget *anchor = Anchor(TDrawingTag::EraserTool))
        FPopups->EraserTool.Open(anchor);
}

void TDrawingCommands::ShapeTool()
{
    if (QWidget *anchor = Anchor(TDrawingTag::ShapeTool))
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
        FView.SetButtonEnabled(TDrawingTag::Move, true);
    } else {
        FView.SetButtonEnabled(TDrawingTag::Move, false);
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
