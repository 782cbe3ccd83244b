#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/CanvasNeighbours.h"
#include "canvas/FlashlightSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOFlashlightSmoothCache.h"
#include "canvas/MRKOMagnifyG.h"
#include "foundation/MRKOUtils.h"
#include "platform/Animation.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Geometry.h"
#include "platform/NotificationCenter.h"
#include "platform/Services.h"
#include "platform/ShapeLayer.h"
#include "platform/SystemCursor.h"
#include "platform/Transaction.h"
#include "remote/MRKOPositionController.h"
#include "tools/MRKOToolColor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kRadiusStep = 50; // points
constexpr double kFadeIn = 0.1;    // seconds
constexpr double kMoveDuration = 0.25;

// The shape and smoothness the last hole was drawn with, shared by every canvas.
bool s_featherShapeIsRect = false;
double s_lastSmoothness = 0;

const QPointF kNoPoint(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());

QPainterPath rectPath(const QRectF &rect)
{
    QPainterPath path;
    path.addRect(rect);
    return path;
}

} // namespace

bool MRKODraw::makeDarkOverlayWithEvent(const platform::Event *)
{
    if (m_darkBack)
        return false;
    {
        platform::TransactionScope transaction(true);
        m_darkBack = platform::Layer::create();
        m_darkBack->setFrame(bounds());
        m_darkBack->setBackgroundColor(MRKOToolColor::flashlightColor().toQColor());
        m_overlayRoot->addSublayer(m_darkBack);
        m_circleLayer = platform::ShapeLayer::create();
        m_circleLayer->setFrame(bounds());
        m_circleLayer->setFillRule(platform::ShapeLayer::FillRule::EvenOdd);
        m_circleLayer->setFillColor(QColor(0, 0, 0));
        m_darkBack->setMask(m_circleLayer);
    }
    if (!shouldDraw())
        hideBall();
    m_magnifyToggleFlag = shouldUseMagnify();
    platform::BasicAnimation fade(QStringLiteral("opacity"));
    fade.setFromValue(0.0);
    fade.setToValue(1.0);
    fade.setDuration(kFadeIn);
    fade.setRemovedOnCompletion(true);
    m_darkBack->addAnimation(fade, QStringLiteral("flashlightFade"));
    updateFlashlight();
    inkora::setQuickTourFlashlight(true);
    if (inkora::liveSettings().flashlightHideCursor) {
        m_cursorHidden = true;
        hideBigBall();
        platform::services().systemCursor->hide();
    }
    return true;
}

void MRKODraw::removeDarkOverlay()
{
    inkora::setQuickTourFlashlight(false);
    if (m_darkBack)
        m_darkBack->removeFromSuperlayer();
    m_circleLayer.reset();
    m_darkBack.reset();
    if (showBallIfNeeded())
        updateColorBall();
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->setMagFlashlightEnabledByShortcut(false);
    if (m_magLayer)
        removeMagnifyLayer();
    if (m_featherLayer) {
        platform::TransactionScope transaction(true);
        m_featherLayer->removeFromSuperlayer();
        m_featherLayer.reset();
    }
    m_circleRect = QRectF();
    // Shown again exactly when this flashlight hid it, whatever the setting says by now: hides and shows stay
    // paired.
    if (m_cursorHidden) {
        m_cursorHidden = false;
        showBigBall();
        platform::services().systemCursor->show();
    }
}

void MRKODraw::updateFlashlight()
{
    const QPointF pointer =
        MRKOPositionController::sharedController().trackingIsOn() ? remoteTrackingMouseLocation() : mouseLocation();
    if (!m_selectiveFlashlightFlag)
        showCircleAtPoint(pointer, kNoPoint, false);
    else
        showCircleAtPoint(m_mouseDownPoint, pointer, false);
}

void MRKODraw::updateFlashlightIfNeeded()
{
    if (hasDarkOverlay())
        updateFlashlight();
}

void MRKODraw::simulateUpdateFlashlightWithPoint(QPointF point)
{
    showCircleAtPoint(point, kNoPoint, false);
}

void MRKODraw::saveAndUpdateFlashlight()
{
    updateFlashlight();
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setDouble(inkora::liveSettings().flashlightRadius, QStringLiteral("FlashLightRadius"));
    defaults.setDouble(inkora::liveSettings().magnifyScale, QStringLiteral("MagnifyScale"));
    platform::NotificationCenter::defaultCenter().post(QStringLiteral("MRKOUpdateFlashlightSliderNotification"));
}

bool MRKODraw::increaseFlashlightThickness()
{
    if (!hasDarkOverlay())
        return false;
    const double r = inkora::flashlightRadius();
    inkora::liveSettings().flashlightRadius =
        r > inkora::kMaxFlashlightRadius - kRadiusStep ? inkora::kMaxFlashlightRadius : r + kRadiusStep;
    saveAndUpdateFlashlight();
    return true;
}

bool MRKODraw::decreaseFlashlightThickness()
{
    if (!hasDarkOverlay())
        return false;
    const double r = inkora::flashlightRadius();
    inkora::liveSettings().flashlightRadius =
        r < inkora::kMinFlashlightRadius + kRadiusStep ? inkora::kMinFlashlightRadius : r - kRadiusStep;
    saveAndUpdateFlashlight();
    return true;
}

QPainterPath MRKODraw::flashlightBezierPath(bool oval) const
{
    QPainterPath path;
    if (oval)
        path.addEllipse(m_circleRect);
    else
        path.addRect(m_circleRect);
    return path;
}

void MRKODraw::updateFlashlightColorIfNeeded()
{
    MRKOFlashlightSmoothCache::sharedCache().setNeedsUpdate(true);
    if (!m_darkBack)
        return;
    platform::TransactionScope transaction(true);
    m_darkBack->setBackgroundColor(MRKOToolColor::flashlightColor().toQColor());
}

void MRKODraw::showCircleAtPoint(QPointF p, QPointF q, bool animated)
{
    if (!m_circleLayer)
        return;
    const inkora::LiveSettings &live = inkora::liveSettings();
    m_circlePoint = p;
    const double r = inkora::flashlightRadius();
    const double k = inkora::flashlightRatio();
    const double s = live.flashlightEdgeSmoothness;
    QRectF rect(p.x() - r / k, p.y() - r * k, 2 * r / k, 2 * r * k);
    if (s > 0)
        rect = platform::alignedRect(rect, platform::EdgeAlignment::Nearest);
    m_circleRect = rect;

    bool changed = s_featherShapeIsRect != live.flashlightRectShape;
    s_featherShapeIsRect = live.flashlightRectShape;
    const double previousSmoothness = s_lastSmoothness;
    s_lastSmoothness = s;

    // With a feathered edge the hole is the rectangle; the feather image rounds or softens it.
    QPainterPath hole = flashlightBezierPath(!live.flashlightRectShape && s <= 0);
    if (m_selectiveFlashlightFlag && q != kNoPoint) {
        // Single precision, as the drag's points are kept.
        const float x = float(std::min(p.x(), q.x())), y = float(std::min(p.y(), q.y()));
        const float w = float(std::abs(p.x() - q.x())), h = float(std::abs(p.y() - q.y()));
        m_circleRect = platform::alignedRect(QRectF(x, y, w, h), platform::EdgeAlignment::Nearest);
        hole = flashlightBezierPath(live.flashLightCircleSelection && s <= 0);
        s_featherShapeIsRect = !live.flashLightCircleSelection;
        changed = true;
    }

    QPainterPath mask = rectPath(bounds());
    mask.addPath(hole);
    mask.setFillRule(Qt::OddEvenFill);
    if (animated && !m_currentPath.isEmpty()) {
        QPainterPath old = rectPath(bounds());
        old.addPath(m_currentPath);
        platform::KeyframeAnimation move(QStringLiteral("path"));
        move.setValues({QVariant::fromValue(old), QVariant::fromValue(mask)});
        move.setKeyTimes({0, 1});
        move.setDuration(kMoveDuration);
        move.setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::EaseOut));
        move.setRemovedOnCompletion(true);
        m_circleLayer->addAnimation(move, QStringLiteral("move"));
    }
    {
        platform::TransactionScope transaction(true);
        m_circleLayer->setPath(mask);
    }
    m_currentPath = hole;

    updateMagnifyIfNeeded();
    if (m_magnifyG)
        m_magnifyG->setLastUpdate(platform::services().clock->now());

    if (s > 0) {
        auto &cache = MRKOFlashlightSmoothCache::sharedCache();
        cache.setShapeIsRect(s_featherShapeIsRect);
        const bool fetch = cache.needsUpdate() || changed || !m_featherLayer || previousSmoothness != s;
        platform::ImagePtr image = fetch ? cache.image() : nullptr;
        platform::TransactionScope transaction(true);
        if (!m_featherLayer) {
            m_featherLayer = platform::Layer::create();
            m_featherLayer->setContents(image);
            m_overlayRoot->insertSublayerAbove(m_featherLayer, m_darkBack.get());
            if (m_darkBack && m_darkBack->animationForKey(QStringLiteral("flashlightFade"))) {
                platform::BasicAnimation fade(QStringLiteral("opacity"));
                fade.setFromValue(0.0);
                fade.setToValue(1.0);
                fade.setDuration(kFadeIn);
                fade.setRemovedOnCompletion(true);
                m_featherLayer->addAnimation(fade, QStringLiteral("featherLayerFade"));
            }
        } else if (fetch) {
            m_featherLayer->setContents(image);
        }
        m_featherLayer->setFrame(m_circleRect);
    } else if (m_featherLayer) {
        platform::TransactionScope transaction(true);
        m_featherLayer->removeFromSuperlayer();
        m_featherLayer.reset();
    }
}
