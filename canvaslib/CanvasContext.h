#pragma once

#include "canvaslib/CanvasDocument.h"
#include "canvaslib/CanvasRecorder.h"
#include "canvaslib/CanvasView.h"
#include "canvaslib/KARVOCanvas.h"

#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace karvo {

// The one canvas of the process behind the C exports: the drawing, its
// surface in the host widget (once created), the pen settings and the
// stroke recorder. Made on first use; RelaseCanvas drops it.
class CanvasContext
{
public:
    static CanvasContext &instance();
    static void release();

    CanvasContext();
    ~CanvasContext();
    CanvasContext(const CanvasContext &) = delete;
    CanvasContext &operator=(const CanvasContext &) = delete;

    CanvasDocument &doc() { return FDoc; }
    // The surface, or null before CreateCanvas or after its host is gone.
    CanvasView *view() const { return FView.data(); }
    void createView(QWidget *AHost, bool AOutline);
    // Ends a stroke or shape in progress before another change.
    void finishGesture();

    int tool() const { return FTool; }
    bool setTool(int ATool);
    uint32_t penColor() const { return FPenColor; }
    void setPenColor(uint32_t AColor);
    float penThickness() const { return FPenThickness; }
    void setPenThickness(float AThickness);
    float zoom() const { return FZoom; }
    void setZoom(float AZoom);
    bool shown() const { return FView && FShown; }
    void setShown(bool AShown);
    void setViewportSize(QSize ASize);
    void setPosition(QPoint APos);

    QString recordFilename() const { return FRecordFilename; }
    void setRecordFilename(const QString &AFilename) { FRecordFilename = AFilename; }
    bool recording() const { return FRecorder && FRecorder->isOpen(); }
    void setRecording(bool ARecording);

    // Buffers behind the string results; each stays until its export runs again.
    std::u16string &versionText() { return FVersionText; }
    std::u16string &recordFilenameText() { return FRecordFilenameText; }

private:
    CanvasDocument FDoc;
    QPointer<CanvasView> FView;
    std::unique_ptr<CanvasRecorder> FRecorder;
    int FTool = KARVO_DEFAULT_PEN_TOOL;
    uint32_t FPenColor = KARVO_DEFAULT_PEN_COLOR;
    float FPenThickness = KARVO_DEFAULT_PEN_THICKNESS;
    float FZoom = 1.0f;
    bool FShown = true;
    std::optional<QSize> FViewportSize;
    std::optional<QPoint> FPosition;
    QString FRecordFilename;
    std::u16string FVersionText;
    std::u16string FRecordFilenameText;
};

} // namespace karvo
