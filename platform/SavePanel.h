#pragma once

#include <QString>
#include <QStringList>

namespace platform {

/// The modal panel in which the user picks where a file is saved.
class SavePanel
{
public:
    virtual ~SavePanel() = default;
    /// Runs the panel with a proposed file name (without extension) and the allowed extensions (without the dot);
    /// returns the chosen path, or an empty string when the user cancelled.
    [[nodiscard]] virtual QString runModal(const QString &proposedName, const QStringList &allowedTypes) = 0;
    /// The same with a check box titled `checkBoxTitle` below the choices; `checked` holds its state in and out.
    [[nodiscard]] virtual QString runModalWithCheckBox(const QString &proposedName, const QStringList &allowedTypes,
                                                       const QString &checkBoxTitle, bool &checked) = 0;
};

} // namespace platform
