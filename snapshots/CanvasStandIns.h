#pragma once

#include <QColor>
#include <QRectF>

namespace platform {
class Layer;
}

// What snapshots need of the canvas, the foundation utilities and the application shell before those classes exist;
// each function names the operation it stands for.
namespace inkora {

/// `-[AppDelegate activeDrawView]`'s display scale (pixels per point); 0 when there is no active canvas.
[[nodiscard]] double activeCanvasDisplayScale();

/// `+[MRKOUtils whiteboardRectWithRect:layout:]`: the part of `rect` (y up) a whiteboard layout covers; halves and
/// quarters are floor(width / 2) and floor(height / 2), layout 0 and unknown layouts the whole rectangle.
[[nodiscard]] QRectF whiteboardRect(const QRectF &rect, quint64 layout);

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
