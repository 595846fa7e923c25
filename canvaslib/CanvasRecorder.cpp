#include "canvaslib/CanvasRecorder.h"

#include "canvaslib/CanvasDocument.h"
#include "canvaslib/CanvasLog.h"
#include "canvaslib/RecordFile.h"
#include "canvaslib/RecordWriter.h"

#include <QDataStream>
#include <QFile>
#include <algorithm>

namespace karvo {

namespace {

QDataStream &prepared(QDataStream &AStream)
{
    AStream.setVersion(QDataStream::Qt_6_4);
    AStream.setByteOrder(QDataStream::BigEndian);
    AStream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    return AStream;
}

} // namespace

CanvasRecorder::CanvasRecorder(CanvasDocument &ADoc, const QString &AFilename)
    : FDoc(ADoc)
{
    auto file = std::make_unique<QFile>(AFilename);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !RecordFile::writeHeader(*file) || !file->flush()) {
        qCWarning(lcCanvasLib) << "cannot record into" << AFilename << file->errorString();
        return;
    }
    FWriter = std::make_unique<RecordWriter>(std::move(file));
    FStartMs = FDoc.clockMs();
    writeKeyframe();
}

CanvasRecorder::~CanvasRecorder() = default;

bool CanvasRecorder::isOpen() const
{
    return FWriter && !FWriter->failed();
}

qint64 CanvasRecorder::now() const
{
    return std::max<qint64>(0, FDoc.clockMs() - FStartMs);
}

void CanvasRecorder::writeRecord(uint8_t AType, const QByteArray &APayload)
{
    if (isOpen())
        FWriter->record(static_cast<RecordFile::EventType>(AType), APayload);
}

void CanvasRecorder::writeKeyframe()
{
    // The drawing is encoded on the writer's thread: a copy of the state is cheap here
    // (the picture is shared until the document changes it).
    if (isOpen())
        FWriter->keyframe(now(), FDoc.undoLimit(), FDoc.state());
    FReplayableUndo = 0;
    FReplayableRedo = 0;
}

void CanvasRecorder::capCounts()
{
    FReplayableUndo = std::min(FReplayableUndo, FDoc.history().undoCount());
    FReplayableRedo = std::min(FReplayableRedo, FDoc.history().redoCount());
}

void CanvasRecorder::itemAdded(const CanvasItem &AItem, qint64 AStartedMs)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        prepared(out) << std::max<qint64>(0, AStartedMs - FStartMs);
        writeItem(out, AItem);
    }
    writeRecord(uint8_t(RecordFile::EventType::Item), payload);
    ++FReplayableUndo;
    FReplayableRedo = 0;
    capCounts();
}

void CanvasRecorder::operation(RecordOp AOp)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        prepared(out) << now() << quint8(AOp);
    }
    writeRecord(uint8_t(RecordFile::EventType::Operation), payload);
    if (AOp == RecordOp::Undo) {
        --FReplayableUndo;
        ++FReplayableRedo;
    } else if (AOp == RecordOp::Redo) {
        --FReplayableRedo;
        ++FReplayableUndo;
    } else {
        ++FReplayableUndo;
        FReplayableRedo = 0;
    }
    capCounts();
}

void CanvasRecorder::undone()
{
    // The player holds only the steps made since the last keyframe; undoing
    // an older one is written as the drawing it leaves behind.
    if (FReplayableUndo > 0)
        operation(RecordOp::Undo);
    else
        writeKeyframe();
}

void CanvasRecorder::redone()
{
    if (FReplayableRedo > 0)
        operation(RecordOp::Redo);
    else
        writeKeyframe();
}

void CanvasRecorder::undoLimitChanged(int ALimit)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        prepared(out) << now() << qint32(ALimit);
    }
    writeRecord(uint8_t(RecordFile::EventType::UndoLimit), payload);
    capCounts();
}

void CanvasRecorder::backgroundChanged(uint32_t AColor)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        prepared(out) << now() << quint32(AColor);
    }
    writeRecord(uint8_t(RecordFile::EventType::Background), payload);
}

void CanvasRecorder::stateReplaced()
{
    writeKeyframe();
}

} // namespace karvo
