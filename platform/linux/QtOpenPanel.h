#pragma once

#include "platform/OpenPanel.h"

namespace platform {

/// A Qt file dialog that opens existing files or one folder.
class QtOpenPanel final : public OpenPanel
{
public:
    [[nodiscard]] QStringList runModal(const Options &options) override;
};

} // namespace platform
