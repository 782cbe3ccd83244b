#pragma once

#include "foundation/SrgbColor.h"

#include <QRectF>
#include <QtGlobal>

#include <functional>

class MRKODraw;
class QWidget;

// What a press on a canvas asks of the application shell, the snapshot panel and the remote before
// those classes exist. Each function names the operation it stands for; the owners replace them.
namespace inkora {

/// `-[[MRKOSnapshotManager sharedSnapshotManager] addSnapshot:]` with the canvas's snapshot, before a clear.
void addSnapshotOfCanvasBeforeClear(MRKODraw &canvas);

/// `-[MRKOSnapshotManager resetFirstResponderIfNeeded]`.
void resetSnapshotPanelFirstResponderIfNeeded();
/// `+[MRKOSnapshotManager hidePanelIfNeededAnimated]`.
void hideSnapshotPanelIfNeededAnimated();
/// `+[MRKOFrontmostApp isSelfAppEffective]`: whether this program is the active application.
[[nodiscard]] bool isSelfAppEffective();
/// `+[MRKOFrontmostApp makeFrontmostIfNeeded]`: whether the program had to be activated.
[[nodiscard]] bool makeFrontmostIfNeeded();
/// `-[MRKODraw setFlashlight:]` on the quick tour's canvas while the tour is shown, when it differs.
void setQuickTourFlashlight(bool on);
/// `+[MRKOUtils magnifyFlashLightToolTipWithView:]` at the active tool bar's flashlight button.
void showMagnifyFlashlightToolTip();

} // namespace inkora
