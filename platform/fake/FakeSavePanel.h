#pragma once

#include "platform/SavePanel.h"

namespace platform {

/// Answers with a scripted path (empty: the user cancels) and records what each panel proposed.
class FakeSavePanel final : public SavePanel
{
public:
    struct Request
    {
        QString proposedName;
        QStringList allowedTypes;
        QString checkBoxTitle;
    };

    [[nodiscard]] QString runModal(const QString &proposedName, const QStringList &allowedTypes) override
    {
        requests.append({proposedName, allowedTypes});
        return answer;
    }

    [[nodiscard]] QString runModalWithCheckBox(const QString &proposedName, const QStringList &allowedTypes,
                                               const QString &checkBoxTitle, bool &checked) override
    {
        requests.append({proposedName, allowedTypes, checkBoxTitle});
        checked = checkBoxAnswer;
        return answer;
    }

    QString answer;
    bool checkBoxAnswer = false;
    QList<Request> requests;
};

} // namespace platform
