#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/CanvasNeighbours.h"
#include "canvas/FlashlightSettings.h"
#include "canvas/HueWrap.h"
#include "canvas/MRKODraw.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSEvent+MouseEvent.h"
#include "platform/LocalEventMonitor.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "tools/KVPopover.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr quint64 kGestureTypes = platform::eventMask(platform::EventType::ScrollWheel) |
                                  platform::eventMask(platform::EventType::Magnify) |
                                  platform::eventMask(platform::EventType::SmartMagnify);

// The scale grows in proportion above 2, so that each step feels alike at any magnification.
double scaleStep(double scale, double delta)
{
    return scale > 2 ? delta * scale : delta;
}

} // namespace

void MRKODraw::setUpGestureMonitors()
{
    m_gestureLocalMonitor = std::make_unique<platform::LocalEventMonitor>(kGestureTypes, [this](const auto &event) {
        handleGesture(event);
        return false;
    });
    // Raw input has wheel notches only; pinches exist over our own windows alone. Input that lands on one of our
    // windows reaches the local monitor, so the raw stream leaves it.
    m_gestureGlobalMonitor = platform::services().rawInput->addMonitor(
        platform::eventMask(platform::EventType::ScrollWheel), [this](const platform::Event &event) {
            if (!platform::LocalEventMonitor::ownWindowTakesPointerAt(
                    platform::qtFromPoint(event.locationInWindow).toPoint()))
                handleGesture(event);
        });
}

void MRKODraw::setUpGestureMonitorsIfNeeded()
{
    if (!m_gestureLocalMonitor)
        setUpGestureMonitors();
}

void MRKODraw::removeGestureMonitorsIfNeeded()
{
    m_gestureLocalMonitor.reset();
    m_gestureGlobalMonitor.reset();
}

void MRKODraw::handleGesture(const platform::Event &event)
{
    using platform::EventType;
    // Events of another of our windows are that window's; input from elsewhere (no window) belongs to the canvas
    // of the display under the pointer.
    const QWidget *own = window();
    if (event.windowNumber != 0) {
        if (!own || event.windowNumber != qint64(own->effectiveWinId()))
            return;
    } else {
        const QPointF local = mapFromGlobal(platform::qtFromPoint(event.locationInWindow));
        if (!rect().contains(local.toPoint()))
            return;
    }
    AppDelegate *delegate = AppDelegate::shared();
    const quint64 flags = event.modifierFlags;
    const bool option = flags & platform::kOptionFlag;
    inkora::LiveSettings &live = inkora::liveSettings();

    if (hasDarkOverlay()) {
        if (delegate && !delegate->canReceiveMouseActions() && !option)
            return;
        double radius = inkora::flashlightRadius();
        double scale = inkora::magnifyScale();
        switch (event.type) {
        case EventType::ScrollWheel:
            if (!option)
                radius += MouseEvent::scrollingDeltaForFlashlightRadius(event);
            else
                scale += scaleStep(scale, MouseEvent::scrollingDeltaForMagnifyScale(event));
            break;
        case EventType::Magnify:
            if (!live.useMagnifying)
                radius += event.magnification * 100;
            else
                scale += scaleStep(scale, event.magnification);
            break;
        case EventType::SmartMagnify:
            if (delegate && delegate->magFlashlightEnabledByShortcut())
                delegate->magnifyGWithEvent(nullptr);
            else
                toggle2xMagnifying();
            return;
        default:
            return;
        }
        live.magnifyScale = std::isnan(scale) ? inkora::kMinMagnifyScale
                                              : std::clamp(scale, inkora::kMinMagnifyScale, inkora::kMaxMagnifyScale);
        live.flashlightRadius = std::isnan(radius)
                                    ? inkora::kMinFlashlightRadius
                                    : std::clamp(radius, inkora::kMinFlashlightRadius, inkora::kMaxFlashlightRadius);
        saveAndUpdateFlashlight();
        return;
    }

    if (!isMainClass() && !bounds().contains(mouseLocation()))
        return;
    if (!delegate || !delegate->isActiveAndShown())
        return;
    const bool function = flags & platform::kFunctionFlag;
    if (delegate->isPinnedOnTop() != function)
        return;
    if (needsEraserRings()) {
        performEraserSizeChangeWithEvent(event);
        return;
    }
    if (isTextEditing()) {
        performFontSizeChangeWithEvent(event);
        if (live.brushCursor)
            updateWorkingCursorIfNeeded();
        return;
    }
    if (event.type == EventType::SmartMagnify) {
        delegate->magnifyGWithEvent(nullptr);
        return;
    }
    if (!live.hueByScroll || event.type != EventType::ScrollWheel)
        return;
    const double delta = MouseEvent::scrollingDeltaForColorHue(event);
    if (m_colorType == MRKOColorTypeCustom) {
        const QColor current = MRKOToolColor::toolColor().color().toQColor().toHsv();
        const double hue = inkora::wrapHue(std::max(0.0, double(current.hsvHueF())) + delta); // grey has no hue: -1
        setHue(hue);
        const inkora::SrgbColor color =
            OnOffColor::rainbowColorWithHueSaturationBrightness(hue, current.hsvSaturationF(), current.valueF());
        KVPopover::sharedPopover().setColor(color);
        if (MRKOTools *toolBar = delegate->activeToolBar())
            toolBar->makeNewColor(color);
        else
            delegate->changeColor(color);
    } else if (m_colorType == MRKOColorTypeRainbow) {
        setHue(inkora::wrapHue(hue() + delta));
        updateColorBall();
    }
}
