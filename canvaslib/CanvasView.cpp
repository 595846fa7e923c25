#include "canvaslib/CanvasView.h"

#include "canvaslib/CanvasDocument.h"
#include "canvaslib/KARVOCanvas.h"
#include "canvaslib/LoadingOverlay.h"
#include "canvaslib/StrokeRenderer.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointingDevice>
#include <QTabletEvent>
#include <algorithm>
#include <cmath>

namespace karvo {

namespace {

constexpr float MinZoom = 0.05f;
constexpr float MaxZoom = 32.0f;
const QColor OutsideColor(Qt::black);
const QColor OutlineColor(0x98, 0x97, 0x9B);

std::optional<ItemKind> strokeKindOf(int ATool)
{
    switch (ATool) {
    case KARVO_TOOL_PEN:
        return ItemKind::Pen;
    case KARVO_TOOL_MARKER:
        return ItemKind::Marker;
    case KARVO_TOOL_ERASER:
        return ItemKind::Eraser;
    default:
        return std::nullopt;
    }
}

std::optional<ItemKind> shapeKindOf(int ATool)
{
    switch (ATool) {
    case KARVO_TOOL_RECTANGLE:
        return ItemKind::Rectangle;
    case KARVO_TOOL_ELLIPSE:
        return ItemKind::Ellipse;
    case KARVO_TOOL_LINE:
        return ItemKind::Line;
    default:
        return std::nullopt;
    }
}

QCursor eraserCursor(float ADiameter)
{
    const int d = std::clamp(int(std::lround(ADiameter)), 8, 128);
    QPixmap pixmap(d + 2, d + 2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawEllipse(QRectF(1, 1, d, d));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawEllipse(QRectF(1, 1, d, d));
    painter.end();
    return QCursor(pixmap);
}

} // namespace

CanvasView::CanvasView(CanvasDocument &ADoc, QWidget *AHost, bool AOutline)
    : QWidget(AHost)
    , FDoc(ADoc)
    , FOutline(AOutline)
{
    setObjectName(QStringLiteral("KARVOCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::ClickFocus);
    setGeometry(AHost->rect());
    connect(&FDoc, &CanvasDocument::changed, this, &CanvasView::onDocumentChanged);
    connect(&FDoc, &CanvasDocument::resized, this, &CanvasView::onDocumentResized);
    centre();
    updateCursor();
}

CanvasView::~CanvasView()
{
    finishGesture();
}

void CanvasView::setTool(int ATool)
{
    finishGesture();
    FTool = ATool;
    updateCursor();
}

void CanvasView::setPen(uint32_t AColor, float AThickness)
{
    FPenColor = AColor;
    FPenThickness = AThickness;
    updateCursor();
}

void CanvasView::setViewportSize(QSize ASize)
{
    resize(ASize.expandedTo(QSize(0, 0)));
}

void CanvasView::setPosition(QPoint APos)
{
    // The host's top-left corner bounds the viewport: a drawing larger than
    // the host is seen through a viewport that starts at the host's edge.
    move(std::max(0, APos.x()), std::max(0, APos.y()));
}

void CanvasView::setZoom(float AZoom)
{
    if (!std::isfinite(AZoom) || AZoom <= 0)
        return;
    const float zoom = std::clamp(AZoom, MinZoom, MaxZoom);
    if (zoom == FZoom)
        return;
    finishGesture();
    // Keep the drawing point in the middle of the viewport where it is.
    const QPointF middle(width() / 2.0, height() / 2.0);
    const QPointF anchor = toDrawing(middle);
    FZoom = zoom;
    const QPointF offset = middle - anchor * FZoom;
    FOffset = clampedOffset(QPoint(int(std::lround(offset.x())), int(std::lround(offset.y()))));
    updateCursor();
    update();
}

QSize CanvasView::shownSize() const
{
    const QSize size = FDoc.size();
    return {int(std::lround(size.width() * double(FZoom))),
            int(std::lround(size.height() * double(FZoom)))};
}

void CanvasView::centre()
{
    const QSize shown = shownSize();
    setOffset(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2));
}

void CanvasView::setLoading(bool AShow)
{
    if (AShow && !FLoading)
        FLoading = new LoadingOverlay(this);
    if (FLoading)
        FLoading->setActive(AShow);
}

QPoint CanvasView::clampedOffset(QPoint AOffset) const
{
    const QSize shown = shownSize();
    const auto axis = [](int AValue, int AView, int AShown) {
        if (AShown <= AView)
            return (AView - AShown) / 2;
        return std::clamp(AValue, AView - AShown, 0);
    };
    return {axis(AOffset.x(), width(), shown.width()), axis(AOffset.y(), height(), shown.height())};
}

void CanvasView::setOffset(QPoint AOffset)
{
    const QPoint offset = clampedOffset(AOffset);
    if (offset == FOffset)
        return;
    const QPoint delta = offset - FOffset;
    FOffset = offset;
    // Moves what is on screen and repaints only the strip that came into view;
    // the busy indicator (a child) stays where it is.
    if (isVisible() && !FShape && !FOutline)
        scroll(delta.x(), delta.y(), rect());
    else
        update();
}

QPointF CanvasView::toDrawing(QPointF AWidgetPos) const
{
    return (AWidgetPos - QPointF(FOffset)) / double(FZoom);
}

QRect CanvasView::toWidget(const QRect &ADrawingRect) const
{
    const QRectF r(QPointF(ADrawingRect.topLeft()) * double(FZoom) + QPointF(FOffset),
                   QSizeF(ADrawingRect.size()) * double(FZoom));
    return r.toAlignedRect().adjusted(-1, -1, 1, 1);
}

void CanvasView::onDocumentChanged(const QRect &ARect)
{
    update(toWidget(ARect) & rect());
}

void CanvasView::onDocumentResized()
{
    FOffset = clampedOffset(FOffset);
    centre();
    updateCursor();
    update();
}

void CanvasView::resizeEvent(QResizeEvent *AEvent)
{
    QWidget::resizeEvent(AEvent);
    FOffset = clampedOffset(FOffset);
}

void CanvasView::paintEvent(QPaintEvent *AEvent)
{
    QPainter painter(this);
    const QRect drawing(FOffset, shownSize());
    const QRegion outside = AEvent->region() - drawing;
    for (const QRect &r : outside)
        painter.fillRect(r, OutsideColor);
    for (const QRect &r : AEvent->region() & drawing) {
        if (FZoom == 1.0f) {
            painter.save();
            painter.translate(FOffset);
            FDoc.paint(painter, r.translated(-FOffset));
            painter.restore();
            continue;
        }
        painter.save();
        painter.setClipRect(r);
        painter.translate(FOffset);
        painter.scale(FZoom, FZoom);
        if (FZoom < 1.0f)
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF area(QPointF(r.topLeft() - FOffset) / double(FZoom),
                          QSizeF(r.size()) / double(FZoom));
        FDoc.paint(painter, area.toAlignedRect().adjusted(-1, -1, 1, 1));
        painter.restore();
    }
    if (FShape) {
        painter.save();
        painter.setClipRegion(AEvent->region());
        painter.translate(FOffset);
        painter.scale(FZoom, FZoom);
        StrokeRenderer::drawItem(painter, *FShape);
        painter.restore();
    }
    if (FOutline) {
        painter.setPen(OutlineColor);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(drawing.adjusted(0, 0, -1, -1));
    }
}

void CanvasView::pointerPress(QPointF AWidgetPos, float APressure)
{
    // Nothing is drawn while the busy indicator shows.
    if (FGesture != Gesture::None || (FLoading && FLoading->isVisible()))
        return;
    const QPointF pos = toDrawing(AWidgetPos);
    if (const auto kind = strokeKindOf(FTool)) {
        FGesture = Gesture::Stroke;
        FDoc.beginStroke(*kind, FPenColor, FPenThickness, pos, APressure);
    } else if (const auto shape = shapeKindOf(FTool)) {
        FGesture = Gesture::Shape;
        CanvasItem item;
        item.kind = *shape;
        item.color = FPenColor;
        item.width = FPenThickness;
        item.points = {{float(pos.x()), float(pos.y()), -1, 0},
                       {float(pos.x()), float(pos.y()), -1, 0}};
        FShape = std::move(item);
        update(toWidget(FShape->bounds()));
    } else if (FTool == KARVO_TOOL_MOVE) {
        FGesture = Gesture::Pan;
        FPanStart = AWidgetPos.toPoint();
        FPanOffset = FOffset;
        setCursor(Qt::ClosedHandCursor);
    }
}

void CanvasView::pointerMove(QPointF AWidgetPos, float APressure)
{
    switch (FGesture) {
    case Gesture::Stroke:
        FDoc.extendStroke(toDrawing(AWidgetPos), APressure);
        break;
    case Gesture::Shape:
        updateShape(toDrawing(AWidgetPos));
        break;
    case Gesture::Pan:
        setOffset(FPanOffset + (AWidgetPos.toPoint() - FPanStart));
        break;
    case Gesture::None:
        break;
    }
}

void CanvasView::pointerRelease(QPointF AWidgetPos, float APressure)
{
    if (FGesture == Gesture::None)
        return;
    pointerMove(AWidgetPos, APressure);
    finishGesture();
}

void CanvasView::updateShape(QPointF ADrawingPos)
{
    const QRect before = toWidget(FShape->bounds());
    FShape->points[1].x = float(ADrawingPos.x());
    FShape->points[1].y = float(ADrawingPos.y());
    update(before | toWidget(FShape->bounds()));
}

void CanvasView::finishGesture()
{
    const Gesture gesture = FGesture;
    FGesture = Gesture::None;
    switch (gesture) {
    case Gesture::Stroke:
        FDoc.endStroke();
        break;
    case Gesture::Shape: {
        CanvasItem shape = std::move(*FShape);
        FShape.reset();
        update(toWidget(shape.bounds()));
        const QPointF a = shape.points[0].pos(), b = shape.points[1].pos();
        if (std::abs(a.x() - b.x()) >= 1 || std::abs(a.y() - b.y()) >= 1)
            FDoc.addItem(std::move(shape));
        break;
    }
    case Gesture::Pan:
        updateCursor();
        break;
    case Gesture::None:
        break;
    }
}

void CanvasView::mousePressEvent(QMouseEvent *AEvent)
{
    if (AEvent->button() == Qt::LeftButton)
        pointerPress(AEvent->position(), -1);
    AEvent->accept();
}

void CanvasView::mouseMoveEvent(QMouseEvent *AEvent)
{
    if (AEvent->buttons() & Qt::LeftButton)
        pointerMove(AEvent->position(), -1);
    AEvent->accept();
}

void CanvasView::mouseReleaseEvent(QMouseEvent *AEvent)
{
    if (AEvent->button() == Qt::LeftButton)
        pointerRelease(AEvent->position(), -1);
    AEvent->accept();
}

void CanvasView::tabletEvent(QTabletEvent *AEvent)
{
    const float pressure = float(AEvent->pressure());
    switch (AEvent->type()) {
    case QEvent::TabletPress:
        if (AEvent->button() == Qt::LeftButton) {
            // The eraser end of a stylus erases whatever tool is chosen.
            const int tool = FTool;
            if (AEvent->pointerType() == QPointingDevice::PointerType::Eraser)
                FTool = KARVO_TOOL_ERASER;
            pointerPress(AEvent->position(), pressure);
            FTool = tool;
        }
        break;
    case QEvent::TabletMove:
        pointerMove(AEvent->position(), pressure);
        break;
    case QEvent::TabletRelease:
        if (AEvent->button() == Qt::LeftButton)
            pointerRelease(AEvent->position(), pressure);
        break;
    default:
        break;
    }
    AEvent->accept();
}

void CanvasView::updateCursor()
{
    if (FTool == KARVO_TOOL_ERASER)
        setCursor(eraserCursor(eraserWidth(FPenThickness) * FZoom));
    else if (FTool == KARVO_TOOL_MOVE)
        setCursor(Qt::OpenHandCursor);
    else
        setCursor(Qt::CrossCursor);
}

} // namespace karvo
