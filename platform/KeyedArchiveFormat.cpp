#include "platform/KeyedArchiveFormat.h"

#include <QLocale>
#include <QStringView>

#include <cmath>
#include <vector>

namespace platform::archive {

namespace {

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString pair(double a, double b)
{
    return QStringLiteral("{%1, %2}").arg(number(a), number(b));
}

/// Reads "{a, b}" or "{{a, b}, {c, d}}" into `count` finite numbers; braces must match that shape exactly.
bool readNumbers(QStringView text, std::vector<double> *out, bool nested)
{
    text = text.trimmed();
    if (!text.startsWith(QLatin1Char('{')) || !text.endsWith(QLatin1Char('}')))
        return false;
    text = text.mid(1, text.size() - 2).trimmed();
    if (!nested) {
        const qsizetype comma = text.indexOf(QLatin1Char(','));
        if (comma < 0)
            return false;
        for (const QStringView part : {text.left(comma), text.mid(comma + 1)}) {
            bool ok = false;
            const double value = part.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(value))
                return false;
            out->push_back(value);
        }
        return true;
    }
    const qsizetype split = text.indexOf(QLatin1Char('}'));
    if (split < 0)
        return false;
    const QStringView rest = text.mid(split + 1).trimmed();
    if (!rest.startsWith(QLatin1Char(',')))
        return false;
    return readNumbers(text.left(split + 1), out, false) && readNumbers(rest.mid(1), out, false);
}

} // namespace

QString escapedKey(const QString &key)
{
    return key.startsWith(QLatin1Char('$')) ? QLatin1Char('$') + key : key;
}

QString pointString(const QPointF &point)
{
    return pair(point.x(), point.y());
}

QString sizeString(const QSizeF &size)
{
    return pair(size.width(), size.height());
}

QString rectString(const QRectF &rect)
{
    return QStringLiteral("{%1, %2}").arg(pair(rect.x(), rect.y()), pair(rect.width(), rect.height()));
}

std::optional<QPointF> pointFromString(const QString &text)
{
    std::vector<double> n;
    if (!readNumbers(text, &n, false))
        return std::nullopt;
    return QPointF(n[0], n[1]);
}

std::optional<QSizeF> sizeFromString(const QString &text)
{
    std::vector<double> n;
    if (!readNumbers(text, &n, false))
        return std::nullopt;
    return QSizeF(n[0], n[1]);
}

std::optional<QRectF> rectFromString(const QString &text)
{
    std::vector<double> n;
    if (!readNumbers(text, &n, true))
        return std::nullopt;
    return QRectF(n[0], n[1], n[2], n[3]);
}

} // namespace platform::archive
