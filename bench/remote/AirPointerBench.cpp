// Figures for the air pointer: one tick with its ball move and stroke segment on a 3840 x 2160 display at scale 2,
// and the pointer ticking while motion samples flood in over loopback.
#include "canvas/MRKODraw.h"
#include "platform/Dispatch.h"
#include "remote/GCDAsyncUdpSocket.h"
#include "remote/GCDAsyncUdpSocketDelegate.h"
#include "remote/MRKOPositionController.h"
#include "remote/RemoteDatagram.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr QSizeF kDisplay(1920, 1080); // points: 3840 x 2160 pixels at scale 2
constexpr double kScale = 2.0;

double seconds(Clock::time_point t)
{
    return std::chrono::duration<double>(t.time_since_epoch()).count();
}

double threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1))];
}

// Notes when each ball move lands: the ticks' own rhythm.
class TimedCanvas final : public MRKODraw
{
public:
    using MRKODraw::MRKODraw;
    void setBallPosition(QPointF point) override
    {
        MRKODraw::setBallPosition(point);
        moves.push_back(seconds(Clock::now()));
    }
    std::vector<double> moves;
};

// A tick at a new angle, then its ball move and the stroke segment to it, as the main queue runs them.
void BM_TickWithBallMoveAndStrokeSegment(benchmark::State &state)
{
    QWidget parent;
    parent.resize(kDisplay.toSize());
    TimedCanvas canvas(QRectF(QPointF(0, 0), kDisplay), kScale, &parent);
    MRKOPositionController &pointer = MRKOPositionController::sharedController();
    pointer.setView(&canvas);
    pointer.startUpdates(); // its timer never fires here: the loop below is the clock
    pointer.drawStart();
    int tick = 0;
    for (auto _ : state) {
        // A sweep over most of the display, about 4 points per tick.
        pointer.setPitchAndYaw(0.15 * std::sin(tick * 0.01), 0.3 * std::cos(tick * 0.013));
        pointer.timerTick();
        platform::drainMainQueue();
        if (++tick % 500 == 0) {
            state.PauseTiming();
            pointer.drawEndIfNeeded();
            pointer.drawStart();
            state.ResumeTiming();
        }
    }
    pointer.stopUpdates();
    pointer.setView(nullptr);
}
BENCHMARK(BM_TickWithBallMoveAndStrokeSegment)->Unit(benchmark::kMicrosecond);

// The remote's motion path: a 4-byte sample becomes the pointer's newest angles.
class MotionReceiver final : public GCDAsyncUdpSocketDelegate
{
public:
    void udpSocketDidReceiveDataFromAddressWithFilterContext(GCDAsyncUdpSocket *, const QByteArray &data,
                                                             const QByteArray &, const QVariant &) override
    {
        const auto received = inkora::RemoteDatagram::parse(data);
        if (received.kind == inkora::RemoteDatagram::Received::Motion)
            MRKOPositionController::sharedController().setPitchAndYaw(received.pitch, received.yaw);
        ++count;
        maxPending = std::max(maxPending, MRKOPositionController::sharedController().pendingBallMoves());
    }
    int count = 0;
    int maxPending = 0;
};

QByteArray loopback(quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return {reinterpret_cast<const char *>(&a), sizeof(a)};
}

// Two seconds of motion samples at the rate while the pointer ticks every 10 ms and drags a stroke.
void BM_TicksDuringMotionFlood(benchmark::State &state)
{
    const int rate = int(state.range(0));
    constexpr double kRun = 2.0; // seconds
    double lateness99 = 0, latenessMax = 0, cpu = 0, pending = 0, received = 0, ticks = 0;
    for (auto _ : state) {
        QWidget parent;
        parent.resize(kDisplay.toSize());
        TimedCanvas canvas(QRectF(QPointF(0, 0), kDisplay), kScale, &parent);
        MRKOPositionController &pointer = MRKOPositionController::sharedController();
        pointer.setView(&canvas);
        MotionReceiver receiver;
        GCDAsyncUdpSocket sock(&receiver, &platform::DispatchQueue::main());
        if (!sock.bindToAddressError(loopback(0)) || !sock.beginReceiving()) {
            state.SkipWithError("cannot bind on loopback");
            return;
        }
        const QByteArray to = loopback(sock.localPort());
        std::atomic<bool> stop{false};
        std::thread sender([&] {
            const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            const auto start = Clock::now();
            for (int i = 0; !stop; ++i) {
                std::this_thread::sleep_until(start + std::chrono::nanoseconds(std::int64_t(i) * 1'000'000'000 / rate));
                const qint16 sample[2] = {qint16(1000 * std::sin(i * 0.001)), qint16(2000 * std::cos(i * 0.0013))};
                ::sendto(fd, sample, sizeof(sample), 0, reinterpret_cast<const sockaddr *>(to.constData()),
                         sizeof(sockaddr_in));
            }
            ::close(fd);
        });
        pointer.startUpdates();
        pointer.drawStart();
        const double cpuBefore = threadCpu();
        const auto wallBefore = Clock::now();
        const QDeadlineTimer deadline(int(kRun * 1000));
        QTimer wake;
        wake.start(5);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
        cpu = 100.0 * (threadCpu() - cpuBefore) / wall;
        stop = true;
        sender.join();
        pointer.stopUpdates();
        pointer.setView(nullptr);

        std::vector<double> lateness;
        for (size_t i = 1; i < canvas.moves.size(); ++i)
            lateness.push_back(std::max(0.0, (canvas.moves[i] - canvas.moves[i - 1] - 0.01) * 1000.0));
        lateness99 = percentile(lateness, 0.99);
        latenessMax = percentile(lateness, 1.0);
        pending = receiver.maxPending;
        received = receiver.count;
        ticks = double(canvas.moves.size());
    }
    state.counters["tick_lateness_p99_ms"] = lateness99;
    state.counters["tick_lateness_max_ms"] = latenessMax;
    state.counters["main_thread_cpu_pct"] = cpu;
    state.counters["max_pending_ball_moves"] = pending;
    state.counters["samples_handled"] = received;
    state.counters["ticks"] = ticks;
}
BENCHMARK(BM_TicksDuringMotionFlood)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
