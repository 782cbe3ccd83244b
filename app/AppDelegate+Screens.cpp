#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOScreensController.h"
#include "remote/MRKOUDPController.h"

#include <QScopeGuard>

void AppDelegate::didChangeScreenParameters()
{
    MRKODraw::cancelMultipleMoveIfNeeded(); // the drawings go back before their canvases are rebuilt
    // Whatever the rebuild does, a connected phone learns the new number of displays.
    const auto tellRemote = qScopeGuard([this] {
        if (!m_remoteObservers.empty())
            MRKOUDPController::sharedController().sendScreensCount();
    });
    const MRKODraw *active = activeDrawView();
    const bool freeze = active && active->dissolveMode() == 1;
    if (!isActiveAndShown()) {
        // Hidden in freeze mode the old windows go; hidden in fade mode there are none.
        if (freeze && wasActiveAndShown())
            MRKOScreensController::performChangesInFreezeModeNeedActivate(false);
        return;
    }
    if (freeze) {
        MRKOScreensController::performChangesInFreezeModeNeedActivate(true);
        return;
    }
    // Every display gets a fresh window at its new frame and scale.
    closeAllDrawableScreens();
    activateInkora();
}
