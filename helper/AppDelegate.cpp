#include "helper/AppDelegate.h"

#include "helper/HelperAdaptor.h"
#include "helper/HelperLog.h"
#include "helper/MRKOShowController.h"
#include "platform/Dispatch.h"
#include "platform/HelperLink.h"
#include "platform/LoginItem.h"
#include "platform/Services.h"
#include "platform/SystemLog.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace helper {

using namespace platform::helperlink;

AppDelegate::AppDelegate(const QDBusConnection &bus, const QString &ownExecutable, uint userId, QObject *parent)
    : QObject(parent), m_bus(bus), m_ownExecutable(ownExecutable), m_userId(userId)
{}

AppDelegate::~AppDelegate()
{
    m_bus.disconnect(QString(), QString::fromLatin1(kNotificationPath), QString::fromLatin1(kNotificationInterface),
                     QString::fromLatin1(kTerminateHelperNotification), this,
                     SLOT(terminateNotification(QDBusMessage)));
    if (m_listening) {
        m_bus.unregisterObject(QString::fromLatin1(kHelperObjectPath));
        m_bus.unregisterService(QString::fromLatin1(kHelperId));
    }
}

void AppDelegate::applicationDidFinishLaunching()
{
    const bool running = isMainApplicationRunning();
    // Observed whether or not the main program runs: it may quit us later.
    if (!m_bus.connect(QString(), QString::fromLatin1(kNotificationPath), QString::fromLatin1(kNotificationInterface),
                       QString::fromLatin1(kTerminateHelperNotification), this,
                       SLOT(terminateNotification(QDBusMessage))))
        qCWarning(lcHelper) << "applicationDidFinishLaunching: cannot observe the quit notification;"
                            << m_bus.lastError().message();
    if (!running)
        launchMainApplication();
    installListener();
}

bool AppDelegate::installListener()
{
    if (!m_bus.isConnected()) {
        qCWarning(lcHelper) << "installListener: no session bus; the helper cannot be reached";
        return false;
    }
    if (m_listening) {
        m_bus.unregisterObject(QString::fromLatin1(kHelperObjectPath));
        m_bus.unregisterService(QString::fromLatin1(kHelperId));
        m_listening = false;
    }
    if (!m_listener)
        m_listener = new HelperAdaptor(this); // child
    if (!m_bus.registerObject(QString::fromLatin1(kHelperObjectPath), this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcHelper) << "installListener: cannot export the helper object;" << m_bus.lastError().message();
        return false;
    }
    if (!m_bus.registerService(QString::fromLatin1(kHelperId))) {
        qCWarning(lcHelper) << "installListener: the name" << kHelperId << "is taken;" << m_bus.lastError().message();
        m_bus.unregisterObject(QString::fromLatin1(kHelperObjectPath));
        return false;
    }
    m_listening = true;
    return true;
}

bool AppDelegate::listenerShouldAcceptNewConnection(const QDBusMessage &message)
{
    if (!runsUnderOurUser(message.service()))
        return false;
    m_proxy = message.service();
    return true;
}

bool AppDelegate::runsUnderOurUser(const QString &peer) const
{
    const QDBusReply<uint> uid = m_bus.interface() ? m_bus.interface()->serviceUid(peer) : QDBusReply<uint>();
    if (!uid.isValid()) {
        qCWarning(lcHelper).noquote() << "runsUnderOurUser: cannot tell the user of caller" << peer
                                      << "(" + uid.error().message() + "); refused";
        return false;
    }
    if (uid.value() != m_userId) {
        qCWarning(lcHelper).noquote() << "runsUnderOurUser: caller" << peer << "runs under user" << uid.value() << "not"
                                      << m_userId << "; refused";
        return false;
    }
    return true;
}

void AppDelegate::killApp()
{
    QCoreApplication::quit();
}

void AppDelegate::showToolForToolType(std::uint64_t toolType)
{
    platform::DispatchQueue::main().async(
        [toolType] { MRKOShowController::sharedShow()->showToolForToolType(toolType); });
}

void AppDelegate::showDissolveMode(std::uint64_t mode)
{
    platform::DispatchQueue::main().async([mode] { MRKOShowController::sharedShow()->showDissolveMode(mode); });
}

void AppDelegate::getVersionWithReply(const std::function<void(const QString &)> &reply) const
{
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QStringLiteral("(null)");
    reply(QStringLiteral("Inkora Helper Version: %1").arg(version));
}

QString AppDelegate::mainApplicationPath(const QString &helperExecutable)
{
    QString path = platform::bundlePathForExecutable(helperExecutable);
    for (int i = 0; i < 4; ++i)
        path = QFileInfo(path).path();
    return path;
}

void AppDelegate::terminateNotification(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    // The poster is not asked for its user: posting is often its last act, and it may be gone already.
    if (!arguments.isEmpty() && arguments.first().toString() == QString::fromLatin1(kMainId))
        killApp();
}

bool AppDelegate::isMainApplicationRunning() const
{
    return m_bus.isConnected() && m_bus.interface() &&
           m_bus.interface()->isServiceRegistered(QString::fromLatin1(kMainId)).value();
}

void AppDelegate::launchMainApplication()
{
    const QString path = mainApplicationPath(m_ownExecutable);
    platform::services().systemLog->notice(QStringLiteral("Launch Inkora at login"));
    // A bundle folder is opened through its executable; anything else is started as it is.
    const QString program = QFileInfo(path).isDir() ? platform::executableForBundle(path) : path;
    // X11 has no activation to ask about at launch: a started program counts as launched.
    const bool started = QProcess::startDetached(program, {});
    platform::services().systemLog->notice(
        QStringLiteral("Inkora Launched using Helper. isActive - %1").arg(started ? 1 : 0));
}

} // namespace helper
