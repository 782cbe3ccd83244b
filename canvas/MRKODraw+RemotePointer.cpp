#include "canvas/HueWrap.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLowpassFilter.h"
#include "canvas/QuickArrowHead.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "remote/MRKOPositionController.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

// The colour ball is only the point the remote pointer is at until the ball layer exists; a remote stroke is the
// plain stroke of the pointer loop, pressed, dragged and released at that point.

using inkora::QuickArrowHead;
using inkora::wrapHue;

namespace {

constexpr double kSpeedScale = 2000.0; // points per second of full hue speed

double mediaTime()
{
    return platform::services().clock->now();
}

} // namespace

void MRKODraw::setBallPosition(QPointF point)
{
    m_ballPosition = point;
}

void MRKODraw::showBall() {}

void MRKODraw::hideBall() {}

void MRKODraw::colorBallNeedUpdate()
{
    // While the phone steers the pointer, the ball stands where the phone points.
    MRKOPositionController &pointer = MRKOPositionController::sharedController();
    if (pointer.trackingIsOn() && pointer.view() == this)
        m_ballPosition = pointer.pointForView(this);
}

void MRKODraw::simulateMouseDown()
{
    resetPointsAndRectsWithCurrentLocation(remoteTrackingMouseLocation());
    m_drawnToolType = m_toolType;
    m_mouseDownHue = hue();
    if (m_colorType == MRKOColorTypeRainbow) {
        m_hueFirstColor = OnOffColor::rainbowColorWithHue(hue());
        if (m_toolType == MRKOToolTypeText)
            setHue(wrapHue(hue() + 0.05));
    } else {
        m_hueFirstColor = MRKOToolColor::toolColor().drawingColor();
    }
    m_prevHueColor = m_hueFirstColor;
    m_remoteTime = mediaTime();
    m_remoteShouldDraw = shouldDraw();
    drawingStart();
}

void MRKODraw::simulateMouseDragged()
{
    MRKOLowpassFilter::sharedFilter().setPressure(1.0); // the phone has no pressure
    const QPointF p = remoteTrackingMouseLocation();
    m_point0 = m_point1;
    m_point1 = m_point2;
    m_point2 = m_point3;
    m_point3 = p;
    const double now = mediaTime();
    double speed = QLineF(m_point2, p).length() / (now - m_remoteTime) / kSpeedScale;
    if (std::isnan(speed))
        speed = 0; // no distance in no time: the hue stays
    m_remoteTime = now;
    setHue(wrapHue(hue() + hueFactor() * std::min(speed, 1.0)));
    if (std::abs(m_mouseDownHue - hue()) > 0.1)
        m_mouseDownHue = wrapHue(hue() - 0.1);
    makeColorsAccordingType();
    if (m_remoteShouldDraw)
        drawToCache();
}

void MRKODraw::simulateMouseUp()
{
    if (isCurrentRectHasSize()) {
        if (m_arrowOverlay || QuickArrowHead::shared().headExists())
            drawArrowOverlayInContext();
        finalizeDrawWithLayerOrNil(nullptr);
    }
    if (m_arrowOverlay || QuickArrowHead::shared().headExists())
        removeArrowOverlayAndCleanUp();
    MRKOLowpassFilter::sharedFilter().resetPressureHolder();
    drawingEnd();
}
