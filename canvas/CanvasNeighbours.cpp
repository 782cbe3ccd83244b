#include "canvas/CanvasNeighbours.h"

#include "tools/KVPopover.h"
#include "tools/MRKOToolColor.h"

#include <QGuiApplication>

namespace inkora {

void animateDissolveButtonFadeWithColor(const SrgbColor &)
{
    // No tool bar exists yet, so there is no button to flash.
}

void addSnapshotOfCanvasBeforeClear(const MRKODraw &)
{
    // No snapshot store exists yet to keep the shot.
}

void resetSnapshotPanelFirstResponderIfNeeded()
{
    // No snapshot panel exists yet.
}

void hideSnapshotPanelIfNeededAnimated()
{
    // No snapshot panel exists yet.
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

QRectF toolPanelButtonRectForToolType(quint64)
{
    return {}; // no tool panel exists yet
}

double toolPanelViewWidth()
{
    return 0;
}

void setQuickTourFlashlight(bool)
{
    // No quick tour exists yet.
}

void applyToolColorFromPopover(const QColor &color)
{
    KVPopover::sharedPopover().setColor(color);
    // Until the tool bar exists, the shared tool colour takes it directly.
    MRKOToolColor::toolColor().setColor(color);
}

void showMagnifyFlashlightToolTip()
{
    // No first-time tips exist yet.
}

} // namespace inkora
