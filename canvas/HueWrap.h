#pragma once

#include <cmath>

namespace inkora {

/// How the rainbow hue is kept in range after a step: below 0 (and above -1) it gains 1, above 1 (and below 2) it
/// loses 1, NaN becomes 0; anything else, 1.0 itself included, stays.
[[nodiscard]] inline double wrapHue(double hue)
{
    if (std::isnan(hue))
        return 0;
    if (hue < 0 && hue > -1)
        return hue + 1;
    if (hue > 1 && hue < 2)
        return hue - 1;
    return hue;
}

} // namespace inkora
