#include "app/AppDelegate.h"
#include "platform/Dispatch.h"

void AppDelegate::didChangeScreenParameters()
{
    // Every display gets a new window at its new frame and scale; a shown overlay comes back at once.
    const bool shown = isActiveAndShown();
    if (m_windowControllers.empty())
        return;
    forceRemoveAllWindowControllers();
    setIsShownToNO();
    if (shown)
        activateInkora();
}
