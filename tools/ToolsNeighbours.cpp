#include "tools/ToolsNeighbours.h"

#include "tools/MRKOToolColor.h"

namespace inkora {

// No quick tour exists yet.
bool quickTourIsShown()
{
    return false;
}

bool quickTourHasPrevStep()
{
    return false;
}

void quickTourPrev() {}

void quickTourNext() {}

void quickTourSkip() {}

// The selected drawing's order does not change yet.
bool moveStaticSelectionLayerDown(MRKODraw &)
{
    return false;
}

bool moveStaticSelectionLayerUp(MRKODraw &)
{
    return false;
}

// No text editor exists yet.
void becomeTextViewAsFirstResponder() {}

void applyTextColor(MRKODraw &, const SrgbColor &) {}

SrgbColor currentTextColor(const MRKODraw &)
{
    return MRKOToolColor::toolColor().color();
}

// The selected drawing keeps its colour until the selected-object controls exist.
void applySelectedLayerColor(MRKODraw &, const SrgbColor &) {}

void showColorBallIfHiddenForDrawView(MRKODraw &)
{
    // The colour ball at the pointer comes with the pointer decorations.
}

} // namespace inkora
