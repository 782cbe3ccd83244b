#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

// Builds the overlay on the first `count` displays only.
class CountedDelegate final : public AppDelegate
{
public:
    int count = 1;
    [[nodiscard]] QList<platform::ScreenInfo> overlayScreens() const override
    {
        return AppDelegate::overlayScreens().mid(0, count);
    }
};

double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

CountedDelegate *s_delegate = nullptr;

// From the activation command to the overlay shown on every display, then hidden again in fade mode (untimed).
void BM_ShowOverlay(benchmark::State &state)
{
    CountedDelegate &delegate = *s_delegate;
    delegate.count = int(state.range(0));
    if (delegate.AppDelegate::overlayScreens().size() < delegate.count) {
        state.SkipWithError("not enough displays");
        return;
    }
    double grown = 0;
    for (auto _ : state) {
        const double before = residentBytes();
        delegate.performAction(QStringLiteral("runInkora:"), nullptr);
        state.PauseTiming();
        QCoreApplication::processEvents(); // the windows reach the screen
        grown += residentBytes() - before;
        delegate.performAction(QStringLiteral("runInkora:"), nullptr);
        platform::drainMainQueue();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["MiB_per_display"] = grown / double(state.iterations()) / delegate.count / (1024.0 * 1024.0);
}
BENCHMARK(BM_ShowOverlay)->Arg(1)->Arg(3)->ArgName("displays")->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    // Three 3840 x 2160 displays side by side, unless a real X server is asked for.
    if (qEnvironmentVariable("INKORA_BENCH_PLATFORM") != QLatin1String("xcb")) {
        const QString config = home.filePath(QStringLiteral("screens.json"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly)) {
            QByteArray screens;
            for (int i = 0; i < 3; ++i) {
                screens += (i ? "," : "") + QByteArray(R"({"name":"D)") + QByteArray::number(i) + R"(","x":)" +
                           QByteArray::number(i * 3840) +
                           R"(,"y":0,"width":3840,"height":2160,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1})";
            }
            file.write(R"({"screens":[)" + screens + "]}");
        }
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    } else {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    CountedDelegate delegate;
    delegate.prepareUserDefaults();
    MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
    delegate.applicationDidFinishLaunching();
    platform::drainMainQueue();
    s_delegate = &delegate;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    s_delegate = nullptr;
    return 0;
}
