#include "platform/fake/FakeClock.h"

#include "platform/Dispatch.h"

namespace platform {

void FakeClock::advance(double seconds)
{
    // Fire in steps so that timers scheduled by a firing timer also fall due in order.
    const double end = m_now + seconds;
    for (;;) {
        const double next = RunLoop::main().nextFireTime();
        if (next > end)
            break;
        if (next > m_now)
            m_now = next;
        RunLoop::main().fireDueTimers();
    }
    m_now = end;
    RunLoop::main().fireDueTimers();
}

} // namespace platform
