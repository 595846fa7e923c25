#pragma once

#include "canvaslib/KARVOCanvas.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class QImage;
class QWidget;

// The drawing surface of drawing mode, driven through the annotation-canvas
// library libKARVOCanvas.so, which it loads at run time.
//
// Each operation forwards to one export of the library. Without the library,
// or without one export, the operation does nothing and a reading gives its
// default (PenColor 0x1FFFFFFF, PenThickness -1.0, Zoom 0.0, Recording and
// Visible false, empty texts, Width and Height 0, BackgroundColor
// 0x1FFFFFFF). The pen settings last written (tool, colour, thickness) are
// kept here and sent to the library again after it loads a picture.
//
// The library holds one canvas per process: make one TKARVOCanvas at a time,
// and only on the application's thread.
class TKARVOCanvas
{
public:
    // Loads the library from the first of DefaultSearchFolders() that holds
    // it, and puts the canvas into AParent.
    explicit TKARVOCanvas(QWidget *AParent);
    // The same, looking for the library in the given folders in order.
    TKARVOCanvas(QWidget *AParent, const QStringList &ASearchFolders);
    ~TKARVOCanvas();
    TKARVOCanvas(const TKARVOCanvas &) = delete;
    TKARVOCanvas &operator=(const TKARVOCanvas &) = delete;

    static constexpr const char *LibraryName = "libKARVOCanvas.so";
    // The executable's folder, then the current folder.
    static QStringList DefaultSearchFolders();
    // Path of the library in the first folder that holds it, or empty.
    static QString FindLibrary(const QStringList &AFolders);

    // True when the library was loaded.
    bool isLoaded() const { return FDLL != nullptr; }

    void setCanvasSize(int AWidth, int AHeight);
    void setParentSize(int AWidth, int AHeight);
    void New();
    void Undo();
    void Redo();
    void Clear();
    void LoadFromFile(const QString &AFilename);
    void SaveToFile(const QString &AFilename);
    void LoadImage(const QString &AFilename);
    void setBackground(const QString &AFilename);
    void setBackground(const QImage &ABitmap);
    bool SaveToSnapshot(const QString &AFilename);
    void CanvasPlayer(const QString &AFilename);
    void InvertColor();
    void Grayscale();
    void FlipHorz();
    void FlipVert();
    void ErraserAll();
    void Rotate(const QString &ATempFile);
    void SetUndoCount(int AValue);
    void Position(int AX, int AY);
    void Centre();
    void SetPenTool(uint8_t Value);

    uint32_t PenColor() const;
    void setPenColor(uint32_t AValue);
    float PenThickness() const;
    void setPenThickness(float AValue);
    bool Recording() const;
    void setRecording(bool AValue);
    QString RecordFilename() const;
    void setRecordFilename(const QString &AValue);
    void setShowLoading(bool AValue);
    QString Version() const;
    bool Visible() const;
    void setVisible(bool AValue);
    int Width() const;
    int Height() const;
    float Zoom() const;
    void setZoom(float AValue);
    uint32_t BackgroundColor() const;
    void setBackgroundColor(uint32_t AValue);

    // The pen settings last written through this object.
    uint8_t StoredPenTool() const { return FPenTool; }
    uint32_t StoredPenColor() const { return FPenColor; }
    float StoredPenWidth() const { return FPenWidth; }

private:
    void Bind(const QStringList &ASearchFolders);
    void ApplyPenSettings();

    void *FDLL = nullptr;
    QWidget *FParent = nullptr;
    uint8_t FPenTool = 3;
    uint32_t FPenColor = 0x00FFFFFF;
    float FPenWidth = 4.0f;

    TKARVOStrProc FInitCanvas = nullptr;
    TKARVOGetStr FGetVersion = nullptr;
    TKARVOPlayerProc FCanvasPlayer = nullptr;
    TKARVOCreateProc FCreateCanvas = nullptr;
    TKARVOSizeProc FSetCavaseSize = nullptr;
    TKARVOSizeProc FSetParentSize = nullptr;
    TKARVOIntProc FSetPenTool = nullptr;
    TKARVOGetInt FGetPenTool = nullptr;
    TKARVOColorProc FSetPenColor = nullptr;
    TKARVOGetColor FGetPenColor = nullptr;
    TKARVOFloatProc FSetPenThickness = nullptr;
    TKARVOGetFloat FGetPenThickness = nullptr;
    TKARVOBoolProc FSetRecording = nullptr;
    TKARVOStrProc FSetRecordFilename = nullptr;
    TKARVOGetStr FGetRecordFilename = nullptr;
    TKARVOStrProc FSetImage = nullptr;
    TKARVOStrProc FSetBackgroundFile = nullptr;
    TKARVOImageProc FSetBackgroundImage = nullptr;
    TKARVOColorProc FSetBackgroundColor = nullptr;
    TKARVOGetColor FGetBackgroundColor = nullptr;
    TKARVOProc FClear = nullptr;
    TKARVOStrFunc FLoadFromFile = nullptr;
    TKARVOStrFunc FSaveToFile = nullptr;
    TKARVOProc FRelaseCanvas = nullptr;
    TKARVOGetBool FIsRecording = nullptr;
    TKARVOStrFunc FSaveToSnapshot = nullptr;
    TKARVOBoolProc FShowLoading = nullptr;
    TKARVOProc FNew = nullptr;
    TKARVOProc FUndo = nullptr;
    TKARVOProc FRedo = nullptr;
    TKARVOBoolProc FSetShow = nullptr;
    TKARVOGetBool FGetShow = nullptr;
    TKARVOFloatProc FSetZoom = nullptr;
    TKARVOGetFloat FGetZoom = nullptr;
    TKARVOProc FInvertColor = nullptr;
    TKARVOProc FGrayscale = nullptr;
    TKARVOProc FFlipVert = nullptr;
    TKARVOProc FFlipHorz = nullptr;
    TKARVOProc FEraserAll = nullptr;
    TKARVOIntProc FSetUndoCount = nullptr;
    TKARVOPositionProc FPosition = nullptr;
    TKARVOProc FCentre = nullptr;
    TKARVOGetInt FWidth = nullptr;
    TKARVOGetInt FHeight = nullptr;
};
