#include "objects/BezierPath.h"

namespace inkora {

void BezierPath::setLineDash(const std::vector<double> &pattern, double phase)
{
    m_dashes = pattern;
    m_dashPhase = phase;
}

QPainterPath BezierPath::toPainterPath() const
{
    return m_path.toPainterPath(m_windingRule == EvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
}

} // namespace inkora
