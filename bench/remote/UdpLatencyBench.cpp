// Figures for 4-byte datagrams on loopback, from the sending thread to the delegate on the main queue.
#include "platform/Dispatch.h"
#include "remote/GCDAsyncUdpSocket.h"
#include "remote/GCDAsyncUdpSocketDelegate.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

double cpuSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Run
{
    explicit Run(int count) : sentAt(static_cast<std::size_t>(count)) {}

    std::vector<std::atomic<std::int64_t>> sentAt; // by sequence number, ns
    std::atomic<int> sent{0};
    std::vector<double> latenciesUs; // arrival on the socket thread to the handler
    std::vector<double> transitUs;   // send to arrival on the socket thread
    int received = 0;
    int maxLag = 0; // sent but not yet handled: bounds what waits in the kernel and in our queue
};

class Receiver final : public GCDAsyncUdpSocketDelegate
{
public:
    explicit Receiver(Run &run) : m_run(run) {}

    void udpSocketDidReceiveDataFromAddressWithFilterContext(GCDAsyncUdpSocket *, const QByteArray &data,
                                                             const QByteArray &, const QVariant &arrivedAt) override
    {
        const std::int64_t now = nowNs();
        quint32 seq = 0;
        if (data.size() != sizeof(seq))
            return;
        std::memcpy(&seq, data.constData(), sizeof(seq));
        if (seq >= m_run.sentAt.size())
            return;
        const std::int64_t arrived = arrivedAt.toLongLong();
        m_run.latenciesUs.push_back(static_cast<double>(now - arrived) / 1000.0);
        m_run.transitUs.push_back(static_cast<double>(arrived - m_run.sentAt[seq].load(std::memory_order_acquire)) /
                                  1000.0);
        ++m_run.received;
        m_run.maxLag = std::max(m_run.maxLag, m_run.sent.load(std::memory_order_relaxed) - m_run.received);
    }

private:
    Run &m_run;
};

QByteArray loopback(quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return QByteArray(reinterpret_cast<const char *>(&a), sizeof(a));
}

// Stamps each datagram as the socket thread reads it: a synchronous filter on the global queue runs right there.
void stampArrival(GCDAsyncUdpSocket &sock)
{
    sock.setReceiveFilterWithQueueIsAsynchronous(
        [](const QByteArray &, const QByteArray &, QVariant *context) {
            *context = static_cast<qlonglong>(nowNs());
            return true;
        },
        &platform::DispatchQueue::global(), false);
}

// Sends `count` datagrams at `rate` per second (0: as fast as it can); answers the thread's CPU seconds.
double sendPaced(Run &run, const QByteArray &to, int count, int rate)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        if (rate > 0)
            std::this_thread::sleep_until(start + std::chrono::nanoseconds(std::int64_t(i) * 1'000'000'000 / rate));
        const quint32 seq = static_cast<quint32>(i);
        run.sentAt[i].store(nowNs(), std::memory_order_release);
        run.sent.fetch_add(1, std::memory_order_relaxed);
        ::sendto(fd, &seq, sizeof(seq), 0, reinterpret_cast<const sockaddr *>(to.constData()), sizeof(sockaddr_in));
    }
    ::close(fd);
    return cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// Runs the Qt event loop, and with it the main queue, until `done` holds or the deadline passes.
void runMainLoop(const std::function<bool()> &done, int deadlineMs)
{
    const QDeadlineTimer deadline(deadlineMs);
    QTimer tick;
    tick.start(20);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    platform::drainMainQueue();
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

// One second of datagrams at the given rate.
void BM_LoopbackDatagramsToMainQueue(benchmark::State &state)
{
    const int rate = static_cast<int>(state.range(0));
    const int count = rate; // one second
    double p50 = 0, p99 = 0, max = 0, transit50 = 0, cpu = 0, lag = 0, dropped = 0, lost = 0;
    for (auto _ : state) {
        Run run(count);
        Receiver receiver(run);
        GCDAsyncUdpSocket sock(&receiver, &platform::DispatchQueue::main());
        if (!sock.bindToAddressError(loopback(0)) || !sock.beginReceiving()) {
            state.SkipWithError("cannot bind on loopback");
            return;
        }
        stampArrival(sock);
        const QByteArray to = loopback(sock.localPort());

        const double cpuBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const auto wallBefore = Clock::now();
        double senderCpu = 0;
        std::thread sender([&] { senderCpu = sendPaced(run, to, count, rate); });
        runMainLoop([&] { return run.received >= count; }, 1000 + count * 1000 / rate + 2000);
        sender.join();
        const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
        const double cpuUsed = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore - senderCpu;

        p50 = percentile(run.latenciesUs, 0.50);
        p99 = percentile(run.latenciesUs, 0.99);
        max = percentile(run.latenciesUs, 1.0);
        transit50 = percentile(run.transitUs, 0.50);
        cpu = 100.0 * cpuUsed / wall;
        lag = run.maxLag;
        dropped = static_cast<double>(sock.droppedReceiveCount());
        lost = count - run.received;
    }
    state.counters["p50_us"] = p50;
    state.counters["p99_us"] = p99;
    state.counters["max_us"] = max;
    state.counters["send_to_arrival_p50_us"] = transit50;
    state.counters["cpu_pct"] = cpu; // socket thread and main thread, of one core
    state.counters["max_lag"] = lag;
    state.counters["dropped"] = dropped;
    state.counters["lost"] = lost;
}
BENCHMARK(BM_LoopbackDatagramsToMainQueue)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A burst sent while the main queue does not run: what waits stays bounded, the surplus is dropped and counted.
void BM_BurstWhileMainQueueStalls(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    double delivered = 0, dropped = 0, lostInKernel = 0;
    for (auto _ : state) {
        Run run(count);
        Receiver receiver(run);
        GCDAsyncUdpSocket sock(&receiver, &platform::DispatchQueue::main());
        if (!sock.bindToAddressError(loopback(0)) || !sock.beginReceiving()) {
            state.SkipWithError("cannot bind on loopback");
            return;
        }
        const QByteArray to = loopback(sock.localPort());
        // Paced so that the kernel's small receive buffer does not overflow before the socket thread reads.
        sendPaced(run, to, count, 20000);
        sock.performBlock([] {});
        runMainLoop([&] { return run.received + static_cast<int>(sock.droppedReceiveCount()) >= count; }, 1000);
        delivered = run.received;
        dropped = static_cast<double>(sock.droppedReceiveCount());
        lostInKernel = count - delivered - dropped;
    }
    state.counters["delivered"] = delivered;
    state.counters["dropped"] = dropped;
    state.counters["lost_in_kernel"] = lostInKernel;
}
BENCHMARK(BM_BurstWhileMainQueueStalls)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
