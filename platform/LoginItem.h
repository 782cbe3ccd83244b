#pragma once

#include <QString>

namespace platform {

/// A program's executable lies in <bundle>/Contents/MacOS/<bundle folder name>.
[[nodiscard]] QString bundlePathForExecutable(const QString &executable);
[[nodiscard]] QString executableForBundle(const QString &bundle);

/// A program started at log-in: an XDG autostart desktop file named after the program's id.
class LoginItem
{
public:
    LoginItem(const QString &identifier, const QString &executable);

    /// $XDG_CONFIG_HOME/autostart/<identifier>.desktop
    [[nodiscard]] QString filePath() const;
    /// Writes or removes the desktop file; false with the reason in `error` when that failed.
    [[nodiscard]] bool setEnabled(bool enabled, QString *error = nullptr);

private:
    QString m_identifier;
    QString m_executable;
};

} // namespace platform
