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
    CanvasDocument::State state;
    CanvasItem item;
    RecordOp op = RecordOp::Undo;
    uint32_t color = 0;
};

// Writes the file header.
bool writeHeader(QIODevice &ADevice);
// Writes one record; false when the device refuses it.
bool writeRecord(QIODevice &ADevice, EventType AType, const QByteArray &APayload);

// Reads a recording: nothing when the file is missing or is not a
// recording; a damaged or cut-off record ends the events early.
std::optional<std::vector<Event>> read(const QString &AFilename);

} // namespace karvo::RecordFile
