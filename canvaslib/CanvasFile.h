#pragma once

#include "canvaslib/CanvasDocument.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace karvo::CanvasFile {

// The document file: a drawing kept with its annotations as vectors.
//
//   8 bytes   magic "KARVOCNV"
//   u32       format version (1)
//   u32       length of the payload in bytes
//   u32       CRC-32 of the payload
//   payload   the drawing (encodeState)
//
// Numbers are big-endian. A file with another magic, a newer version, a
// wrong length or checksum, or any field out of range does not load.
inline constexpr char Magic[] = "KARVOCNV";
inline constexpr quint32 Version = 1;

// The drawing as bytes: size, background colour, the picture as PNG (or
// nothing), then every annotation (see writeItem). Nothing when the
// picture cannot be encoded.
std::optional<QByteArray> encodeState(const CanvasDocument::State &AState);
// Reads what encodeState wrote; nothing on any damage, and nothing when
// bytes are left over.
std::optional<CanvasDocument::State> decodeState(const QByteArray &APayload);

// Writes the drawing to a file atomically (a temporary file renamed over the
// old one); false when it cannot be written.
bool save(const CanvasDocument::State &AState, const QString &AFilename);
// Reads a document file; nothing when it is missing, foreign or damaged.
std::optional<CanvasDocument::State> load(const QString &AFilename);

} // namespace karvo::CanvasFile
