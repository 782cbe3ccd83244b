#pragma once

#include "foundation/StepAnimation.h"

#include <QPointF>
#include <QPointer>

class MRKODraw;

/// Draws a sample shape on a canvas as if dragged over 0.4 s: x moves with the eased progress v, y with v², so
/// the end sweeps along a curve. At the end the shape becomes a drawing.
class MRKOAnimation final : public inkora::StepAnimation
{
public:
    MRKOAnimation(MRKODraw *draw, QPointF fromPoint, QPointF toPoint);

    void setCurrentProgress(double progress) override;

protected:
    void animationDidEnd() override;

private:
    QPointF m_fromPoint;
    QPointF m_toPoint;
    QPointer<MRKODraw> m_drawView; // may be destroyed first
};
