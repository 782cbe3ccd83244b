#include "remote/SocketQueue.h"

#include "foundation/InkoraLog.h"

#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace inkora {

namespace {
constexpr std::uint64_t kWakeId = 0; // watch ids start at 1
} // namespace

struct SocketQueue::State
{
    struct Watch
    {
        int fd = -1;
        int interest = 0;
        bool registered = false; // in the epoll set
        std::shared_ptr<ReadyHandler> handler;
    };

    explicit State(const QString &label);
    ~State();
    void run();
    void runBlocks();
    void wake();

    const QString label;
    int epoll = -1;
    int wakeFd = -1;
    std::mutex mutex;
    std::condition_variable wakeWithoutEpoll;
    std::deque<platform::Block> blocks;
    bool sleeping = false;
    bool stopping = false;
    std::unordered_map<WatchId, Watch> watches; // queue thread only
    WatchId nextWatch = 1;
};

namespace {
thread_local const SocketQueue::State *t_current = nullptr;
} // namespace

SocketQueue::State::State(const QString &label) : label(label)
{
    epoll = epoll_create1(EPOLL_CLOEXEC);
    wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll < 0 || wakeFd < 0) {
        qCWarning(lcRemote) << "SocketQueue: cannot make its descriptors:" << std::strerror(errno)
                            << "; blocks still run, sockets are never ready";
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = kWakeId;
    epoll_ctl(epoll, EPOLL_CTL_ADD, wakeFd, &event);
}

SocketQueue::State::~State()
{
    if (wakeFd >= 0)
        close(wakeFd);
    if (epoll >= 0)
        close(epoll);
}

void SocketQueue::State::wake()
{
    if (wakeFd < 0 || epoll < 0) {
        wakeWithoutEpoll.notify_one();
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd, &one, sizeof(one));
}

void SocketQueue::State::runBlocks()
{
    std::deque<platform::Block> ready;
    {
        std::lock_guard lock(mutex);
        ready.swap(blocks);
    }
    for (auto &block : ready)
        block();
}

void SocketQueue::State::run()
{
    t_current = this;
    std::array<epoll_event, 32> events{};
    for (;;) {
        runBlocks();
        int timeout = 0;
        {
            std::unique_lock lock(mutex);
            if (blocks.empty()) {
                if (stopping)
                    break;
                if (epoll < 0 || wakeFd < 0) {
                    // Without epoll only blocks can run; wait for the next one.
                    wakeWithoutEpoll.wait(lock, [&] { return stopping || !blocks.empty(); });
                    continue;
                }
                timeout = -1;
                sleeping = true;
            }
        }
        const int n = epoll_wait(epoll, events.data(), static_cast<int>(events.size()), timeout);
        {
            std::lock_guard lock(mutex);
            sleeping = false;
        }
        for (int i = 0; i < n; ++i) {
            const std::uint64_t id = events[i].data.u64;
            if (id == kWakeId) {
                std::uint64_t count = 0;
                [[maybe_unused]] const auto got = read(wakeFd, &count, sizeof(count));
                continue;
            }
            // A handler may have removed this watch, or any other, earlier in the batch.
            const auto it = watches.find(id);
            if (it == watches.end())
                continue;
            const bool error = events[i].events & (EPOLLERR | EPOLLHUP);
            int ready = 0;
            if ((events[i].events & EPOLLIN) || error)
                ready |= Readable;
            if ((events[i].events & EPOLLOUT) || error)
                ready |= Writable;
            ready &= it->second.interest;
            if (ready == 0)
                continue;
            const auto handler = it->second.handler; // the watch may go away while it runs
            (*handler)(ready);
        }
    }
    t_current = nullptr;
}

SocketQueue::SocketQueue(const QString &label) : d(std::make_shared<State>(label))
{
    m_thread = std::thread([state = d] { state->run(); });
}

SocketQueue::~SocketQueue()
{
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    d->wake();
    // The thread runs what is queued, then ends. Let go from inside one of its own blocks, it cannot be waited
    // for; it holds the state until it ends.
    if (m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach();
    else
        m_thread.join();
}

void SocketQueue::async(platform::Block block)
{
    bool sleeping = false;
    {
        std::lock_guard lock(d->mutex);
        d->blocks.push_back(std::move(block));
        sleeping = d->sleeping;
        d->sleeping = false;
    }
    if (sleeping || d->epoll < 0 || d->wakeFd < 0)
        d->wake();
}

void SocketQueue::sync(platform::Block block)
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

bool SocketQueue::isCurrent() const
{
    return t_current == d.get();
}

QString SocketQueue::label() const
{
    return d->label;
}

SocketQueue::WatchId SocketQueue::watch(int fd, ReadyHandler handler)
{
    const WatchId id = d->nextWatch++;
    d->watches.emplace(id, State::Watch{fd, 0, false, std::make_shared<ReadyHandler>(std::move(handler))});
    return id;
}

void SocketQueue::setInterest(WatchId id, int interest)
{
    const auto it = d->watches.find(id);
    if (it == d->watches.end())
        return;
    State::Watch &w = it->second;
    if (w.interest == interest)
        return;
    w.interest = interest;
    if (d->epoll < 0)
        return;
    if (interest == 0) {
        // Out of the set altogether: a pending socket error would otherwise be reported again and again.
        epoll_ctl(d->epoll, EPOLL_CTL_DEL, w.fd, nullptr);
        w.registered = false;
        return;
    }
    epoll_event event{};
    event.events = ((interest & Readable) ? EPOLLIN : 0u) | ((interest & Writable) ? EPOLLOUT : 0u);
    event.data.u64 = id;
    if (epoll_ctl(d->epoll, w.registered ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, w.fd, &event) == 0)
        w.registered = true;
    else
        qCWarning(lcRemote) << "SocketQueue: cannot watch descriptor" << w.fd << ":" << std::strerror(errno);
}

void SocketQueue::unwatch(WatchId id)
{
    const auto it = d->watches.find(id);
    if (it == d->watches.end())
        return;
    if (it->second.registered && d->epoll >= 0)
        epoll_ctl(d->epoll, EPOLL_CTL_DEL, it->second.fd, nullptr);
    d->watches.erase(it);
}

} // namespace inkora
