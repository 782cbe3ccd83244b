#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "platform/UndoManager.h"

// Work of other parts of the shell that showing, hiding and quitting call into. Each does the least the overlay
// needs until the part it belongs to replaces it.

void AppDelegate::setUpFlagMonitors() {}

void AppDelegate::removeFlagMonitorsIfNeeded() {}

void AppDelegate::setUpEventTapMonitor() {}

void AppDelegate::suspendEventTapMonitorIfNeeded() {}

void AppDelegate::enableMouseEventsIfNeeded()
{
    // Windows take the mouse again (a disabled display's window keeps ignoring it); whiteboards turn opaque.
    for (MRKOWindowController *controller : windowControllersArray()) {
        if (!controller->window()->ignoresMouseEvents())
            continue;
        controller->window()->setIgnoresMouseEvents(false);
        if (m_isWhiteboard && controller->drawView())
            controller->drawView()->whiteBackFullOpaque();
    }
}

void AppDelegate::stopDrawingIfNeeded()
{
    if (MRKODraw *canvas = drawViewWithDrawingInProgress())
        canvas->stopDrawingByPostingMouseUp();
}

void AppDelegate::showAuxActionOnToolbar(quint64, quint64)
{
    // No tool bar exists yet to show the hand and scissors buttons.
}

void AppDelegate::setColorType(quint64 colorType)
{
    m_colorType = colorType;
}

void AppDelegate::showHideToolbar(const platform::Event *)
{
    if (MRKOWindowController *active = activeWindowController())
        active->setToolsHidden(!active->toolsHidden());
}

void AppDelegate::changeActivateTools(bool activate)
{
    m_currentActivateTools = activate;
}
