#pragma once

#include "canvaslib/CanvasItem.h"
#include "canvaslib/KARVOCanvas.h"

#include <QPointer>
#include <QWidget>
#include <optional>

namespace karvo {

class CanvasDocument;
class LoadingOverlay;

// The drawing surface: a child widget of the host that shows the drawing
// (its viewport) and turns mouse, touch and stylus input into strokes,
// shapes and panning.
//
// Geometry: the widget is the viewport, placed at position() in the host
// with viewportSize(); the drawing is shown scaled by zoom() at offset()
// inside it. When the shown drawing is smaller than the viewport it is
// centred; when it is larger the move tool pans it.
class CanvasView : public QWidget
{
    Q_OBJECT

public:
    CanvasView(CanvasDocument &ADoc, QWidget *AHost, bool AOutline);
    ~CanvasView() override;

    void setTool(int ATool);
    void setPen(uint32_t AColor, float AThickness);

    void setViewportSize(QSize ASize);
    void setPosition(QPoint APos);
    void setZoom(float AZoom);
    float zoom() const { return FZoom; }
    // Size of the drawing as shown.
    QSize shownSize() const;
    void centre();
    QPoint offset() const { return FOffset; }

    void setLoading(bool AShow);
    // Ends a stroke or shape that is being drawn, keeping it.
    void finishGesture();

protected:
    void paintEvent(QPaintEvent *AEvent) override;
    void mousePressEvent(QMouseEvent *AEvent) override;
    void mouseMoveEvent(QMouseEvent *AEvent) override;
    void mouseReleaseEvent(QMouseEvent *AEvent) override;
    void tabletEvent(QTabletEvent *AEvent) override;
    void resizeEvent(QResizeEvent *AEvent) override;

private:
    enum class Gesture
    {
        None,
        Stroke,
        Shape,
        Pan,
    };

    void pointerPress(QPointF AWidgetPos, float APressure);
    void pointerMove(QPointF AWidgetPos, float APressure);
    void pointerRelease(QPointF AWidgetPos, float APressure);
    QPointF toDrawing(QPointF AWidgetPos) const;
    QRect toWidget(const QRect &ADrawingRect) const;
    void setOffset(QPoint AOffset);
    QPoint clampedOffset(QPoint AOffset) const;
    void onDocumentChanged(const QRect &ARect);
    void onDocumentResized();
    void updateShape(QPointF ADrawingPos);
    void updateCursor();

    CanvasDocument &FDoc;
    bool FOutline;
    int FTool = KARVO_DEFAULT_PEN_TOOL;
    uint32_t FPenColor = KARVO_DEFAULT_PEN_COLOR;
    float FPenThickness = KARVO_DEFAULT_PEN_THICKNESS;
    float FZoom = 1.0f;
    QPoint FOffset;

    Gesture FGesture = Gesture::None;
    std::optional<CanvasItem> FShape;
    QPoint FPanStart;
    QPoint FPanOffset;
    QPointer<LoadingOverlay> FLoading;
};

} // namespace karvo
