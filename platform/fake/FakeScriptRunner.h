#pragma once

#include "platform/ScriptRunner.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <mutex>

namespace platform {

/// Applications are installed, launched and terminated by the test; scripts are recorded word for word and
/// permission answers are scripted per application (NoError by default).
class FakeScriptRunner final : public ScriptRunner
{
public:
    [[nodiscard]] bool isAvailable() const override { return m_available; }
    [[nodiscard]] QImage iconForApplication(const QString &bundleIdentifier) const override;
    [[nodiscard]] bool isRunning(const QString &bundleIdentifier) const override;
    void setRunningChangedHandler(std::function<void(const QString &, bool)> handler) override;
    [[nodiscard]] int permissionResultCode(const QString &bundleIdentifier, bool askUser) override;
    bool runScript(const QString &source) override;
    void openPrivacySettings() override;

    void setAvailable(bool available) { m_available = available; }
    void install(const QString &bundleIdentifier);
    /// Both report to the running-changed handler.
    void launch(const QString &bundleIdentifier);
    void terminate(const QString &bundleIdentifier);
    void setPermissionResultCode(const QString &bundleIdentifier, int code);

    /// Any thread.
    [[nodiscard]] QStringList scripts() const;
    [[nodiscard]] QStringList permissionRequests() const;
    [[nodiscard]] int privacySettingsOpened() const { return m_privacyOpened; }

private:
    mutable std::mutex m_mutex;
    QSet<QString> m_installed;
    QSet<QString> m_running;
    QHash<QString, int> m_codes;
    QStringList m_scripts;
    QStringList m_requests;
    std::function<void(const QString &, bool)> m_handler;
    int m_privacyOpened = 0;
    bool m_available = true;
};

} // namespace platform
