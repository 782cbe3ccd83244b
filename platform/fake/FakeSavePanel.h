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
    };

    [[nodiscard]] QString runModal(const QString &proposedName, const QStringList &allowedTypes) override
    {
        requests.append({proposedName, allowedTypes});
        return answer;
    }

    QString answer;
    QList<Request> requests;
};

} // namespace platform
