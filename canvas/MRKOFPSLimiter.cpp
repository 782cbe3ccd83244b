#include "canvas/MRKOFPSLimiter.h"

#include "platform/Clock.h"
#include "platform/Services.h"

std::unique_ptr<MRKOFPSLimiter> MRKOFPSLimiter::limiterWithFPS(double maxFPS)
{
    std::unique_ptr<MRKOFPSLimiter> limiter(new MRKOFPSLimiter);
    limiter->m_startTime = platform::services().clock->now();
    limiter->m_maxFPS = maxFPS;
    return limiter;
}

bool MRKOFPSLimiter::shouldStopWithBlock(const std::function<void()> &block)
{
    const double now = platform::services().clock->now();
    m_currentTime = now;
    const double dt = now - m_startTime;
    if (m_dtArray[0] == 0) {
        m_dtArray[0] = dt;
        updateStartTime();
        return false;
    }
    m_dtArray[1] = m_dtArray[0];
    m_dtArray[0] = dt;
    double sum = 0;
    for (double interval : m_dtArray)
        sum += interval;
    const double average = sum / kDtCount;
    const float rate = average != 0 ? float(1.0 / average) : 0.0f;
    if (average == 0 || !(rate > 0) || !(m_maxFPS > 0) || !(double(rate) > m_maxFPS)) {
        updateStartTime();
        return false;
    }
    if (block)
        block();
    return true;
}
