#pragma once

namespace inkora {

/// Distances from the four edges of a rectangle, in the unit its user gives (points or pixels); top is the
/// maximum-y edge in y-up coordinates.
struct EdgeInsets
{
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    bool operator==(const EdgeInsets &other) const = default;
};

} // namespace inkora
