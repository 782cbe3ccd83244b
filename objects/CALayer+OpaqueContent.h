#pragma once

#include "platform/Layer.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>

#include <memory>
#include <optional>
#include <vector>

class MRKOPill;
class MRKOTextPill;

namespace platform {
class KeyedArchiver;
class KeyedUnarchiver;
} // namespace platform

/// A layer as a drawn object: its model, copies with the model, the pixel hit test, rendering from the model and
/// the one-layer archive. Lists of drawings find and remove layers by identity (pointer comparison); isEqual()
/// is the value comparison for places that compare contents, such as snapshots.
namespace OpaqueContent {

void setPill(platform::Layer &layer, std::shared_ptr<MRKOPill> pill);
/// Null for a plain bitmap layer.
[[nodiscard]] std::shared_ptr<MRKOPill> pill(const platform::Layer &layer);
void setTextPill(platform::Layer &layer, std::shared_ptr<MRKOTextPill> pill);
/// The model when it is a text model of tool type 3, else null.
[[nodiscard]] std::shared_ptr<MRKOTextPill> textPill(const platform::Layer &layer);

[[nodiscard]] bool isComplexLayer(const platform::Layer &layer);
[[nodiscard]] bool isCompositeLayer(const platform::Layer &layer);
void assingCompositeName(platform::Layer &layer);

/// A new plain layer with the frame, name, z position, the same contents image, contents scale, shadow path,
/// border colour and a copy of the model; sublayers are copied the same way.
[[nodiscard]] platform::LayerPtr layerCopyWithPill(const platform::Layer &layer);
[[nodiscard]] std::vector<platform::LayerPtr> subLayersCopy(const platform::Layer &layer);
[[nodiscard]] std::vector<platform::LayerPtr> layersCopyFromArray(const std::vector<platform::LayerPtr> &layers);

/// Whether the contents are painted (alpha at least 3/255) in the one-point square at the point (the layer's own
/// coordinates, points, y up); a point outside the bounds asks the sublayers with the same point.
[[nodiscard]] bool isContentHasOpaquePixelAtPoint(const platform::Layer &layer, QPointF point);
/// The frame origin of each layer, in order.
[[nodiscard]] std::vector<QPointF> originsOfLayers(const std::vector<platform::LayerPtr> &layers);

/// Renders the model into the layer: a shape model now; a text model waits for the text renderer.
void updatePillLayer(platform::Layer &layer);
/// Rebuilds the shape model's paths and sets the layer's bitmap, frame and border colour from them without
/// animation; on failure the layer keeps what it showed.
void updateGraphicLayer(platform::Layer &layer);

/// Value equality of layers: one class (or the receiver a plain layer), equal frames, and then equal models or
/// the same contents image.
[[nodiscard]] bool isEqual(const platform::Layer &layer, const platform::Layer &other);

/// Writes the layer's keyed values into the object being encoded (sublayers are not written).
void inkoraEncodeWithCoder(const platform::Layer &layer, platform::KeyedArchiver &coder);
/// A new plain layer read from the object being decoded; a damaged value fails the coder.
[[nodiscard]] platform::LayerPtr inkoraInitWithCoder(platform::KeyedUnarchiver &coder);
/// The layer archived on its own; null with one log line when it cannot be written.
[[nodiscard]] std::optional<QByteArray> layerDataToSave(const platform::Layer &layer);
/// The layer read back; null with one log line when the data cannot be read.
[[nodiscard]] platform::LayerPtr layerWithData(const QByteArray &data);

} // namespace OpaqueContent
