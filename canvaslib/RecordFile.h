#pragma once

#include "canvaslib/CanvasDocument.h"
#include "canvaslib/CanvasRecorder.h"

#include <QString>
#include <optional>
#include <vector>

class QIODevice;

namespace karvo::RecordFile {

// The stroke-recording file.
//
//   8 bytes   magic "KARVOREC"
//   u32       format version (1)
//   records   each: u8 type, u32 payload length, u32 CRC-32 of the payload,
//             payload; the first record is a keyframe
//
// Every payload begins with its time (i64, milliseconds since recording
// started). Numbers are big-endian.
inline constexpr char Magic[] = "KARVOREC";
inline constexpr quint32 Version = 1;

enum class EventType : uint8_t
{
    Keyframe = 1,   // i32 undo limit, then the drawing (CanvasFile::encodeState)
    Item = 2,       // an annotation (writeItem); its points carry their own times
    Operation = 3,  // u8 RecordOp
    UndoLimit = 4,  // i32
    Background = 5, // u32 colour
};

struct Event
{
    EventType type = EventType::Operation;
    qint64 time = 0;
    int undoLimit = 0;
    CanvasItem item;
    RecordOp op = RecordOp::Undo;
    uint32_t color = 0;
    // Keyframes: where the record's payload lies in the file, read when playback reaches it.
    qint64 payloadOffset = 0;
    quint32 payloadLength = 0;
    quint32 payloadChecksum = 0;
};

// A recording opened for playback. Its events are read whole, except the drawings of
// keyframes: those stay in the file until Keyframe() reads one, so a long recording or
// one with many large keyframes never holds more than one of them in memory. The
// keyframes read by one recording may hold at most MaxKeyframePixels pixels in all.
class Recording
{
public:
    static constexpr qint64 MaxKeyframePixels = 20 * CanvasDocument::MaxPixels;

    // Nothing when the file is missing or is not a recording; a damaged or cut-off record
    // ends the events early. The first keyframe is read at once: a recording whose start
    // cannot be shown is refused.
    static std::optional<Recording> open(const QString &AFilename);

    const std::vector<Event> &events() const { return FEvents; }

    // The drawing of the keyframe AEvent (one of events()). Nothing when its record has
    // changed or is damaged, or when it would take the keyframes read past
    // MaxKeyframePixels.
    std::optional<CanvasDocument::State> keyframe(const Event &AEvent);

private:
    QString FFileName;
    std::vector<Event> FEvents;
    std::optional<CanvasDocument::State> FFirst; // the first keyframe, read by open()
    qint64 FPixelsRead = 0;
};

// Writes the file header.
bool writeHeader(QIODevice &ADevice);
// Writes one record; false when the device refuses it.
bool writeRecord(QIODevice &ADevice, EventType AType, const QByteArray &APayload);

} // namespace karvo::RecordFile
