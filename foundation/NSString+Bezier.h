#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

/// Text helpers: hashed names for stored files, Base64 of UTF-8 text, and the colour field's hexadecimal digits.
namespace Bezier {

/// A new hashed name: 16 to 32 upper-case hexadecimal digits.
[[nodiscard]] QString uniqueHashFolderName();
/// A new hashed name with the extension appended after a full stop.
[[nodiscard]] QString nameWithFileExtention(const QString &extension);
/// The MD5 digest of the current date's text and a fresh salt, each byte written "%X".
[[nodiscard]] QString makeHashName();
/// A fresh salt: the string hash of the date's hash and a random number, in upper-case hexadecimal.
[[nodiscard]] QString makeSalt();
/// The MD5 digest of the text's UTF-8 bytes, each byte written "%X" (no leading zero).
[[nodiscard]] QString hashOff(const QString &text);

/// Standard Base64, without line breaks, of the text's UTF-8 bytes.
[[nodiscard]] QString base64EncodedString(const QString &text);
/// The UTF-8 text of strictly decoded Base64; a null string when the Base64 or the UTF-8 is malformed.
[[nodiscard]] QString decodedFromBase64String(const QString &text);

/// Six hexadecimal digits for the colour field: three doubled, fewer padded with "0", more cut to six.
[[nodiscard]] QString preProcessedHexString(const QString &text);
/// The text read as a hexadecimal number d, written "%X%X" with d twice; "00" when it is not hexadecimal.
[[nodiscard]] QString doubleHexFromSingleCharacter(const QString &text);

/// The translation of the text (the text is its own key) drawn centred at the top of the rectangle of a y-up
/// painter, in the system font at 13 points in the colour.
void drawLocalizedStringInRect(const QString &text, QPainter &painter, const QRectF &rect, const QColor &color);

} // namespace Bezier
