#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

/// A session bus of the test's own (a dbus-daemon child), so that tests owning well-known names can run side by side.
/// It activates no services: what a test finds on it is what the test put there, whatever the machine has installed.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    [[nodiscard]] bool isRunning() const { return !m_address.isEmpty(); }
    [[nodiscard]] QString address() const { return m_address; }
    /// A new connection to the bus under a name unique to this bus; closed with the bus.
    [[nodiscard]] QDBusConnection connect(const QString &name);
    /// Waits up to a minute (a sanitised program starts slowly on a busy machine) for `service` to be owned (or, with
    /// `owned` false, to be free).
    [[nodiscard]] bool waitForService(const QString &service, bool owned = true);

private:
    QTemporaryDir m_config;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};
