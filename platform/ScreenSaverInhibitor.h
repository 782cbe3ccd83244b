#pragma once

#include <QString>

#include <optional>

namespace platform {

/// Keeps the display awake while something needs it: the desktop's screen saver and display sleep hold off until
/// the inhibition is released.
class ScreenSaverInhibitor
{
public:
    virtual ~ScreenSaverInhibitor() = default;
    /// A cookie for the inhibition; nothing when the desktop has no screen-saver service or refused.
    [[nodiscard]] virtual std::optional<quint32> inhibit(const QString &applicationName, const QString &reason) = 0;
    [[nodiscard]] virtual bool unInhibit(quint32 cookie) = 0;
};

} // namespace platform
