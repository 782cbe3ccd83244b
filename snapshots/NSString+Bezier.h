#pragma once

#include <QByteArray>
#include <QString>

/// The layer-name forms of a PSD file.
namespace Bezier {

/// One length byte, then the name and a space in UTF-8, NUL-padded so the whole is a multiple of 4 bytes.
[[nodiscard]] QByteArray pascalName(const QString &string);
/// The "luni" block: the name's UTF-16 units, big-endian, after their count.
[[nodiscard]] QByteArray unicodeName(const QString &string);
/// The string's length rounded up to a multiple of `n`.
[[nodiscard]] qsizetype pascalLengthPaddedTo(const QString &string, int n);
/// The UTF-8 bytes of the string, cut or NUL-padded to `pascalLengthPaddedTo(n)` bytes.
[[nodiscard]] QByteArray pascalPaddedTo(const QString &string, int n);
/// As `pascalPaddedTo`, padding with repeats of `pad` in place of NUL.
[[nodiscard]] QByteArray pascalPaddedToAndString(const QString &string, int n, const QString &pad);

} // namespace Bezier
