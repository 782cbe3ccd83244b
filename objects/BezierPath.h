#pragma once

#include "objects/GraphicsPath.h"

#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <vector>

namespace inkora {

/// A drawing path of move, line, cubic and close elements in y-up points, with the line attributes that
/// stroking it uses; the form in which paths are archived and handed to views.
class BezierPath
{
public:
    enum WindingRule : int { NonZero = 0, EvenOdd = 1 };

    void moveTo(QPointF point);
    void lineTo(QPointF point);
    /// A cubic curve: the two control points, then the end point.
    void curveTo(QPointF control1, QPointF control2, QPointF end);
    void closePath();
    void appendRect(const QRectF &rect);
    void appendOval(const QRectF &rect);

    [[nodiscard]] bool isEmpty() const { return m_elements.empty(); }
    [[nodiscard]] int elementCount() const { return static_cast<int>(m_elements.size()); }
    [[nodiscard]] const std::vector<PathElement> &elements() const { return m_elements; }
    /// The element's kind and its points: one for a move or a line; control 1, control 2 and end for a curve.
    [[nodiscard]] const PathElement &elementAt(int index) const { return m_elements.at(index); }

    [[nodiscard]] double lineWidth() const { return m_style.width; }
    void setLineWidth(double width) { m_style.width = width; }
    [[nodiscard]] LineCap lineCapStyle() const { return m_style.cap; }
    void setLineCapStyle(LineCap cap) { m_style.cap = cap; }
    [[nodiscard]] LineJoin lineJoinStyle() const { return m_style.join; }
    void setLineJoinStyle(LineJoin join) { m_style.join = join; }
    [[nodiscard]] double miterLimit() const { return m_style.miterLimit; }
    void setMiterLimit(double limit) { m_style.miterLimit = limit; }
    [[nodiscard]] const std::vector<double> &lineDash() const { return m_style.dashes; }
    [[nodiscard]] double lineDashPhase() const { return m_style.dashPhase; }
    void setLineDash(const std::vector<double> &pattern, double phase);
    [[nodiscard]] WindingRule windingRule() const { return m_windingRule; }
    void setWindingRule(WindingRule rule) { m_windingRule = rule; }
    /// Width, cap, join, miter limit and dashes together.
    [[nodiscard]] const StrokeStyle &strokeStyle() const { return m_style; }

    /// The smallest rectangle holding the path, control points excluded.
    [[nodiscard]] QRectF bounds() const;
    [[nodiscard]] QPainterPath toPainterPath() const;

    /// Equal elements, compared exactly; line attributes are not compared.
    bool operator==(const BezierPath &other) const { return m_elements == other.m_elements; }

private:
    std::vector<PathElement> m_elements;
    StrokeStyle m_style;
    WindingRule m_windingRule = NonZero;
};

} // namespace inkora
