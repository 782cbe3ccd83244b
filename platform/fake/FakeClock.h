#pragma once

#include "platform/Clock.h"

namespace platform {

/// A clock that moves only when a test advances it; advancing fires the main run loop's due timers in order.
class FakeClock final : public Clock
{
public:
    [[nodiscard]] double now() const override { return m_now; }
    void advance(double seconds);

private:
    double m_now = 1000.0; // not 0, so an unset timestamp cannot pass for "now"
};

} // namespace platform
