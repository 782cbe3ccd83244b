#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QDBusMessage;

// The main program has a class of the same name; the namespace keeps the two apart in test programs.
namespace helper {

class HelperAdaptor;

/// The helper's start-up and its service on the session bus: starts the main program at log-in unless it runs,
/// shows the tool indicator when asked, reports its version and quits on request.
class AppDelegate final : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    /// Accepts calls only from peers running under `userId`; `ownExecutable` locates the main program.
    AppDelegate(const QDBusConnection &bus, const QString &ownExecutable, uint userId, QObject *parent = nullptr);
    ~AppDelegate() override;
    Q_DISABLE_COPY_MOVE(AppDelegate)

    void applicationDidFinishLaunching();
    /// Owns the helper's bus name and exports its object; false with a log line when the bus refuses.
    bool installListener();
    /// Every call on the bus stands for a connection: accepted when the caller runs under our user id.
    [[nodiscard]] bool listenerShouldAcceptNewConnection(const QDBusMessage &message);

    void killApp();
    void showToolForToolType(std::uint64_t toolType);
    void showDissolveMode(std::uint64_t mode);
    void getVersionWithReply(const std::function<void(const QString &)> &reply) const;

    /// The main program's bundle: four folders above the helper's own bundle.
    [[nodiscard]] static QString mainApplicationPath(const QString &helperExecutable);

private slots:
    void terminateNotification(const QDBusMessage &message);

private:
    friend class HelperAdaptor; // answers refused calls through our bus context
    [[nodiscard]] bool runsUnderOurUser(const QString &peer) const;
    [[nodiscard]] bool isMainApplicationRunning() const;
    void launchMainApplication();

    QDBusConnection m_bus;
    QString m_ownExecutable;
    uint m_userId = 0;
    QString m_proxy;                     // unique bus name of the last accepted caller; nothing is sent to it
    HelperAdaptor *m_listener = nullptr; // child; the exported interface
    bool m_listening = false;
};

} // namespace helper
