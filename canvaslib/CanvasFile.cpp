#include "canvaslib/CanvasFile.h"

#include "canvaslib/CanvasLog.h"
#include "canvaslib/Crc32.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <cstring>

namespace karvo::CanvasFile {

namespace {

constexpr qint64 MaxFileSize = 1024LL * 1024 * 1024;
constexpr quint32 MaxItems = 10'000'000;
constexpr int HeaderSize = 8 + 4 + 4 + 4;

void prepare(QDataStream &AStream)
{
    AStream.setVersion(QDataStream::Qt_6_4);
    AStream.setByteOrder(QDataStream::BigEndian);
    AStream.setFloatingPointPrecision(QDataStream::SinglePrecision);
}

std::optional<QByteArray> encodePicture(const QImage &APicture)
{
    QByteArray png;
    if (APicture.isNull())
        return png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(80); // fast compression; the picture is large
    if (!writer.write(APicture)) {
        qCWarning(lcCanvasLib) << "cannot encode the picture:" << writer.errorString();
        return std::nullopt;
    }
    return png;
}

bool decodePicture(const QByteArray &APng, QSize ASize, QImage &APicture)
{
    QBuffer buffer;
    buffer.setData(APng);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    if (reader.size() != ASize)
        return false;
    QImage image;
    if (!reader.read(&image) || image.size() != ASize)
        return false;
    APicture = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return !APicture.isNull();
}

} // namespace

std::optional<QByteArray> encodeState(const CanvasDocument::State &AState)
{
    const std::optional<QByteArray> encoded = encodePicture(AState.picture);
    if (!encoded)
        return std::nullopt;
    const QByteArray &png = *encoded;
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    prepare(out);
    out << qint32(AState.size.width()) << qint32(AState.size.height()) << quint32(AState.background)
        << quint32(png.size());
    out.writeRawData(png.constData(), int(png.size()));
    out << quint32(AState.items.size());
    for (const CanvasItem &item : AState.items)
        writeItem(out, item);
    return payload;
}

std::optional<CanvasDocument::State> decodeState(const QByteArray &APayload)
{
    QBuffer buffer;
    buffer.setData(APayload);
    buffer.open(QIODevice::ReadOnly);
    QDataStream in(&buffer);
    prepare(in);
    qint32 width = 0, height = 0;
    quint32 background = 0, pngSize = 0, itemCount = 0;
    in >> width >> height >> background >> pngSize;
    CanvasDocument::State state;
    state.size = QSize(width, height);
    state.background = background;
    if (in.status() != QDataStream::Ok || !CanvasDocument::isValidSize(state.size) ||
        pngSize > buffer.bytesAvailable())
        return std::nullopt;
    if (pngSize > 0) {
        QByteArray png(qsizetype(pngSize), Qt::Uninitialized);
        if (in.readRawData(png.data(), int(pngSize)) != int(pngSize) ||
            !decodePicture(png, state.size, state.picture))
            return std::nullopt;
    }
    in >> itemCount;
    if (in.status() != QDataStream::Ok || itemCount > MaxItems)
        return std::nullopt;
    state.items.reserve(std::min<quint32>(itemCount, 1024));
    for (quint32 i = 0; i < itemCount; ++i) {
        CanvasItem item;
        if (!readItem(in, item))
            return std::nullopt;
        state.items.push_back(std::move(item));
    }
    if (in.status() != QDataStream::Ok || !buffer.atEnd())
        return std::nullopt;
    return state;
}

bool save(const CanvasDocument::State &AState, const QString &AFilename)
{
    const std::optional<QByteArray> encoded = encodeState(AState);
    if (!encoded)
        return false;
    const QByteArray &payload = *encoded;
    QSaveFile file(AFilename);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcCanvasLib) << "cannot write" << AFilename << file.errorString();
        return false;
    }
    QDataStream out(&file);
    prepare(out);
    out.writeRawData(Magic, 8);
    out << Version << quint32(payload.size()) << crc32(payload);
    out.writeRawData(payload.constData(), int(payload.size()));
    if (out.status() != QDataStream::Ok || !file.commit()) {
        qCWarning(lcCanvasLib) << "cannot write" << AFilename << file.errorString();
        return false;
    }
    return true;
}

std::optional<CanvasDocument::State> load(const QString &AFilename)
{
    QFile file(AFilename);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcCanvasLib) << "cannot open" << AFilename << file.errorString();
        return std::nullopt;
    }
    if (file.size() < HeaderSize || file.size() > MaxFileSize) {
        qCWarning(lcCanvasLib) << AFilename << "is not a drawing";
        return std::nullopt;
    }
    QDataStream in(&file);
    prepare(in);
    char magic[8];
    quint32 version = 0, length = 0, checksum = 0;
    if (in.readRawData(magic, 8) != 8 || std::memcmp(magic, Magic, 8) != 0) {
        qCWarning(lcCanvasLib) << AFilename << "is not a drawing";
        return std::nullopt;
    }
    in >> version >> length >> checksum;
    if (in.status() != QDataStream::Ok || version != Version) {
        qCWarning(lcCanvasLib) << AFilename << "has an unknown format version" << version;
        return std::nullopt;
    }
    if (qint64(length) != file.size() - HeaderSize) {
        qCWarning(lcCanvasLib) << AFilename << "is damaged (wrong length)";
        return std::nullopt;
    }
    const QByteArray payload = file.read(length);
    if (payload.size() != qsizetype(length) || crc32(payload) != checksum) {
        qCWarning(lcCanvasLib) << AFilename << "is damaged (checksum)";
        return std::nullopt;
    }
    auto state = decodeState(payload);
    if (!state)
        qCWarning(lcCanvasLib) << AFilename << "is damaged (contents)";
    return state;
}

} // namespace karvo::CanvasFile
