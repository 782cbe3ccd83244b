#pragma once

#include <atomic>
#include <limits>
#include <memory>

namespace platform {
class DispatchQueue;
class DispatchTimer;
} // namespace platform

/// The process-wide smoother of pen and trackpad pressure: pointer loops feed it raw pressure, a 60 Hz timer on
/// its own serial queue pulls the smoothed value towards it, and brush widths follow the smoothed value.
/// Timer states: absent -> (makeFilter) suspended -> (startFilter) running <-> (stopFilter) suspended ->
/// (removeFilter) absent. The timer is touched from the main thread only; the pressures from both sides.
class MRKOLowpassFilter final
{
public:
    /// What `pressureHolder` holds when no pressure event is waiting for the next drag.
    static constexpr double kNothingHeld = std::numeric_limits<double>::lowest();

    static MRKOLowpassFilter &sharedFilter();
    /// The serial queue the smoothing timer runs on, made once.
    static platform::DispatchQueue &sharedFilterQueue();

    void makeFilter();
    void removeFilter();
    /// Both pressures become 1.0 and a new suspended timer replaces any old one.
    void makeSuspendedTimer();
    void startFilter();
    void stopFilter();
    void resetPressureHolder();
    [[nodiscard]] bool hasTimer() const { return m_timer != nullptr; }
    [[nodiscard]] bool isRunning() const { return m_running; }

    /// The latest raw pressure, 0...1.
    [[nodiscard]] double pressure() const { return m_pressure.load(std::memory_order_relaxed); }
    void setPressure(double pressure) { m_pressure.store(pressure, std::memory_order_relaxed); }
    /// The smoothed pressure.
    [[nodiscard]] double lastPressure() const { return m_lastPressure.load(std::memory_order_relaxed); }
    void setLastPressure(double pressure) { m_lastPressure.store(pressure, std::memory_order_relaxed); }
    /// A raw pressure from a pressure event, held until the next drag reads it; kNothingHeld when none.
    [[nodiscard]] double pressureHolder() const { return m_pressureHolder.load(std::memory_order_relaxed); }
    void setPressureHolder(double pressure) { m_pressureHolder.store(pressure, std::memory_order_relaxed); }

    /// One smoothing step, as the timer runs it: does nothing while pen pressure is off.
    void smoothingStep();

private:
    MRKOLowpassFilter();
    ~MRKOLowpassFilter();

    // Plain values shared with the filter queue; a stale read changes one segment's width at most.
    std::atomic<double> m_pressure = 1.0;
    std::atomic<double> m_lastPressure = 1.0;
    std::atomic<double> m_pressureHolder = kNothingHeld;
    std::unique_ptr<platform::DispatchTimer> m_timer;
    bool m_running = false;
};
