// The snapshot stores as a run of the program meets them: opening, checking and reading the roll of 1,000 and 10,000
// records; adding a 2880 x 1800 shot at scale 2 to a roll of 1,000 (the main thread's part, then the commit after the
// file write, synchronous writes included); moving 100 shots to the bin; one search keystroke over 1,000 names; the
// first ten thumbnails of a roll of 1,000 from their cache files. Every run is a child process with stores of its
// own, so the stores open fresh as at a launch.
#include "bench/snapshots/SnapshotBenchSupport.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotCache.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"

#include <QFileInfo>
#include <QThread>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace snapshotbench;

void BM_OpenCheckAndReadTheRoll(benchmark::State &state)
{
    const QString prepared = home(int(state.range(0)));
    for (auto _ : state) {
        report(state, inChild(prepared, [](double *) {
                   const auto start = Clock::now();
                   const auto items = MRKOPersistentData::sharedData().items();
                   (void)MRKOPersistentTrash::sharedTrash().hasObjects();
                   return items.empty() ? -1.0 : since(start);
               }));
    }
}

void BM_AddToARollOf1000MainThread(benchmark::State &state)
{
    const QString prepared = home(1000);
    for (auto _ : state) {
        report(state, inChild(prepared, [](double *) {
                   MRKOPersistentData &roll = MRKOPersistentData::sharedData();
                   (void)roll.items();
                   const auto shot = bigShot();
                   const auto start = Clock::now();
                   (void)MRKOSnapshotManager::sharedSnapshotManager().addSnapshot(shot);
                   const double seconds = since(start);
                   roll.settlePendingWrites();
                   return seconds;
               }));
    }
}

void BM_CommitAfterTheFileWrite(benchmark::State &state)
{
    const QString prepared = home(1000);
    for (auto _ : state) {
        report(state, inChild(prepared, [](double *) {
                   MRKOPersistentData &roll = MRKOPersistentData::sharedData();
                   const auto info = roll.addSnapshotForSequenceType(bigShot(), 0);
                   while (!QFileInfo::exists(info->snapshotFileURL()))
                       QThread::msleep(1);
                   const auto start = Clock::now();
                   roll.settlePendingWrites(); // the file is on disk: this is the record's commit
                   return since(start);
               }));
    }
}

void BM_Bin100Shots(benchmark::State &state)
{
    const QString prepared = home(1000);
    for (auto _ : state) {
        report(state, inChild(prepared, [](double *) {
                   MRKOSnapshotManager &manager = MRKOSnapshotManager::sharedSnapshotManager();
                   inkora::ItemIndexes indexes;
                   for (qint64 i = 0; i < 100; ++i)
                       indexes.insert(i * 7);
                   const auto start = Clock::now();
                   manager.removeSnapshotsAtIndexes(indexes);
                   return since(start);
               }));
    }
}

void BM_SearchKeystrokeOver1000Names(benchmark::State &state)
{
    const QString prepared = home(1000);
    for (auto _ : state) {
        report(state, inChild(prepared, [](double *) {
                   MRKOSnapshotManager &manager = MRKOSnapshotManager::sharedSnapshotManager();
                   manager.startSearch();
                   manager.updateSearchWithString(QStringLiteral("SNÄP"));
                   const auto start = Clock::now();
                   manager.updateSearchWithString(QStringLiteral("SNÄPSHOT 99"));
                   const double seconds = since(start);
                   return manager.filtered().size() == 11 ? seconds : -1.0;
               }));
    }
}

void BM_FirstTenThumbnailsFromCacheFiles(benchmark::State &state)
{
    const QString prepared = home(1000);
    for (auto _ : state) {
        report(state, inChild(prepared, [](double *) {
                   const auto items = MRKOPersistentData::sharedData().items();
                   const auto start = Clock::now();
                   for (size_t i = 0; i < 10; ++i) {
                       if (items[i]->snapshotImage().isNull())
                           return -1.0;
                   }
                   const double seconds = since(start);
                   return MRKOSnapshotCache::sharedCache().count() == 0 ? seconds : -1.0; // no archive decoded
               }));
    }
}

} // namespace

BENCHMARK(BM_OpenCheckAndReadTheRoll)
    ->Arg(1000)
    ->Arg(10000)
    ->ArgName("records")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddToARollOf1000MainThread)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitAfterTheFileWrite)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bin100Shots)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystrokeOver1000Names)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstTenThumbnailsFromCacheFiles)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
