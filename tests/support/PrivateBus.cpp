#include "tests/support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <QTest>

namespace {

// The stock session configuration without its service directories.
constexpr char kConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateBus::PrivateBus()
{
    if (!m_config.isValid())
        return;
    const QString config = m_config.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(kConfig) < 0)
        return;
    file.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                    QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(10000))
        return;
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        m_daemon.waitForFinished(10000);
    }
}

QDBusConnection PrivateBus::connect(const QString &name)
{
    const QString unique = name + QLatin1Char('@') + m_address;
    m_connections.append(unique);
    return QDBusConnection::connectToBus(m_address, unique);
}

bool PrivateBus::waitForService(const QString &service, bool owned)
{
    QDBusConnection probe = connect(QStringLiteral("probe"));
    return QTest::qWaitFor([&] { return probe.interface()->isServiceRegistered(service).value() == owned; }, 60000);
}
