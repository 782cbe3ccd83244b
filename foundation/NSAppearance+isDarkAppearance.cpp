#include "foundation/MRKOUtils.h"
#include "foundation/NSAppearance+isDarkAppearance.h"

#include <QPalette>

namespace isDarkAppearance {

bool effectiveAppearanceIsDark(const QPalette &appearance)
{
    if (!MRKOUtils::mojaveOrLater())
        return false;
    // The nearer of light and dark: a window colour below half lightness.
    return appearance.color(QPalette::Active, QPalette::Window).lightnessF() < 0.5f;
}

} // namespace isDarkAppearance
