#pragma once

class QPalette;

/// Whether an appearance (the desktop's palette here) is a dark one.
namespace isDarkAppearance {

/// False on systems before dark appearances; otherwise true when the palette's window colour is dark.
[[nodiscard]] bool effectiveAppearanceIsDark(const QPalette &appearance);

} // namespace isDarkAppearance
