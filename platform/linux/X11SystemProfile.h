#pragma once

#include "platform/SystemProfile.h"

namespace platform {

/// X11: the newest behaviour everywhere, no Function modifier (the Menu key stands in for it, but it cannot be
/// grabbed as a modifier), and no permission gates on input or captures.
class X11SystemProfile final : public SystemProfile
{
public:
    [[nodiscard]] bool isVersionAtLeast(int, int) const override { return true; }
    [[nodiscard]] bool hasFunctionKey() const override { return false; }
    [[nodiscard]] bool isAccessibilityTrusted() const override { return true; }
    [[nodiscard]] bool canRecordScreen() const override { return true; }
};

} // namespace platform
