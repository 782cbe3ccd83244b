#pragma once

#include "platform/Layer.h"

#include <QPointF>
#include <QPointer>

#include <vector>

class MRKODraw;

namespace inkora {

/// The one multiple move of the process: drawings gathered by a rubber band or select all that follow the pointer
/// until a click drops them. States: none (no moving layers) -> selected (moving layers, origins, owner) ->
/// travelling (copies on the visiting canvas, the sources left behind on the owner and kept in step) -> none
/// (dropped, glued or cancelled). Canvases are held weakly: a display that goes away takes its canvas with it.
/// Main thread only.
struct MultipleMove
{
    std::vector<platform::LayerPtr> moving;
    std::vector<QPointF> origins;               // of the moving layers when they were gathered, same order
    QPointF lastPointer;                        // view points of the canvas that took the last step
    QPointer<MRKODraw> owner;                   // where they were gathered
    std::vector<platform::LayerPtr> leftBehind; // the sources on the owner while copies travel
    bool copy = false;                          // the moving layers are fresh copies
    QPointer<MRKODraw> visiting;                // the other canvas showing the travelling copies
    platform::LayerPtr boundingBox;
    quint64 copyStep = 0; // the undo step that added the copies of a copy, 0 for none

    [[nodiscard]] bool exists() const { return !moving.empty(); }
    [[nodiscard]] bool isTravelling() const { return !leftBehind.empty(); }
    /// Forgets everything and takes the bounding box off screen.
    void reset();
};

[[nodiscard]] MultipleMove &multipleMove();

} // namespace inkora
