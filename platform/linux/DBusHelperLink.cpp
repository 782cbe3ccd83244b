#include "platform/linux/DBusHelperLink.h"

#include "platform/Dispatch.h"
#include "platform/LoginItem.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QVariant>

namespace platform {

namespace {

using namespace helperlink;

// One-way calls to the helper's object. The bus tells us when the helper's name gains or loses its owner: losing
// it after the helper had been there is the interruption.
class DBusHelperConnection final : public HelperConnection
{
public:
    explicit DBusHelperConnection(const QDBusConnection &bus)
        : m_bus(bus), m_watcher(QString::fromLatin1(kHelperId), bus, QDBusServiceWatcher::WatchForOwnerChange)
    {
        m_helperPresent = bus.interface() && bus.interface()->isServiceRegistered(QString::fromLatin1(kHelperId));
        QObject::connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged,
                         [this](const QString &, const QString &, const QString &newOwner) {
                             if (!newOwner.isEmpty()) {
                                 m_helperPresent = true;
                                 return;
                             }
                             if (!m_helperPresent)
                                 return;
                             m_helperPresent = false;
                             if (auto handler = std::exchange(m_interrupted, nullptr))
                                 DispatchQueue::main().async(std::move(handler));
                         });
    }

    void setInterruptionHandler(std::function<void()> handler) override { m_interrupted = std::move(handler); }
    void setErrorHandler(ErrorHandler handler) override { m_error = std::move(handler); }
    void invalidate() override
    {
        m_valid = false;
        m_interrupted = nullptr;
    }

    void killApp() override { send(QStringLiteral("killApp"), {}); }
    void showToolForToolType(std::uint64_t toolType) override
    {
        send(QStringLiteral("showToolForToolType"), {QVariant::fromValue<qulonglong>(toolType)});
    }
    void showDissolveMode(std::uint64_t mode) override
    {
        send(QStringLiteral("showDissolveMode"), {QVariant::fromValue<qulonglong>(mode)});
    }

private:
    void send(const QString &method, const QVariantList &arguments)
    {
        QString failure;
        if (!m_valid) {
            failure = QStringLiteral("%1: the connection was invalidated").arg(method);
        } else {
            QDBusMessage call =
                QDBusMessage::createMethodCall(QString::fromLatin1(kHelperId), QString::fromLatin1(kHelperObjectPath),
                                               QString::fromLatin1(kHelperInterface), method);
            call.setArguments(arguments);
            call.setAutoStartService(false);
            // send() marks a method call as expecting no reply.
            if (!m_bus.send(call))
                failure = QStringLiteral("%1: %2").arg(method, m_bus.lastError().message());
        }
        if (!failure.isEmpty() && m_error)
            DispatchQueue::main().async([handler = m_error, failure] { handler(failure); });
    }

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    std::function<void()> m_interrupted;
    ErrorHandler m_error;
    bool m_helperPresent = false;
    bool m_valid = true;
};

} // namespace

DBusHelperLink::DBusHelperLink(const QString &mainExecutable) : m_mainExecutable(mainExecutable) {}

bool DBusHelperLink::setLoginItemEnabled(bool enabled, QString *error)
{
    const QString helperBundle =
        bundlePathForExecutable(m_mainExecutable) + QLatin1Char('/') + QString::fromLatin1(kHelperBundleInMain);
    LoginItem item(QString::fromLatin1(kHelperId), executableForBundle(helperBundle));
    return item.setEnabled(enabled, error);
}

std::shared_ptr<HelperConnection> DBusHelperLink::connectToHelper(QString *error)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (error)
            *error = QStringLiteral("no session bus: ") + bus.lastError().message();
        return nullptr;
    }
    return std::make_shared<DBusHelperConnection>(bus);
}

} // namespace platform
