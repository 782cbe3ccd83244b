#pragma once

#include "platform/OpenPanel.h"

#include <QList>

namespace platform {

/// Answers with scripted paths (empty: the user cancels) and records each request.
class FakeOpenPanel final : public OpenPanel
{
public:
    [[nodiscard]] QStringList runModal(const Request &request) override
    {
        requests.append(request);
        return answer;
    }

    QStringList answer;
    QList<Request> requests;
};

} // namespace platform
