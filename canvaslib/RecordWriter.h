#pragma once

#include "canvaslib/CanvasDocument.h"
#include "canvaslib/RecordFile.h"

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QFile;

namespace karvo {

// Writes the records of a stroke recording on a thread of its own, in the order they are
// handed over, each flushed to the file at once. Keyframes are encoded on that thread
// too, so a large picture never holds up the UI thread.
class RecordWriter
{
public:
    // AFile is open and holds the file header.
    explicit RecordWriter(std::unique_ptr<QFile> AFile);
    // Writes what is still queued, then closes the file: the recording is complete once
    // the writer is gone.
    ~RecordWriter();
    RecordWriter(const RecordWriter &) = delete;
    RecordWriter &operator=(const RecordWriter &) = delete;

    void record(RecordFile::EventType AType, QByteArray APayload);
    // A keyframe of ATime and AUndoLimit holding the drawing AState.
    void keyframe(qint64 ATime, int AUndoLimit, CanvasDocument::State AState);

    // True once a write or an encoding failed; nothing more is written then.
    bool failed() const { return FFailed.load(std::memory_order_acquire); }

private:
    struct Job
    {
        RecordFile::EventType type = RecordFile::EventType::Operation;
        QByteArray payload; // for a keyframe: its time and undo limit
        std::optional<CanvasDocument::State> state;
    };
    void push(Job AJob);
    void run();
    bool write(Job &AJob);

    std::unique_ptr<QFile> FFile; // the writing thread's once it runs
    std::atomic<bool> FFailed{false};
    std::mutex FLock; // guards the two below
    std::condition_variable FWake;
    std::deque<Job> FJobs;
    bool FClosing = false;
    std::thread FThread; // last: started once everything above exists
};

} // namespace karvo
