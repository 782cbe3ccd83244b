// The snapshot stores as a run of the program meets them: opening, checking and reading the roll of 1,000 and 10,000
// records; adding a 2880 x 1800 shot at scale 2 to a roll of 1,000 (the main thread's part, then the commit after the
// file write, synchronous writes included); moving 100 shots to the bin; one search keystroke over 1,000 names; the
// first ten thumbnails of a roll of 1,000 from their cache files. Every run is a child process with stores of its
// own, so the stores open fresh as at a launch.
#include "platform/Services.h"
#include "platform/fake/FakeServices.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotCache.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/// A home whose roll holds `records` shots in one Snapshots sequence (the archives are not written) and whose cache
/// holds the thumbnails of the first ten.
bool prepareHome(const QString &home, int records)
{
    const QString data = home + QStringLiteral("/data/com.Inkora.Inkora");
    QDir().mkpath(data + QStringLiteral("/Snapshots/F0"));
    QDir().mkpath(home + QStringLiteral("/cache/com.Inkora.Inkora/Snapshots/F0"));
    for (const char *folder : {"config", "tmp", "Documents"})
        QDir(home).mkpath(QString::fromLatin1(folder));
    QFile schema(QStringLiteral(":/StoreSchema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        return false;
    QString sql = QString::fromUtf8(schema.readAll());
    sql += QStringLiteral("BEGIN; INSERT INTO sequence VALUES (1, 'Snapshots Sequence', 1, 'F0', 'Snapshots', 0, 0, "
                          "NULL, NULL, 0);");
    for (int i = 0; i < records; ++i)
        sql += QStringLiteral("INSERT INTO snap_info (sequence_id, position, name, date, filename) VALUES "
                              "(1, %1, 'Snapshot %2', %3, 'S%1');")
                   .arg(i)
                   .arg(records - i)
                   .arg(1700000000 + records - i);
    sql += QStringLiteral("COMMIT;");
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {data + QStringLiteral("/Sequences.db")});
    shell.write(sql.toUtf8());
    shell.closeWriteChannel();
    if (!shell.waitForFinished(120000) || shell.exitCode() != 0)
        return false;
    QImage thumbnail(304, 220, QImage::Format_RGBA8888);
    thumbnail.fill(QColor(30, 90, 160));
    for (int i = 0; i < 10; ++i)
        thumbnail.save(home + QStringLiteral("/cache/com.Inkora.Inkora/Snapshots/F0/S%1.png").arg(i), "PNG");
    return true;
}

/// Runs `measure` in a child with its own application and fake services, the stores in a copy of `home`; the
/// seconds it reports, or -1.
double inChild(const QString &home, const std::function<double()> &measure)
{
    QTemporaryDir run;
    QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), home + QStringLiteral("/."), run.path()});
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const QString h = run.path();
        qputenv("HOME", h.toLocal8Bit());
        qputenv("XDG_DATA_HOME", (h + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_CACHE_HOME", (h + QStringLiteral("/cache")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (h + QStringLiteral("/config")).toLocal8Bit());
        qputenv("TMPDIR", (h + QStringLiteral("/tmp")).toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argc = 1;
        char name[] = "bench";
        char *argv[] = {name, nullptr};
        QGuiApplication app(argc, argv);
        platform::FakeServices fakes;
        platform::install(platform::makeFakeServices(fakes));
        const double seconds = measure();
        [[maybe_unused]] const auto n = write(fds[1], &seconds, sizeof seconds);
        _exit(0);
    }
    close(fds[1]);
    double seconds = -1;
    if (read(fds[0], &seconds, sizeof seconds) != sizeof seconds)
        seconds = -1;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return seconds;
}

std::shared_ptr<MRKOSnapshot> bigShot()
{
    QImage screen(2880, 1800, QImage::Format_RGBA8888_Premultiplied);
    screen.fill(QColor(40, 60, 90));
    QPainter painter(&screen);
    for (int i = 0; i < 40; ++i)
        painter.fillRect(i * 70, i * 40, 600, 300, QColor::fromHsv(i * 9, 120, 230));
    painter.end();
    auto layer = platform::Layer::create();
    QImage ink(800, 400, QImage::Format_RGBA8888_Premultiplied);
    ink.fill(QColor(200, 0, 0, 200));
    layer->setFrame(QRectF(100, 100, 400, 200));
    layer->setContentsScale(2);
    layer->setContents(std::make_shared<const QImage>(ink));
    return MRKOSnapshot::snapshotWithLayers({layer}, screen, QRectF(0, 0, 1440, 900), 0);
}

void report(benchmark::State &state, double seconds)
{
    if (seconds < 0)
        state.SkipWithError("the measuring child failed");
    else
        state.SetIterationTime(seconds);
}

const QString &home(int records)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> homes;
    auto &dir = homes[records];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        prepareHome(dir->path(), records);
    }
    static QString path;
    path = dir->path();
    return path;
}

void BM_OpenCheckAndReadTheRoll(benchmark::State &state)
{
    const QString prepared = home(int(state.range(0)));
    for (auto _ : state) {
        report(state, inChild(prepared, [] {
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
        report(state, inChild(prepared, [] {
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
        report(state, inChild(prepared, [] {
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
        report(state, inChild(prepared, [] {
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
        report(state, inChild(prepared, [] {
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
        report(state, inChild(prepared, [] {
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
