#include "platform/Path.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// Parameters in (0, 1) where one coordinate of a curve has a zero derivative.
void quadExtrema(double p0, double p1, double p2, std::vector<double> &out)
{
    const double d = p0 - 2 * p1 + p2;
    if (d != 0) {
        const double t = (p0 - p1) / d;
        if (t > 0 && t < 1)
            out.push_back(t);
    }
}

void cubicExtrema(double p0, double p1, double p2, double p3, std::vector<double> &out)
{
    // Derivative: 3 (a t^2 + b t + c)
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    auto keep = [&out](double t) {
        if (t > 0 && t < 1)
            out.push_back(t);
    };
    if (std::abs(a) < 1e-12) {
        if (b != 0)
            keep(-c / b);
        return;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0)
        return;
    const double root = std::sqrt(disc);
    keep((-b + root) / (2 * a));
    keep((-b - root) / (2 * a));
}

QPointF quadAt(QPointF p0, QPointF p1, QPointF p2, double t)
{
    const double u = 1 - t;
    return u * u * p0 + 2 * u * t * p1 + t * t * p2;
}

QPointF cubicAt(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double t)
{
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

void include(QRectF &box, bool &empty, QPointF p)
{
    if (empty) {
        box = QRectF(p, QSizeF(0, 0));
        empty = false;
        return;
    }
    box.setLeft(std::min(box.left(), p.x()));
    box.setRight(std::max(box.right(), p.x()));
    box.setTop(std::min(box.top(), p.y()));
    box.setBottom(std::max(box.bottom(), p.y()));
}

} // namespace

int Path::Element::pointCount() const
{
    switch (type) {
    case ElementType::MoveTo:
    case ElementType::LineTo:
        return 1;
    case ElementType::QuadTo:
        return 2;
    case ElementType::CubicTo:
        return 3;
    case ElementType::Close:
        break;
    }
    return 0;
}

QPointF Path::Element::endPoint() const
{
    const int n = pointCount();
    return n > 0 ? points[size_t(n - 1)] : QPointF();
}

bool operator==(const Path::Element &a, const Path::Element &b)
{
    if (a.type != b.type)
        return false;
    for (int i = 0; i < a.pointCount(); ++i)
        if (a.points[size_t(i)] != b.points[size_t(i)])
            return false;
    return true;
}

void Path::moveTo(QPointF point)
{
    m_elements.push_back({ElementType::MoveTo, {point}});
    m_subpathStart = point;
}

void Path::ensureStart(QPointF point)
{
    if (m_elements.empty())
        moveTo(point);
}

void Path::lineTo(QPointF point)
{
    ensureStart(point);
    m_elements.push_back({ElementType::LineTo, {point}});
}

void Path::quadTo(QPointF control, QPointF end)
{
    ensureStart(control);
    m_elements.push_back({ElementType::QuadTo, {control, end}});
}

void Path::cubicTo(QPointF control1, QPointF control2, QPointF end)
{
    ensureStart(control1);
    m_elements.push_back({ElementType::CubicTo, {control1, control2, end}});
}

void Path::closeSubpath()
{
    if (m_elements.empty() || m_elements.back().type == ElementType::Close)
        return;
    m_elements.push_back({ElementType::Close, {}});
}

QPointF Path::currentPoint() const
{
    if (m_elements.empty())
        return {};
    if (m_elements.back().type == ElementType::Close)
        return m_subpathStart;
    return m_elements.back().endPoint();
}

void Path::addRect(const QRectF &r)
{
    moveTo(r.topLeft()); // y up: the rectangle's minimum corner
    lineTo({r.right(), r.top()});
    lineTo({r.right(), r.bottom()});
    lineTo({r.left(), r.bottom()});
    closeSubpath();
}

void Path::addEllipseInRect(const QRectF &r)
{
    const double kappa = 0.5522847498307936; // 4/3 (sqrt 2 - 1)
    const double rx = r.width() / 2, ry = r.height() / 2;
    const QPointF c = r.center();
    const double ox = rx * kappa, oy = ry * kappa;
    moveTo({c.x() + rx, c.y()});
    cubicTo({c.x() + rx, c.y() + oy}, {c.x() + ox, c.y() + ry}, {c.x(), c.y() + ry});
    cubicTo({c.x() - ox, c.y() + ry}, {c.x() - rx, c.y() + oy}, {c.x() - rx, c.y()});
    cubicTo({c.x() - rx, c.y() - oy}, {c.x() - ox, c.y() - ry}, {c.x(), c.y() - ry});
    cubicTo({c.x() + ox, c.y() - ry}, {c.x() + rx, c.y() - oy}, {c.x() + rx, c.y()});
    closeSubpath();
}

void Path::addArc(QPointF center, double radius, double startAngle, double endAngle, bool clockwise)
{
    double sweep = endAngle - startAngle;
    if (std::abs(sweep) >= kTwoPi) {
        sweep = clockwise ? -kTwoPi : kTwoPi;
    } else if (clockwise && sweep > 0) {
        sweep -= kTwoPi;
    } else if (!clockwise && sweep < 0) {
        sweep += kTwoPi;
    }
    const QPointF start(center.x() + radius * std::cos(startAngle), center.y() + radius * std::sin(startAngle));
    if (m_elements.empty() || m_elements.back().type == ElementType::Close)
        moveTo(start);
    else
        lineTo(start);
    const int pieces = std::max(1, int(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    const double step = sweep / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    double a = startAngle;
    for (int i = 0; i < pieces; ++i) {
        const double b = a + step;
        const QPointF p0(std::cos(a), std::sin(a));
        const QPointF p3(std::cos(b), std::sin(b));
        const QPointF c1 = p0 + k * QPointF(-p0.y(), p0.x());
        const QPointF c2 = p3 - k * QPointF(-p3.y(), p3.x());
        cubicTo(center + radius * c1, center + radius * c2, center + radius * p3);
        a = b;
    }
}

void Path::addPath(const Path &other, const QTransform &transform)
{
    for (Element e : other.m_elements) {
        for (int i = 0; i < e.pointCount(); ++i)
            e.points[size_t(i)] = transform.map(e.points[size_t(i)]);
        if (e.type == ElementType::MoveTo)
            m_subpathStart = e.points[0];
        m_elements.push_back(e);
    }
}

Path Path::transformed(const QTransform &transform) const
{
    Path result;
    result.addPath(*this, transform);
    return result;
}

QRectF Path::boundingBox() const
{
    QRectF box;
    bool empty = true;
    for (const Element &e : m_elements)
        for (int i = 0; i < e.pointCount(); ++i)
            include(box, empty, e.points[size_t(i)]);
    return box;
}

QRectF Path::pathBoundingBox() const
{
    QRectF box;
    bool empty = true;
    QPointF current;
    std::vector<double> ts;
    for (const Element &e : m_elements) {
        switch (e.type) {
        case ElementType::MoveTo:
        case ElementType::LineTo:
            include(box, empty, e.points[0]);
            current = e.points[0];
            break;
        case ElementType::QuadTo:
            ts.clear();
            quadExtrema(current.x(), e.points[0].x(), e.points[1].x(), ts);
            quadExtrema(current.y(), e.points[0].y(), e.points[1].y(), ts);
            for (double t : ts)
                include(box, empty, quadAt(current, e.points[0], e.points[1], t));
            include(box, empty, e.points[1]);
            current = e.points[1];
            break;
        case ElementType::CubicTo:
            ts.clear();
            cubicExtrema(current.x(), e.points[0].x(), e.points[1].x(), e.points[2].x(), ts);
            cubicExtrema(current.y(), e.points[0].y(), e.points[1].y(), e.points[2].y(), ts);
            for (double t : ts)
                include(box, empty, cubicAt(current, e.points[0], e.points[1], e.points[2], t));
            include(box, empty, e.points[2]);
            current = e.points[2];
            break;
        case ElementType::Close:
            break;
        }
    }
    return box;
}

bool Path::contains(QPointF point, Qt::FillRule rule) const
{
    return toPainterPath(rule).contains(point);
}

QPainterPath Path::toPainterPath(Qt::FillRule rule) const
{
    QPainterPath path;
    path.setFillRule(rule);
    for (const Element &e : m_elements) {
        switch (e.type) {
        case ElementType::MoveTo:
            path.moveTo(e.points[0]);
            break;
        case ElementType::LineTo:
            path.lineTo(e.points[0]);
            break;
        case ElementType::QuadTo:
            path.quadTo(e.points[0], e.points[1]);
            break;
        case ElementType::CubicTo:
            path.cubicTo(e.points[0], e.points[1], e.points[2]);
            break;
        case ElementType::Close:
            path.closeSubpath();
            break;
        }
    }
    return path;
}

Path Path::fromPainterPath(const QPainterPath &path)
{
    Path result;
    QPointF start;
    bool open = false;
    auto closeIfReturned = [&] {
        if (open && result.elementCount() > 0 && result.m_elements.back().type != ElementType::MoveTo &&
            result.currentPoint() == start)
            result.closeSubpath();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            closeIfReturned();
            start = QPointF(e.x, e.y);
            result.moveTo(start);
            open = true;
            break;
        case QPainterPath::LineToElement:
            result.lineTo(QPointF(e.x, e.y));
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < path.elementCount()) {
                const QPainterPath::Element &c2 = path.elementAt(i + 1);
                const QPainterPath::Element &end = path.elementAt(i + 2);
                result.cubicTo(QPointF(e.x, e.y), QPointF(c2.x, c2.y), QPointF(end.x, end.y));
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    closeIfReturned();
    return result;
}

Path Path::strokedOutline(double width, Qt::PenCapStyle cap, Qt::PenJoinStyle join, double miterLimit,
                          const std::vector<double> &dashes, double dashPhase) const
{
    if (isEmpty() || width <= 0)
        return {};
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    // Qt's SVG miter bevels a join whose miter is longer than the limit (a ratio of the line width), as expected of
    // outlines; its plain miter never bevels.
    stroker.setJoinStyle(join == Qt::MiterJoin ? Qt::SvgMiterJoin : join);
    stroker.setMiterLimit(miterLimit);
    if (!dashes.empty()) {
        QList<qreal> pattern;
        for (double length : dashes)
            pattern.append(length / width); // Qt counts dashes in line widths
        if (pattern.size() % 2)
            pattern.append(pattern);
        stroker.setDashPattern(pattern);
        stroker.setDashOffset(dashPhase / width);
    }
    return fromPainterPath(stroker.createStroke(toPainterPath()));
}

} // namespace platform
