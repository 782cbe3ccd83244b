#include "canvas/CanvasNeighbours.h"

#include "canvas/MRKODraw.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotManager.h"

#include <QGuiApplication>

namespace inkora {

void addSnapshotOfCanvasBeforeClear(MRKODraw &canvas)
{
    MRKOSnapshotManager::sharedSnapshotManager().addSnapshot(canvas.snapshot());
}

void resetSnapshotPanelFirstResponderIfNeeded()
{
    if (MRKOSnapshotManager::isMade())
        MRKOSnapshotManager::sharedSnapshotManager().resetFirstResponderIfNeeded();
}

void hideSnapshotPanelIfNeededAnimated()
{
    MRKOSnapshotManager::hidePanelIfNeededAnimated();
}

bool isSelfAppEffective()
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

bool makeFrontmostIfNeeded()
{
    // Activation of the program belongs to the shell; until it exists nothing is activated.
    return false;
}

void setQuickTourFlashlight(bool)
{
    // No quick tour exists yet.
}

void showMagnifyFlashlightToolTip()
{
    // No first-time tips exist yet.
}

} // namespace inkora
