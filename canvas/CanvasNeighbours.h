#pragma once

#include "foundation/SrgbColor.h"

#include <QRectF>
#include <QtGlobal>

#include <functional>

class MRKODraw;
class QWidget;

// What a press on a canvas asks of the tool bar, the application shell, the snapshot panel and the remote before
// those classes exist. Each function names the operation it stands for; the owners replace them.
namespace inkora {

/// `-[[[AppDelegate activeToolBar] dissolveButton] animateFadeWithColor:]`: flashes the freeze/fade button.
void animateDissolveButtonFadeWithColor(const SrgbColor &color);
/// `-[[MRKOSnapshotManager sharedSnapshotManager] addSnapshot:]` with the canvas's snapshot, before a clear.
void addSnapshotOfCanvasBeforeClear(const MRKODraw &canvas);

/// `-[MRKOSnapshotManager resetFirstResponderIfNeeded]`.
void resetSnapshotPanelFirstResponderIfNeeded();
/// `+[MRKOSnapshotManager hidePanelIfNeededAnimated]`.
void hideSnapshotPanelIfNeededAnimated();
/// `+[MRKOFrontmostApp isSelfAppEffective]`: whether this program is the active application.
[[nodiscard]] bool isSelfAppEffective();
/// `+[MRKOFrontmostApp makeFrontmostIfNeeded]`: whether the program had to be activated.
[[nodiscard]] bool makeFrontmostIfNeeded();
/// The tool panel's button of a tool type, relative to its screen's origin (points, y up); the zero rectangle
/// when there is no panel or no button for the tool.
[[nodiscard]] QRectF toolPanelButtonRectForToolType(quint64 toolType);
/// The width of the tool panel's view; 0 without a panel.
[[nodiscard]] double toolPanelViewWidth();
/// `-[MRKODraw setFlashlight:]` on the quick tour's canvas while the tour is shown, when it differs.
void setQuickTourFlashlight(bool on);
/// The colour popover takes the colour and the active tool bar applies it (`makeNewColor:`).
void applyToolColorFromPopover(const QColor &color);
/// `+[MRKOUtils magnifyFlashLightToolTipWithView:]` at the active tool bar's flashlight button.
void showMagnifyFlashlightToolTip();

} // namespace inkora
