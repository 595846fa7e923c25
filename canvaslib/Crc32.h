#pragma once

#include <QByteArrayView>
#include <cstdint>

namespace karvo {

// CRC-32 (the polynomial of zlib and PNG) of a block of bytes.
uint32_t crc32(QByteArrayView AData);

} // namespace karvo
