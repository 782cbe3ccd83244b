#pragma once

#include <QString>
#include <QStringList>

namespace platform {

/// The modal panel in which the user picks files to open or a folder to put files into.
class OpenPanel
{
public:
    enum class Mode : int { Files = 0, Directory = 1 };

    struct Request
    {
        Mode mode = Mode::Files;
        /// Extensions without the dot; files of other kinds are not offered.
        QStringList allowedTypes;
        /// Shown above the file list.
        QString message;
    };

    virtual ~OpenPanel() = default;
    /// Runs the panel; the chosen paths (one folder in directory mode, one or more files otherwise), empty when
    /// the user cancelled.
    [[nodiscard]] virtual QStringList runModal(const Request &request) = 0;
};

} // namespace platform
