#include "canvaslib/RecordWriter.h"

#include "canvaslib/CanvasFile.h"
#include "canvaslib/CanvasLog.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>

namespace karvo {

RecordWriter::RecordWriter(std::unique_ptr<QFile> AFile)
    : FFile(std::move(AFile))
    , FThread([this] { run(); })
{}

RecordWriter::~RecordWriter()
{
    {
        std::lock_guard lock(FLock);
        FClosing = true;
    }
    FWake.notify_one();
    FThread.join();
}

void RecordWriter::record(RecordFile::EventType AType, QByteArray APayload)
{
    push({AType, std::move(APayload), std::nullopt});
}

void RecordWriter::keyframe(qint64 ATime, int AUndoLimit, CanvasDocument::State AState)
{
    QByteArray header;
    {
        QDataStream out(&header, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_4);
        out.setByteOrder(QDataStream::BigEndian);
        out << ATime << qint32(AUndoLimit);
    }
    push({RecordFile::EventType::Keyframe, std::move(header), std::move(AState)});
}

void RecordWriter::push(Job AJob)
{
    if (failed())
        return;
    {
        std::lock_guard lock(FLock);
        FJobs.push_back(std::move(AJob));
    }
    FWake.notify_one();
}

void RecordWriter::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(FLock);
            FWake.wait(lock, [this] { return FClosing || !FJobs.empty(); });
            if (FJobs.empty())
                break; // closing, and everything is written
            job = std::move(FJobs.front());
            FJobs.pop_front();
        }
        if (!failed() && !write(job))
            FFailed.store(true, std::memory_order_release);
    }
    FFile->close();
}

bool RecordWriter::write(Job &AJob)
{
    if (AJob.state) {
        QElapsedTimer clock;
        clock.start();
        const std::optional<QByteArray> state = CanvasFile::encodeState(*AJob.state);
        if (!state) {
            qCWarning(lcCanvasLib, "recording stopped: cannot encode the drawing");
            return false;
        }
        AJob.payload += *state;
        qCDebug(lcCanvasLib) << "keyframe encoded:" << AJob.state->size << "in" << clock.elapsed()
                             << "ms";
        AJob.state.reset();
    }
    if (!RecordFile::writeRecord(*FFile, AJob.type, AJob.payload) || !FFile->flush()) {
        qCWarning(lcCanvasLib) << "recording stopped: cannot write" << FFile->fileName()
                               << FFile->errorString();
        return false;
    }
    return true;
}

} // namespace karvo
