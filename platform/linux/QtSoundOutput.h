#pragma once

#include "platform/Sound.h"

namespace platform {

/// Samples played through Qt Multimedia on the default audio output.
class QtSoundOutput final : public SoundOutput
{
public:
    /// Null when the system has no audio output.
    [[nodiscard]] static std::unique_ptr<QtSoundOutput> create();
    [[nodiscard]] std::unique_ptr<Sound> soundNamed(const QString &name) override;

private:
    QtSoundOutput() = default;
};

} // namespace platform
