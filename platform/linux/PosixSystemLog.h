#pragma once

#include "platform/SystemLog.h"

#include <QString>

namespace platform {

/// syslog(3) under the program's name. When INKORA_SYSTEM_LOG_COPY names a file, every line is also appended
/// there, so that tests of a started program can read its notices.
class PosixSystemLog final : public SystemLog
{
public:
    PosixSystemLog();
    ~PosixSystemLog() override;

    void notice(const QString &message) override;

private:
    QByteArray m_ident; // syslog keeps the pointer
    QString m_copyPath;
};

} // namespace platform
