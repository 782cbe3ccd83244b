#include "tests/support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QTest>

PrivateBus::PrivateBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--print-address=1"), QStringLiteral("--address=unix:tmpdir=/tmp")});
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
    return QTest::qWaitFor([&] { return probe.interface()->isServiceRegistered(service).value() == owned; }, 10000);
}
