#pragma once

#include "platform/ScriptRunner.h"

#include <atomic>

namespace platform {

/// The desktop has no runner for automation scripts: no application counts as installed or running, and no
/// script runs.
class NullScriptRunner final : public ScriptRunner
{
public:
    [[nodiscard]] bool isAvailable() const override { return false; }
    [[nodiscard]] QImage iconForApplication(const QString &) const override { return {}; }
    [[nodiscard]] bool isRunning(const QString &) const override { return false; }
    void setRunningChangedHandler(std::function<void(const QString &, bool)>) override {}
    [[nodiscard]] int permissionResultCode(const QString &, bool) override { return ProcessNotFound; }
    bool runScript(const QString &source) override;
    void openPrivacySettings() override;

private:
    std::atomic<bool> m_logged{false};
};

} // namespace platform
