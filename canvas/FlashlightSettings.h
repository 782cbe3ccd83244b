#pragma once

namespace inkora {

constexpr double kMinFlashlightRadius = 50;  // points
constexpr double kMaxFlashlightRadius = 500; // points
constexpr double kMinMagnifyScale = 1;
constexpr double kMaxMagnifyScale = 16;

/// The live radius as the flashlight and the magnifier use it: within 50...500 points, 50 for NaN. The live value
/// itself changes only when the flashlight stores a new one.
[[nodiscard]] double flashlightRadius();
/// The live width-to-height ratio; one that is not finite or not above 0 counts as 1.
[[nodiscard]] double flashlightRatio();
/// The live magnifier scale within 1...16, 1 for NaN.
[[nodiscard]] double magnifyScale();

} // namespace inkora
