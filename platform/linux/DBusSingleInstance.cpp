#include "platform/linux/DBusSingleInstance.h"

#include "platform/Dispatch.h"
#include "platform/HelperLink.h"
#include "platform/PlatformLog.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QPointer>

#include <string_view>
#include <unistd.h>

namespace platform {

using namespace helperlink;

static_assert(std::string_view(kMainInterface) == "com.Inkora.Inkora");

namespace {
constexpr int kHandOverTimeout = 5000; // milliseconds; the running copy answers from its event loop
}

void DBusInstanceListener::activate(const QStringList &arguments)
{
    if (!m_owner->activated(message(), arguments))
        sendErrorReply(QDBusError::AccessDenied, QStringLiteral("caller runs under another user"));
}

DBusSingleInstance::DBusSingleInstance(const QDBusConnection &bus) : m_bus(bus)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &DBusSingleInstance::release);
}

DBusSingleInstance::~DBusSingleInstance()
{
    release();
}

void DBusSingleInstance::release()
{
    m_handler = nullptr;
    if (m_claimed)
        m_bus.unregisterService(QString::fromLatin1(kMainId));
    m_claimed = false;
    if (m_listener) {
        m_bus.unregisterObject(QString::fromLatin1(kMainObjectPath));
        m_listener.reset();
    }
}

bool DBusSingleInstance::claim()
{
    if (m_claimed)
        return true;
    if (!m_bus.isConnected()) {
        qCWarning(lcPlatform) << "SingleInstance: no session bus; a second start cannot be told apart";
        return true;
    }
    // The object comes first, so that the name's owner can be called as soon as it has the name.
    m_listener = std::make_unique<DBusInstanceListener>(this);
    if (!m_bus.registerObject(QString::fromLatin1(kMainObjectPath), m_listener.get(),
                              QDBusConnection::ExportScriptableSlots)) {
        qCWarning(lcPlatform).noquote() << "SingleInstance: cannot export" << kMainObjectPath << ";"
                                        << m_bus.lastError().message() << "; a second start cannot hand over";
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(QString::fromLatin1(kMainId), QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_claimed = true;
        return true;
    }
    release();
    if (!reply.isValid()) {
        qCWarning(lcPlatform).noquote() << "SingleInstance: cannot claim" << kMainId << ";" << reply.error().message()
                                        << "; running anyway";
        return true;
    }
    return false;
}

bool DBusSingleInstance::handOver(const QStringList &arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kMainId), QString::fromLatin1(kMainObjectPath),
                                       QString::fromLatin1(kMainInterface), QStringLiteral("activate"));
    call << arguments;
    const QDBusMessage reply = m_bus.call(call, QDBus::BlockWithGui, kHandOverTimeout);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        qCWarning(lcPlatform).noquote() << "SingleInstance: the running copy did not take over;"
                                        << reply.errorMessage();
        return false;
    }
    return true;
}

bool DBusSingleInstance::activated(const QDBusMessage &message, const QStringList &arguments)
{
    if (!runsUnderOurUser(message.service()))
        return false;
    // The program comes forward from the main queue, after the call has been answered.
    DispatchQueue::main().async([self = QPointer<DBusSingleInstance>(this), arguments] {
        if (self && self->m_handler)
            self->m_handler(arguments);
    });
    return true;
}

bool DBusSingleInstance::runsUnderOurUser(const QString &peer) const
{
    const QDBusReply<uint> uid = m_bus.interface() ? m_bus.interface()->serviceUid(peer) : QDBusReply<uint>();
    if (!uid.isValid()) {
        qCWarning(lcPlatform).noquote() << "SingleInstance: cannot tell the user of caller" << peer << ";"
                                        << uid.error().message() << "; refused";
        return false;
    }
    if (uid.value() != ::getuid()) {
        qCWarning(lcPlatform).noquote() << "SingleInstance: caller" << peer << "runs under user" << uid.value()
                                        << "; refused";
        return false;
    }
    return true;
}

} // namespace platform
