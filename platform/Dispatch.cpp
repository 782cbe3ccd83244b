#include "platform/Dispatch.h"

#include "platform/Clock.h"
#include "platform/PlatformLog.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <limits>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

thread_local const DispatchQueue *t_currentQueue = nullptr;

class QueueScope
{
public:
    explicit QueueScope(const DispatchQueue *queue) : m_previous(t_currentQueue) { t_currentQueue = queue; }
    ~QueueScope() { t_currentQueue = m_previous; }

private:
    const DispatchQueue *m_previous = nullptr;
};

// Posted to the main thread to run the main queue; one event stands for any number of queued blocks.
class MainQueuePump final : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User) {
            drainMainQueue();
            return true;
        }
        return QObject::event(e);
    }
};

class MainQueue final : public DispatchQueue
{
public:
    void async(Block block) override
    {
        bool post = false;
        {
            std::lock_guard lock(m_mutex);
            m_blocks.push_back(std::move(block));
            post = !m_posted;
            m_posted = true;
        }
        if (post)
            postPump();
    }

    void sync(Block block) override
    {
        if (isMainThread()) {
            block();
            return;
        }
        std::promise<void> done;
        async([&] {
            block();
            done.set_value();
        });
        done.get_future().wait();
    }

    [[nodiscard]] bool isCurrent() const override { return isMainThread(); }

    void drain()
    {
        QueueScope scope(this);
        for (;;) {
            Block block;
            {
                std::lock_guard lock(m_mutex);
                if (m_blocks.empty()) {
                    m_posted = false;
                    return;
                }
                block = std::move(m_blocks.front());
                m_blocks.pop_front();
            }
            block();
        }
    }

private:
    void postPump()
    {
        auto *app = QCoreApplication::instance();
        if (!app)
            return; // drained explicitly until an application exists
        std::call_once(m_pumpOnce, [&] {
            m_pump = std::make_unique<MainQueuePump>();
            m_pump->moveToThread(app->thread());
        });
        QCoreApplication::postEvent(m_pump.get(), new QEvent(QEvent::User));
    }

    std::mutex m_mutex;
    std::deque<Block> m_blocks;
    bool m_posted = false;
    std::once_flag m_pumpOnce;
    std::unique_ptr<MainQueuePump> m_pump;
};

MainQueue &mainQueue();

class GlobalQueue final : public DispatchQueue
{
public:
    GlobalQueue()
    {
        // Background blocks hand back to the main queue, also while the process exits: the main queue is
        // built first so that it is destroyed after this one has waited for them.
        mainQueue();
        m_pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
    }
    ~GlobalQueue() override { m_pool.waitForDone(); }

    void async(Block block) override
    {
        m_pool.start([this, block = std::move(block)] {
            QueueScope scope(this);
            block();
        });
    }

    void sync(Block block) override
    {
        QueueScope scope(this);
        block();
    }

    [[nodiscard]] bool isCurrent() const override { return t_currentQueue == this; }

private:
    QThreadPool m_pool;
};

class SerialQueue final : public DispatchQueue
{
public:
    explicit SerialQueue(const QString &label) : m_state(std::make_shared<State>())
    {
        m_state->label = label;
        // The thread shares the state, so a queue released from one of its own blocks stays sound.
        m_thread = std::thread([state = m_state, self = this] { run(*state, self); });
    }

    ~SerialQueue() override
    {
        {
            std::lock_guard lock(m_state->mutex);
            m_state->stopping = true;
        }
        m_state->wake.notify_all();
        if (m_thread.get_id() == std::this_thread::get_id())
            m_thread.detach(); // the last owner let go from inside a block; the thread ends after it
        else
            m_thread.join();
    }

    void async(Block block) override
    {
        {
            std::lock_guard lock(m_state->mutex);
            m_state->blocks.push_back(std::move(block));
        }
        m_state->wake.notify_one();
    }

    void sync(Block block) override
    {
        if (isCurrent()) {
            block();
            return;
        }
        std::promise<void> done;
        async([&] {
            block();
            done.set_value();
        });
        done.get_future().wait();
    }

    [[nodiscard]] bool isCurrent() const override { return t_currentQueue == this; }

private:
    struct State
    {
        QString label;
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<Block> blocks;
        bool stopping = false;
    };

    static void run(State &state, const SerialQueue *self)
    {
        QueueScope scope(self);
        for (;;) {
            Block block;
            {
                std::unique_lock lock(state.mutex);
                state.wake.wait(lock, [&] { return state.stopping || !state.blocks.empty(); });
                if (state.blocks.empty())
                    return; // stopping, and everything queued has run
                block = std::move(state.blocks.front());
                state.blocks.pop_front();
            }
            block();
        }
    }

    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

MainQueue &mainQueue()
{
    static MainQueue queue;
    return queue;
}

double clockNow()
{
    return services().clock->now();
}

} // namespace

DispatchQueue &DispatchQueue::main()
{
    return mainQueue();
}

DispatchQueue &DispatchQueue::global()
{
    static GlobalQueue queue;
    return queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::createSerial(const QString &label)
{
    return std::make_shared<SerialQueue>(label);
}

void DispatchQueue::after(double seconds, Block block)
{
    if (this == &mainQueue()) {
        RunLoop::main().schedule(seconds, std::move(block));
        return;
    }
    RunLoop::main().schedule(seconds, [this, block = std::move(block)]() mutable { async(std::move(block)); });
}

void drainMainQueue()
{
    mainQueue().drain();
}

bool isMainThread()
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return true; // before the application exists only the main thread runs code
    return QThread::currentThread() == app->thread();
}

// ---------------------------------------------------------------------------------------------------------------

struct RunLoop::Private
{
    struct Entry
    {
        TimerId id = 0;
        double fireTime = 0; // media-clock seconds
        double interval = 0; // seconds; 0 = once
        int modes = CommonModes;
        Block block;
        bool isPerform = false;
        const QObject *target = nullptr; // identity of a delayed perform's target
        QPointer<QObject> guard;         // gone target = dropped perform
        QString name;
    };

    mutable std::recursive_mutex mutex;
    std::map<TimerId, Entry> entries;
    TimerId nextId = 1;
    std::vector<Mode> modes{DefaultMode};
    bool autoFire = true;
    std::unique_ptr<QTimer> qtimer;

    void rearm(RunLoop *self);
};

void RunLoop::Private::rearm(RunLoop *self)
{
    if (!autoFire || !QCoreApplication::instance())
        return;
    if (!isMainThread()) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [self] { self->d->rearm(self); }, Qt::QueuedConnection);
        return;
    }
    if (!qtimer) {
        qtimer = std::make_unique<QTimer>();
        qtimer->setSingleShot(true);
        qtimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(qtimer.get(), &QTimer::timeout, [self] { self->fireDueTimers(); });
    }
    const double next = self->nextFireTime();
    if (next == std::numeric_limits<double>::infinity()) {
        qtimer->stop();
        return;
    }
    const double waitMs = std::max(0.0, (next - clockNow()) * 1000.0);
    qtimer->start(static_cast<int>(std::min(waitMs + 0.5, 24.0 * 3600 * 1000)));
}

RunLoop::RunLoop() : d(std::make_unique<Private>()) {}
RunLoop::~RunLoop() = default;

RunLoop &RunLoop::main()
{
    static RunLoop loop;
    return loop;
}

RunLoop::TimerId RunLoop::schedule(double delay, Block block, int modes, double interval)
{
    std::lock_guard lock(d->mutex);
    Private::Entry e;
    e.id = d->nextId++;
    e.fireTime = clockNow() + std::max(0.0, delay);
    e.interval = interval;
    e.modes = modes;
    e.block = std::move(block);
    const TimerId id = e.id;
    d->entries.emplace(id, std::move(e));
    d->rearm(this);
    return id;
}

void RunLoop::cancel(TimerId id)
{
    std::lock_guard lock(d->mutex);
    d->entries.erase(id);
}

RunLoop::TimerId RunLoop::performAfterDelay(QObject *target, const QString &name, double delay, Block block)
{
    std::lock_guard lock(d->mutex);
    Private::Entry e;
    e.id = d->nextId++;
    e.fireTime = clockNow() + std::max(0.0, delay);
    e.modes = DefaultMode;
    e.block = std::move(block);
    e.isPerform = true;
    e.target = target;
    e.guard = target;
    e.name = name;
    const TimerId id = e.id;
    d->entries.emplace(id, std::move(e));
    d->rearm(this);
    return id;
}

void RunLoop::cancelPreviousPerformRequests(const QObject *target)
{
    std::lock_guard lock(d->mutex);
    std::erase_if(d->entries, [&](const auto &kv) { return kv.second.isPerform && kv.second.target == target; });
}

void RunLoop::cancelPreviousPerformRequests(const QObject *target, const QString &name)
{
    std::lock_guard lock(d->mutex);
    std::erase_if(d->entries, [&](const auto &kv) {
        return kv.second.isPerform && kv.second.target == target && kv.second.name == name;
    });
}

bool RunLoop::hasPerformRequest(const QObject *target, const QString &name) const
{
    std::lock_guard lock(d->mutex);
    return std::any_of(d->entries.begin(), d->entries.end(), [&](const auto &kv) {
        return kv.second.isPerform && kv.second.target == target && kv.second.name == name;
    });
}

RunLoop::Mode RunLoop::currentMode() const
{
    std::lock_guard lock(d->mutex);
    return d->modes.back();
}

void RunLoop::pushMode(Mode mode)
{
    std::lock_guard lock(d->mutex);
    d->modes.push_back(mode);
}

void RunLoop::popMode()
{
    {
        std::lock_guard lock(d->mutex);
        if (d->modes.size() <= 1) {
            qCWarning(lcPlatform) << "popMode: no nested mode to leave";
            return;
        }
        d->modes.pop_back();
    }
    d->rearm(this); // entries that waited for the default mode may be due now
}

double RunLoop::nextFireTime() const
{
    std::lock_guard lock(d->mutex);
    const Mode mode = d->modes.back();
    double next = std::numeric_limits<double>::infinity();
    for (const auto &[id, e] : d->entries) {
        if (e.modes & mode)
            next = std::min(next, e.fireTime);
    }
    return next;
}

void RunLoop::fireDueTimers()
{
    for (;;) {
        Block block;
        {
            std::lock_guard lock(d->mutex);
            const double now = clockNow();
            const Mode mode = d->modes.back();
            auto due = d->entries.end();
            for (auto it = d->entries.begin(); it != d->entries.end(); ++it) {
                if (!(it->second.modes & mode) || it->second.fireTime > now)
                    continue;
                if (due == d->entries.end() || it->second.fireTime < due->second.fireTime)
                    due = it; // map order keeps ties in scheduling order
            }
            if (due == d->entries.end())
                break;
            auto &e = due->second;
            if (e.isPerform && !e.guard) {
                d->entries.erase(due);
                continue;
            }
            if (e.interval > 0) {
                block = e.block;
                e.fireTime = std::max(e.fireTime + e.interval, now);
                if (e.fireTime <= now)
                    e.fireTime = now + e.interval;
            } else {
                block = std::move(e.block);
                d->entries.erase(due);
            }
        }
        block();
    }
    d->rearm(this);
}

void RunLoop::setAutoFire(bool autoFire)
{
    std::lock_guard lock(d->mutex);
    d->autoFire = autoFire;
    if (!autoFire && d->qtimer)
        d->qtimer->stop();
}

// ---------------------------------------------------------------------------------------------------------------

DispatchTimer::DispatchTimer(DispatchQueue &queue, double interval, Block handler)
    : m_queue(queue), m_interval(interval), m_handler(std::make_shared<Block>(std::move(handler)))
{}

DispatchTimer::~DispatchTimer()
{
    cancel();
}

void DispatchTimer::resume()
{
    if (m_cancelled || m_running)
        return;
    m_running = true;
    arm();
}

void DispatchTimer::suspend()
{
    if (!m_running)
        return;
    m_running = false;
    RunLoop::main().cancel(m_timer);
    m_timer = 0;
}

void DispatchTimer::cancel()
{
    suspend();
    m_cancelled = true;
}

void DispatchTimer::arm()
{
    std::weak_ptr<Block> handler = m_handler;
    DispatchQueue *queue = &m_queue;
    m_timer = RunLoop::main().schedule(
        m_interval,
        [handler, queue] {
            if (auto h = handler.lock()) {
                if (queue == &DispatchQueue::main())
                    (*h)();
                else
                    queue->async([handler] {
                        if (auto hh = handler.lock())
                            (*hh)();
                    });
            }
        },
        RunLoop::CommonModes, m_interval);
}

} // namespace platform
