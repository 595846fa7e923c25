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
    uint8_t FPenTool = KARVO_DEFAULT_PEN_TOOL;
    uint32_t FPenColor = KARVO_DEFAULT_PEN_COLOR;
    float FPenWidth = KARVO_DEFAULT_PEN_THICKNESS;

    // One entry point per export of the library (F and its name), null while
    // unbound.
#define KARVO_ENTRY_POINT(AResult, AName, AParameters) AResult(*F##AName) AParameters = nullptr;
    KARVO_CANVAS_EXPORTS(KARVO_ENTRY_POINT)
#undef KARVO_ENTRY_POINT
};
