// The stroke-recording file. The first byte chooses how the rest is used:
// odd, it is a list of records (u8 type, u16 length, payload), each written
// with its correct checksum behind a correct file header, so the fuzzer
// reaches the payloads; even, it is the whole file as it stands.
#include "FuzzSupport.h"
#include "canvaslib/RecordFile.h"

#include <QBuffer>
#include <cstdlib>

using namespace karvo;

namespace {

QByteArray AsRecords(const uint8_t *AData, size_t ASize)
{
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    RecordFile::writeHeader(buffer);
    size_t at = 0;
    while (at + 3 <= ASize) {
        const auto type = static_cast<RecordFile::EventType>(AData[at]);
        size_t length = (size_t(AData[at + 1]) << 8) | AData[at + 2];
        at += 3;
        length = std::min(length, ASize - at);
        RecordFile::writeRecord(buffer, type, ovilen::fuzz::Bytes(AData + at, length));
        at += length;
    }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    if (ASize == 0)
        return 0;
    const QByteArray file = (AData[0] & 1) ? AsRecords(AData + 1, ASize - 1)
                                           : ovilen::fuzz::Bytes(AData + 1, ASize - 1);
    const QString path = ovilen::fuzz::WriteInput(QStringLiteral("input.krec"), file);

    auto recording = RecordFile::Recording::open(path);
    if (!recording)
        return 0;
    // A recording that opens starts with a drawing; no time or undo limit
    // read from it is negative.
    const std::vector<RecordFile::Event> &events = recording->events();
    if (events.empty() || events.front().type != RecordFile::EventType::Keyframe)
        std::abort();
    for (const RecordFile::Event &event : events) {
        if (event.time < 0 || event.undoLimit < 0)
            std::abort();
        // Later drawings are read as playback reaches them: from the file,
        // within the recording's limit, or not at all.
        if (event.type == RecordFile::EventType::Keyframe)
            (void)recording->keyframe(event);
    }
    return 0;
}
