#pragma once

#include "platform/SavePanel.h"

namespace platform {

/// A Qt file dialog in save mode; the chosen path gets the first allowed extension when it has none of them.
class QtSavePanel final : public SavePanel
{
public:
    [[nodiscard]] QString runModal(const QString &proposedName, const QStringList &allowedTypes) override;
    [[nodiscard]] QString runModalWithCheckBox(const QString &proposedName, const QStringList &allowedTypes,
                                               const QString &checkBoxTitle, bool &checked) override;
};

} // namespace platform
