#pragma once

#include <QString>
#include <QStringList>

namespace platform {

/// The modal panel in which the user picks existing files or a folder.
class OpenPanel
{
public:
    struct Options
    {
        bool canChooseFiles = true;
        bool canChooseDirectories = false;
        bool allowsMultipleSelection = false;
        bool canCreateDirectories = false;
        QString message;          // shown above the listing
        QStringList allowedTypes; // extensions without the dot; empty allows every file
    };

    virtual ~OpenPanel() = default;
    /// The chosen paths; empty when the user cancelled.
    [[nodiscard]] virtual QStringList runModal(const Options &options) = 0;
};

} // namespace platform
