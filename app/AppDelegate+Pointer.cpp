// What the canvases ask of the shell about the pointer: whether the colour ball and the halo show, and the
// commands the right button runs.
#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "platform/EventQueue.h"
#include "platform/Keys.h"
#include "tools/MRKOTools.h"

bool AppDelegate::shouldShowColorBall() const
{
    const quint64 flags = platform::EventQueue::shared().currentModifierFlags();
    const quint64 shiftCommand = platform::kShiftFlag | platform::kCommandFlag;
    if ((flags & shiftCommand) == shiftCommand)
        return false;
    if (isPinnedOnTop())
        return fnPressed();
    return true;
}

bool AppDelegate::wantsCursorHaloToShowInGhostMode() const
{
    return inkora::liveSettings().cursorHaloOpacity > 0 && highlightClicksGhostMode() && eventTapActive();
}

void AppDelegate::changeToolForcedOnActiveToolBar(quint64 toolType, bool forced)
{
    if (MRKOTools *toolBar = activeToolBar())
        toolBar->changeToolForced(toolType, forced);
}
