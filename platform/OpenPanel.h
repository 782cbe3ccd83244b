#pragma once

#include <QString>
#include <QStringList>

namespace platform {

/// The modal panel in which the user picks files to open or a folder to write into.
class OpenPanel
{
public:
    struct Request
    {
        QString message;          // shown above the choices
        QStringList allowedTypes; // extensions without the dot; empty allows every file
        bool chooseDirectories = false;
        bool allowsMultipleSelection = false;
        bool canCreateDirectories = false;
    };

    virtual ~OpenPanel() = default;
    /// The chosen paths; empty when the user cancelled.
    [[nodiscard]] virtual QStringList runModal(const Request &request) = 0;
};

} // namespace platform
