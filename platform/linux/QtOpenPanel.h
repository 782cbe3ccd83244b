#pragma once

#include "platform/OpenPanel.h"

namespace platform {

/// A Qt file dialog that picks existing files or one folder.
class QtOpenPanel final : public OpenPanel
{
public:
    [[nodiscard]] QStringList runModal(const Request &request) override;
};

} // namespace platform
