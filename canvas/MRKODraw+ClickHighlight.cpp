// The short mark a click leaves where the pointer is: a burst of rays or a growing ring.
#include "app/LiveSettings.h"
#include "canvas/ClickHighlight.h"
#include "canvas/MRKODraw.h"

void MRKODraw::blinkForEvent(const platform::Event &)
{
    // Where the pointer is now, not where the event happened.
    const QPointF point = mouseLocation();
    switch (inkora::liveSettings().splashMethod) {
    case 0:
        blinkForPoint(point);
        break;
    case 1:
        blinkForPointCircle(point);
        break;
    default:
        break; // 2 leaves a dot instead; other values show nothing
    }
}

void MRKODraw::blinkForPoint(QPointF point)
{
    inkora::addRayBurst(*m_viewLayer, point, colorForCurrentType().toQColor());
}

void MRKODraw::blinkForPointCircle(QPointF point)
{
    inkora::addGrowingRing(*m_viewLayer, point, colorForCurrentType().toQColor());
}
