#include "canvas/MRKOAnimation.h"

#include "canvas/MRKODraw.h"

namespace {

constexpr double kDuration = 0.4; // seconds

} // namespace

MRKOAnimation::MRKOAnimation(MRKODraw *draw, QPointF fromPoint, QPointF toPoint)
    : StepAnimation(kDuration, Curve::EaseInOut), m_fromPoint(fromPoint), m_toPoint(toPoint), m_drawView(draw)
{}

void MRKOAnimation::setCurrentProgress(double progress)
{
    StepAnimation::setCurrentProgress(progress);
    if (!m_drawView)
        return;
    const double v = currentValue();
    const QPointF to(m_fromPoint.x() + (m_toPoint.x() - m_fromPoint.x()) * v,
                     m_fromPoint.y() + (m_toPoint.y() - m_fromPoint.y()) * v * v);
    m_drawView->showArrowFromPoint(m_fromPoint, to);
}

void MRKOAnimation::animationDidEnd()
{
    if (!m_drawView)
        return;
    m_drawView->finalizeDrawWithLayerOrNil(nullptr);
    m_drawView->afterShow();
}
