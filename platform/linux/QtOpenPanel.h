#pragma once

#include "platform/OpenPanel.h"

namespace platform {

/// A Qt file dialog for opening several files, or choosing (and making) a folder.
class QtOpenPanel final : public OpenPanel
{
public:
    [[nodiscard]] QStringList runModal(const Request &request) override;
};

} // namespace platform
