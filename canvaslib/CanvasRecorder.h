#pragma once

#include "canvaslib/CanvasItem.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace karvo {

class CanvasDocument;
class RecordWriter;

// Changes of a drawing written into a stroke recording, besides strokes.
enum class RecordOp : uint8_t
{
    Clear = 1,
    EraseAll = 2,
    FlipHorz = 3,
    FlipVert = 4,
    Invert = 5,
    Grayscale = 6,
    Undo = 7,
    Redo = 8,
};

// Records everything that happens to a drawing, with its timing, into a file
// that the player replays at the same pace.
//
// The file begins with the drawing as it was when recording started (a
// keyframe); then come strokes with the time of each point, and the other
// changes with their time. A change that the player cannot repeat step by
// step (a new picture, a new drawing size, undoing a step made before the
// recording began) is written as a new keyframe. Each record is written to
// the file at once by a writing thread (which also encodes keyframes), so a
// recording cut short still plays up to its end; destroying the recorder
// waits for the records still queued.
class CanvasRecorder
{
public:
    // Starts recording ADoc into AFilename; check isOpen() afterwards.
    CanvasRecorder(CanvasDocument &ADoc, const QString &AFilename);
    ~CanvasRecorder();
    CanvasRecorder(const CanvasRecorder &) = delete;
    CanvasRecorder &operator=(const CanvasRecorder &) = delete;

    bool isOpen() const;

    // Called by the document after each change.
    void itemAdded(const CanvasItem &AItem, qint64 AStartedMs);
    void operation(RecordOp AOp);
    void undone();
    void redone();
    void undoLimitChanged(int ALimit);
    void backgroundChanged(uint32_t AColor);
    void stateReplaced();

private:
    qint64 now() const;
    void writeKeyframe();
    void writeRecord(uint8_t AType, const QByteArray &APayload);
    void capCounts();

    CanvasDocument &FDoc;
    std::unique_ptr<RecordWriter> FWriter;
    qint64 FStartMs = 0;
    // How many steps at the top of the undo and redo stacks the player has
    // too (made while recording, after the last keyframe).
    int FReplayableUndo = 0;
    int FReplayableRedo = 0;
};

} // namespace karvo
