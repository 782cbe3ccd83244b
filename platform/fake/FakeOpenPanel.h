#pragma once

#include "platform/OpenPanel.h"

#include <QList>

namespace platform {

/// Answers with scripted paths (empty: the user cancels) and records the options of each panel.
class FakeOpenPanel final : public OpenPanel
{
public:
    [[nodiscard]] QStringList runModal(const Options &options) override
    {
        requests.append(options);
        return answer;
    }

    QStringList answer;
    QList<Options> requests;
};

} // namespace platform
