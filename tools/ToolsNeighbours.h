#pragma once

#include "foundation/SrgbColor.h"

#include <QRectF>

class MRKODraw;

// What the tool bar's key routing and the numbered command actions ask of the quick tour, the
// text editor, the selected drawing's order and colour, and the pointer decorations before those exist. Each function
// names the operation it stands for; the owners replace them.
namespace inkora {

/// `+[AppDelegate quickTourIsShown]`; `-[MRKOQuickTour hasPrevStep]`, `prev`, `next`, `skip`.
[[nodiscard]] bool quickTourIsShown();
[[nodiscard]] bool quickTourHasPrevStep();
void quickTourPrev();
void quickTourNext();
void quickTourSkip();

/// `-[MRKODraw moveStaticSelectionLayerDown]`, `moveStaticSelectionLayerUp`.
[[nodiscard]] bool moveStaticSelectionLayerDown(MRKODraw &canvas);
[[nodiscard]] bool moveStaticSelectionLayerUp(MRKODraw &canvas);

/// `+[MRKODraw becomeTextViewAsFirstResponder]`; the canvas's `applyTextColor:` and `currentTextColor`.
void becomeTextViewAsFirstResponder();
void applyTextColor(MRKODraw &canvas, const SrgbColor &color);
[[nodiscard]] SrgbColor currentTextColor(const MRKODraw &canvas);

/// The canvas's `applySelectedLayerColor:`.
void applySelectedLayerColor(MRKODraw &canvas, const SrgbColor &color);

/// `-[AppDelegate showColorBallIfHiddenForDrawView:]`.
void showColorBallIfHiddenForDrawView(MRKODraw &canvas);

} // namespace inkora
