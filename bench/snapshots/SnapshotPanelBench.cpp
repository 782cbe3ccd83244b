// The snapshot panel as a user meets it: opening it on a roll of 1,000 shots whose thumbnails are cached (the time
// until every visible item shows its thumbnail, against the 0.25 s slide, and how many archives were decoded), the
// main thread's frames while scrolling through that roll (p95), and exporting 20 shots of 2880 x 1800 pixels as PNG,
// PSD and PDF (items a second, the main thread's answer to posted work at p99 while it runs, and how many items a
// cancel still lets through).
#include "bench/snapshots/SnapshotBenchSupport.h"
#include "platform/Clock.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/fake/FakeClock.h"
#include "snapshots/MRKOExportMethod.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotCache.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotItem.h"
#include "snapshots/MRKOSnapshotItemView.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/MRKOSnapshotView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace snapshotbench;

constexpr double kFrame = 1.0 / 60; // seconds

platform::FakeClock &fakeClock()
{
    return static_cast<platform::FakeClock &>(*platform::services().clock);
}

/// One frame of the main thread: the fake clock moves a frame on, timers fire, posted work runs, the panel paints.
void frame(QImage &canvas)
{
    fakeClock().advance(kFrame);
    platform::drainMainQueue();
    QApplication::processEvents();
    QPainter painter(&canvas);
    MRKOSnapshotPanel::sharedSnapshotPanel().snapshotView()->render(&painter);
}

bool visibleThumbnailsShown()
{
    MRKOSnapshotCollectionView &view = *MRKOSnapshotPanel::sharedSnapshotPanel().collectionView();
    for (const qint64 index : view.itemsIntersectingVisibleRect()) {
        const MRKOSnapshotItem *item = view.itemAtIndex(index);
        if (!item || item->view().image().isNull())
            return false;
    }
    return true;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

void BM_OpenOn1000CachedShots(benchmark::State &state)
{
    const QString prepared = home(1000, 1000);
    double extra[4] = {};
    for (auto _ : state) {
        report(state, inChild(
                          prepared,
                          [](double *figures) {
                              QImage canvas(1440, 200, QImage::Format_ARGB32_Premultiplied);
                              const double clockStart = platform::services().clock->now();
                              const auto start = Clock::now();
                              MRKOSnapshotManager::showPanel();
                              while (!visibleThumbnailsShown() && since(start) < 10)
                                  frame(canvas);
                              const double seconds = since(start);
                              figures[0] = platform::services().clock->now() - clockStart;   // slide time used
                              figures[1] = double(MRKOSnapshotCache::sharedCache().count()); // archives decoded
                              return seconds;
                          },
                          extra));
        state.counters["slideSecondsUsed"] = extra[0];
        state.counters["archivesDecoded"] = extra[1];
    }
}

void BM_ScrollThrough1000Shots(benchmark::State &state)
{
    const QString prepared = home(1000, 1000);
    double extra[4] = {};
    for (auto _ : state) {
        report(state, inChild(
                          prepared,
                          [](double *figures) {
                              QImage canvas(1440, 200, QImage::Format_ARGB32_Premultiplied);
                              MRKOSnapshotManager::showPanel();
                              for (int i = 0; i < 30; ++i)
                                  frame(canvas);
                              MRKOSnapshotCollectionView &view =
                                  *MRKOSnapshotPanel::sharedSnapshotPanel().collectionView();
                              std::vector<double> frames;
                              const auto start = Clock::now();
                              // 40 points a frame, as a trackpad flick scrolls.
                              for (double x = 0; x < view.maxScrollX() && frames.size() < 2000; x += 40) {
                                  const auto began = Clock::now();
                                  view.setScrollOrigin(QPointF(x, 0));
                                  frame(canvas);
                                  frames.push_back(since(began));
                              }
                              figures[0] = percentile(frames, 0.95) * 1000;
                              figures[1] = double(frames.size());
                              return since(start);
                          },
                          extra));
        state.counters["frameMsP95"] = extra[0];
        state.counters["frames"] = extra[1];
    }
}

/// A record of a ready shot, as the roll hands them to the exports.
class BenchRecord final : public MRKOSnapshotInfoProtocol
{
public:
    explicit BenchRecord(std::shared_ptr<MRKOSnapshot> shot) : m_shot(std::move(shot)) {}
    QImage snapshotImage() override { return {}; }
    QImage quickLookImage() override { return {}; }
    bool isSnapshotImageReady() const override { return false; }
    std::shared_ptr<MRKOSnapshot> snapshot() override { return m_shot; }
    qint64 sequenceType() const override { return 0; }
    QString name() const override { return m_shot->name(); }

private:
    std::shared_ptr<MRKOSnapshot> m_shot;
};

void BM_Export20Shots(benchmark::State &state)
{
    const quint64 method = quint64(state.range(0));
    const QString prepared = home(0, 0);
    double extra[4] = {};
    for (auto _ : state) {
        report(state, inChild(
                          prepared,
                          [method](double *figures) {
                              MRKOSnapshotManager::showPanel();
                              fakeClock().advance(0.3);
                              platform::drainMainQueue();
                              MRKOSnapshotManager::Records records;
                              QStringList paths;
                              QTemporaryDir out;
                              const auto shot = bigShot();
                              for (int i = 0; i < 20; ++i) {
                                  records.push_back(std::make_shared<BenchRecord>(shot));
                                  paths << QDir(out.path()).filePath(QStringLiteral("s%1.x").arg(i));
                              }
                              MRKOSnapshotManager &manager = MRKOSnapshotManager::sharedSnapshotManager();
                              std::atomic<bool> done = false;
                              std::vector<double> latencies;
                              const auto start = Clock::now();
                              manager.saveSnapshotsAsyncToPathsWithMethod(records, paths, method,
                                                                          [&done] { done = true; });
                              // The main thread keeps answering: a block posted every 5 ms, timed until it runs.
                              while (!done) {
                                  const auto posted = Clock::now();
                                  std::atomic<bool> ran = false;
                                  platform::DispatchQueue::main().async([&] {
                                      latencies.push_back(since(posted));
                                      ran = true;
                                  });
                                  while (!ran)
                                      platform::drainMainQueue();
                                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
                              }
                              const double seconds = since(start);
                              figures[0] = 20 / seconds;
                              figures[1] = percentile(latencies, 0.99) * 1000;

                              // A cancel while the third item is written.
                              QTemporaryDir cancelled;
                              QStringList cancelledPaths;
                              for (int i = 0; i < 20; ++i)
                                  cancelledPaths << QDir(cancelled.path()).filePath(QStringLiteral("s%1.x").arg(i));
                              done = false;
                              manager.saveSnapshotsAsyncToPathsWithMethod(records, cancelledPaths, method,
                                                                          [&done] { done = true; });
                              while (!done && QDir(cancelled.path()).entryList(QDir::Files).size() < 3)
                                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
                              MRKOSnapshotPanel::sharedSnapshotPanel().cancelExport();
                              const qsizetype atCancel = QDir(cancelled.path()).entryList(QDir::Files).size();
                              while (!done)
                                  platform::drainMainQueue();
                              figures[2] = double(QDir(cancelled.path()).entryList(QDir::Files).size() - atCancel);
                              return seconds;
                          },
                          extra));
        state.counters["itemsPerSecond"] = extra[0];
        state.counters["mainThreadMsP99"] = extra[1];
        state.counters["itemsAfterCancel"] = extra[2];
    }
}

} // namespace

BENCHMARK(BM_OpenOn1000CachedShots)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollThrough1000Shots)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export20Shots)
    ->Arg(MRKOExportMethodPNG)
    ->Arg(MRKOExportMethodPSD)
    ->Arg(MRKOExportMethodPDF)
    ->ArgName("method")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
