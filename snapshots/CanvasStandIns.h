#pragma once

#include <QColor>

namespace platform {
class Layer;
}

// What snapshots need of the canvas, the foundation utilities and the application shell, in one place; each
// function names the operation it stands for.
namespace inkora {

/// `-[AppDelegate activeDrawView]`'s display scale (pixels per point); 0 when there is no active canvas.
[[nodiscard]] double activeCanvasDisplayScale();

/// `+[MRKOWhiteBoardColorController whiteboardColor:]` for the fixed colour types: white, dark grey, black; black
/// for any other type.
[[nodiscard]] QColor whiteboardColorForType(qint64 colorType);

/// `+[MRKODraw enableShadow:onLayer:scale:]` without a shadow object: black, opacity 1, radius 2 x scale, offset
/// (0, -scale) (y up); a scale not above 0 counts as 1.
void enableDrawingsShadow(platform::Layer &layer, double scale);

/// `+[MRKOFrontmostApp beginSaveOperation]` and `endSaveOperation`, around every modal save panel.
void beginSaveOperation();
void endSaveOperation();

} // namespace inkora
