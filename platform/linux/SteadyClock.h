#pragma once

#include "platform/Clock.h"

namespace platform {

/// Monotonic time since an arbitrary start, in seconds.
class SteadyClock final : public Clock
{
public:
    [[nodiscard]] double now() const override;
};

} // namespace platform
