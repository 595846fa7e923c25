// The drawing document file. The first byte chooses how the rest is used:
// odd, it is the payload and gets a correct header and checksum (so the
// fuzzer reaches the contents); even, it is the whole file as it stands.
#include "FuzzSupport.h"
#include "canvaslib/CanvasFile.h"
#include "canvaslib/Crc32.h"

#include <QDataStream>
#include <QIODevice>
#include <cstdlib>

using namespace karvo;

namespace {

QByteArray WithHeader(const QByteArray &APayload)
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out.writeRawData(CanvasFile::Magic, 8);
    out << CanvasFile::Version << quint32(APayload.size()) << crc32(APayload);
    out.writeRawData(APayload.constData(), int(APayload.size()));
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    if (ASize == 0)
        return 0;
    const QByteArray rest = ovilen::fuzz::Bytes(AData + 1, ASize - 1);
    const QByteArray file = (AData[0] & 1) ? WithHeader(rest) : rest;
    const QString path = ovilen::fuzz::WriteInput(QStringLiteral("input.knv"), file);

    const auto state = CanvasFile::load(path);
    if (!state)
        return 0;
    // What loads saves again and loads back the same.
    const auto again = CanvasFile::encodeState(*state);
    if (!again)
        std::abort();
    const auto back = CanvasFile::decodeState(*again);
    if (!back || back->size != state->size || back->background != state->background ||
        back->items != state->items || back->picture.size() != state->picture.size())
        std::abort();
    return 0;
}
