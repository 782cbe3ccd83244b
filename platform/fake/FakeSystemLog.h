#pragma once

#include "platform/SystemLog.h"

#include <QStringList>

namespace platform {

/// Keeps the notices in memory.
class FakeSystemLog final : public SystemLog
{
public:
    void notice(const QString &message) override { notices.append(message); }

    QStringList notices;
};

} // namespace platform
