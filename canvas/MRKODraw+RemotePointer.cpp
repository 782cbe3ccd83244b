// Strokes of the phone's air pointer: the pointer loop's stroke, pressed, moved and released at the colour ball
// by the position controller instead of by pointer events.
#include "app/LiveSettings.h"
#include "canvas/HueWrap.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLowpassFilter.h"
#include "foundation/InkoraLog.h"
#include "foundation/LayerCompositing.h"
#include "foundation/NSColor+OnOffColor.h"
#include "objects/MRKOBallLayer.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/Path.h"
#include "platform/Services.h"
#include "platform/Transaction.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

using inkora::wrapHue;

namespace {

constexpr double kSpeedScale = 2000.0; // points per second of full hue speed

// One remote stroke runs at a time, whichever canvas it is on.
struct RemoteStroke
{
    bool shouldDraw = true; // shouldDraw at the press
    double distance = 0;    // points, of the last movement
    double speed = 0;       // 0...1, of the last movement
    double time = 0;        // media time of the press or the last movement
};

RemoteStroke &remoteStroke()
{
    static RemoteStroke stroke;
    return stroke;
}

double mediaTime()
{
    return platform::services().clock->now();
}

} // namespace

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
    RemoteStroke &stroke = remoteStroke();
    stroke.distance = 0;
    stroke.speed = 0;
    stroke.time = mediaTime();
    stroke.shouldDraw = shouldDraw();
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
    RemoteStroke &stroke = remoteStroke();
    stroke.distance = QLineF(m_point2, p).length();
    const double now = mediaTime();
    double speed = stroke.distance / (now - stroke.time) / kSpeedScale;
    if (std::isnan(speed))
        speed = 0; // no distance in no time: the hue stays
    stroke.speed = std::min(speed, 1.0);
    stroke.time = now;
    setHue(wrapHue(hue() + hueFactor() * stroke.speed));
    if (std::abs(m_mouseDownHue - hue()) > 0.1)
        m_mouseDownHue = wrapHue(hue() - 0.1);
    makeColorsAccordingType();
    if (stroke.shouldDraw)
        drawToCache();
    simulateUpdateColorBall();
    simulateUpdateFlashlightWithPoint(p);
}

void MRKODraw::simulateMouseUp()
{
    const QPointF p = remoteTrackingMouseLocation();
    platform::Event up;
    up.type = platform::EventType::LeftMouseUp;
    up.locationInWindow = p;
    up.clickCount = 1;
    up.pressure = 1.0;
    platform::EventQueue::shared().postEvent(up, true);

    const bool stroked = isCurrentRectHasSize();
    turnOffSelectiveFlashlightWithDazadUdiz(stroked, !stroked);
    const inkora::LiveSettings &live = inkora::liveSettings();
    if (!stroked) {
        if (remoteStroke().shouldDraw && !shouldAppearTextViewWithPoint(p)) {
            if (m_toolType == MRKOToolTypeText && live.textOnClick) {
                setHue(m_mouseDownHue);
                finalizeTextLayerByClick();
            } else if (live.splashMethod == 2) {
                if (platform::LayerPtr dot = dotRasterizedLayer())
                    finalizeDrawWithLayerOrNil(dot);
            } else {
                blinkForEvent(up);
            }
        }
    } else {
        if (m_arrowOverlay)
            drawArrowOverlayInContext();
        finalizeDrawWithLayerOrNil(nullptr);
    }
    if (m_arrowOverlay)
        removeArrowOverlayAndCleanUp();
    MRKOLowpassFilter::sharedFilter().resetPressureHolder();
    cleanUpAfterMouseDown();
    drawingEnd();
}

void MRKODraw::drawADot()
{
    if (platform::LayerPtr dot = dotRasterizedLayer())
        finalizeDrawWithLayerOrNil(dot);
}

platform::LayerPtr MRKODraw::dotRasterizedLayer()
{
    qCDebug(lcCanvas) << "dotRasterizedLayer";
    if (!m_ballLayer || !m_ballLayer->colorBallLayer())
        return nullptr;
    platform::LayerPtr copy = m_ballLayer->colorBallCopy();
    const QRectF inBall = m_ballLayer->colorBallLayer()->frame();
    const QRectF frame = m_ballLayer->convertRectToLayer(inBall, m_viewLayer.get());
    const QRectF aligned(std::round(frame.x()), std::round(frame.y()), std::ceil(frame.width()),
                         std::ceil(frame.height()));
    {
        platform::TransactionScope transaction(true);
        copy->setFrame(aligned);
    }
    m_sharedPath = platform::Path();
    m_sharedPath.addEllipseInRect(aligned);
    m_currentRect = aligned;
    platform::LayerPtr dot = inkora::renderedLayerForScale(*copy, m_displayScale);
    if (dot)
        dot->setName(QStringLiteral("Dot"));
    return dot;
}
