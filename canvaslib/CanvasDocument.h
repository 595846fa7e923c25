#pragma once

#include "canvaslib/CanvasItem.h"
#include "canvaslib/UndoHistory.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <optional>
#include <vector>

class QPainter;

namespace karvo {

class CanvasRecorder;

// The drawing: a picture over a background colour, with annotations on top,
// and its undo history. Independent of any widget.
//
// Layers, all of the drawing's size:
//   base     the background colour with the picture over it (opaque),
//   ink      the annotations, drawn from their vectors in order,
//   live     the marker stroke being drawn, laid over the ink translucently.
// Annotations are kept as vectors (items) and rendered into the ink; a
// change repaints only the pixels it touches and reports them with changed().
class CanvasDocument : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxSide = 16384;
    static constexpr qint64 MaxPixels = 50'000'000;
    static bool isValidSize(QSize ASize);

    // Everything a saved drawing holds.
    struct State
    {
        QSize size;
        uint32_t background = 0;
        QImage picture; // null, or ARGB32 premultiplied of the drawing's size
        std::vector<CanvasItem> items;
    };

    explicit CanvasDocument(QSize ASize = QSize(640, 480));
    ~CanvasDocument() override;

    QSize size() const { return FSize; }
    // A new drawing size; the picture stays at the top-left, the annotations
    // stay, the history is emptied. The same size changes nothing; invalid
    // sizes are refused.
    bool resize(QSize ASize);

    uint32_t backgroundColor() const { return FBackground; }
    void setBackgroundColor(uint32_t AColor);

    // Makes an image the picture, scaled to fit the drawing and centred
    // where its size differs; the history is emptied.
    void setPicture(const QImage &AImage);
    // Opens an image as a new drawing of its own size (scaled down when it
    // exceeds the limits): no annotations, no history.
    void openPicture(const QImage &AImage);
    // Empties the drawing (picture and annotations) and the history.
    void newDrawing();

    // Undoable edits.
    void clear();
    void eraseAll();
    void flip(bool AHorizontal);
    void invert();
    void grayscale();
    bool undo();
    bool redo();
    int undoLimit() const { return FHistory.limit(); }
    void setUndoLimit(int ALimit);
    const UndoHistory &history() const { return FHistory; }

    // A freehand stroke drawn live; endStroke adds it to the drawing.
    void beginStroke(ItemKind AKind, uint32_t AColor, float AWidth, QPointF APos,
                     float APressure = -1);
    void extendStroke(QPointF APos, float APressure = -1);
    void endStroke();
    bool strokeActive() const { return FLiveItem.has_value(); }
    // Adds a finished item (a shape, or a stroke replayed from a recording).
    void addItem(CanvasItem AItem);

    const std::vector<CanvasItem> &items() const { return FItems; }
    const QImage &picture() const { return FPicture; }

    // Paints the drawing's pixels of ARect (drawing coordinates) at the
    // painter's origin-aligned drawing coordinates.
    void paint(QPainter &APainter, const QRect &ARect) const;
    // The picture with all annotations, opaque, at the drawing's size.
    QImage snapshot() const;

    State state() const;
    // Replaces the whole drawing; the history is emptied.
    void restore(State AState);

    void setRecorder(CanvasRecorder *ARecorder) { FRecorder = ARecorder; }
    // Milliseconds on the clock that stamps strokes.
    qint64 clockMs() const { return FClock.elapsed(); }

    // Primitive edits used by the undo commands; they record no history.
    void appendItem(const CanvasItem &AItem);
    void removeLastItem();
    std::vector<CanvasItem> takeItems();
    void setItems(std::vector<CanvasItem> AItems);
    void setPictureLayer(QImage APicture);
    void setBackgroundLayer(uint32_t AColor);
    void mirrorLayers(bool AHorizontal);
    // ABackground: the background colour changes too.
    void invertLayers(bool ABackground = true);
    void grayscaleLayers(bool ABackground = true);
    std::vector<uint32_t> itemColors() const;
    void setItemColors(const std::vector<uint32_t> &AColors);

signals:
    // Pixels of this rectangle (drawing coordinates) have changed.
    void changed(const QRect &ARect);
    // The drawing's size changed.
    void resized();

private:
    void allocateLayers();
    void rebuildBase();
    void rerender(const QRect &ARect);
    QRect renderItem(const CanvasItem &AItem, const QRect &AClip);
    QImage &liveLayer();
    void execute(std::unique_ptr<CanvasCommand> ACommand);
    void finishStrokeIfActive();
    void historyReset();

    QSize FSize;
    uint32_t FBackground = 0;
    QImage FPicture;
    QImage FBase;
    QImage FInk;
    QImage FLive;
    std::vector<CanvasItem> FItems;
    UndoHistory FHistory;

    std::optional<CanvasItem> FLiveItem;
    int FLivePieces = 0;
    QRect FLiveRect;
    qint64 FLiveStartedMs = 0;

    QElapsedTimer FClock;
    CanvasRecorder *FRecorder = nullptr;
};

} // namespace karvo
