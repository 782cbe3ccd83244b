#include "bench/snapshots/SnapshotBenchSupport.h"

#include "platform/Layer.h"
#include "platform/Services.h"
#include "platform/fake/FakeServices.h"
#include "snapshots/MRKOSnapshot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace snapshotbench {

namespace {

constexpr int kExtraFigures = 4;

bool prepareHome(const QString &home, int records, int thumbnails)
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
    for (int i = 0; i < thumbnails; ++i)
        thumbnail.save(home + QStringLiteral("/cache/com.Inkora.Inkora/Snapshots/F0/S%1.png").arg(i), "PNG");
    return true;
}

} // namespace

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const QString &home(int records, int thumbnails)
{
    static std::map<std::pair<int, int>, std::unique_ptr<QTemporaryDir>> homes;
    auto &dir = homes[{records, thumbnails}];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        prepareHome(dir->path(), records, thumbnails);
    }
    static QString path;
    path = dir->path();
    return path;
}

double inChild(const QString &home, const std::function<double(double *extra)> &measure, double *extra)
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
        QApplication app(argc, argv);
        platform::FakeServices fakes;
        platform::install(platform::makeFakeServices(fakes));
        double figures[1 + kExtraFigures] = {};
        figures[0] = measure(figures + 1);
        [[maybe_unused]] const auto n = write(fds[1], figures, sizeof figures);
        _exit(0);
    }
    close(fds[1]);
    double figures[1 + kExtraFigures] = {-1};
    if (read(fds[0], figures, sizeof figures) != sizeof figures)
        figures[0] = -1;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    if (extra) {
        for (int i = 0; i < kExtraFigures; ++i)
            extra[i] = figures[1 + i];
    }
    return figures[0];
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

} // namespace snapshotbench
