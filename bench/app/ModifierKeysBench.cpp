#include "app/AppDelegate.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "platform/Sound.h"
#include "platform/fake/FakeRawInput.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeServices.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

// The main thread's share of the global input the program listens to: every event of another program passes
// through the tap, and the Menu key changes every overlay window at once.

namespace {

platform::FakeServices s_fakes;
AppDelegate *s_delegate = nullptr;

platform::Event rawEvent(platform::EventType type, QPointF location = {})
{
    platform::Event event;
    event.type = type;
    event.locationInWindow = location;
    return event;
}

// One second's worth of raw motion (1,000 events) through the tap with click sounds on and the overlay hidden,
// and whatever work it queued on the main thread: the time per event is the figure.
void BM_TapMotionSecond(benchmark::State &state)
{
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i)
            s_fakes.rawInput->post(rawEvent(platform::EventType::MouseMoved, QPointF(i % 1920, i % 1080)));
        platform::drainMainQueue();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_TapMotionSecond)->Unit(benchmark::kMicrosecond);

// A key released in another program until its click has been handed to the sound output.
void BM_KeyReleaseToPlay(benchmark::State &state)
{
    const platform::Event up = rawEvent(platform::EventType::KeyUp);
    for (auto _ : state)
        s_fakes.rawInput->post(up);
    state.counters["played"] = double(s_fakes.soundOutput->played().size());
}
BENCHMARK(BM_KeyReleaseToPlay)->Unit(benchmark::kMicrosecond);

// Menu pressed with the overlay on three displays, until every overlay window lets clicks through; the release
// is not timed.
void BM_MenuKeyClickThrough(benchmark::State &state)
{
    AppDelegate &delegate = *s_delegate;
    delegate.performAction(QStringLiteral("runInkora:"), nullptr);
    platform::drainMainQueue();
    const auto controllers = delegate.windowControllersArray();
    for (auto _ : state) {
        s_fakes.rawInput->postFlagsChanged(platform::kFunctionFlag);
        state.PauseTiming();
        for (MRKOWindowController *controller : controllers) {
            if (!controller->window()->ignoresMouseEvents())
                state.SkipWithError("an overlay window still takes the mouse");
        }
        s_fakes.rawInput->postFlagsChanged(0);
        platform::drainMainQueue();
        state.ResumeTiming();
    }
    state.counters["windows"] = double(controllers.size());
    delegate.performAction(QStringLiteral("runInkora:"), nullptr);
    platform::drainMainQueue();
}
BENCHMARK(BM_MenuKeyClickThrough)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    platform::install(platform::makeFakeServices(s_fakes));
    s_fakes.screens->setScreens({platform::FakeScreens::makeScreen(1, QRectF(0, 0, 1920, 1080)),
                                 platform::FakeScreens::makeScreen(2, QRectF(1920, 0, 1920, 1080)),
                                 platform::FakeScreens::makeScreen(3, QRectF(3840, 0, 1920, 1080))});
    {
        AppDelegate delegate;
        delegate.prepareUserDefaults();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        defaults.setBool(true, QStringLiteral("FirstTimeRun"));
        defaults.setInteger(1, QStringLiteral("PlayMouseSounds"));
        defaults.setInteger(1, QStringLiteral("PlayKeyboardSounds"));
        delegate.applicationDidFinishLaunching();
        platform::drainMainQueue();
        // One showing makes the tap; hidden again, the sounds keep it listening.
        delegate.performAction(QStringLiteral("runInkora:"), nullptr);
        platform::drainMainQueue();
        delegate.performAction(QStringLiteral("runInkora:"), nullptr);
        platform::drainMainQueue();
        s_delegate = &delegate;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        s_delegate = nullptr;
    }
    return 0;
}
