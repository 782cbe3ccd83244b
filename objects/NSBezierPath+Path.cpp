#include "objects/NSBezierPath+Path.h"

#include <QPainter>
#include <QPen>
#include <QTransform>

#include <cmath>

using inkora::BezierPath;
using inkora::CubicSegment;
using ElementType = platform::Path::ElementType;

namespace inkora {

namespace {

BezierPath copyElements(const platform::Path &path, bool closeBeforeLaterMoves)
{
    BezierPath result;
    bool sawMove = false;
    for (const platform::Path::Element &e : path.elements()) {
        switch (e.type) {
        case ElementType::MoveTo:
            if (closeBeforeLaterMoves && sawMove)
                result.closePath();
            sawMove = true;
            result.moveTo(e.points[0]);
            break;
        case ElementType::LineTo:
            result.lineTo(e.points[0]);
            break;
        case ElementType::QuadTo:
            result.curveTo(e.points[0], e.points[0], e.points[1]);
            break;
        case ElementType::CubicTo:
            result.curveTo(e.points[0], e.points[1], e.points[2]);
            break;
        case ElementType::Close:
            result.closePath();
            break;
        }
    }
    return result;
}

QPointF mean(QPointF a, QPointF b)
{
    return (a + b) * 0.5;
}

} // namespace

BezierPath archiveBezierPath(const platform::Path &path)
{
    return copyElements(path, false);
}

BezierPath outlineBezierPath(const platform::Path &path)
{
    return copyElements(path, true);
}

void halveCubicSegment(const CubicSegment &r, CubicSegment &first, CubicSegment &second)
{
    const QPointF m01 = mean(r[0], r[1]);
    const QPointF m12 = mean(r[1], r[2]);
    const QPointF m23 = mean(r[2], r[3]);
    const QPointF m012 = mean(m01, m12);
    const QPointF m123 = mean(m12, m23);
    const QPointF m = mean(m012, m123);
    first = {r[0], m01, m012, m};
    second = {m, m123, m23, r[3]};
}

} // namespace inkora

namespace Path {

namespace {

// The element's points as a query gives them; a close element gives the start of its subpath.
std::array<QPointF, 3> queryPoints(const BezierPath &path, int index)
{
    const platform::Path::Element &e = path.elementAt(index);
    if (e.type != ElementType::Close)
        return e.points;
    for (int i = index - 1; i >= 0; --i) {
        if (path.elementAt(i).type == ElementType::MoveTo)
            return {path.elementAt(i).points[0], {}, {}};
    }
    return {};
}

QPointF endOf(const BezierPath &path, int index)
{
    const auto p = queryPoints(path, index);
    return path.elementAt(index).type == ElementType::CubicTo ? p[2] : p[0];
}

struct Edge
{
    QPointF start, control1, control2, end;
};

Edge edgeOf(const BezierPath &offset)
{
    const platform::Path::Element &curve = offset.elementAt(1);
    return {offset.elementAt(0).points[0], curve.points[0], curve.points[1], curve.points[2]};
}

template <typename Sink> void outlineSegment(const CubicSegment &s, double wa, double wb, Sink &&sink)
{
    BezierPath centre;
    centre.moveTo(s[0]);
    centre.curveTo(s[1], s[2], s[3]);
    const Edge plus = edgeOf(pathOffsetFrom(centre, wa * 0.5, wb * 0.5));
    const Edge minus = edgeOf(pathOffsetFrom(centre, -(wa * 0.5), -(wb * 0.5)));
    sink.moveTo(minus.start);
    sink.lineTo(plus.start);
    sink.curveTo(plus.control1, plus.control2, plus.end);
    sink.lineTo(minus.end);
    sink.curveTo(minus.control2, minus.control1, minus.start);
    sink.close();
}

} // namespace

void quartzPathWithRef(const BezierPath &path, std::optional<platform::Path> &ref)
{
    if (path.isEmpty())
        return;
    ref = path.path();
}

void quartzPathWithAnimPath(const BezierPath &path, std::optional<platform::Path> &ref)
{
    quartzPathWithRef(path, ref);
}

BezierPath strokedBezier(const BezierPath &path)
{
    std::optional<platform::Path> converted;
    quartzPathWithRef(path, converted);
    if (!converted)
        return {};
    return inkora::outlineBezierPath(
        converted->strokedOutline(path.lineWidth(), path.lineCapStyle(), path.lineJoinStyle(), path.miterLimit()));
}

BezierPath dashedBezier(const BezierPath &path)
{
    std::optional<platform::Path> converted;
    quartzPathWithRef(path, converted);
    if (!converted)
        return {};
    // Only the dash and the gap are read; a longer pattern is cut to those two.
    std::vector<double> dashes = path.lineDash();
    if (dashes.size() > 2)
        dashes.resize(2);
    double total = 0;
    for (double d : dashes)
        total += d;
    if (!(total > 0) || !std::isfinite(total))
        dashes.clear(); // no dash to repeat: a plain outline
    return inkora::outlineBezierPath(converted->strokedOutline(path.lineWidth(), path.lineCapStyle(),
                                                               path.lineJoinStyle(), path.miterLimit(), dashes, 0.0));
}

bool isOneMoveTo(const BezierPath &path)
{
    return path.elementCount() == 1 && path.elementAt(0).type == ElementType::MoveTo;
}

bool isValid(const BezierPath &path)
{
    if (path.isEmpty())
        return false;
    auto bad = [](QPointF p) { return std::isnan(p.x()) || std::isnan(p.y()); };
    for (const platform::Path::Element &e : path.elements()) {
        switch (e.type) {
        case ElementType::MoveTo:
        case ElementType::LineTo:
            if (bad(e.points[0]))
                return false;
            break;
        case ElementType::CubicTo:
            if (bad(e.points[0]) || bad(e.points[1]) || bad(e.points[2]))
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

bool isClosed(const BezierPath &path)
{
    const int n = path.elementCount();
    return n >= 2 && path.elementAt(n - 2).type == ElementType::Close;
}

bool subpathContainingElementIsClosed(const BezierPath &path, qint64 index)
{
    if (index < 0 || index >= path.elementCount())
        return false;
    for (int i = static_cast<int>(index); i < path.elementCount(); ++i) {
        if (path.elementAt(i).type == ElementType::Close)
            return true;
    }
    return false;
}

void strokeInside(const BezierPath &path, QPainter &painter)
{
    strokeInsideWithinRect(path, painter, QRectF());
}

void strokeInsideWithinRect(const BezierPath &path, QPainter &painter, const QRectF &rect)
{
    // Twice the width, clipped to the inside: the outer half falls away and the line keeps its width.
    const QPainterPath shape = path.toPainterPath();
    painter.save();
    QPen pen = painter.pen();
    pen.setWidthF(path.lineWidth() * 2.0);
    pen.setCapStyle(path.lineCapStyle());
    pen.setJoinStyle(path.lineJoinStyle() == Qt::MiterJoin ? Qt::SvgMiterJoin : path.lineJoinStyle());
    pen.setMiterLimit(path.miterLimit());
    painter.setClipPath(shape, Qt::IntersectClip);
    if (rect.width() > 0 && rect.height() > 0)
        painter.setClipRect(rect, Qt::IntersectClip);
    painter.strokePath(shape, pen);
    painter.restore();
}

BezierPath pathOffsetFrom(const BezierPath &path, double from, double to)
{
    BezierPath result;
    const int n = path.elementCount();
    if (path.isEmpty() || n <= 0)
        return result;
    constexpr double kHalfPi = 1.5707963267948966;
    QPointF carried(0.0, 0.0);
    for (int i = 0; i < n; ++i) {
        const ElementType kind = path.elementAt(i).type;
        const auto p = queryPoints(path, i);
        // A single element has no run to spread the distances over: it takes the first one.
        const double d = n > 1 ? (i * (to - from)) / (n - 1) + from : from;
        QPointF a, b;
        if (i < n - 1) {
            a = kind == ElementType::CubicTo ? p[2] : p[0];
            b = queryPoints(path, i + 1)[0];
        } else if (kind == ElementType::CubicTo) {
            a = p[1];
            b = p[2];
        } else {
            a = i > 0 ? endOf(path, i - 1) : p[0];
            b = p[0];
        }
        const double theta = std::atan2(b.y() - a.y(), b.x() - a.x());
        const QPointF o(d * std::cos(theta + kHalfPi), d * std::sin(theta + kHalfPi));
        switch (kind) {
        case ElementType::MoveTo:
            result.moveTo(p[0] + o);
            break;
        case ElementType::LineTo:
            result.lineTo(p[0] + o);
            break;
        case ElementType::CubicTo:
            result.curveTo(p[0] + carried, p[1] + o, p[2] + o);
            break;
        case ElementType::Close:
            result.closePath();
            break;
        default:
            break;
        }
        carried = o;
    }
    return result;
}

BezierPath variableWidthSegment(const CubicSegment &segment, double fromWidth, double toWidth)
{
    struct Sink
    {
        BezierPath path;
        void moveTo(QPointF p) { path.moveTo(p); }
        void lineTo(QPointF p) { path.lineTo(p); }
        void curveTo(QPointF c1, QPointF c2, QPointF e) { path.curveTo(c1, c2, e); }
        void close() { path.closePath(); }
    } sink;
    outlineSegment(segment, fromWidth, toWidth, sink);
    return sink.path;
}

platform::Path variableWidthStrokedPathSegment(const CubicSegment &segment, double fromWidth, double toWidth)
{
    struct Sink
    {
        platform::Path path;
        void moveTo(QPointF p) { path.moveTo(p); }
        void lineTo(QPointF p) { path.lineTo(p); }
        void curveTo(QPointF c1, QPointF c2, QPointF e) { path.cubicTo(c1, c2, e); }
        void close() { path.closeSubpath(); }
    } sink;
    outlineSegment(segment, fromWidth, toWidth, sink);
    return sink.path;
}

platform::Path variableWidthStrokedPathSubdivide(const CubicSegment &segment, double fromWidth, double toWidth)
{
    CubicSegment firstHalf, secondHalf, q1, q2, q3, q4;
    inkora::halveCubicSegment(segment, firstHalf, secondHalf);
    inkora::halveCubicSegment(firstHalf, q1, q2);
    inkora::halveCubicSegment(secondHalf, q3, q4);

    // The inner widths are kept in single precision, the products with the end width too.
    const float fa = static_cast<float>(fromWidth);
    const float fb = static_cast<float>(toWidth);
    const float w1 = static_cast<float>(0.75 * fa + static_cast<double>(0.25f * fb));
    const float w2 = static_cast<float>(0.5 * fa + static_cast<double>(0.5f * fb));
    const float w3 = static_cast<float>(0.25 * fa + static_cast<double>(0.75f * fb));

    platform::Path path;
    path.addArc(segment[0], fromWidth * 0.5, 0.0, 6.283185307179586, true);
    path.addPath(variableWidthStrokedPathSegment(q1, fromWidth, w1));
    path.addPath(variableWidthStrokedPathSegment(q2, w1, w2));
    path.addPath(variableWidthStrokedPathSegment(q3, w2, w3));
    path.addPath(variableWidthStrokedPathSegment(q4, w3, toWidth));
    const QPointF end = segment[3];
    // Mirrored about the end point's horizontal, so the cap runs the same way round as the start circle.
    const QTransform flip(1.0, 0.0, 0.0, -1.0, 0.0, 2.0 * end.y());
    platform::Path cap;
    cap.addEllipseInRect(QRectF(end.x() - toWidth * 0.5, end.y() - toWidth * 0.5, toWidth, toWidth));
    path.addPath(cap, flip);
    return path;
}

} // namespace Path
