#pragma once

#include <QString>

#include <cstdint>

namespace inkora {

/// The leading decimal number of a text, read leniently: leading blanks skipped, reading stops at the first
/// character that cannot continue the number; no digits, or a value too large to be finite, read 0.
[[nodiscard]] double leadingDouble(const QString &text);

/// The leading decimal integer of a text, read leniently like `leadingDouble`; saturates at the type's limits.
[[nodiscard]] qint64 leadingInteger(const QString &text);

/// An unsigned hexadecimal integer at the start of a text (leading blanks and an "0x" skipped); saturates at
/// 0xFFFFFFFF. False, with 0, when there are no hexadecimal digits.
bool scanHexUInt32(const QString &text, std::uint32_t *value);

/// The text as searches compare it: decomposed, combining marks dropped, case folded ("SNÄP" gives "snap").
[[nodiscard]] QString searchFolded(const QString &text);

/// Whether `text` contains `search` regardless of case and diacritics; an empty search matches nothing.
[[nodiscard]] bool containsIgnoringCaseAndDiacritics(const QString &text, const QString &search);

} // namespace inkora
