#pragma once

#include <functional>
#include <memory>

/// Caps how many pointer events per second a loop renders: a loop makes one per press and asks it, for every drag
/// event, whether to skip rendering. The rate is judged from the average of the last two intervals, measured from
/// the last event that was let through.
class MRKOFPSLimiter final
{
public:
    /// A limiter starting now (media time); a rate of 0 or less never stops an event.
    [[nodiscard]] static std::unique_ptr<MRKOFPSLimiter> limiterWithFPS(double maxFPS);

    /// Whether this event comes too fast to render; when it does, `block` runs first. The first query never stops.
    bool shouldStopWithBlock(const std::function<void()> &block);
    void updateStartTime() { m_startTime = m_currentTime; }

    [[nodiscard]] double maxFPS() const { return m_maxFPS; }
    void setMaxFPS(double maxFPS) { m_maxFPS = maxFPS; }

private:
    MRKOFPSLimiter() = default;

    static constexpr int kDtCount = 2;
    double m_dtArray[kDtCount] = {0, 0}; // seconds, newest first
    double m_startTime = 0;              // media time of the last event let through
    double m_currentTime = 0;            // media time of the latest query
    double m_maxFPS = 0;                 // events per second
};
