#pragma once

#include "platform/ScreenSaverInhibitor.h"

namespace platform {

/// The desktop's org.freedesktop.ScreenSaver service on the session bus.
class DBusScreenSaverInhibitor final : public ScreenSaverInhibitor
{
public:
    [[nodiscard]] std::optional<quint32> inhibit(const QString &applicationName, const QString &reason) override;
    [[nodiscard]] bool unInhibit(quint32 cookie) override;
};

} // namespace platform
