#pragma once

#include "platform/Clock.h"

namespace platform {

/// A clock that moves only when a test advances it; advancing fires the main run loop's due timers in order.
class FakeClock final : public Clock
{
public:
    /// Moves by the step set with setStepPerRead after answering, without firing timers.
    [[nodiscard]] double now() const override
    {
        const double answer = m_now;
        m_now += m_stepPerRead;
        return answer;
    }
    void advance(double seconds);
    /// For loops that read the time per event and run without the event loop: each read moves time on.
    void setStepPerRead(double seconds) { m_stepPerRead = seconds; }

private:
    mutable double m_now = 1000.0; // not 0, so an unset timestamp cannot pass for "now"
    double m_stepPerRead = 0;
};

} // namespace platform
