#include "foundation/TextScanning.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <limits>

namespace inkora {

namespace {

int hexDigit(QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        return c.unicode() - 'a' + 10;
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    return -1;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

double leadingDouble(const QString &text)
{
    const QByteArray latin = text.trimmed().toLatin1();
    const char *begin = latin.constData();
    const char *p = begin;
    if (*p == '+' || *p == '-')
        ++p;
    bool digits = false;
    for (; isDigit(*p); ++p)
        digits = true;
    if (*p == '.') {
        for (++p; isDigit(*p); ++p)
            digits = true;
    }
    if (!digits)
        return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char *exponent = p + 1;
        if (*exponent == '+' || *exponent == '-')
            ++exponent;
        if (isDigit(*exponent)) {
            for (p = exponent; isDigit(*p); ++p) {
            }
        }
    }
    // QByteArray's conversion ignores the process locale.
    const double value = QByteArray(begin, p - begin).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

qint64 leadingInteger(const QString &text)
{
    const QByteArray latin = text.trimmed().toLatin1();
    const char *p = latin.constData();
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    bool saturated = false;
    for (; isDigit(*p); ++p) {
        const int digit = *p - '0';
        if (value > (kMax - digit) / 10) {
            saturated = true;
            break;
        }
        value = value * 10 + digit;
    }
    if (saturated)
        return negative ? std::numeric_limits<qint64>::min() : kMax;
    return negative ? -value : value;
}

bool scanHexUInt32(const QString &text, std::uint32_t *value)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i + 2 < text.size() && text.at(i) == QLatin1Char('0') &&
        (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X')) && hexDigit(text.at(i + 2)) >= 0)
        i += 2;
    std::uint64_t result = 0;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const int digit = hexDigit(text.at(i));
        if (digit < 0)
            break;
        digits = true;
        result = std::min<std::uint64_t>(result * 16 + std::uint64_t(digit), 0xFFFFFFFFu);
    }
    *value = digits ? std::uint32_t(result) : 0;
    return digits;
}

QString searchFolded(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString kept;
    kept.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining &&
            category != QChar::Mark_Enclosing)
            kept.append(c);
    }
    return kept.toCaseFolded();
}

bool containsIgnoringCaseAndDiacritics(const QString &text, const QString &search)
{
    const QString needle = searchFolded(search);
    if (needle.isEmpty())
        return false;
    return searchFolded(text).contains(needle);
}

} // namespace inkora
