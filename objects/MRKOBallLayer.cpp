#include "objects/MRKOBallLayer.h"

#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "platform/Transaction.h"

namespace {

constexpr double kHaloFade = 0.15; // seconds

double haloDiameter()
{
    // Named a radius in the settings, but it is the halo's diameter in points.
    return double(inkora::liveSettings().cursorHaloSize);
}

} // namespace

void MRKOBallLayer::loadLayer()
{
    m_fraction = inkora::liveSettings().cursorHaloOpacity;
    m_bigBallShown = true;
    m_colorBallLayer = platform::Layer::create();
    platform::TransactionScope transaction(true);
    m_colorBallLayer->setOpacity(0);
    addSublayer(m_colorBallLayer);
}

platform::LayerPtr MRKOBallLayer::colorBallCopy() const
{
    auto copy = platform::Layer::create();
    if (!m_colorBallLayer)
        return copy;
    platform::TransactionScope transaction(true);
    copy->setFrame(m_colorBallLayer->frame());
    copy->setBackgroundColor(m_colorBallLayer->backgroundColor());
    copy->setCornerRadius(m_colorBallLayer->cornerRadius());
    return copy;
}

void MRKOBallLayer::showBigBall()
{
    m_bigBallShown = true;
    m_fraction = inkora::liveSettings().cursorHaloOpacity;
    animateHaloColour();
}

void MRKOBallLayer::hideBigBall()
{
    m_bigBallShown = false;
    m_fraction = 0;
    animateHaloColour();
}

void MRKOBallLayer::animateHaloColour()
{
    platform::Transaction::begin();
    platform::Transaction::setDisableActions(false);
    platform::Transaction::setAnimationDuration(kHaloFade);
    setBackgroundColor(m_color.withAlpha(m_fraction).toQColor());
    platform::Transaction::commit();
}

void MRKOBallLayer::showColorBall()
{
    if (!m_colorBallLayer)
        return;
    platform::TransactionScope transaction(true);
    m_colorBallLayer->setOpacity(1.0);
}

void MRKOBallLayer::hideColorBall()
{
    if (!m_colorBallLayer)
        return;
    platform::TransactionScope transaction(true);
    m_colorBallLayer->setOpacity(0);
}

QRectF MRKOBallLayer::bigBallBounds()
{
    const double r = haloDiameter();
    return QRectF(0, 0, r, r);
}

QRectF MRKOBallLayer::smallBallBounds() const
{
    return QRectF(0, 0, m_ballSize, m_ballSize);
}

bool MRKOBallLayer::colorBallLayerHidden() const
{
    return !m_colorBallLayer || m_colorBallLayer->opacity() == 0;
}

void MRKOBallLayer::updatePosition()
{
    // The delegate is the canvas the ball belongs to; without one there is no pointer position to take.
    if (const auto *canvas = dynamic_cast<const MRKODraw *>(delegate()))
        setBallPosition(canvas->mouseLocation());
}

void MRKOBallLayer::setBallPosition(QPointF p)
{
    const double r = haloDiameter();
    const double s = m_ballSize;
    platform::TransactionScope transaction(true);
    setFrame(QRectF(p.x() - r / 2, p.y() - r / 2, r, r));
    setCornerRadius(r * 0.5);
    if (m_colorBallLayer) {
        m_colorBallLayer->setFrame(QRectF(r / 2 - s / 2, r / 2 - s / 2, s, s));
        m_colorBallLayer->setCornerRadius(s * 0.5);
    }
}

void MRKOBallLayer::setBallSize(double size)
{
    m_ballSize = size;
    if (!m_colorBallLayer)
        return;
    platform::TransactionScope transaction(true);
    const QPointF centre = m_colorBallLayer->frame().center();
    m_colorBallLayer->setFrame(QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size));
    m_colorBallLayer->setCornerRadius(size * 0.5);
}

void MRKOBallLayer::setColor(const inkora::SrgbColor &color)
{
    m_color = color;
    platform::TransactionScope transaction(true);
    if (m_colorBallLayer)
        m_colorBallLayer->setBackgroundColor(color.toQColor());
    setBackgroundColor(color.withAlpha(m_fraction).toQColor());
}
