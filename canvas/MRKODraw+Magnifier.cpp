#include "app/LiveSettings.h"
#include "canvas/CanvasNeighbours.h"
#include "canvas/FlashlightSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOMagnifyG.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Transaction.h"

namespace {

bool s_magnifyTipShown = false; // the first-time tip shows once a run

} // namespace

bool MRKODraw::shouldUseMagnify() const
{
    return inkora::magnifyScale() > 1 && inkora::liveSettings().useMagnifying;
}

void MRKODraw::makeMagnifyLayerIfNeeded()
{
    if (m_magLayer || !shouldUseMagnify())
        return;
    if (!s_magnifyTipShown) {
        s_magnifyTipShown = true;
        inkora::showMagnifyFlashlightToolTip();
        MRKOUtils::userDefaults().setBool(true, QStringLiteral("ScreenRecordingAlert"));
    }
    platform::TransactionScope transaction(true);
    m_magLayer = platform::Layer::create();
    m_magLayer->setFrame(bounds());
    m_magnifyGlassLayer = platform::Layer::create();
    m_magLayer->addSublayer(m_magnifyGlassLayer);
    m_magnifyG = std::make_unique<MRKOMagnifyG>(this);
    m_magnifyG->setMagLayer(m_magLayer);
    m_magnifyG->setMagnifyGlassLayer(m_magnifyGlassLayer);
    insertMagnifyLayerDependingOnMethod();
}

void MRKODraw::insertMagnifyLayerDependingOnMethod()
{
    if (!m_magLayer || !m_magnifyG)
        return;
    platform::TransactionScope transaction(true);
    switch (inkora::liveSettings().magnifyMethod) {
    case 2:
        // Above the drawings, below the shade: drawings inside the hole are hidden.
        m_magnifyG->orderOutMagnifyWindowIfNeeded();
        m_overlayRoot->insertSublayerBelow(m_magLayer, m_darkBack.get());
        break;
    case 1:
        // A window right above the overlay, captures include the drawings: they are magnified too.
        m_magnifyG->orderFrontMagnifyWindowIfNeeded();
        m_magnifyG->insertLayer(m_magLayer);
        break;
    case 0:
        // Below the drawings, which stay sharp on top.
        m_magnifyG->orderOutMagnifyWindowIfNeeded();
        m_backRoot->addSublayer(m_magLayer);
        break;
    default:
        m_magnifyG->orderOutMagnifyWindowIfNeeded();
        break; // other methods place no glass
    }
}

void MRKODraw::magnifyModeChanged()
{
    if (m_magnifyG)
        m_magnifyG->magnifyModeChanged();
    updateMagnifyIfNeeded();
}

void MRKODraw::updateMagnifyIfNeeded()
{
    makeMagnifyLayerIfNeeded();
    if (shouldUseMagnify()) {
        if (m_magnifyG) {
            m_magnifyG->setCirclePoint(m_circlePoint);
            m_magnifyG->setCircleRect(m_circleRect);
            m_magnifyG->updateMangifyWithToggleFlag(m_magnifyToggleFlag);
        }
    } else {
        removeMagnifyLayerIfNeeded();
    }
    m_magnifyToggleFlag = false;
}

void MRKODraw::removeMagnifyLayerIfNeeded()
{
    if (!m_magLayer || !m_magnifyG)
        return;
    m_magnifyG->setCirclePoint(m_circlePoint);
    m_magnifyG->setCircleRect(m_circleRect);
    m_magnifyG->removeIfNeededWithToggleFlag(m_magnifyToggleFlag);
}

void MRKODraw::removeMagnifyLayer()
{
    {
        platform::TransactionScope transaction(true);
        if (m_magnifyGlassLayer)
            m_magnifyGlassLayer->removeFromSuperlayer();
        if (m_magLayer)
            m_magLayer->removeFromSuperlayer();
        m_magnifyGlassLayer.reset();
        m_magLayer.reset();
    }
    if (m_magnifyG) {
        m_magnifyG->orderOutMagnifyWindowIfNeeded();
        m_magnifyG->stopUpdates();
        m_magnifyG.reset();
    }
    m_magnifyToggleFlag = false;
}

bool MRKODraw::hasMagnifyGWithWidnow() const
{
    return hasMagnifyG() && m_magnifyG && m_magnifyG->hasActiveMagnifyWindow();
}

bool MRKODraw::toggle2xMagnifying()
{
    inkora::LiveSettings &live = inkora::liveSettings();
    if (!hasDarkOverlay() || !live.useMagnifying)
        return false;
    const double scale = inkora::magnifyScale();
    if (scale > 1) {
        live.magnifyToggleScale = scale;
        MRKOUtils::userDefaults().setDouble(scale, QStringLiteral("MagnifyToggleScale"));
        live.magnifyScale = 1;
    } else {
        live.magnifyScale = live.magnifyToggleScale;
    }
    m_magnifyToggleFlag = true;
    saveAndUpdateFlashlight();
    return true;
}
