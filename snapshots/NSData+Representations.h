#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

/// Encodings of a byte buffer: PackBits, zlib, and images rebuilt from PNG or JPEG data.
namespace Representations {

/// PackBits of every `skip`-th byte from `location` below `location + length`; a range beyond the data is cut to it.
[[nodiscard]] QByteArray packedBitsForRange(const QByteArray &data, qsizetype location, qsizetype length, int skip);
/// A readable walk through PackBits data, one sentence per packet.
[[nodiscard]] QString packedBitsDescription(const QByteArray &data);
/// zlib of every `skip`-th byte of the range.
[[nodiscard]] QByteArray deflatedBitsForRange(const QByteArray &data, qsizetype location, qsizetype length, int skip);
/// The whole buffer compressed with zlib at the default level; empty input comes back unchanged.
[[nodiscard]] QByteArray zlibDeflate(const QByteArray &data);
/// A complete zlib stream decompressed, else a null array; empty input comes back unchanged.
[[nodiscard]] QByteArray zlibInflate(const QByteArray &data);
/// The bitmap in PNG `data` (RGBA, premultiplied), or a null image when it is no PNG.
[[nodiscard]] QImage repFromPNGData(const QByteArray &data);
/// The bitmap in JPEG `data`, or a null image.
[[nodiscard]] QImage repFromJPEGData(const QByteArray &data);

} // namespace Representations

namespace inkora {

/// Appends the PackBits of the `count` bytes first[0], first[skip], first[2 * skip] ...; the engine packs channel
/// rows straight out of interleaved pixels this way.
void appendPackedBits(QByteArray &out, const std::uint8_t *first, qsizetype count, int skip);

} // namespace inkora
