#pragma once

#include "platform/ScreenSaverInhibitor.h"

#include <QDBusConnection>

namespace platform {

/// The desktop's org.freedesktop.ScreenSaver service on the session bus.
class DBusScreenSaverInhibitor final : public ScreenSaverInhibitor
{
public:
    explicit DBusScreenSaverInhibitor(const QDBusConnection &bus = QDBusConnection::sessionBus());

    [[nodiscard]] std::optional<quint32> inhibit(const QString &applicationName, const QString &reason) override;
    [[nodiscard]] bool unInhibit(quint32 cookie) override;

private:
    QDBusConnection m_bus;
};

} // namespace platform
