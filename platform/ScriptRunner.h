#pragma once

#include <QImage>
#include <QString>

#include <functional>

namespace platform {

/// Runs automation scripts in other applications and tells which of them are installed and running. Where the
/// desktop has no such runner the backend reports every application absent and runs nothing.
class ScriptRunner
{
public:
    /// The result codes of the permission test.
    enum ResultCode : int { NoError = 0, NotPermitted = -1743, ConsentRequired = -1744, ProcessNotFound = -600 };

    virtual ~ScriptRunner() = default;

    [[nodiscard]] virtual bool isAvailable() const = 0;
    /// The application's icon; a null image while it is not installed.
    [[nodiscard]] virtual QImage iconForApplication(const QString &bundleIdentifier) const = 0;
    [[nodiscard]] virtual bool isRunning(const QString &bundleIdentifier) const = 0;
    /// Main thread: called whenever an application launches (true) or terminates (false).
    virtual void setRunningChangedHandler(std::function<void(const QString &bundleIdentifier, bool running)>) = 0;
    /// Whether scripts may drive the application, asking the user first when `askUser`. Any thread; may block.
    [[nodiscard]] virtual int permissionResultCode(const QString &bundleIdentifier, bool askUser) = 0;
    /// Compiles and runs a script; its result is not kept. Any thread; may block.
    virtual bool runScript(const QString &source) = 0;
    /// Opens the desktop's settings page where the permission is granted.
    virtual void openPrivacySettings() = 0;
};

} // namespace platform
