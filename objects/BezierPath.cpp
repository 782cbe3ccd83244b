#include "objects/BezierPath.h"

namespace inkora {

void BezierPath::moveTo(QPointF point)
{
    m_elements.push_back({PathElement::MoveTo, {point, {}, {}}});
}

void BezierPath::lineTo(QPointF point)
{
    m_elements.push_back({PathElement::LineTo, {point, {}, {}}});
}

void BezierPath::curveTo(QPointF control1, QPointF control2, QPointF end)
{
    m_elements.push_back({PathElement::CurveTo, {control1, control2, end}});
}

void BezierPath::closePath()
{
    m_elements.push_back({PathElement::Close, {}});
}

void BezierPath::appendRect(const QRectF &rect)
{
    GraphicsPath path;
    path.addRect(rect);
    m_elements.insert(m_elements.end(), path.elements().begin(), path.elements().end());
}

void BezierPath::appendOval(const QRectF &rect)
{
    GraphicsPath path;
    path.addEllipseInRect(rect);
    m_elements.insert(m_elements.end(), path.elements().begin(), path.elements().end());
}

void BezierPath::setLineDash(const std::vector<double> &pattern, double phase)
{
    m_style.dashes = pattern;
    m_style.dashPhase = phase;
}

QRectF BezierPath::bounds() const
{
    return GraphicsPath::fromElements(m_elements).boundingBox();
}

QPainterPath BezierPath::toPainterPath() const
{
    return GraphicsPath::fromElements(m_elements)
        .toPainterPath(m_windingRule == EvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
}

} // namespace inkora
