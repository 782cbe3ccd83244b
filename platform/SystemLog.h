#pragma once

#include <QString>

namespace platform {

/// The system log, for notices that an administrator reads rather than a developer.
class SystemLog
{
public:
    virtual ~SystemLog() = default;
    /// Writes one line at notice priority.
    virtual void notice(const QString &message) = 0;
};

} // namespace platform
