#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "platform/UndoManager.h"
#include "tools/KVPopover.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"

#include <QCursor>

namespace {

/// The colour popover as the tool bar's custom colour button would prepare it: the tool colour, applied to every
/// canvas as the custom colour.
void prepareToolColorPopover(AppDelegate &app)
{
    KVPopover &popover = KVPopover::sharedPopover();
    popover.setColor(MRKOToolColor::toolColor().color());
    popover.setTarget(&app);
    popover.setAction([&app](KVPopover &sender) {
        MRKOToolColor::toolColor().setColor(sender.color());
        app.setColorType(MRKOColorTypeCustom);
        for (MRKODraw *canvas : app.drawViews())
            canvas->setColorType(MRKOColorTypeCustom);
    });
}

} // namespace

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

// Until the tool bar exists, the colour commands open the popover beside the pointer for the tool colour.

void AppDelegate::colorWheelWithEvent(const platform::Event *)
{
    MRKOWindowController *controller = windowControllerForMouseLocation();
    MRKODraw *canvas = controller ? controller->drawView() : nullptr;
    if (!canvas)
        return;
    KVPopover &popover = KVPopover::sharedPopover();
    if (popover.isShown() && popover.target() == this) {
        popover.close();
        return;
    }
    prepareToolColorPopover(*this);
    const QPointF local = canvas->mapFromGlobal(QCursor::pos());
    popover.showRelativeToRect(QRectF(local.x(), canvas->height() - local.y(), 1, 1), canvas, platform::RectEdge::MaxX);
}

void AppDelegate::colorPickerWithEvent(const platform::Event *)
{
    KVPopover &popover = KVPopover::sharedPopover();
    if (popover.isPicker()) {
        popover.killPicker();
        return;
    }
    if (!popover.isShown())
        prepareToolColorPopover(*this);
    popover.activateColorPicker();
}
