#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/PropertyList.h"
#include "platform/Services.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeServices.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/MRKOPresetController.h"
#include "settings/PrefSlider.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

namespace {

AppDelegate *s_delegate = nullptr;

// One eraser-slider step as the user drags it (write, synchronise, live update, refresher), paced at 100 changes a
// second; the time counted is the main thread's work for the change.
void BM_SliderChange(benchmark::State &state)
{
    MRKOPreferencesViewController &pane = MRKOPreferencesViewController::sharedController();
    auto *slider = pane.findChild<inkora::PrefSlider *>(QStringLiteral("eraserSizeSlider"));
    slider->resize(1200, 24);
    const QString file = MRKOUtils::userDefaults().filePath();
    int position = 0;
    qint64 writes = 0;
    // Every write renames a new file into place; inode numbers are reused at once, so the change time in
    // nanoseconds marks each write.
    const auto inode = [&file] {
        struct stat info
        {
        };
        if (::stat(QFile::encodeName(file).constData(), &info) != 0)
            return qint64(0);
        return qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    };
    qint64 lastWrite = inode();
    const auto started = std::chrono::steady_clock::now();
    for (auto _ : state) {
        position = (position + 7) % 1100 + 50;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(position, 12), QPointF(position, 12), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(position, 12), QPointF(position, 12), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &release);
        state.PauseTiming();
        const qint64 modified = inode();
        if (modified != lastWrite)
            ++writes;
        lastWrite = modified;
        std::this_thread::sleep_for(std::chrono::milliseconds(10)); // 100 changes a second
        state.ResumeTiming();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    state.counters["changes"] = double(state.iterations() * 2); // press and release each write
    state.counters["file_writes_per_s"] = double(writes) / seconds;
}
BENCHMARK(BM_SliderChange)->Unit(benchmark::kMillisecond)->Iterations(200);

// Loading a settings preset with two displays shown: check, remove, write, synchronise, full update, reload.
void BM_LoadPreset(benchmark::State &state)
{
    MRKOPreferencesViewController &pane = MRKOPreferencesViewController::sharedController();
    const std::optional<QByteArray> data = pane.collectAllPreferences();
    const QVariantMap preset = platform::PropertyList::fromData(data.value_or(QByteArray())).toMap();
    state.counters["displays"] = double(s_delegate->windowControllersArray().size());
    for (auto _ : state)
        benchmark::DoNotOptimize(pane.applySettingsWithPresetLoadType(preset, MRKOPresetLoadTypeSettings));
}
BENCHMARK(BM_LoadPreset)->Unit(benchmark::kMillisecond)->Iterations(50);

// The "Manage Presets" menu built from 200 presets as users save them: every setting and a shortcut set. Each preset
// file is read to learn whether it holds shortcuts.
void BM_PresetsMenu(benchmark::State &state)
{
    MRKOPreferencesViewController &pane = MRKOPreferencesViewController::sharedController();
    QVariantMap preset = platform::PropertyList::fromData(pane.collectAllPreferences().value_or(QByteArray())).toMap();
    QVariantMap shortcuts;
    for (int i = 0; i < 63; ++i)
        shortcuts.insert(QStringLiteral("Shortcut%1").arg(i), QStringLiteral("dW5kb1dpdGhFdmVudDosMTA0ODU3Niw2LDA="));
    QVariantList slotActions;
    for (int i = 0; i < 30; ++i)
        slotActions.append(qint64(i));
    preset.insert(QStringLiteral("ShortcutsPresetDict"),
                  QVariantMap{{QStringLiteral("AppVersion"), QStringLiteral("1.0.0")},
                              {QStringLiteral("PresetShortcuts"), shortcuts},
                              {QStringLiteral("PresetSingleKeyActions"), slotActions}});
    const QByteArray data = platform::PropertyList::toBinary(preset).value_or(QByteArray());
    const QString folder = MRKOUtils::presetsDir();
    for (int i = 0; i < 200; ++i) {
        QFile file(QStringLiteral("%1/Preset %2.iksettings").arg(folder).arg(i));
        if (file.open(QIODevice::WriteOnly))
            file.write(data);
    }
    MRKOPresetController &presets = MRKOPresetController::sharedPresets();
    for (auto _ : state)
        benchmark::DoNotOptimize(presets.updatePresetsMenu());
    state.counters["presets"] = double(presets.presetNames().size());
    state.counters["preset_bytes"] = double(data.size());
}
BENCHMARK(BM_PresetsMenu)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::FakeServices fakes;
    platform::uninstall();
    (void)platform::install(platform::makeFakeServices(fakes));
    fakes.screens->setScreens({platform::FakeScreens::makeScreen(1, QRectF(0, 0, 1920, 1080)),
                               platform::FakeScreens::makeScreen(2, QRectF(1920, 0, 1920, 1080))});
    AppDelegate delegate;
    delegate.prepareUserDefaults();
    MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
    delegate.applicationDidFinishLaunching();
    platform::drainMainQueue();
    delegate.performAction(QStringLiteral("runInkora:"), nullptr);
    platform::drainMainQueue();
    s_delegate = &delegate;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    s_delegate = nullptr;
    delete &MRKOPreferencesViewController::sharedController();
    return 0;
}
