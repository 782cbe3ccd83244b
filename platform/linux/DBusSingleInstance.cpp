#include "platform/linux/DBusSingleInstance.h"

#include "platform/Dispatch.h"
#include "platform/HelperLink.h"
#include "platform/PlatformLog.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
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
    if (m_lockFd >= 0)
        ::close(m_lockFd);
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
        if (!lockDisplay())
            return false;
        qCInfo(lcPlatform) << "SingleInstance: no session bus; a lock file keeps this the one copy on the display";
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

bool DBusSingleInstance::lockDisplay()
{
    if (m_lockFd >= 0)
        return true;
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QLatin1Char('/') +
                 QLatin1String(kMainId);
    QDir().mkpath(folder);
    QString display = qEnvironmentVariable("DISPLAY");
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QByteArray path =
        QFile::encodeName(folder + QStringLiteral("/%1%2.lock").arg(QLatin1String(kMainId), display));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        qCWarning(lcPlatform).noquote() << "SingleInstance: cannot open the lock file" << path << "; running anyway";
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
}

bool DBusSingleInstance::handOver(const QStringList &arguments)
{
    // Without a bus the running copy cannot be reached; the caller says so.
    if (!m_bus.isConnected())
        return false;
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
