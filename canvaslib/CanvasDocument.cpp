#include "canvaslib/CanvasDocument.h"

#include "canvaslib/CanvasLog.h"
#include "canvaslib/CanvasRecorder.h"
#include "canvaslib/StrokeRenderer.h"

#include <QPainter>
#include <cmath>
#include <cstring>

namespace karvo {

namespace {

constexpr QImage::Format LayerFormat = QImage::Format_ARGB32_Premultiplied;

void clearRect(QImage &AImage, const QRect &ARect)
{
    const QRect r = ARect & AImage.rect();
    if (r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memset(AImage.scanLine(y) + r.left() * 4, 0, size_t(r.width()) * 4);
}

uint32_t grayOf(uint32_t AColor)
{
    const uint32_t g = static_cast<uint32_t>(
        qGray(int(AColor & 0xFF), int((AColor >> 8) & 0xFF), int((AColor >> 16) & 0xFF)));
    return (AColor & 0xFF000000u) | g | (g << 8) | (g << 16);
}

// Applies a function to every pixel of a premultiplied layer.
template <typename F>
void forEachPixel(QImage &AImage, F AFunction)
{
    for (int y = 0; y < AImage.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(AImage.scanLine(y));
        for (int x = 0; x < AImage.width(); ++x)
            line[x] = AFunction(line[x]);
    }
}

} // namespace

bool CanvasDocument::isValidSize(QSize ASize)
{
    return ASize.width() > 0 && ASize.height() > 0 && ASize.width() <= MaxSide &&
           ASize.height() <= MaxSide && qint64(ASize.width()) * ASize.height() <= MaxPixels;
}

CanvasDocument::CanvasDocument(QSize ASize)
    : FSize(isValidSize(ASize) ? ASize : QSize(640, 480))
{
    FClock.start();
    allocateLayers();
    rebuildBase();
}

CanvasDocument::~CanvasDocument() = default;

void CanvasDocument::allocateLayers()
{
    FBase = QImage(FSize, QImage::Format_RGB32);
    FInk = QImage(FSize, LayerFormat);
    FInk.fill(Qt::transparent);
    FLive = QImage();
    if (FBase.isNull() || FInk.isNull())
        qCCritical(lcCanvasLib, "out of memory for a drawing of %dx%d", FSize.width(),
                   FSize.height());
}

QImage &CanvasDocument::liveLayer()
{
    if (FLive.size() != FSize) {
        FLive = QImage(FSize, LayerFormat);
        FLive.fill(Qt::transparent);
    }
    return FLive;
}

void CanvasDocument::rebuildBase()
{
    if (FBase.isNull())
        return;
    FBase.fill(StrokeRenderer::toQColor(FBackground));
    if (!FPicture.isNull()) {
        QPainter painter(&FBase);
        painter.drawImage(0, 0, FPicture);
    }
}

QRect CanvasDocument::renderItem(const CanvasItem &AItem, const QRect &AClip)
{
    if (FInk.isNull())
        return {};
    const int count = StrokeRenderer::pieceCount(AItem, true);
    if (AItem.kind != ItemKind::Marker)
        return StrokeRenderer::drawPieces(FInk, AItem, 0, count, AClip);
    QImage &live = liveLayer();
    const QRect dirty = StrokeRenderer::drawPieces(live, AItem, 0, count, AClip);
    {
        QPainter painter(&FInk);
        painter.setOpacity(MarkerOpacity);
        painter.drawImage(dirty.topLeft(), live, dirty);
    }
    clearRect(live, dirty);
    return dirty;
}

void CanvasDocument::rerender(const QRect &ARect)
{
    const QRect area = ARect & QRect(QPoint(), FSize);
    if (area.isEmpty() || FInk.isNull())
        return;
    clearRect(FInk, area);
    for (const CanvasItem &item : FItems) {
        if (item.bounds().intersects(area))
            renderItem(item, area);
    }
}

bool CanvasDocument::resize(QSize ASize)
{
    if (!isValidSize(ASize)) {
        qCWarning(lcCanvasLib, "drawing size %dx%d refused", ASize.width(), ASize.height());
        return false;
    }
    if (ASize == FSize)
        return true;
    finishStrokeIfActive();
    if (!FPicture.isNull()) {
        QImage picture(ASize, LayerFormat);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, FPicture);
        painter.end();
        FPicture = picture;
    }
    FSize = ASize;
    allocateLayers();
    rebuildBase();
    rerender(QRect(QPoint(), FSize));
    historyReset();
    emit resized();
    if (FRecorder)
        FRecorder->stateReplaced();
    return true;
}

void CanvasDocument::setBackgroundColor(uint32_t AColor)
{
    if (AColor == FBackground)
        return;
    setBackgroundLayer(AColor);
    if (FRecorder)
        FRecorder->backgroundChanged(AColor);
}

void CanvasDocument::setPicture(const QImage &AImage)
{
    if (AImage.isNull())
        return;
    finishStrokeIfActive();
    QImage picture;
    if (AImage.size() == FSize) {
        picture = AImage.convertToFormat(LayerFormat);
    } else {
        picture = QImage(FSize, LayerFormat);
        picture.fill(Qt::transparent);
        const QSize fitted = AImage.size().scaled(FSize, Qt::KeepAspectRatio);
        const QRect target(
            QPoint((FSize.width() - fitted.width()) / 2, (FSize.height() - fitted.height()) / 2),
            fitted);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, AImage);
    }
    if (picture.isNull()) {
        qCWarning(lcCanvasLib, "cannot convert the picture");
        return;
    }
    FPicture = picture;
    rebuildBase();
    historyReset();
    emit changed(QRect(QPoint(), FSize));
    if (FRecorder)
        FRecorder->stateReplaced();
}

void CanvasDocument::openPicture(const QImage &AImage)
{
    if (AImage.isNull())
        return;
    QSize size = AImage.size();
    if (!isValidSize(size)) {
        size = size.scaled(MaxSide, MaxSide, Qt::KeepAspectRatio);
        const double area = double(size.width()) * size.height();
        if (area > double(MaxPixels)) {
            const double f = std::sqrt(double(MaxPixels) / area);
            size = QSize(int(size.width() * f), int(size.height() * f));
        }
        size = size.expandedTo(QSize(1, 1));
    }
    State state;
    state.size = size;
    state.background = FBackground;
    state.picture = (size == AImage.size()
                         ? AImage
                         : AImage.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))
                        .convertToFormat(LayerFormat);
    restore(std::move(state));
}

void CanvasDocument::newDrawing()
{
    finishStrokeIfActive();
    FItems.clear();
    FPicture = QImage();
    rebuildBase();
    if (!FInk.isNull())
        FInk.fill(Qt::transparent);
    historyReset();
    emit changed(QRect(QPoint(), FSize));
    if (FRecorder)
        FRecorder->stateReplaced();
}

void CanvasDocument::execute(std::unique_ptr<CanvasCommand> ACommand)
{
    ACommand->redo(*this);
    FHistory.push(std::move(ACommand));
}

void CanvasDocument::clear()
{
    finishStrokeIfActive();
    if (FItems.empty() && FPicture.isNull())
        return;
    execute(std::make_unique<ClearCommand>(FItems, FPicture));
    if (FRecorder)
        FRecorder->operation(RecordOp::Clear);
}

void CanvasDocument::eraseAll()
{
    finishStrokeIfActive();
    if (FItems.empty())
        return;
    execute(std::make_unique<EraseAllCommand>(FItems));
    if (FRecorder)
        FRecorder->operation(RecordOp::EraseAll);
}

void CanvasDocument::flip(bool AHorizontal)
{
    finishStrokeIfActive();
    execute(std::make_unique<FlipCommand>(AHorizontal));
    if (FRecorder)
        FRecorder->operation(AHorizontal ? RecordOp::FlipHorz : RecordOp::FlipVert);
}

void CanvasDocument::invert()
{
    finishStrokeIfActive();
    execute(std::make_unique<InvertCommand>());
    if (FRecorder)
        FRecorder->operation(RecordOp::Invert);
}

void CanvasDocument::grayscale()
{
    finishStrokeIfActive();
    execute(std::make_unique<GrayscaleCommand>(FPicture, itemColors(), FBackground));
    if (FRecorder)
        FRecorder->operation(RecordOp::Grayscale);
}

bool CanvasDocument::undo()
{
    finishStrokeIfActive();
    if (!FHistory.undo(*this))
        return false;
    if (FRecorder)
        FRecorder->undone();
    return true;
}

bool CanvasDocument::redo()
{
    finishStrokeIfActive();
    if (!FHistory.redo(*this))
        return false;
    if (FRecorder)
        FRecorder->redone();
    return true;
}

void CanvasDocument::setUndoLimit(int ALimit)
{
    FHistory.setLimit(ALimit);
    if (FRecorder)
        FRecorder->undoLimitChanged(FHistory.limit());
}

void CanvasDocument::historyReset()
{
    FHistory.clear();
}

void CanvasDocument::beginStroke(ItemKind AKind, uint32_t AColor, float AWidth, QPointF APos,
                                 float APressure)
{
    finishStrokeIfActive();
    if (!isStrokeKind(AKind) || FInk.isNull())
        return;
    CanvasItem item;
    item.kind = AKind;
    item.color = AColor;
    item.width = AWidth;
    item.points.push_back({float(APos.x()), float(APos.y()), APressure, 0});
    FLiveItem = std::move(item);
    FLiveStartedMs = clockMs();
    FLivePieces = 1;
    QImage &layer = AKind == ItemKind::Marker ? liveLayer() : FInk;
    FLiveRect = StrokeRenderer::drawPieces(layer, *FLiveItem, 0, 1, {});
    emit changed(FLiveRect);
}

void CanvasDocument::extendStroke(QPointF APos, float APressure)
{
    if (!FLiveItem)
        return;
    const StrokePoint &last = FLiveItem->points.back();
    const double dx = APos.x() - last.x, dy = APos.y() - last.y;
    if (dx * dx + dy * dy < 0.25)
        return;
    const auto t = static_cast<int32_t>(std::max<qint64>(0, clockMs() - FLiveStartedMs));
    FLiveItem->points.push_back({float(APos.x()), float(APos.y()), APressure, t});
    const int count = StrokeRenderer::pieceCount(*FLiveItem, false);
    QImage &layer = FLiveItem->kind == ItemKind::Marker ? liveLayer() : FInk;
    const QRect dirty = StrokeRenderer::drawPieces(layer, *FLiveItem, FLivePieces, count, {});
    FLivePieces = count;
    FLiveRect |= dirty;
    emit changed(dirty);
}

void CanvasDocument::endStroke()
{
    if (!FLiveItem)
        return;
    CanvasItem item = std::move(*FLiveItem);
    FLiveItem.reset();
    const int count = StrokeRenderer::pieceCount(item, true);
    const bool marker = item.kind == ItemKind::Marker;
    QImage &layer = marker ? liveLayer() : FInk;
    QRect dirty = StrokeRenderer::drawPieces(layer, item, FLivePieces, count, {});
    FLiveRect |= dirty;
    if (marker) {
        {
            QPainter painter(&FInk);
            painter.setOpacity(MarkerOpacity);
            painter.drawImage(FLiveRect.topLeft(), FLive, FLiveRect);
        }
        clearRect(FLive, FLiveRect);
        dirty = FLiveRect;
    }
    FItems.push_back(item);
    FHistory.push(std::make_unique<AddItemCommand>(item));
    emit changed(dirty);
    if (FRecorder)
        FRecorder->itemAdded(item, FLiveStartedMs);
}

void CanvasDocument::finishStrokeIfActive()
{
    if (FLiveItem)
        endStroke();
}

void CanvasDocument::addItem(CanvasItem AItem)
{
    finishStrokeIfActive();
    if (AItem.points.empty() || (isShapeKind(AItem.kind) && AItem.points.size() != 2))
        return;
    const qint64 started = clockMs();
    execute(std::make_unique<AddItemCommand>(AItem));
    if (FRecorder)
        FRecorder->itemAdded(AItem, started);
}

void CanvasDocument::paint(QPainter &APainter, const QRect &ARect) const
{
    const QRect rect = ARect & QRect(QPoint(), FSize);
    if (rect.isEmpty() || FBase.isNull())
        return;
    APainter.drawImage(rect.topLeft(), FBase, rect);
    APainter.drawImage(rect.topLeft(), FInk, rect);
    if (FLiveItem && FLiveItem->kind == ItemKind::Marker) {
        const QRect live = rect & FLiveRect;
        if (!live.isEmpty()) {
            APainter.save();
            APainter.setOpacity(MarkerOpacity);
            APainter.drawImage(live.topLeft(), FLive, live);
            APainter.restore();
        }
    }
}

QImage CanvasDocument::snapshot() const
{
    QImage image(FSize, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    paint(painter, image.rect());
    return image;
}

CanvasDocument::State CanvasDocument::state() const
{
    return {FSize, FBackground, FPicture, FItems};
}

void CanvasDocument::restore(State AState)
{
    if (!isValidSize(AState.size))
        return;
    finishStrokeIfActive();
    FSize = AState.size;
    FBackground = AState.background;
    FPicture = AState.picture.isNull() || AState.picture.size() != FSize
                   ? QImage()
                   : AState.picture.convertToFormat(LayerFormat);
    FItems = std::move(AState.items);
    allocateLayers();
    rebuildBase();
    rerender(QRect(QPoint(), FSize));
    historyReset();
    emit resized();
    if (FRecorder)
        FRecorder->stateReplaced();
}

void CanvasDocument::appendItem(const CanvasItem &AItem)
{
    FItems.push_back(AItem);
    emit changed(renderItem(AItem, QRect(QPoint(), FSize)));
}

void CanvasDocument::removeLastItem()
{
    if (FItems.empty())
        return;
    const QRect bounds = FItems.back().bounds() & QRect(QPoint(), FSize);
    FItems.pop_back();
    rerender(bounds);
    emit changed(bounds);
}

std::vector<CanvasItem> CanvasDocument::takeItems()
{
    std::vector<CanvasItem> items = std::move(FItems);
    FItems.clear();
    if (!FInk.isNull())
        FInk.fill(Qt::transparent);
    emit changed(QRect(QPoint(), FSize));
    return items;
}

void CanvasDocument::setItems(std::vector<CanvasItem> AItems)
{
    FItems = std::move(AItems);
    rerender(QRect(QPoint(), FSize));
    emit changed(QRect(QPoint(), FSize));
}

void CanvasDocument::setPictureLayer(QImage APicture)
{
    FPicture = std::move(APicture);
    rebuildBase();
    emit changed(QRect(QPoint(), FSize));
}

void CanvasDocument::setBackgroundLayer(uint32_t AColor)
{
    FBackground = AColor;
    rebuildBase();
    emit changed(QRect(QPoint(), FSize));
}

void CanvasDocument::mirrorLayers(bool AHorizontal)
{
    if (!FPicture.isNull())
        FPicture = FPicture.mirrored(AHorizontal, !AHorizontal);
    const int extent = AHorizontal ? FSize.width() : FSize.height();
    for (CanvasItem &item : FItems)
        mirrorItem(item, extent, AHorizontal);
    rebuildBase();
    rerender(QRect(QPoint(), FSize));
    emit changed(QRect(QPoint(), FSize));
}

void CanvasDocument::invertLayers(bool ABackground)
{
    if (!FPicture.isNull()) {
        forEachPixel(FPicture, [](QRgb p) {
            const int a = qAlpha(p);
            return qRgba(a - qRed(p), a - qGreen(p), a - qBlue(p), a);
        });
    }
    for (CanvasItem &item : FItems)
        item.color ^= 0x00FFFFFFu;
    if (ABackground)
        FBackground ^= 0x00FFFFFFu;
    rebuildBase();
    rerender(QRect(QPoint(), FSize));
    emit changed(QRect(QPoint(), FSize));
}

void CanvasDocument::grayscaleLayers(bool ABackground)
{
    if (!FPicture.isNull()) {
        forEachPixel(FPicture, [](QRgb p) {
            const int g = qGray(qRed(p), qGreen(p), qBlue(p));
            return qRgba(g, g, g, qAlpha(p));
        });
    }
    for (CanvasItem &item : FItems)
        item.color = grayOf(item.color);
    if (ABackground)
        FBackground = grayOf(FBackground);
    rebuildBase();
    rerender(QRect(QPoint(), FSize));
    emit changed(QRect(QPoint(), FSize));
}

std::vector<uint32_t> CanvasDocument::itemColors() const
{
    std::vector<uint32_t> colors;
    colors.reserve(FItems.size());
    for (const CanvasItem &item : FItems)
        colors.push_back(item.color);
    return colors;
}

void CanvasDocument::setItemColors(const std::vector<uint32_t> &AColors)
{
    for (size_t i = 0; i < FItems.size() && i < AColors.size(); ++i)
        FItems[i].color = AColors[i];
    rerender(QRect(QPoint(), FSize));
    emit changed(QRect(QPoint(), FSize));
}

} // namespace karvo
