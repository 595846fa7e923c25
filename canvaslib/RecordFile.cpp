#include "canvaslib/RecordFile.h"

#include "canvaslib/CanvasFile.h"
#include "canvaslib/CanvasLog.h"
#include "canvaslib/Crc32.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <cstring>

namespace karvo::RecordFile {

namespace {

constexpr qint64 MaxFileSize = 1024LL * 1024 * 1024;
constexpr qint64 MaxRecordTime = 7LL * 24 * 3600 * 1000; // a week

void prepare(QDataStream &AStream)
{
    AStream.setVersion(QDataStream::Qt_6_4);
    AStream.setByteOrder(QDataStream::BigEndian);
    AStream.setFloatingPointPrecision(QDataStream::SinglePrecision);
}

// A keyframe's payload: its time and undo limit, then the drawing.
constexpr qsizetype KeyframeHeader = sizeof(qint64) + sizeof(qint32);

std::optional<CanvasDocument::State> keyframeState(const QByteArray &APayload)
{
    if (APayload.size() < KeyframeHeader)
        return std::nullopt;
    return CanvasFile::decodeState(APayload.mid(KeyframeHeader));
}

// The pixels of a keyframe's drawing, from the size at the start of the drawing.
qint64 keyframePixels(const QByteArray &APayload)
{
    QDataStream in(APayload.mid(KeyframeHeader));
    prepare(in);
    qint32 width = 0, height = 0;
    in >> width >> height;
    return in.status() == QDataStream::Ok ? qint64(qMax(width, 0)) * qMax(height, 0) : 0;
}

bool parsePayload(EventType AType, const QByteArray &APayload, Event &AEvent)
{
    QBuffer buffer;
    buffer.setData(APayload);
    buffer.open(QIODevice::ReadOnly);
    QDataStream in(&buffer);
    prepare(in);
    qint64 time = 0;
    in >> time;
    if (in.status() != QDataStream::Ok || time < 0 || time > MaxRecordTime)
        return false;
    AEvent.type = AType;
    AEvent.time = time;
    switch (AType) {
    case EventType::Keyframe: {
        // The drawing that follows is decoded when playback reaches it.
        qint32 limit = 0;
        in >> limit;
        if (in.status() != QDataStream::Ok || limit < 0)
            return false;
        AEvent.undoLimit = limit;
        return true;
    }
    case EventType::Item:
        if (!readItem(in, AEvent.item))
            return false;
        break;
    case EventType::Operation: {
        quint8 op = 0;
        in >> op;
        if (op < quint8(RecordOp::Clear) || op > quint8(RecordOp::Redo))
            return false;
        AEvent.op = static_cast<RecordOp>(op);
        break;
    }
    case EventType::UndoLimit: {
        qint32 limit = 0;
        in >> limit;
        AEvent.undoLimit = limit;
        if (limit < 0)
            return false;
        break;
    }
    case EventType::Background: {
        quint32 color = 0;
        in >> color;
        AEvent.color = color;
        break;
    }
    default:
        return false;
    }
    return in.status() == QDataStream::Ok && buffer.atEnd();
}

} // namespace

bool writeHeader(QIODevice &ADevice)
{
    QDataStream out(&ADevice);
    prepare(out);
    out.writeRawData(Magic, 8);
    out << Version;
    return out.status() == QDataStream::Ok;
}

bool writeRecord(QIODevice &ADevice, EventType AType, const QByteArray &APayload)
{
    QByteArray record;
    {
        QDataStream out(&record, QIODevice::WriteOnly);
        prepare(out);
        out << quint8(AType) << quint32(APayload.size()) << crc32(APayload);
    }
    record += APayload;
    return ADevice.write(record) == record.size();
}

std::optional<Recording> Recording::open(const QString &AFilename)
{
    QFile file(AFilename);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcCanvasLib) << "cannot open the recording" << AFilename << file.errorString();
        return std::nullopt;
    }
    if (file.size() > MaxFileSize) {
        qCWarning(lcCanvasLib) << AFilename << "is too large for a recording";
        return std::nullopt;
    }
    QDataStream in(&file);
    prepare(in);
    char magic[8];
    quint32 version = 0;
    if (in.readRawData(magic, 8) != 8 || std::memcmp(magic, Magic, 8) != 0) {
        qCWarning(lcCanvasLib) << AFilename << "is not a stroke recording";
        return std::nullopt;
    }
    in >> version;
    if (in.status() != QDataStream::Ok || version != Version) {
        qCWarning(lcCanvasLib) << AFilename << "has an unknown recording version" << version;
        return std::nullopt;
    }
    Recording recording;
    recording.FFileName = AFilename;
    std::vector<Event> &events = recording.FEvents;
    while (!file.atEnd()) {
        quint8 type = 0;
        quint32 length = 0, checksum = 0;
        in >> type >> length >> checksum;
        if (in.status() != QDataStream::Ok || length > file.bytesAvailable())
            break;
        const qint64 offset = file.pos();
        const QByteArray payload = file.read(length);
        Event event;
        if (payload.size() != qsizetype(length) || crc32(payload) != checksum ||
            !parsePayload(static_cast<EventType>(type), payload, event))
            break;
        if (events.empty()) {
            if (event.type != EventType::Keyframe || !(recording.FFirst = keyframeState(payload)))
                break;
            recording.FPixelsRead =
                qint64(recording.FFirst->size.width()) * recording.FFirst->size.height();
        }
        if (event.type == EventType::Keyframe) {
            event.payloadOffset = offset;
            event.payloadLength = length;
            event.payloadChecksum = checksum;
        }
        events.push_back(std::move(event));
    }
    if (!file.atEnd())
        qCWarning(lcCanvasLib) << AFilename << "is damaged after" << events.size() << "events";
    if (events.empty()) {
        qCWarning(lcCanvasLib) << AFilename << "holds no drawing";
        return std::nullopt;
    }
    return recording;
}

std::optional<CanvasDocument::State> Recording::keyframe(const Event &AEvent)
{
    if (&AEvent == &FEvents.front() && FFirst) {
        std::optional<CanvasDocument::State> first = std::move(FFirst);
        FFirst.reset();
        return first;
    }
    QFile file(FFileName);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(AEvent.payloadOffset)) {
        qCWarning(lcCanvasLib) << "cannot read a keyframe of" << FFileName << file.errorString();
        return std::nullopt;
    }
    const QByteArray payload = file.read(AEvent.payloadLength);
    if (payload.size() != qsizetype(AEvent.payloadLength) ||
        crc32(payload) != AEvent.payloadChecksum) {
        qCWarning(lcCanvasLib) << FFileName << "has changed since playback began";
        return std::nullopt;
    }
    const qint64 pixels = keyframePixels(payload);
    if (FPixelsRead + pixels > MaxKeyframePixels) {
        qCWarning(lcCanvasLib) << FFileName << "holds more keyframes than a playback reads;"
                               << "playback ends at" << AEvent.time << "ms";
        return std::nullopt;
    }
    std::optional<CanvasDocument::State> state = keyframeState(payload);
    if (!state) {
        qCWarning(lcCanvasLib) << FFileName << "holds a damaged keyframe at" << AEvent.time << "ms";
        return std::nullopt;
    }
    FPixelsRead += pixels;
    qCDebug(lcCanvasLib) << "keyframe at" << AEvent.time << "ms read from" << FFileName;
    return state;
}

} // namespace karvo::RecordFile
