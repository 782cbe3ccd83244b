#include "platform/linux/NullScriptRunner.h"

#include "platform/PlatformLog.h"

namespace platform {

bool NullScriptRunner::runScript(const QString &)
{
    if (!m_logged.exchange(true))
        qCInfo(lcPlatform) << "runScript: this desktop has no script runner; scripts are not run";
    return false;
}

void NullScriptRunner::openPrivacySettings()
{
    qCInfo(lcPlatform) << "openPrivacySettings: this desktop has no automation permissions to open";
}

} // namespace platform
