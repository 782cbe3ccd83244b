#include "snapshots/NSMutableData+PSDAdditions.h"
#include "snapshots/NSString+Bezier.h"

#include <algorithm>

namespace Bezier {

namespace {

// The length byte holds at most 255; a longer name is cut so that length and padding stay consistent.
constexpr qsizetype kMaxPascalCharacters = 255;

} // namespace

QByteArray pascalName(const QString &string)
{
    const QString name = string.left(kMaxPascalCharacters);
    const qsizetype n = name.size();
    const QByteArray padded = pascalPaddedTo(name + QLatin1Char(' '), 4);
    QByteArray out;
    PSDAdditions::appendByteValue(out, std::uint32_t(n));
    out.append(padded.left(padded.size() - 1));
    return out;
}

QByteArray unicodeName(const QString &string)
{
    QByteArray out;
    out.append("8BIMluni", 8);
    PSDAdditions::appendInt32Value(out, std::uint32_t(2 * string.size() + 4));
    PSDAdditions::appendInt32Value(out, std::uint32_t(string.size()));
    for (const QChar c : string)
        PSDAdditions::appendInt16Value(out, c.unicode());
    return out;
}

qsizetype pascalLengthPaddedTo(const QString &string, int n)
{
    n = std::max(n, 1);
    return (string.size() + n - 1) / n * n;
}

QByteArray pascalPaddedTo(const QString &string, int n)
{
    QByteArray bytes = string.toUtf8();
    bytes.resize(pascalLengthPaddedTo(string, n), '\0');
    return bytes;
}

QByteArray pascalPaddedToAndString(const QString &string, int n, const QString &pad)
{
    const qsizetype length = pascalLengthPaddedTo(string, n);
    QByteArray bytes = string.toUtf8();
    const QByteArray padBytes = pad.toUtf8();
    while (!padBytes.isEmpty() && bytes.size() < length)
        bytes.append(padBytes);
    bytes.resize(length, '\0');
    return bytes;
}

} // namespace Bezier
