#pragma once

namespace platform {

/// What the running system offers and allows: the release tests of the subsystems, the Function key and the
/// permission tests.
class SystemProfile
{
public:
    virtual ~SystemProfile() = default;

    /// Whether the behaviour the subsystems tie to system release major.minor or later applies.
    [[nodiscard]] virtual bool isVersionAtLeast(int major, int minor = 0) const = 0;
    /// Whether the keyboard has a Function modifier; where it has none, defaults that would need it take
    /// their older alternative.
    [[nodiscard]] virtual bool hasFunctionKey() const = 0;
    /// Whether we may watch and synthesise input of other applications.
    [[nodiscard]] virtual bool isAccessibilityTrusted() const = 0;
    /// Whether captures see other applications' windows.
    [[nodiscard]] virtual bool canRecordScreen() const = 0;
};

} // namespace platform
