#include "platform/Geometry.h"

#include <QByteArray>
#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>

namespace platform {

namespace {

QString number(double v)
{
    if (v == 0)
        v = 0; // "-0" would read back as a different value in the archive's eyes
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

QRectF fromEdges(double x0, double y0, double x1, double y1)
{
    return QRectF(x0, y0, x1 - x0, y1 - y0);
}

// A cursor over the text of a point or a rectangle; spaces may stand around every token.
class Reader
{
public:
    explicit Reader(const QString &text) : m_bytes(text.toLatin1()) {}

    [[nodiscard]] bool expect(char c)
    {
        skipSpaces();
        if (m_pos >= m_bytes.size() || m_bytes[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }

    [[nodiscard]] bool number(double &out)
    {
        skipSpaces();
        const char *begin = m_bytes.constData() + m_pos;
        const char *end = m_bytes.constData() + m_bytes.size();
        if (begin < end && *begin == '+')
            ++begin;
        const auto result = std::from_chars(begin, end, out);
        if (result.ec != std::errc() || !std::isfinite(out))
            return false;
        m_pos = result.ptr - m_bytes.constData();
        return true;
    }

    [[nodiscard]] bool atEnd()
    {
        skipSpaces();
        return m_pos == m_bytes.size();
    }

private:
    void skipSpaces()
    {
        while (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t' || m_bytes[m_pos] == '\n'))
            ++m_pos;
    }

    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

bool readPair(Reader &reader, double &a, double &b)
{
    return reader.expect('{') && reader.number(a) && reader.expect(',') && reader.number(b) && reader.expect('}');
}

} // namespace

QPointF centre(const QRectF &r)
{
    return QPointF(r.x() + r.width() / 2, r.y() + r.height() / 2);
}

bool isEmptyRect(const QRectF &r)
{
    return !(r.width() > 0 && r.height() > 0);
}

QRectF integralRect(const QRectF &r)
{
    if (isEmptyRect(r))
        return QRectF();
    return alignedRect(r, EdgeAlignment::Outward);
}

QRectF alignedRect(const QRectF &r, EdgeAlignment alignment)
{
    const QRectF n = r.normalized();
    if (alignment == EdgeAlignment::Outward)
        return fromEdges(std::floor(minX(n)), std::floor(minY(n)), std::ceil(maxX(n)), std::ceil(maxY(n)));
    const auto nearest = [](double v) { return std::floor(v + 0.5); };
    return fromEdges(nearest(minX(n)), nearest(minY(n)), nearest(maxX(n)), nearest(maxY(n)));
}

QRectF floorOriginCeilSize(const QRectF &r)
{
    return QRectF(std::floor(r.x()), std::floor(r.y()), std::ceil(r.width()), std::ceil(r.height()));
}

QRectF unionRect(const QRectF &a, const QRectF &b)
{
    const bool aEmpty = isEmptyRect(a);
    const bool bEmpty = isEmptyRect(b);
    if (aEmpty && bEmpty)
        return QRectF();
    if (aEmpty)
        return b;
    if (bEmpty)
        return a;
    return unionRectKeepingPoints(a, b);
}

QRectF unionRectKeepingPoints(const QRectF &a, const QRectF &b)
{
    const QRectF na = a.normalized();
    const QRectF nb = b.normalized();
    return fromEdges(std::min(minX(na), minX(nb)), std::min(minY(na), minY(nb)), std::max(maxX(na), maxX(nb)),
                     std::max(maxY(na), maxY(nb)));
}

QRectF insetRect(const QRectF &r, double dx, double dy)
{
    return QRectF(r.x() + dx, r.y() + dy, r.width() - 2 * dx, r.height() - 2 * dy);
}

QPointF flipY(const QPointF &p, double height)
{
    return QPointF(p.x(), height - p.y());
}

QRectF flipY(const QRectF &r, double height)
{
    return QRectF(r.x(), height - (r.y() + r.height()), r.width(), r.height());
}

QString pointToString(const QPointF &p)
{
    return QStringLiteral("{%1, %2}").arg(number(p.x()), number(p.y()));
}

QString rectToString(const QRectF &r)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(number(r.x()), number(r.y()), number(r.width()), number(r.height()));
}

std::optional<QPointF> pointFromString(const QString &text)
{
    Reader reader(text);
    double x = 0;
    double y = 0;
    if (!readPair(reader, x, y) || !reader.atEnd())
        return std::nullopt;
    return QPointF(x, y);
}

std::optional<QRectF> rectFromString(const QString &text)
{
    Reader reader(text);
    std::array<double, 4> v{};
    if (!reader.expect('{') || !readPair(reader, v[0], v[1]) || !reader.expect(',') || !readPair(reader, v[2], v[3]) ||
        !reader.expect('}') || !reader.atEnd())
        return std::nullopt;
    return QRectF(v[0], v[1], v[2], v[3]);
}

} // namespace platform
