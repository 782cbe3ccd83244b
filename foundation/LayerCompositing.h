#pragma once

#include <QRectF>

#include <memory>
#include <vector>

namespace platform {
class Layer;
}

namespace inkora {

/// One layer holding the merged bitmap of drawing layers (frames in one shared space, points, y up): its frame is
/// the union of theirs with the origin floored and the size ceiled, its contents scale the first layer's. The
/// layers leave their superlayers. A single layer is returned as it is; null when the bitmap cannot be made.
[[nodiscard]] std::shared_ptr<platform::Layer>
compositeOfLayers(const std::vector<std::shared_ptr<platform::Layer>> &layers);

/// Replaces the layer's contents by its own rendering with `rect` (in its points) cleared.
void cutRectInLayer(const QRectF &rect, platform::Layer &layer);

} // namespace inkora
