// The colour ball under the pointer, its halo and the eraser ring: when they show, how large, in what colour.
#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOEraserRingLayer.h"
#include "objects/MRKOBallLayer.h"
#include "platform/Transaction.h"
#include "remote/MRKOPositionController.h"
#include "tools/KVPopover.h"

#include <cmath>

namespace {

bool remoteTrackingIsOn()
{
    return MRKOPositionController::sharedController().trackingIsOn();
}

bool colourPopoverPicks()
{
    const KVPopover *popover = KVPopover::existingPopover();
    return popover && popover->isPicker();
}

} // namespace

void MRKODraw::makeBallLayer()
{
    m_ballLayer = MRKOBallLayer::create();
    m_ballLayer->loadLayer();
    m_ballLayer->setBallSize(m_brushSize);
    m_ballLayer->setDelegate(this);
    m_ballLayer->updatePosition();
    m_viewLayer->addSublayer(m_ballLayer);
    m_ballLayer->setColor(colorForCurrentType());
}

void MRKODraw::updateColorBall()
{
    if (!m_ballLayer)
        return;
    m_ballLayer->setBallSize(brushSizeUsingPressure());
    m_ballLayer->updatePosition();
    m_ballLayer->setColor(colorForCurrentType());
    if (needsEraserRings()) {
        makeEraserRingIfNeeded();
        platform::TransactionScope transaction(true);
        m_ballLayer->setOpacity(0);
        m_eraserRingLayer->setRingSize(eraserSize());
    } else {
        platform::TransactionScope transaction(true);
        m_ballLayer->setOpacity(1);
        if (m_eraserRingLayer) {
            m_eraserRingLayer->removeFromSuperlayer();
            m_eraserRingLayer.reset();
        }
    }
}

void MRKODraw::colorBallNeedUpdate()
{
    if (remoteTrackingIsOn())
        simulateUpdateColorBall();
    else
        updateColorBall();
}

void MRKODraw::updateColorBallPosition()
{
    if (m_ballLayer)
        m_ballLayer->updatePosition();
}

void MRKODraw::updateColorBallThickness()
{
    if (m_ballLayer)
        m_ballLayer->setBallSize(brushSizeUsingPressure());
}

void MRKODraw::updateColorBallColor()
{
    if (m_ballLayer)
        m_ballLayer->setColor(colorForCurrentType());
}

void MRKODraw::setBallPosition(QPointF point)
{
    // The phone's pointer comes from the network: a point that is not finite moves nothing.
    if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
        return;
    if (m_ballLayer)
        m_ballLayer->setBallPosition(point);
    if (m_eraserRingLayer)
        m_eraserRingLayer->setEraserRingPosition(point);
    if (remoteTrackingIsOn())
        simulateUpdateFlashlightWithPoint(point);
}

bool MRKODraw::ballIsHidden() const
{
    return !m_ballLayer || m_ballLayer->colorBallLayerHidden();
}

bool MRKODraw::shouldShowColorBall() const
{
    if (inkora::liveSettings().hidePointingDot)
        return false;
    if (const AppDelegate *delegate = AppDelegate::shared(); delegate && !delegate->shouldShowColorBall())
        return false;
    return !m_screenDisabled;
}

bool MRKODraw::showBall()
{
    if (!shouldShowColorBall() || !m_ballLayer)
        return false;
    m_ballLayer->showColorBall();
    return true;
}

bool MRKODraw::showBallIfNeeded()
{
    if (colourPopoverPicks() || !shouldDraw())
        return false;
    return showBall();
}

void MRKODraw::hideBall()
{
    if (m_ballLayer)
        m_ballLayer->hideColorBall();
}

bool MRKODraw::showBigBallIfNeeded()
{
    const AppDelegate *delegate = AppDelegate::shared();
    if (delegate && delegate->isPinnedOnTop() && !delegate->wantsCursorHaloToShowInGhostMode())
        return false;
    showBigBall();
    return true;
}

void MRKODraw::showBigBall()
{
    if (!m_cursorHidden && m_ballLayer)
        m_ballLayer->showBigBall();
}

void MRKODraw::hideBigBall()
{
    if (m_ballLayer)
        m_ballLayer->hideBigBall();
}

bool MRKODraw::bigBallIsOpaque() const
{
    return m_ballLayer && m_ballLayer->isBigBallShown() != 0 && m_ballLayer->isBigBallOpaque() != 0;
}

void MRKODraw::updateBigBallIfNeeded()
{
    if (m_ballLayer && m_ballLayer->isBigBallShown() != 0)
        showBigBall();
}

void MRKODraw::makeEraserRingIfNeeded()
{
    if (m_eraserRingLayer)
        return;
    m_eraserRingLayer = MRKOEraserRingLayer::create();
    m_eraserRingLayer->setDelegate(this);
    m_eraserRingLayer->setUpLayer();
    platform::TransactionScope transaction(true);
    m_viewLayer->addSublayer(m_eraserRingLayer);
}

void MRKODraw::simulateUpdateColorBall()
{
    if (!m_ballLayer)
        return;
    m_ballLayer->setBallSize(m_brushSize);
    m_ballLayer->setColor(colorForCurrentType());
}
