#pragma once

#include "platform/Layer.h"

#include <vector>

namespace bench {

constexpr double kDisplayWidth = 1440; // points; 2880 pixels at scale 2
constexpr double kDisplayHeight = 900; // points; 1800 pixels at scale 2
constexpr double kScale = 2;

/// `count` arrow drawings rendered from their models, spread over the display, in a container layer.
std::vector<platform::LayerPtr> makeDrawings(int count, const platform::LayerPtr &container);
/// An eraser-like mask: a painted disc of the given radius (points) at the display's centre.
platform::LayerPtr makeMask(double radius);
/// The process's peak resident memory so far, in megabytes.
double peakResidentMegabytes();

} // namespace bench
