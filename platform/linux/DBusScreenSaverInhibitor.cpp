#include "platform/linux/DBusScreenSaverInhibitor.h"

#include "platform/PlatformLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

QDBusMessage call(QDBusConnection &bus, const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    message.setArguments(arguments);
    // A desktop that does not answer soon has no screen saver to hold off.
    return bus.call(message, QDBus::Block, 2000);
}

} // namespace

DBusScreenSaverInhibitor::DBusScreenSaverInhibitor(const QDBusConnection &bus) : m_bus(bus) {}

std::optional<quint32> DBusScreenSaverInhibitor::inhibit(const QString &applicationName, const QString &reason)
{
    if (!m_bus.isConnected()) {
        qCWarning(lcPlatform) << "inhibit: no session bus; the display may sleep";
        return std::nullopt;
    }
    const QDBusReply<quint32> reply = call(m_bus, QStringLiteral("Inhibit"), {applicationName, reason});
    if (!reply.isValid()) {
        qCWarning(lcPlatform).noquote() << "inhibit: the screen saver service refused (" + reply.error().message() +
                                               "); the display may sleep";
        return std::nullopt;
    }
    return reply.value();
}

bool DBusScreenSaverInhibitor::unInhibit(quint32 cookie)
{
    if (!m_bus.isConnected())
        return false;
    const QDBusMessage reply = call(m_bus, QStringLiteral("UnInhibit"), {cookie});
    if (reply.type() == QDBusMessage::ErrorMessage) {
        qCWarning(lcPlatform).noquote() << "unInhibit:" << reply.errorMessage();
        return false;
    }
    return true;
}

} // namespace platform
