#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "platform/Event.h"
#include "platform/Keys.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/MRKOSingleKeyActionController.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tools/MRKOTools.h"
#include "tools/MRKOToolsDelegate.h"
#include "tools/ToolsNeighbours.h"

namespace {

constexpr qint64 kZKeySlot = 25;         // the single-key slot of the Z key
constexpr quint64 kMagnifierAction = 12; // the extra action that toggles the magnifier

/// The snapshot manager's panel state; nothing of it exists before the manager was made.
bool snapshotPanelIsShownAndHasSelection()
{
    return MRKOSnapshotManager::isMade() && MRKOSnapshotManager::sharedSnapshotManager().isShownAndHasSelection();
}

} // namespace

bool MRKOTools::routeArrowOrSpace(quint16 keyCode)
{
    if (keyCode == platform::kKeyLeftArrow) {
        if (inkora::quickTourIsShown() && inkora::quickTourHasPrevStep()) {
            inkora::quickTourPrev();
            return true;
        }
        if (snapshotPanelIsShownAndHasSelection()) {
            MRKOSnapshotManager::sharedSnapshotManager().moveLeft();
            return true;
        }
        return false;
    }
    // Right arrow, and the space bar when Quick Look does not want it.
    if (inkora::quickTourIsShown()) {
        inkora::quickTourNext();
        return true;
    }
    if (snapshotPanelIsShownAndHasSelection()) {
        MRKOSnapshotManager::sharedSnapshotManager().moveRight();
        return true;
    }
    return false;
}

bool MRKOTools::keyDown(const platform::Event &event)
{
    if (KQShortCutMonitor::didProcessedDiscardedShortcutWithEvent(event))
        return true;

    AppDelegate *delegate = AppDelegate::shared();
    MRKODraw *canvas = delegate ? delegate->drawViewForMouseLocation() : nullptr;
    switch (event.keyCode) {
    case platform::kKeyLeftArrow:
    case platform::kKeyRightArrow:
        if (routeArrowOrSpace(event.keyCode))
            return true;
        break;
    case platform::kKeySpace:
        if (MRKOSnapshotManager::isMade() && MRKOSnapshotManager::sharedSnapshotManager().wantsToShowQuickLook()) {
            MRKOSnapshotManager::sharedSnapshotManager().toggleQuickLook();
            return true;
        }
        if (routeArrowOrSpace(platform::kKeyRightArrow))
            return true;
        break;
    case platform::kKeyDownArrow:
        if (canvas && canvas->hasStaticSelectionLayer() && inkora::moveStaticSelectionLayerDown(*canvas))
            return true;
        break;
    case platform::kKeyUpArrow:
        if (canvas && canvas->hasStaticSelectionLayer() && inkora::moveStaticSelectionLayerUp(*canvas))
            return true;
        break;
    case platform::kKeyReturn:
        if (canvas && canvas->hasStaticSelectionLayer()) {
            canvas->removeStaticSelectionIfNeeded();
            return true;
        }
        break;
    case platform::kKeyEscape:
        if (MRKODraw::cancelMultipleMoveIfNeeded())
            return true;
        if (inkora::quickTourIsShown()) {
            inkora::quickTourSkip();
            return true;
        }
        if (MRKOSnapshotManager::isPanelShown()) {
            MRKOSnapshotManager::hidePanelAnimated(true);
            return true;
        }
        if (delegate && delegate->darkOverlayIsActive()) {
            delegate->toggleDarkOverlay();
            return true;
        }
        if (delegate && delegate->hasAuxActions()) {
            delegate->removeAuxActionIfNeeded();
            return true;
        }
        if (m_delegate) {
            m_delegate->closeApp(nullptr);
            return true;
        }
        break;
    default:
        break;
    }

    // Single keys.
    if (const qint64 slot = MRKOSingleKeyActionController::slotForKeyCode(event.keyCode); slot != -1 && delegate) {
        const quint64 action = MRKOSingleKeyActionController::actionForSlot(quint64(slot));
        // Z as the magnifier waits for a flashlight unless zooming by Z is on.
        const bool skipped = slot == kZKeySlot && action == kMagnifierAction && !delegate->zoomByZKey() &&
                             !delegate->darkOverlayIsActive();
        if (!skipped && delegate->invokeExtraAction(action))
            return true;
    }

    if (delegate && delegate->unusedKeysForwarding() && MRKOUtils::isTrusted()) {
        MRKOUtils::forwardKeystrokeToNextApp(quint16(event.keyCode & 0xFFFF));
        return true;
    }
    return false;
}
