#include "platform/linux/PosixSystemLog.h"

#include <QCoreApplication>
#include <QFile>

#include <syslog.h>

namespace platform {

PosixSystemLog::PosixSystemLog()
    : m_ident(QCoreApplication::applicationName().toUtf8()), m_copyPath(qEnvironmentVariable("INKORA_SYSTEM_LOG_COPY"))
{
    openlog(m_ident.isEmpty() ? nullptr : m_ident.constData(), LOG_PID, LOG_USER);
}

PosixSystemLog::~PosixSystemLog()
{
    closelog();
}

void PosixSystemLog::notice(const QString &message)
{
    const QByteArray line = message.toUtf8();
    syslog(LOG_NOTICE, "%s", line.constData());
    if (m_copyPath.isEmpty())
        return;
    QFile copy(m_copyPath);
    if (copy.open(QIODevice::WriteOnly | QIODevice::Append))
        copy.write(line + '\n');
}

} // namespace platform
