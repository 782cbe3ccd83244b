#pragma once

#include "platform/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include <memory>

namespace platform {

class DBusSingleInstance;

/// The object the running copy exports: the one method that a later start calls.
class DBusInstanceListener final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.Inkora.Inkora")
public:
    explicit DBusInstanceListener(DBusSingleInstance *owner) : m_owner(owner) {}

public slots:
    Q_SCRIPTABLE void activate(const QStringList &arguments);

private:
    DBusSingleInstance *m_owner = nullptr; // not owned; owns us
};

/// The claim is the ownership of the program's id on the session bus; the running copy exports one method that
/// a later start calls. Only callers under our own user are served. The name goes when the application quits.
/// Without a session bus a lock file per display keeps the one copy ("$XDG_RUNTIME_DIR", else the cache folder).
class DBusSingleInstance final : public QObject, public SingleInstance
{
    Q_OBJECT
public:
    explicit DBusSingleInstance(const QDBusConnection &bus = QDBusConnection::sessionBus());
    ~DBusSingleInstance() override;

    [[nodiscard]] bool claim() override;
    [[nodiscard]] bool handOver(const QStringList &arguments) override;
    void setActivationHandler(ActivationHandler handler) override { m_handler = std::move(handler); }

private:
    friend class DBusInstanceListener;

    /// Gives up the name and the exported object; must run while the application exists, since the bus
    /// connection's thread ends with it.
    void release();
    /// A call that reached the listener; false when the caller is refused. Acted on from the main queue, after the
    /// call has been answered.
    [[nodiscard]] bool activated(const QDBusMessage &message, const QStringList &arguments);
    [[nodiscard]] bool runsUnderOurUser(const QString &peer) const;
    /// Takes the lock of this user and display; false when another copy holds it.
    [[nodiscard]] bool lockDisplay();

    QDBusConnection m_bus;
    std::unique_ptr<DBusInstanceListener> m_listener; // exported while it exists
    bool m_claimed = false;
    int m_lockFd = -1; // held open while we run; the system lets go of the lock when the process ends
    ActivationHandler m_handler;
};

} // namespace platform
