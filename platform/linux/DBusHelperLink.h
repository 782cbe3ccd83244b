#pragma once

#include "platform/HelperLink.h"

namespace platform {

/// The helper's log-in item and its service on the session bus; without a bus no connection can be made.
class DBusHelperLink final : public HelperLink
{
public:
    /// `mainExecutable` is the main program's path, from which the helper's path follows.
    explicit DBusHelperLink(const QString &mainExecutable);

    [[nodiscard]] bool setLoginItemEnabled(bool enabled, QString *error) override;
    [[nodiscard]] std::shared_ptr<HelperConnection> connectToHelper(QString *error) override;

private:
    QString m_mainExecutable;
};

} // namespace platform
