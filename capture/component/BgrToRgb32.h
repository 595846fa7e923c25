#pragma once

// Conversion of 24-bit BGR pixels (blue, green, red bytes) to opaque 32-bit
// QRgb values, for the picture window and stills.

#include <QRgb>
#include <QtEndian>
#include <cstdint>
#include <cstring>

// Converts `count` pixels of one row. A QRgb (0xAARRGGBB) lies in memory as
// blue, green, red, alpha on a little-endian machine: each pixel is one
// 4-byte load with the alpha byte set, except the row's last, whose fourth
// byte may lie past the row.
inline void BgrToRgb32(const std::uint8_t *src, QRgb *dst, int count)
{
    int x = 0;
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        for (; x + 1 < count; ++x, src += 3) {
            std::uint32_t v;
            std::memcpy(&v, src, sizeof v);
            dst[x] = v | 0xff000000u;
        }
    }
    for (; x < count; ++x, src += 3)
        dst[x] = 0xff000000u | (QRgb(src[2]) << 16) | (QRgb(src[1]) << 8) | src[0];
}

// Converts the pixels at the byte offsets `columns` of a row (nearest-pixel
// scaling), one byte at a time.
inline void BgrColumnsToRgb32Bytewise(const std::uint8_t *row, const int *columns, QRgb *dst,
                                      int count)
{
    for (int i = 0; i < count; ++i) {
        const std::uint8_t *p = row + columns[i];
        dst[i] = 0xff000000u | (QRgb(p[2]) << 16) | (QRgb(p[1]) << 8) | p[0];
    }
}

// The same for pixels whose fourth byte may be read (it lies inside the
// frame): one 4-byte load each.
inline void BgrColumnsToRgb32(const std::uint8_t *row, const int *columns, QRgb *dst, int count)
{
    if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN) {
        BgrColumnsToRgb32Bytewise(row, columns, dst, count);
        return;
    }
    for (int i = 0; i < count; ++i) {
        std::uint32_t v;
        std::memcpy(&v, row + columns[i], sizeof v);
        dst[i] = v | 0xff000000u;
    }
}
