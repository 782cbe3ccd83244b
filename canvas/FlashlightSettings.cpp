#include "canvas/FlashlightSettings.h"

#include "app/LiveSettings.h"
#include "foundation/MRKOUtils.h"

#include <algorithm>
#include <cmath>

namespace inkora {

double flashlightRadius()
{
    const double r = liveSettings().flashlightRadius;
    return std::isnan(r) ? kMinFlashlightRadius : std::clamp(r, kMinFlashlightRadius, kMaxFlashlightRadius);
}

double flashlightRatio()
{
    // A stored ratio at or below about -1.11 maps to no usable ratio: the hole stays round.
    const double k = MRKOUtils::flashLightRatio();
    return std::isfinite(k) && k > 0 ? k : 1.0;
}

double magnifyScale()
{
    const double s = liveSettings().magnifyScale;
    return std::isnan(s) ? kMinMagnifyScale : std::clamp(s, kMinMagnifyScale, kMaxMagnifyScale);
}

} // namespace inkora
