#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/EventQueue.h"

void AppDelegate::registerFlashlightActions()
{
    const auto bind = [this](const char *action, void (AppDelegate::*handler)(const platform::Event *)) {
        setActionHandler(QLatin1String(action),
                         [this, handler](const platform::Event *event) { (this->*handler)(event); });
    };
    bind("flashlightWithEvent:", &AppDelegate::flashlightWithEvent);
    bind("magnifyGWithEvent:", &AppDelegate::magnifyGWithEvent);
    bind("whiteboardWithEvent:", &AppDelegate::whiteboardWithEvent);
    bind("toggleWhiteboard:", &AppDelegate::toggleWhiteboard);
}

// ---------------------------------------------------------------------------------------------------------------
// Flashlight and magnifier

MRKODraw *AppDelegate::drawViewWithDarkOverlay() const
{
    for (MRKOWindowController *controller : windowControllersArray()) {
        MRKODraw *canvas = controller->drawView();
        if (canvas && canvas->hasDarkOverlay())
            return canvas;
    }
    return nullptr;
}

MRKODraw *AppDelegate::drawViewWithDarkOverlayForceEnableIfNeeded()
{
    if (MRKODraw *canvas = drawViewWithDarkOverlay())
        return canvas;
    flashlightWithEvent(nullptr);
    return drawViewForMouseLocation();
}

void AppDelegate::removeAllDarkOverlaysIfNeeded()
{
    for (MRKODraw *canvas : drawViews()) {
        if (canvas->hasDarkOverlay())
            canvas->removeDarkOverlay();
    }
    // The tool bar's light goes off with the tool bar, which does not exist yet.
}

void AppDelegate::toggleDarkOverlay()
{
    if (darkOverlayIsActive()) {
        removeAllDarkOverlaysIfNeeded();
        return;
    }
    if (MRKODraw *canvas = drawViewForMouseLocation())
        (void)canvas->makeDarkOverlayWithEvent(platform::EventQueue::shared().currentEvent());
}

bool AppDelegate::toggleMagnifyGIfNeeded()
{
    MRKODraw *canvas = drawViewWithDarkOverlay();
    if (!canvas) {
        if (!inkora::liveSettings().useMagnifying)
            return false;
        canvas = drawViewWithDarkOverlayForceEnableIfNeeded();
        if (!canvas)
            return false;
        m_magFlashlightHasMagnification = canvas->hasMagnifyG();
        bool result = true;
        if (!m_magFlashlightHasMagnification)
            result = canvas->toggle2xMagnifying();
        m_magFlashlightEnabledByShortcut = true;
        return result;
    }
    if (m_magFlashlightEnabledByShortcut) {
        // Takes back the magnification this toggle added, then the flashlight.
        if (canvas->hasMagnifyG() && !m_magFlashlightHasMagnification)
            (void)canvas->toggle2xMagnifying();
        flashlightWithEvent(nullptr);
        return true;
    }
    return canvas->toggle2xMagnifying();
}

void AppDelegate::flashlightWithEvent(const platform::Event *)
{
    toggleDarkOverlay();
}

void AppDelegate::magnifyGWithEvent(const platform::Event *)
{
    (void)toggleMagnifyGIfNeeded();
}

// ---------------------------------------------------------------------------------------------------------------
// Whiteboard

void AppDelegate::whiteboardWithEvent(const platform::Event *sender)
{
    // Refused while the quick tour is shown, once the tour exists.
    toggleWhiteboard(sender);
}

void AppDelegate::toggleWhiteboard(const platform::Event *)
{
    setWhiteboard(!isWhiteboardOn());
}

void AppDelegate::validateAllWhiteboards()
{
    for (MRKODraw *canvas : drawViews()) {
        if (canvas->hasWhiteBack())
            return;
    }
    MRKODraw *active = activeDrawView();
    if (!active)
        return;
    MRKOUtils::userDefaults().removeObjectForKey(QStringLiteral("wbHidden_%1").arg(active->index()));
    active->enableWhiteboard();
    if (isWhiteboardOn())
        active->makeWhiteBack();
}

void AppDelegate::enableAllWhiteboards()
{
    for (MRKOWindowController *controller : windowControllersArray()) {
        if (MRKODraw *canvas = controller->drawView()) {
            MRKOUtils::userDefaults().removeObjectForKey(QStringLiteral("wbHidden_%1").arg(canvas->index()));
            canvas->enableWhiteboard();
        }
    }
    startWhiteboard();
}
