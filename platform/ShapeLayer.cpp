#include "platform/ShapeLayer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace platform {

namespace {
const QString kPath = QStringLiteral("path");
const QString kFillColor = QStringLiteral("fillColor");
const QString kStrokeColor = QStringLiteral("strokeColor");
const QString kLineWidth = QStringLiteral("lineWidth");
const QString kMiterLimit = QStringLiteral("miterLimit");
const QString kStrokeStart = QStringLiteral("strokeStart");
const QString kStrokeEnd = QStringLiteral("strokeEnd");
} // namespace

namespace {

// The closed parts of a path, each with the box around its points (control points included).
struct Subpath
{
    std::vector<QPainterPath::Element> elements;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

std::vector<Subpath> subpaths(const QPainterPath &path)
{
    std::vector<Subpath> parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo() || parts.empty())
            parts.push_back(Subpath{{}, e.x, e.y, e.x, e.y});
        Subpath &part = parts.back();
        part.elements.push_back(e);
        part.minX = std::min(part.minX, e.x);
        part.minY = std::min(part.minY, e.y);
        part.maxX = std::max(part.maxX, e.x);
        part.maxY = std::max(part.maxY, e.y);
    }
    return parts;
}

QRectF boxOf(const Subpath &part)
{
    return QRectF(QPointF(part.minX, part.minY), QPointF(part.maxX, part.maxY));
}

// The area where a fill of `a` and of `b` can differ: the boxes of the parts that are not the same in both. Outside
// a closed part's box that part adds nothing to the winding number, so there the fill stays, whatever the rule.
std::optional<QRectF> changedArea(const QPainterPath &a, const QPainterPath &b)
{
    const auto before = subpaths(a);
    const auto after = subpaths(b);
    std::optional<Subpath> area;
    const auto add = [&area](const Subpath &part) {
        if (!area) {
            area = Subpath{{}, part.minX, part.minY, part.maxX, part.maxY};
            return;
        }
        area->minX = std::min(area->minX, part.minX);
        area->minY = std::min(area->minY, part.minY);
        area->maxX = std::max(area->maxX, part.maxX);
        area->maxY = std::max(area->maxY, part.maxY);
    };
    const size_t count = std::max(before.size(), after.size());
    for (size_t i = 0; i < count; ++i) {
        if (i < before.size() && i < after.size() && before[i].elements == after[i].elements)
            continue;
        if (i < before.size())
            add(before[i]);
        if (i < after.size())
            add(after[i]);
    }
    if (!area)
        return std::nullopt;
    return boxOf(*area);
}

} // namespace

void ShapeLayer::setPath(const QPainterPath &path)
{
    if (path == m_path)
        return;
    const bool stroked = m_strokeColor.isValid() && m_strokeColor.alpha() > 0 && m_lineWidth > 0;
    if (!stroked && !hasAnimations() && !wantsImplicitAnimation()) {
        // A filled path that changes in some parts only repaints those parts (a moving hole in a display-sized
        // shade). Two points of margin cover the antialiased edges.
        const auto area = changedArea(m_path, path);
        m_path = path;
        if (area)
            setNeedsDisplayInRect(area->adjusted(-2, -2, 2, 2));
        return;
    }
    setAnimatableMember(m_path, path, kPath);
}

void ShapeLayer::setFillColor(const QColor &color)
{
    setAnimatableMember(m_fillColor, color, kFillColor);
}

void ShapeLayer::setStrokeColor(const QColor &color)
{
    setAnimatableMember(m_strokeColor, color, kStrokeColor);
}

void ShapeLayer::setFillRule(FillRule rule)
{
    propertyWillChange();
    m_fillRule = rule;
    propertyDidChange({}, {});
}

void ShapeLayer::setLineWidth(double width)
{
    setAnimatableMember(m_lineWidth, width, kLineWidth);
}

void ShapeLayer::setLineCap(Qt::PenCapStyle cap)
{
    propertyWillChange();
    m_lineCap = cap;
    propertyDidChange({}, {});
}

void ShapeLayer::setLineJoin(Qt::PenJoinStyle join)
{
    propertyWillChange();
    m_lineJoin = join;
    propertyDidChange({}, {});
}

void ShapeLayer::setMiterLimit(double limit)
{
    setAnimatableMember(m_miterLimit, limit, kMiterLimit);
}

void ShapeLayer::setStrokeStart(double fraction)
{
    setAnimatableMember(m_strokeStart, fraction, kStrokeStart);
}

void ShapeLayer::setStrokeEnd(double fraction)
{
    setAnimatableMember(m_strokeEnd, fraction, kStrokeEnd);
}

QVariant ShapeLayer::modelValue(const QString &key) const
{
    if (key == kPath)
        return QVariant::fromValue(m_path);
    if (key == kFillColor)
        return m_fillColor;
    if (key == kStrokeColor)
        return m_strokeColor;
    if (key == kLineWidth)
        return m_lineWidth;
    if (key == kMiterLimit)
        return m_miterLimit;
    if (key == kStrokeStart)
        return m_strokeStart;
    if (key == kStrokeEnd)
        return m_strokeEnd;
    return Layer::modelValue(key);
}

void ShapeLayer::drawInContext(QPainter &painter, bool presentation) const
{
    Layer::drawInContext(painter, presentation);
    QPainterPath path = drawingValue(m_path, kPath, presentation);
    if (path.isEmpty())
        return;
    path.setFillRule(m_fillRule == FillRule::EvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor fill = drawingValue(m_fillColor, kFillColor, presentation);
    if (fill.isValid() && fill.alpha() > 0)
        painter.fillPath(path, fill);
    const QColor stroke = drawingValue(m_strokeColor, kStrokeColor, presentation);
    const double width = drawingValue(m_lineWidth, kLineWidth, presentation);
    if (stroke.isValid() && stroke.alpha() > 0 && width > 0) {
        const double start = std::clamp(drawingValue(m_strokeStart, kStrokeStart, presentation), 0.0, 1.0);
        const double end = std::clamp(drawingValue(m_strokeEnd, kStrokeEnd, presentation), 0.0, 1.0);
        if (end > start) {
            QPen pen(stroke, width, Qt::SolidLine, m_lineCap, m_lineJoin);
            // Qt measures the miter from the centre line, the limit here from the inner corner: half as far.
            pen.setMiterLimit(drawingValue(m_miterLimit, kMiterLimit, presentation) / 2);
            painter.strokePath(start <= 0 && end >= 1 ? path : trimmedPath(path, start, end), pen);
        }
    }
    painter.restore();
}

QPainterPath ShapeLayer::trimmedPath(const QPainterPath &path, double start, double end)
{
    const QList<QPolygonF> polygons = path.toSubpathPolygons();
    double total = 0;
    for (const QPolygonF &polygon : polygons)
        for (qsizetype i = 1; i < polygon.size(); ++i)
            total += QLineF(polygon[i - 1], polygon[i]).length();
    const double from = start * total;
    const double to = end * total;
    QPainterPath result;
    double walked = 0;
    for (const QPolygonF &polygon : polygons) {
        bool open = false;
        for (qsizetype i = 1; i < polygon.size(); ++i) {
            const QLineF segment(polygon[i - 1], polygon[i]);
            const double length = segment.length();
            const double a = walked, b = walked + length;
            walked = b;
            if (b < from || a > to || length <= 0)
                continue;
            const QPointF p0 = segment.pointAt(std::max(0.0, (from - a) / length));
            const QPointF p1 = segment.pointAt(std::min(1.0, (to - a) / length));
            if (!open) {
                result.moveTo(p0);
                open = true;
            }
            result.lineTo(p1);
        }
    }
    return result;
}

} // namespace platform
