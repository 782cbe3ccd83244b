// Export of a 5120 x 2880 pixel snapshot (2560 x 1440 points at scale 2) with a screen image and 50 drawings to a
// layered PSD, against ImageMagick writing the same layers from PNG files, each on 2 cores and on all cores. Every
// run is a child process, so wall time and peak memory (the maximum resident size) belong to that run alone; both
// peaks include the layers held in memory, as ImageMagick holds the PNGs it read.
#include "platform/Layer.h"
#include "snapshots/MRKOSnapshot.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 5120;  // pixels
constexpr int kHeight = 2880; // pixels
constexpr int kDrawings = 50;

struct Drawing
{
    QImage bitmap;
    QPoint offset; // top left, y down
};

// A desktop-like screen: flat windows with title bars and text-like marks, and one photo-like noisy area.
QImage screenImage()
{
    QImage image(kWidth, kHeight, QImage::Format_RGBA8888_Premultiplied);
    image.fill(QColor(40, 60, 90));
    QPainter p(&image);
    QRandomGenerator random(11);
    for (int w = 0; w < 12; ++w) {
        const QRect frame(random.bounded(kWidth - 1400), random.bounded(kHeight - 1000), 800 + random.bounded(600),
                          500 + random.bounded(500));
        p.fillRect(frame, QColor(235, 235, 235));
        p.fillRect(frame.x(), frame.y(), frame.width(), 56, QColor(200, 200, 205));
        for (int line = 80; line < frame.height() - 30; line += 34) {
            for (int x = 24; x < frame.width() - 60; x += 14 + random.bounded(10))
                p.fillRect(frame.x() + x, frame.y() + line, 6 + random.bounded(8), 18, QColor(30, 30, 30));
        }
    }
    const QRect photo(2600, 300, 1800, 1200);
    for (int y = photo.top(); y <= photo.bottom(); ++y) {
        auto *row = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = photo.left(); x <= photo.right(); ++x)
            row[x] = 0xFF000000u | (random.generate() & 0x3F3F3Fu) | 0x405080u;
    }
    return image;
}

std::vector<Drawing> drawings()
{
    std::vector<Drawing> out;
    QRandomGenerator random(23);
    for (int i = 0; i < kDrawings; ++i) {
        const int w = 300 + random.bounded(1200);
        const int h = 200 + random.bounded(800);
        QImage bitmap(w, h, QImage::Format_RGBA8888_Premultiplied);
        bitmap.fill(Qt::transparent);
        QPainter p(&bitmap);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path(QPointF(20, h - 20));
        path.cubicTo(w * 0.3, -h * 0.2, w * 0.6, h * 1.2, w - 20, 20);
        p.setPen(QPen(QColor::fromHsv(i * 7 % 360, 220, 240), 12 + i % 20, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
        p.end();
        out.push_back({bitmap, QPoint(random.bounded(kWidth - w), random.bounded(kHeight - h))});
    }
    return out;
}

// Limits this thread, and the threads and programs it starts, to the first `cores` allowed cores (0 = all).
void limitCores(int cores)
{
    cpu_set_t allowed;
    if (cores <= 0 || sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return;
    cpu_set_t limited;
    CPU_ZERO(&limited);
    for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < cores; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &limited);
            ++taken;
        }
    }
    sched_setaffinity(0, sizeof limited, &limited);
}

// Kilobytes.
long peakKilobytes()
{
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0;
}

struct Run
{
    double seconds = 0;
    double peakMegabytes = 0;
    double inputMegabytes = 0; // before the export began; ours only
    bool ok = false;
};

// The snapshot the canvas would make: drawings are layers whose frames are in points, y up.
std::shared_ptr<MRKOSnapshot> snapshot()
{
    constexpr double kScale = 2;
    std::vector<platform::LayerPtr> layers;
    for (const Drawing &d : drawings()) {
        auto layer = platform::Layer::create();
        layer->setContentsScale(kScale);
        layer->setFrame(QRectF(d.offset.x() / kScale, (kHeight - d.offset.y() - d.bitmap.height()) / kScale,
                               d.bitmap.width() / kScale, d.bitmap.height() / kScale));
        layer->setContents(std::make_shared<const QImage>(d.bitmap));
        layer->setShadowOpacity(0.3);
        layer->setShadowRadius(2);
        layers.push_back(std::move(layer));
    }
    return MRKOSnapshot::snapshotWithLayers(layers, screenImage(), QRectF(0, 0, kWidth / kScale, kHeight / kScale), 0);
}

// Builds the inputs in a child process, then times the export alone.
Run runOurs(int cores, const QString &path)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        limitCores(cores);
        const std::shared_ptr<MRKOSnapshot> shot = snapshot();
        const double input = double(peakKilobytes()) / 1024.0;
        const auto start = std::chrono::steady_clock::now();
        const bool written = shot->savePSDWithPath(path, true);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const Run run{seconds, double(peakKilobytes()) / 1024.0, input, written};
        [[maybe_unused]] const auto n = write(fds[1], &run, sizeof run);
        _exit(0);
    }
    close(fds[1]);
    Run run;
    if (read(fds[0], &run, sizeof run) != sizeof run)
        run.ok = false;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return run;
}

// Writes the layers as PNG files (in a child, so this process stays small) and returns the convert arguments.
std::vector<std::string> prepareImageMagick(const QString &folder)
{
    std::vector<std::string> args = {"convert", "-background", "white"};
    args.push_back("-page");
    args.push_back("+0+0");
    args.push_back(QDir(folder).filePath(QStringLiteral("screen.png")).toStdString());
    QRandomGenerator random(23);
    const std::vector<Drawing> drawn = drawings(); // offsets only; the child writes the pixels
    for (int i = 0; i < kDrawings; ++i) {
        args.push_back("-page");
        args.push_back(
            QString::asprintf("+%d+%d", drawn[size_t(i)].offset.x(), drawn[size_t(i)].offset.y()).toStdString());
        args.push_back(QDir(folder).filePath(QString::asprintf("%03d.png", i + 1)).toStdString());
    }
    for (const char *a : {"(", "-clone", "0--1", "-flatten", ")", "-insert", "0", "-compress", "RLE"})
        args.push_back(a);
    const pid_t pid = fork();
    if (pid == 0) {
        screenImage().save(QDir(folder).filePath(QStringLiteral("screen.png")));
        for (int i = 0; i < kDrawings; ++i)
            drawn[size_t(i)].bitmap.save(QDir(folder).filePath(QString::asprintf("%03d.png", i + 1)));
        _exit(0);
    }
    waitpid(pid, nullptr, 0);
    return args;
}

Run runImageMagick(int cores, std::vector<std::string> args, const std::string &out)
{
    args.push_back(out);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        limitCores(cores);
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp("convert", argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, double(usage.ru_maxrss) / 1024.0, 0, WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

QTemporaryDir &workFolder()
{
    static QTemporaryDir folder;
    return folder;
}

const std::vector<std::string> &imageMagickArgs()
{
    static const std::vector<std::string> args = prepareImageMagick(workFolder().path());
    return args;
}

// Adds up the runs' peaks; the counters show the mean per run.
struct Peaks
{
    double peak = 0;
    double input = 0;

    void report(benchmark::State &state, const Run &run)
    {
        if (!run.ok) {
            state.SkipWithError("the export failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        peak += run.peakMegabytes;
        input += run.inputMegabytes;
    }
    void finish(benchmark::State &state) const
    {
        state.counters["peak_MB"] = benchmark::Counter(peak, benchmark::Counter::kAvgIterations);
        state.counters["input_MB"] = benchmark::Counter(input, benchmark::Counter::kAvgIterations);
    }
};

void BM_InkoraPSD(benchmark::State &state)
{
    const QString path = QDir(workFolder().path()).filePath(QStringLiteral("inkora.psd"));
    Peaks peaks;
    for (auto _ : state)
        peaks.report(state, runOurs(int(state.range(0)), path));
    peaks.finish(state);
    state.counters["MB_written"] = double(QFileInfo(path).size()) / 1048576.0;
}

void BM_ImageMagickPSD(benchmark::State &state)
{
    const std::vector<std::string> &args = imageMagickArgs();
    const std::string out = QDir(workFolder().path()).filePath(QStringLiteral("magick.psd")).toStdString();
    Peaks peaks;
    for (auto _ : state)
        peaks.report(state, runImageMagick(int(state.range(0)), args, out));
    peaks.finish(state);
    state.counters["MB_written"] = double(QFileInfo(QString::fromStdString(out)).size()) / 1048576.0;
}

// Argument: cores (0 = all allowed cores).
BENCHMARK(BM_InkoraPSD)->Arg(2)->Arg(0)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickPSD)->Arg(2)->Arg(0)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
