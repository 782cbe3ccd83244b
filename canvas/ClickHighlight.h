#pragma once

#include <QColor>
#include <QPointF>

namespace platform {
class Layer;
}

namespace inkora {

/// The marks that show a click: each adds its own layers to `parent` at `point` (the parent's points, y up),
/// animates them and removes only them when its animation ends.
/// Eight rays from the point, each a short dash running out to its end over 0.35 s as it fades.
void addRayBurst(platform::Layer &parent, QPointF point, const QColor &color);
/// A ring growing from radius 5 to 100 around the point over 0.5 s as it fades.
void addGrowingRing(platform::Layer &parent, QPointF point, const QColor &color);

} // namespace inkora
