#pragma once

#include "platform/Path.h"

#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <vector>

namespace inkora {

/// A drawing path of move, line, cubic and close elements in y-up points, with the line attributes that stroking
/// it uses; the form in which paths are archived and handed to views.
class BezierPath
{
public:
    enum WindingRule : int { NonZero = 0, EvenOdd = 1 };

    void moveTo(QPointF point) { m_path.moveTo(point); }
    void lineTo(QPointF point) { m_path.lineTo(point); }
    /// A cubic curve: the two control points, then the end point.
    void curveTo(QPointF control1, QPointF control2, QPointF end) { m_path.cubicTo(control1, control2, end); }
    void closePath() { m_path.closeSubpath(); }
    void appendRect(const QRectF &rect) { m_path.addRect(rect); }
    void appendOval(const QRectF &rect) { m_path.addEllipseInRect(rect); }

    [[nodiscard]] bool isEmpty() const { return m_path.isEmpty(); }
    [[nodiscard]] int elementCount() const { return m_path.elementCount(); }
    [[nodiscard]] const std::vector<platform::Path::Element> &elements() const { return m_path.elements(); }
    /// The element's type and points: one for a move or a line; control 1, control 2 and end for a curve.
    [[nodiscard]] const platform::Path::Element &elementAt(int index) const { return m_path.elementAt(index); }
    /// The elements as a path.
    [[nodiscard]] const platform::Path &path() const { return m_path; }

    [[nodiscard]] double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width) { m_lineWidth = width; }
    [[nodiscard]] Qt::PenCapStyle lineCapStyle() const { return m_lineCap; }
    void setLineCapStyle(Qt::PenCapStyle cap) { m_lineCap = cap; }
    /// Qt::MiterJoin stands for a miter that bevels beyond the miter limit.
    [[nodiscard]] Qt::PenJoinStyle lineJoinStyle() const { return m_lineJoin; }
    void setLineJoinStyle(Qt::PenJoinStyle join) { m_lineJoin = join; }
    /// A ratio of the line width.
    [[nodiscard]] double miterLimit() const { return m_miterLimit; }
    void setMiterLimit(double limit) { m_miterLimit = limit; }
    [[nodiscard]] const std::vector<double> &lineDash() const { return m_dashes; }
    [[nodiscard]] double lineDashPhase() const { return m_dashPhase; }
    void setLineDash(const std::vector<double> &pattern, double phase);
    [[nodiscard]] WindingRule windingRule() const { return m_windingRule; }
    void setWindingRule(WindingRule rule) { m_windingRule = rule; }

    /// The smallest rectangle holding the path, control points excluded.
    [[nodiscard]] QRectF bounds() const { return m_path.pathBoundingBox(); }
    [[nodiscard]] QPainterPath toPainterPath() const;

    /// Equal elements; line attributes are not compared.
    bool operator==(const BezierPath &other) const { return m_path == other.m_path; }

private:
    platform::Path m_path;
    double m_lineWidth = 1.0;
    Qt::PenCapStyle m_lineCap = Qt::FlatCap;
    Qt::PenJoinStyle m_lineJoin = Qt::MiterJoin;
    double m_miterLimit = 10.0;
    std::vector<double> m_dashes; // on, off, on ... ; empty: solid
    double m_dashPhase = 0.0;
    WindingRule m_windingRule = NonZero;
};

} // namespace inkora
