#include "tools/KPHueWheelLayer.h"

#include "platform/LayerRenderer.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

void KPHueWheelLayer::setDonutThickness(double thickness)
{
    if (m_donutThickness == thickness)
        return;
    m_donutThickness = thickness;
    setNeedsDisplay();
}

QList<KPAngularGradient::Components> KPHueWheelLayer::colorsArray()
{
    return {{1, 0, 0, 1}, {1, 0, 1, 1}, {0, 0, 1, 1}, {0, 1, 1, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}, {1, 0, 0, 1}};
}

void KPHueWheelLayer::drawInContext(QPainter &painter, bool presentation) const
{
    const QRectF b = bounds();
    const QSize size(int(std::min(b.width(), 16384.0)), int(std::min(b.height(), 16384.0)));
    if (m_gradient.size() != size)
        m_gradient = KPAngularGradient::newImageGradientInRect(b, colorsArray());
    if (m_gradient.isNull())
        return;

    const double r = std::min(b.width(), b.height()) / 2.0 - 1.0;
    const QPointF centre(std::floor(float(b.center().x() + 0.5)), std::floor(float(b.center().y() + 0.5)));
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(centre, r - 1.0, r - 1.0);
    const double inner = r - m_donutThickness + 3.0;
    ring.addEllipse(centre, inner, inner);

    painter.save();
    painter.setClipPath(ring, Qt::IntersectClip);
    platform::LayerRenderer::drawImageUpright(painter, QRectF(b.topLeft(), QSizeF(m_gradient.size())), m_gradient);
    painter.restore();
    Layer::drawInContext(painter, presentation);
}
