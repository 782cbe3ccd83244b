#pragma once

#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QObject;

namespace platform {

using Block = std::function<void()>;

/// A queue of blocks: the main queue (run by the Qt event loop on the main thread), the global concurrent queue
/// (a thread pool) or a private serial queue (one thread of its own).
class DispatchQueue
{
public:
    virtual ~DispatchQueue() = default;

    static DispatchQueue &main();
    static DispatchQueue &global();
    [[nodiscard]] static std::shared_ptr<DispatchQueue> createSerial(const QString &label);

    virtual void async(Block block) = 0;
    /// Runs the block and waits for it; on the queue's own thread it runs inline.
    virtual void sync(Block block) = 0;
    [[nodiscard]] virtual bool isCurrent() const = 0;
    /// Runs the block on this queue after the delay, in seconds, measured by the media clock.
    void after(double seconds, Block block);
};

/// Runs every block queued on the main queue, including blocks queued while draining. Main thread only.
void drainMainQueue();
[[nodiscard]] bool isMainThread();

/// The main thread's timers and delayed performs, measured by the media clock.
/// Default-mode entries wait while a nested tracking loop runs; common-mode entries fire in every mode.
class RunLoop
{
public:
    enum Mode : int { DefaultMode = 1, EventTrackingMode = 2, CommonModes = DefaultMode | EventTrackingMode };
    using TimerId = std::uint64_t;

    static RunLoop &main();

    /// Schedules a block on the main thread; `interval` > 0 repeats it. Thread-safe.
    TimerId schedule(double delay, Block block, int modes = CommonModes, double interval = 0);
    void cancel(TimerId id);

    /// A delayed perform tagged by its target and name, default mode only; dropped when the target is gone.
    TimerId performAfterDelay(QObject *target, const QString &name, double delay, Block block);
    void cancelPreviousPerformRequests(const QObject *target);
    void cancelPreviousPerformRequests(const QObject *target, const QString &name);
    [[nodiscard]] bool hasPerformRequest(const QObject *target, const QString &name) const;

    [[nodiscard]] Mode currentMode() const;
    void pushMode(Mode mode);
    void popMode();

    /// Earliest fire time among entries that may fire in the current mode, or +infinity.
    [[nodiscard]] double nextFireTime() const;
    /// Fires every entry due at the clock's now that may fire in the current mode, in time order.
    void fireDueTimers();
    /// With a real clock the run loop arms a Qt timer; a fake clock fires timers when it is advanced.
    void setAutoFire(bool autoFire);

    struct Private;

private:
    RunLoop();
    ~RunLoop();
    std::unique_ptr<Private> d;
};

/// A repeating timer source that runs its handler on a queue; starts suspended, as its original does.
class DispatchTimer
{
public:
    DispatchTimer(DispatchQueue &queue, double interval, Block handler);
    ~DispatchTimer();
    DispatchTimer(const DispatchTimer &) = delete;
    DispatchTimer &operator=(const DispatchTimer &) = delete;

    void resume();
    void suspend();
    void cancel();
    [[nodiscard]] bool isRunning() const { return m_running; }

private:
    void arm();

    DispatchQueue &m_queue; // not owned; queues live as long as their users
    double m_interval = 0;  // seconds
    std::shared_ptr<Block> m_handler;
    RunLoop::TimerId m_timer = 0;
    bool m_running = false;
    bool m_cancelled = false;
};

} // namespace platform
