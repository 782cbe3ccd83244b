#include "canvas/PointerLoop.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/CanvasNeighbours.h"
#include "canvas/HueWrap.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOFPSLimiter.h"
#include "canvas/MRKOLowpassFilter.h"
#include "canvas/QuickArrowHead.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "platform/ShapeLayer.h"
#include "platform/Transaction.h"
#include "remote/MRKOClicker.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace inkora {

namespace {

// Drags drawn before Space or Command may carry the stroke away.
constexpr int kDrawnDragsBeforeMoving = 11;
constexpr double kSpeedScale = 2000.0; // points per second of full hue speed

constexpr quint64 kPressLoopMask =
    platform::eventMask(platform::EventType::LeftMouseDown) | platform::eventMask(platform::EventType::LeftMouseUp) |
    platform::eventMask(platform::EventType::RightMouseDown) | platform::eventMask(platform::EventType::MouseMoved) |
    platform::eventMask(platform::EventType::LeftMouseDragged) | platform::eventMask(platform::EventType::KeyDown) |
    platform::eventMask(platform::EventType::KeyUp) | platform::eventMask(platform::EventType::FlagsChanged) |
    platform::eventMask(platform::EventType::Pressure);

double mediaTime()
{
    return platform::services().clock->now();
}

} // namespace

PointerLoop::PointerLoop(MRKODraw &canvas, const platform::Event &press)
    : m_canvas(canvas), m_press(press), m_lastEvent(press)
{}

PointerLoop::~PointerLoop() = default;

void PointerLoop::run()
{
    setUp();
    platform::EventQueue &queue = platform::EventQueue::shared();
    platform::EventQueue::TrackingScope tracking;
    for (;;) {
        // A drag the rate limiter held back is drawn once a frame at its rate has passed without another, so the
        // pointer's last position before a pause reaches the screen.
        const double until =
            m_heldBackDrag ? m_lastDragTime + 1.0 / m_limiter->maxFPS() : platform::EventQueue::kDistantFuture;
        const std::optional<platform::Event> next = queue.nextEventMatchingMask(kPressLoopMask, until);
        if (!next && m_heldBackDrag) {
            drawHeldBackDrag();
            continue;
        }
        if (!next)
            break; // no application, so nothing more can arrive
        m_lastEvent = *next;
        if (!handle(*next))
            break;
    }
    finish();
}

void PointerLoop::setUp()
{
    MRKODraw &c = m_canvas;
    const LiveSettings &live = liveSettings();
    m_wasSelfAppEffective = isSelfAppEffective();
    const QPointF pressPoint = c.convertPointFromWindow(m_press.locationInWindow);

    c.removeStaticSelectionIfNeeded();
    c.m_workingPill.reset();
    c.m_workingTextPill.reset();
    m_shouldDraw = c.shouldDraw();
    c.resetPointsAndRectsWithCurrentLocation(pressPoint);
    // A tool chosen between strokes is no change of tool in the middle of a drag: the shape starts at the press,
    // not wherever the pointer is when the first step is drawn.
    c.m_drawnToolType = c.m_toolType;
    c.m_mouseDownHue = MRKODraw::hue();
    if (c.m_colorType == MRKOColorTypeRainbow) {
        c.m_hueFirstColor = OnOffColor::rainbowColorWithHue(MRKODraw::hue());
        if (c.m_toolType == MRKOToolTypeText)
            MRKODraw::setHue(wrapHue(MRKODraw::hue() + 0.05));
    } else {
        c.m_hueFirstColor = MRKOToolColor::toolColor().drawingColor();
    }
    c.m_prevHueColor = c.m_hueFirstColor;

    m_lastDragTime = mediaTime();
    if (live.limitMouseFPS)
        m_limiter = MRKOFPSLimiter::limiterWithFPS(live.mouseFPSRate);

    c.m_isMouseDraggedEnough = false;
    c.m_moveFlag = false;
    c.m_discardedPoints.clear();
    m_anchor = pressPoint;

    if (!m_shouldDraw && c.flashlightShown()) {
        // The press starts the selective flashlight.
        c.m_selectiveFlashlightFlag = true;
        m_dragThreshold = 4.0;
    }

    AppDelegate *delegate = AppDelegate::shared();
    m_dazadUdiz = delegate ? delegate->dazadUdizShortCut() : nullptr;
    KQShortCutMonitor::defaultMonitor().unbindShortCut(m_dazadUdiz);
    c.m_fullScreenDazadUdizByShortcut = false;

    MRKOLowpassFilter::sharedFilter().startFilter();
    c.m_isEraser = false;
    c.initialModifierKeyValidation();
    c.drawingStart();
}

bool PointerLoop::handle(const platform::Event &event)
{
    switch (event.type) {
    case platform::EventType::LeftMouseDown:
        qCInfo(lcCanvas) << "Left Mouse Down in MouseDown cycle. Ignore It";
        return true;
    case platform::EventType::RightMouseDown:
        m_heldBackDrag.reset();
        m_canvas.cleanUpDrawnAreaAndResetInitialLocation();
        qCInfo(lcCanvas) << "Right Mouse Down in MouseDown cycle. Reset initial location";
        return true;
    case platform::EventType::MouseMoved:
        qCInfo(lcCanvas) << "Incorrect Behavior: Mouse was Moved instead of Dragged in MouseDown cycle. Force End Draw";
        return false;
    case platform::EventType::LeftMouseUp:
        return false;
    case platform::EventType::KeyDown:
        handleKeyDown(event);
        return true;
    case platform::EventType::KeyUp:
        if (event.keyCode == platform::kKeySpace)
            m_spaceHeld = false;
        return true;
    case platform::EventType::FlagsChanged:
        m_canvas.mouseMovementFlagChangedWithEvent(event);
        m_modifiersChanged = true;
        return true;
    case platform::EventType::Pressure:
        MRKOLowpassFilter::sharedFilter().setPressureHolder(double(float(event.pressure)));
        return true;
    case platform::EventType::LeftMouseDragged:
        handleDrag(event);
        return true;
    default:
        return true;
    }
}

void PointerLoop::handleKeyDown(const platform::Event &event)
{
    MRKODraw &c = m_canvas;
    if (event.keyCode == platform::kKeySpace && !c.m_moveFlag) {
        m_spaceHeld = true;
    } else if (event.keyCode == platform::kKeyEscape && c.m_selectiveFlashlightFlag) {
        c.m_selectiveFlashlightFlag = false;
        c.updateFlashlightIfNeeded();
    } else if (m_dazadUdiz && m_dazadUdiz->enabledAndMatchWithEvent(event)) {
        c.m_fullScreenDazadUdizByShortcut = true;
        m_dazadUdiz->invokeWithEvent(event);
        c.m_fullScreenDazadUdizByShortcut = false;
        m_dazadUdizInvoked = true;
    } else if (event.keyCode == platform::kKeyEscape) {
        c.stopDrawingByPostingMouseUp();
    }
}

void PointerLoop::handleDrag(const platform::Event &event)
{
    MRKODraw &c = m_canvas;
    const QPointF p = c.convertPointFromWindow(event.locationInWindow);
    if (!c.m_isMouseDraggedEnough) {
        const bool dotSensitive =
            c.toolTypeIsBrush() && liveSettings().splashMethod == 2 && !c.m_selectiveFlashlightFlag;
        c.m_isMouseDraggedEnough = QLineF(c.m_mouseDownPoint, p).length() > (dotSensitive ? 1.0 : m_dragThreshold);
    }
    AppDelegate *delegate = AppDelegate::shared();
    if ((event.modifierFlags & platform::kShiftFlag) && !c.flashlightShown() && delegate)
        delegate->setShiftWasPressdDuringDraw(true);
    if (carry(event, p)) {
        m_heldBackDrag.reset(); // a carried stroke is not drawn
        return;
    }

    c.m_point0 = c.m_point1;
    c.m_point1 = c.m_point2;
    c.m_point2 = c.m_point3;
    c.m_point3 = p;
    if (!c.m_isMouseDraggedEnough) {
        if (c.toolTypeIsBrush())
            c.collectPointsForBrush();
        return;
    }
    const double now = mediaTime();
    double speed = QLineF(c.m_point2, c.m_point3).length() / (now - m_lastDragTime) / kSpeedScale;
    if (std::isnan(speed))
        speed = 0; // no distance in no time: the hue stays
    speed = std::min(speed, 1.0);
    MRKODraw::setHue(wrapHue(MRKODraw::hue() + c.hueFactor() * speed));
    if (!c.toolTypeIsBrush() && std::abs(c.m_mouseDownHue - MRKODraw::hue()) > 0.1)
        c.m_mouseDownHue = wrapHue(MRKODraw::hue() - 0.1);
    c.makeColorsAccordingType();
    c.updateColorBall();

    const bool tooFast = m_limiter && m_limiter->shouldStopWithBlock([&c] {
        if (c.toolTypeIsBrush())
            c.collectPointAccordingFPSAction();
    });
    m_lastDragStopped = tooFast;
    m_lastDragTime = now;
    if (tooFast) {
        m_heldBackDrag = event;
        return;
    }
    m_heldBackDrag.reset();
    if (m_shouldDraw)
        c.drawToCache();
    drewDrag(event);
}

void PointerLoop::drawHeldBackDrag()
{
    MRKODraw &c = m_canvas;
    const platform::Event event = *m_heldBackDrag;
    m_heldBackDrag.reset();
    m_lastDragStopped = false;
    if (m_shouldDraw) {
        if (c.toolTypeIsBrush())
            c.drawHeldBackBrushPoint();
        else
            c.drawToCache();
    }
    drewDrag(event);
}

void PointerLoop::drewDrag(const platform::Event &event)
{
    MRKODraw &c = m_canvas;
    c.updateFlashlightIfNeeded();
    c.mouseDraggedDuringDraw(event);
    ++m_dragCount;
    c.m_discardedPoints.clear();
}

bool PointerLoop::carry(const platform::Event &event, QPointF point)
{
    MRKODraw &c = m_canvas;
    if (m_dragCount < kDrawnDragsBeforeMoving)
        return false;
    const bool commandHeld = event.modifierFlags & platform::kCommandFlag;
    if (!c.m_moveFlag && (commandHeld || m_spaceHeld)) {
        c.m_moveFlag = true;
        m_mediumLayer = c.makeMediumLayer();
        m_movedFrame = m_mediumLayer ? m_mediumLayer->frame() : QRectF();
        m_anchor = point;
        moveStroke(QPointF());
        return true;
    }
    if (c.m_moveFlag && !commandHeld && !m_spaceHeld) {
        // Dropped: back onto whole points and into the cache; this event is drawn.
        c.adoptMoveLayerToPixelGrid(m_movedFrame, m_mediumLayer);
        c.m_discardedPoints.clear();
        c.m_moveFlag = false;
        if (c.toolTypeIsBrush())
            c.renderMediumLayer(m_mediumLayer);
        platform::TransactionScope transaction(true);
        m_mediumLayer->removeFromSuperlayer();
        m_mediumLayer.reset();
        return false;
    }
    if (c.m_moveFlag) {
        const QPointF delta = point - m_anchor;
        m_anchor = point;
        moveStroke(delta);
        return true;
    }
    return false;
}

void PointerLoop::moveStroke(QPointF delta)
{
    MRKODraw &c = m_canvas;
    m_movedFrame.translate(delta);
    c.translateDrawOriginsUsingDelta(delta.x(), delta.y());
    {
        platform::TransactionScope transaction(true);
        if (m_mediumLayer)
            m_mediumLayer->setFrame(m_movedFrame);
        if (c.m_arrowOverlay)
            c.m_arrowOverlay->setAffineTransform(c.m_arrowOverlay->affineTransform() *
                                                 QTransform::fromTranslate(delta.x(), delta.y()));
    }
    c.updateColorBall();
    c.updateFlashlightIfNeeded();
}

void PointerLoop::drawToReleasePoint(QPointF releasePoint)
{
    // The rate limiter thins the points it renders; it must not cut the stroke short of where the button went up.
    MRKODraw &c = m_canvas;
    if (!c.toolTypeIsBrush()) {
        if (c.m_point3 == releasePoint && !m_lastDragStopped)
            return;
        c.m_point0 = c.m_point1;
        c.m_point1 = c.m_point2;
        c.m_point2 = c.m_point3;
        c.m_point3 = releasePoint;
        c.makeColorsAccordingType();
        c.drawToCache();
        return;
    }
    if (c.m_pointIndex <= 0)
        return;
    c.m_point3 = releasePoint;
    if (c.m_pointIndex == 2)
        c.collectNewPoint();
    if (c.m_pointIndex == 1) {
        c.m_pointIndex = 2;
        c.m_pointBatch[2] = (releasePoint + c.m_pointBatch[1]) / 2;
        c.collectNewPoint();
    }
    c.m_pointIndex = 3;
    c.makeColorsAccordingType();
    c.drawToCache();
    // A segment ends halfway to its last point; one more, straight, reaches the release point itself.
    if (c.m_pointIndex == 1 && c.m_pointBatch[0] != releasePoint) {
        c.m_pointBatch[1] = releasePoint;
        c.m_pointBatch[2] = releasePoint;
        c.m_pointIndex = 3;
        c.drawToCache();
    }
}

void PointerLoop::finish()
{
    MRKODraw &c = m_canvas;
    const LiveSettings &live = liveSettings();
    platform::EventQueue::shared().discardEventsMatchingMask(kPressLoopMask);
    const QPointF releasePoint = c.convertPointFromWindow(m_lastEvent.locationInWindow);
    if (MRKOUtils::cachedLogToDocuments())
        qCInfo(lcCanvas).noquote() << "Draw End RAW coordinates:" << platform::pointToString(releasePoint);

    if (c.m_isMouseDraggedEnough && !m_mediumLayer && m_shouldDraw)
        drawToReleasePoint(releasePoint);

    if (m_dazadUdizInvoked)
        c.m_selectiveFlashlightFlag = false;
    else
        c.turnOffSelectiveFlashlightWithDazadUdiz(c.m_isMouseDraggedEnough, !c.m_isMouseDraggedEnough);

    if (!c.m_isMouseDraggedEnough || !c.isCurrentRectHasSize()) {
        if (m_shouldDraw && !c.shouldAppearTextViewWithPoint(c.m_mouseDownPoint)) {
            if (c.m_toolType == MRKOToolTypeText && live.textOnClick) {
                MRKODraw::setHue(c.m_mouseDownHue);
                c.makeTextOrBadgeByClick();
            } else if (live.splashMethod == 2) {
                // The dot goes where the press was, even when the ball still waits for the pointer's last move.
                c.setBallPosition(c.m_mouseDownPoint);
                if (platform::LayerPtr dot = c.dotRasterizedLayer())
                    c.finalizeDrawWithLayerOrNil(dot);
            } else {
                c.blinkForEvent(m_lastEvent);
            }
            hideSnapshotPanelIfNeededAnimated();
        }
    } else {
        if (!m_mediumLayer) {
            if (c.m_arrowOverlay)
                c.drawArrowOverlayInContext();
        } else {
            c.adoptMoveLayerToPixelGrid(m_movedFrame, m_mediumLayer);
            if (c.m_arrowOverlay) {
                c.renderMediumLayer(m_mediumLayer);
                c.drawArrowOverlayInContext();
                platform::TransactionScope transaction(true);
                m_mediumLayer->removeFromSuperlayer();
                m_mediumLayer.reset();
            }
        }
        c.finalizeDrawWithLayerOrNil(m_mediumLayer);
    }

    c.updateCursorRectsAndTracking();
    c.selectWithEvent(m_lastEvent);
    if (!m_wasSelfAppEffective && c.m_toolType != MRKOToolTypeText)
        MRKOClicker::sharedClicker().activateKeynoteIfNeeded();
    if (c.m_arrowOverlay || QuickArrowHead::shared().headExists())
        c.removeArrowOverlayAndCleanUp();
    MRKOLowpassFilter &filter = MRKOLowpassFilter::sharedFilter();
    filter.resetPressureHolder();
    c.updateFlashlightIfNeeded();
    c.cleanUpAfterMouseDown();
    if (m_dazadUdiz)
        KQShortCutMonitor::defaultMonitor().bindShortCut(m_dazadUdiz);
    if (m_press.clickCount == 2 && !c.m_isMouseDraggedEnough)
        (void)makeFrontmostIfNeeded(); // the cursor it would set comes with the cursor work
    filter.stopFilter();
    c.drawingEnd();
    if (AppDelegate *delegate = AppDelegate::shared(); delegate && m_modifiersChanged)
        delegate->handleFlagsChangedWithCurrentEvent();
}

} // namespace inkora
