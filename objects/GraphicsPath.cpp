#include "objects/GraphicsPath.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace inkora {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Distance of a cubic control point from the end of a quarter circle of radius 1.
constexpr double kQuarterArcControl = 0.5522847498307936;

bool samePoint(QPointF a, QPointF b)
{
    return a.x() == b.x() && a.y() == b.y();
}

int usedPoints(PathElement::Kind kind)
{
    switch (kind) {
    case PathElement::MoveTo:
    case PathElement::LineTo:
        return 1;
    case PathElement::QuadTo:
        return 2;
    case PathElement::CurveTo:
        return 3;
    case PathElement::Close:
        break;
    }
    return 0;
}

// Parameters in (0, 1) where a quadratic's coordinate has an extremum.
void quadExtrema(double p0, double c, double p1, std::vector<double> &ts)
{
    const double denominator = p0 - 2.0 * c + p1;
    if (denominator != 0.0) {
        const double t = (p0 - c) / denominator;
        if (t > 0.0 && t < 1.0)
            ts.push_back(t);
    }
}

// Parameters in (0, 1) where a cubic's coordinate has an extremum: roots of its derivative.
void cubicExtrema(double p0, double c1, double c2, double p1, std::vector<double> &ts)
{
    const double a = -p0 + 3.0 * c1 - 3.0 * c2 + p1;
    const double b = 2.0 * (p0 - 2.0 * c1 + c2);
    const double c = c1 - p0;
    auto add = [&ts](double t) {
        if (t > 0.0 && t < 1.0)
            ts.push_back(t);
    };
    if (std::abs(a) < 1e-12) {
        if (b != 0.0)
            add(-c / b);
        return;
    }
    const double discriminant = b * b - 4.0 * a * c;
    if (discriminant < 0.0)
        return;
    const double root = std::sqrt(discriminant);
    add((-b + root) / (2.0 * a));
    add((-b - root) / (2.0 * a));
}

QPointF quadAt(QPointF p0, QPointF c, QPointF p1, double t)
{
    const double u = 1.0 - t;
    return u * u * p0 + 2.0 * u * t * c + t * t * p1;
}

QPointF cubicAt(QPointF p0, QPointF c1, QPointF c2, QPointF p1, double t)
{
    const double u = 1.0 - t;
    return u * u * u * p0 + 3.0 * u * u * t * c1 + 3.0 * u * t * t * c2 + t * t * t * p1;
}

} // namespace

QPointF PathElement::endPoint() const
{
    const int n = usedPoints(kind);
    return n > 0 ? points[n - 1] : QPointF();
}

bool PathElement::operator==(const PathElement &other) const
{
    if (kind != other.kind)
        return false;
    for (int i = 0; i < usedPoints(kind); ++i) {
        if (!samePoint(points[i], other.points[i]))
            return false;
    }
    return true;
}

void GraphicsPath::ensureCurrentPoint(QPointF point)
{
    if (!m_hasCurrentPoint)
        moveTo(point);
}

void GraphicsPath::moveTo(QPointF point)
{
    m_elements.push_back({PathElement::MoveTo, {point, {}, {}}});
    m_subpathStart = point;
    m_hasCurrentPoint = true;
}

void GraphicsPath::lineTo(QPointF point)
{
    ensureCurrentPoint(point);
    m_elements.push_back({PathElement::LineTo, {point, {}, {}}});
}

void GraphicsPath::quadTo(QPointF control, QPointF end)
{
    ensureCurrentPoint(control);
    m_elements.push_back({PathElement::QuadTo, {control, end, {}}});
}

void GraphicsPath::cubicTo(QPointF control1, QPointF control2, QPointF end)
{
    ensureCurrentPoint(control1);
    m_elements.push_back({PathElement::CurveTo, {control1, control2, end}});
}

void GraphicsPath::closeSubpath()
{
    if (!m_hasCurrentPoint)
        return;
    m_elements.push_back({PathElement::Close, {}});
}

void GraphicsPath::addRect(const QRectF &rect)
{
    const double x = rect.x(), y = rect.y(), r = rect.x() + rect.width(), t = rect.y() + rect.height();
    moveTo({x, y});
    lineTo({r, y});
    lineTo({r, t});
    lineTo({x, t});
    closeSubpath();
}

void GraphicsPath::addEllipseInRect(const QRectF &rect, const QTransform &transform)
{
    const double cx = rect.x() + rect.width() * 0.5, cy = rect.y() + rect.height() * 0.5;
    const double rx = rect.width() * 0.5, ry = rect.height() * 0.5;
    const double kx = rx * kQuarterArcControl, ky = ry * kQuarterArcControl;
    auto m = [&transform](double x, double y) { return transform.map(QPointF(x, y)); };
    moveTo(m(cx + rx, cy));
    cubicTo(m(cx + rx, cy + ky), m(cx + kx, cy + ry), m(cx, cy + ry));
    cubicTo(m(cx - kx, cy + ry), m(cx - rx, cy + ky), m(cx - rx, cy));
    cubicTo(m(cx - rx, cy - ky), m(cx - kx, cy - ry), m(cx, cy - ry));
    cubicTo(m(cx + kx, cy - ry), m(cx + rx, cy - ky), m(cx + rx, cy));
    closeSubpath();
}

void GraphicsPath::addArc(QPointF center, double radius, double startAngle, double endAngle, bool clockwise)
{
    double sweep = endAngle - startAngle;
    if (clockwise && sweep > 0.0) {
        const double rest = std::fmod(sweep, kTwoPi);
        sweep = rest == 0.0 ? -kTwoPi : rest - kTwoPi;
    } else if (!clockwise && sweep < 0.0) {
        const double rest = std::fmod(sweep, kTwoPi);
        sweep = rest == 0.0 ? kTwoPi : rest + kTwoPi;
    }
    sweep = std::clamp(sweep, -kTwoPi, kTwoPi);
    auto at = [&](double angle) {
        return QPointF(center.x() + radius * std::cos(angle), center.y() + radius * std::sin(angle));
    };
    const QPointF start = at(startAngle);
    if (m_hasCurrentPoint)
        lineTo(start);
    else
        moveTo(start);
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    const double step = sweep / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4.0);
    double angle = startAngle;
    for (int i = 0; i < pieces; ++i) {
        const double next = angle + step;
        const QPointF a = at(angle), b = at(next);
        const QPointF c1(a.x() - k * radius * std::sin(angle), a.y() + k * radius * std::cos(angle));
        const QPointF c2(b.x() + k * radius * std::sin(next), b.y() - k * radius * std::cos(next));
        cubicTo(c1, c2, b);
        angle = next;
    }
}

void GraphicsPath::addPath(const GraphicsPath &other, const QTransform &transform)
{
    for (const PathElement &e : other.m_elements) {
        PathElement mapped = e;
        for (int i = 0; i < usedPoints(e.kind); ++i)
            mapped.points[i] = transform.map(e.points[i]);
        m_elements.push_back(mapped);
        if (e.kind == PathElement::MoveTo) {
            m_subpathStart = mapped.points[0];
            m_hasCurrentPoint = true;
        }
    }
}

QRectF GraphicsPath::boundingBox() const
{
    if (m_elements.empty())
        return {};
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    auto include = [&](QPointF p) {
        minX = std::min(minX, p.x());
        minY = std::min(minY, p.y());
        maxX = std::max(maxX, p.x());
        maxY = std::max(maxY, p.y());
    };
    QPointF current, start;
    std::vector<double> ts;
    for (const PathElement &e : m_elements) {
        switch (e.kind) {
        case PathElement::MoveTo:
            start = e.points[0];
            [[fallthrough]];
        case PathElement::LineTo:
            include(e.points[0]);
            current = e.points[0];
            break;
        case PathElement::QuadTo:
            include(e.points[1]);
            ts.clear();
            quadExtrema(current.x(), e.points[0].x(), e.points[1].x(), ts);
            quadExtrema(current.y(), e.points[0].y(), e.points[1].y(), ts);
            for (double t : ts)
                include(quadAt(current, e.points[0], e.points[1], t));
            current = e.points[1];
            break;
        case PathElement::CurveTo:
            include(e.points[2]);
            ts.clear();
            cubicExtrema(current.x(), e.points[0].x(), e.points[1].x(), e.points[2].x(), ts);
            cubicExtrema(current.y(), e.points[0].y(), e.points[1].y(), e.points[2].y(), ts);
            for (double t : ts)
                include(cubicAt(current, e.points[0], e.points[1], e.points[2], t));
            current = e.points[2];
            break;
        case PathElement::Close:
            current = start;
            break;
        }
    }
    if (minX > maxX)
        return {};
    return {minX, minY, maxX - minX, maxY - minY};
}

GraphicsPath GraphicsPath::transformed(const QTransform &transform) const
{
    GraphicsPath result;
    result.addPath(*this, transform);
    return result;
}

GraphicsPath GraphicsPath::stroked(const StrokeStyle &style) const
{
    return fromPainterPath(strokeOutline(toPainterPath(), style), true);
}

QPainterPath GraphicsPath::toPainterPath(Qt::FillRule rule) const
{
    QPainterPath path;
    path.setFillRule(rule);
    for (const PathElement &e : m_elements) {
        switch (e.kind) {
        case PathElement::MoveTo:
            path.moveTo(e.points[0]);
            break;
        case PathElement::LineTo:
            path.lineTo(e.points[0]);
            break;
        case PathElement::QuadTo:
            path.quadTo(e.points[0], e.points[1]);
            break;
        case PathElement::CurveTo:
            path.cubicTo(e.points[0], e.points[1], e.points[2]);
            break;
        case PathElement::Close:
            path.closeSubpath();
            break;
        }
    }
    return path;
}

GraphicsPath GraphicsPath::fromElements(const std::vector<PathElement> &elements)
{
    GraphicsPath result;
    for (const PathElement &e : elements) {
        switch (e.kind) {
        case PathElement::MoveTo:
            result.moveTo(e.points[0]);
            break;
        case PathElement::LineTo:
            result.lineTo(e.points[0]);
            break;
        case PathElement::QuadTo:
            result.quadTo(e.points[0], e.points[1]);
            break;
        case PathElement::CurveTo:
            result.cubicTo(e.points[0], e.points[1], e.points[2]);
            break;
        case PathElement::Close:
            result.closeSubpath();
            break;
        }
    }
    return result;
}

GraphicsPath GraphicsPath::fromPainterPath(const QPainterPath &path, bool closeSubpaths)
{
    GraphicsPath result;
    bool open = false;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (open && closeSubpaths)
                result.closeSubpath();
            result.moveTo(e);
            open = false;
            break;
        case QPainterPath::LineToElement:
            result.lineTo(e);
            open = true;
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < path.elementCount()) {
                result.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
                open = true;
            }
            i += 2;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (open && closeSubpaths)
        result.closeSubpath();
    return result;
}

QPainterPath strokeOutline(const QPainterPath &path, const StrokeStyle &style)
{
    if (!(style.width > 0.0) || path.isEmpty())
        return {};
    QPainterPathStroker stroker;
    stroker.setWidth(style.width);
    stroker.setCapStyle(style.cap == LineCap::Round    ? Qt::RoundCap
                        : style.cap == LineCap::Square ? Qt::SquareCap
                                                       : Qt::FlatCap);
    // The SVG miter join bevels a join beyond the limit, as the outlines of drawn objects expect.
    stroker.setJoinStyle(style.join == LineJoin::Round   ? Qt::RoundJoin
                         : style.join == LineJoin::Bevel ? Qt::BevelJoin
                                                         : Qt::SvgMiterJoin);
    stroker.setMiterLimit(style.miterLimit);
    double total = 0.0;
    for (double d : style.dashes)
        total += std::max(0.0, d);
    if (total > 0.0 && std::isfinite(total)) {
        // The stroker counts dashes in line widths; an odd pattern repeats to make on and off pairs.
        QList<qreal> pattern;
        const int repeats = style.dashes.size() % 2 == 1 ? 2 : 1;
        for (int r = 0; r < repeats; ++r) {
            for (double d : style.dashes)
                pattern << std::max(0.0, d) / style.width;
        }
        stroker.setDashPattern(pattern);
        stroker.setDashOffset(style.dashPhase / style.width);
    }
    QPainterPath outline = stroker.createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

} // namespace inkora
