// Restore Defaults and a full shortcut preset load in the Shortcuts pane with the X11 hot-key service: from the
// action until all 63 shortcuts are grabbed again (the grabs are checked, so each is answered by the server).
// Run under an X server, such as Xvfb: DISPLAY=:N build/bench/bench/shortcuts/bench_shortcuts_pane_x11
#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/linux/LinuxServices.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQTextField.h"
#include "shortcuts/MRKOShortcutsViewController.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

qint64 boundCount()
{
    qint64 bound = 0;
    for (const auto &shortCut : KQShortCutMonitor::defaultMonitor().allShortCuts())
        bound += shortCut->hotKeyRef() != 0 ? 1 : 0;
    return bound;
}

void BM_RestoreDefaults(benchmark::State &state)
{
    MRKOShortcutsViewController &pane = MRKOShortcutsViewController::sharedController();
    for (auto _ : state)
        pane.restoreDefaults();
    state.counters["bound"] = double(boundCount());
}
BENCHMARK(BM_RestoreDefaults)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_LoadFullPreset(benchmark::State &state)
{
    MRKOShortcutsViewController &pane = MRKOShortcutsViewController::sharedController();
    const QVariantMap preset = pane.shortcutsPresetDict();
    for (auto _ : state)
        pane.applyShortcutsFromPreset(preset, MRKOShortcutPresetLoadTypeFull);
    state.counters["bound"] = double(boundCount());
}
BENCHMARK(BM_LoadFullPreset)->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    (void)platform::install(platform::makeLinuxServices());
    {
        AppDelegate delegate;
        delegate.prepareUserDefaults();
        MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
        delegate.applicationDidFinishLaunching();
        platform::drainMainQueue();
        delegate.performAction(QStringLiteral("runInkora:"), nullptr);
        platform::drainMainQueue();
        MRKOShortcutsViewController::sharedController().loadShortcutsViewIfNeeded();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        delete &MRKOShortcutsViewController::sharedController();
    }
    platform::shutDown();
    return 0;
}
