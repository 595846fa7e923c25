#pragma once

// The commands of the drawing menu. The main window owns one object, hands
// it every click of a drawing button by the button's tag, and calls
// CaptureForDrawing when the drawing menu is entered. The object makes the
// menu's four popups in the view's PopupParent() (Popups(); the window loads
// their skin) and answers their clicks itself. A right-click on the drawing
// area opens the board popup there; touch input on it is handled by
// TCanvasInput. The picture to draw on comes from the view
// (IDrawingView::PreviewPicture); the capture component is not needed here.
//
// Everything runs on the UI thread. The canvas library works synchronously
// on that thread; nothing here waits for anything else.

#include "app/DrawingPopups.h"
#include "app/DrawingView.h"
#include "app/MainView.h"
#include "app/MenuTags.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

class QImage;
class TCanvasInput;
class TKARVOCanvas;
class TLanguage;

class TDrawingCommands : public QObject
{
public:
    TDrawingCommands(TKARVOCanvas &ACanvas, const TLanguage &ALanguage, IMainView &AView,
                     IDrawingView &ADrawingView);
    ~TDrawingCommands() override;
    TDrawingCommands(const TDrawingCommands &) = delete;
    TDrawingCommands &operator=(const TDrawingCommands &) = delete;

    // ---- the menu and the picture on the canvas (DrawingCommands.cpp) ----

    // The click handler shared by the drawing buttons: runs the command of
    // ATag; a value without a command does nothing.
    void DrawingMenuClick(TDrawingTag ATag);

    // Puts the picture the preview area shows onto the canvas, exactly as
    // shown, and keeps a copy in "Temp/Capture.Bmp" for the back command.
    // Outside full screen the window becomes maximised.
    void CaptureForDrawing();
    // Makes ABitmap the canvas's picture (annotations and history emptied),
    // sized and centred in the drawing area.
    void SetCanvasPicture(const QImage &ABitmap);
    // Loads an image file, scaled down to fit pnlCanvas when larger, onto the
    // canvas. False, with the canvas unchanged, when it cannot be read.
    bool LoadCanvasPicture(const QString &AFileName);
    // Rotation angle 0 and the rotate button released; the move command
    // enabled exactly when the canvas is larger than pnlCanvas.
    void UpdateCanvasTools();

    // The drawing's accumulated rotation: 0, 90, 180 or 270.
    int RotationAngle() const { return FRotationAngle; }

    // ---- pen settings and the popups' handlers (DrawingPens.cpp) ----

    // The pen the drawing menu starts with: the type and colour of the
    // canvas's default pen (pen, white) at StartPenWidth, the popup's second
    // width (the canvas's own default thickness is none of the popup's).
    static constexpr TCustomPenType StartPenType = cptPen;
    static constexpr std::uint8_t StartPenWidth = 5;
    void SelectStartPen();

    void SelectPenType(TCustomPenType Value);
    void SelectPenColor(const QString &AColorText);
    void SelectPenWidth(std::uint8_t Value);
    // The pen-option button shows the tool family in the pen's colour.
    void UpdatePenOptionImage();
    // The canvas's pen colour as "#AARRGGBB" ("#FFFFFFFF" for white).
    QString GetPenColorText() const;

    // The popups' handlers; a value of no item does nothing.
    void PenTypeClick(TPenTypeItem AItem);
    void PenColorClick(const QString &AColorText);
    void PenWidthClick(TPenWidthItem AItem);
    void EraserToolClick(TEraserItem AItem);
    void ShapeToolClick(TShapeItem AItem);
    void BoardToolClick(const QString &ATagText);

    // Opens the board popup with its callout at AGlobalPos.
    void ShowBoardPopup(const QPoint &AGlobalPos);

    TDrawingPopups &Popups() { return *FPopups; }
    TCustomPenType PenType() const { return FPenType; }
    std::uint8_t PenWidth() const { return FPenWidth; }

private:
    // ---- the commands, one per tag (DrawingCommands.cpp) ----
    void Load();
    void Save();
    void Redo();
    void Undo();
    void PenOption();
    void EraserTool();
    void ShapeTool();
    void InvertColor();
    void Rotate();
    void FlipHorz();
    void FlipVert();
    void Back();
    void Move();

    // The drawing button a popup opens below; null when the window has none.
    QWidget *Anchor(TDrawingTag AButton);
    void SetRotationAngle(int AAngle);
    // Wires the popups' clicks and the canvas host's input (DrawingPens.cpp).
    void ConnectPopups();
    // The family (pen or marker) drawn with last; the move tool returns to it.
    TCustomPenType DrawFamily() const { return FDrawFamily; }

    TKARVOCanvas &FCanvas;
    const TLanguage &FLanguage;
    IMainView &FView;
    IDrawingView &FDrawingView;
    std::unique_ptr<TDrawingPopups> FPopups;
    std::unique_ptr<TCanvasInput> FInput;

    TCustomPenType FPenType = StartPenType;
    TCustomPenType FDrawFamily = StartPenType;
    std::uint8_t FPenWidth = 0;
    int FRotationAngle = 0;
};
