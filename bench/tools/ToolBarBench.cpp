#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeServices.h"
#include "tools/MRKOToolChoseButton.h"
#include "tools/MRKOToolPanel.h"
#include "tools/MRKOTools.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

// The tool bar on the main thread: a tool button's click with everything it writes and tells, a step of a panel
// drag, and making the panel when the overlay first shows.

namespace {

platform::FakeServices s_fakes;
AppDelegate *s_delegate = nullptr;

void setDisplays(int count)
{
    QList<platform::ScreenInfo> screens;
    for (int i = 0; i < count; ++i)
        screens.append(platform::FakeScreens::makeScreen(quint32(i + 1), QRectF(i * 1920.0, 0, 1920, 1080)));
    s_fakes.screens->setScreens(screens);
    platform::drainMainQueue();
    QCoreApplication::processEvents();
}

/// Shows the overlay on `displays` displays; hidden again by `hide`.
bool show(int displays)
{
    setDisplays(displays);
    s_delegate->performAction(QStringLiteral("runInkora:"), nullptr);
    platform::drainMainQueue();
    QCoreApplication::processEvents();
    return s_delegate->isActiveAndShown() && s_delegate->activeToolBar();
}

void hide()
{
    s_delegate->performAction(QStringLiteral("runInkora:"), nullptr);
    platform::drainMainQueue();
    QCoreApplication::processEvents();
}

// A click on a tool button, alternating brush and line: the settings written and synchronised into a settings file
// holding every key, every canvas told, the helper's call queued, and the main queue's share of it.
void BM_ToolClick(benchmark::State &state)
{
    if (!show(int(state.range(0)))) {
        state.SkipWithError("no tool bar");
        return;
    }
    MRKOTools &tools = *s_delegate->activeToolBar();
    MRKOButton *buttons[] = {tools.lineButton(), tools.brushButton()};
    int i = 0;
    for (auto _ : state) {
        tools.toolTypeChanged(buttons[i++ % 2]);
        platform::drainMainQueue();
    }
    hide();
}
BENCHMARK(BM_ToolClick)->Arg(1)->Arg(3)->ArgName("displays")->Unit(benchmark::kMicrosecond);

// One step of a drag of the tool panel, back and forth across the display, snapping near its edges.
void BM_PanelDragStep(benchmark::State &state)
{
    if (!show(1)) {
        state.SkipWithError("no tool bar");
        return;
    }
    MRKOToolPanel &panel = *s_delegate->activeToolPanel();
    const QRectF start = panel.frame();
    const QPointF grab = start.center();
    panel.mouseDown(grab - start.topLeft(), grab, true);
    int step = 0;
    for (auto _ : state) {
        const double x = 5.0 + (step++ % 380) * 5.0; // 5 ... 1900
        panel.mouseDragged(QPointF(x, grab.y() + (step % 7)));
    }
    panel.cleanUpMouseUp();
    panel.setFrame(start);
    hide();
}
BENCHMARK(BM_PanelDragStep)->Unit(benchmark::kMicrosecond);

// Making the panel and its tool bar over a shown overlay and bringing it up, as the first showing does; its
// removal is not timed.
void BM_MakePanel(benchmark::State &state)
{
    if (!show(1)) {
        state.SkipWithError("no overlay");
        return;
    }
    MRKOWindowController &controller = *s_delegate->activeWindowController();
    MRKOWindow &overlay = *controller.window();
    const QRectF frame = controller.toolPanel()->frame();
    for (auto _ : state) {
        auto *panel = new MRKOToolPanel(frame, overlay);
        auto *tools = new MRKOTools();
        panel->setContentViewController(tools);
        tools->setDrawView(controller.drawView());
        panel->setAlphaValue(1.0);
        panel->orderFront();
        QCoreApplication::processEvents();
        state.PauseTiming();
        delete panel;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    hide();
}
BENCHMARK(BM_MakePanel)->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    platform::install(platform::makeFakeServices(s_fakes));
    setDisplays(3);
    {
        AppDelegate delegate;
        delegate.prepareUserDefaults();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        // A full settings file: every registered key written out.
        const QVariantMap registered = defaults.registeredDefaults();
        for (auto it = registered.begin(); it != registered.end(); ++it)
            defaults.setObject(it.value(), it.key());
        defaults.setBool(true, QStringLiteral("FirstTimeRun"));
        defaults.synchronize();
        delegate.applicationDidFinishLaunching();
        platform::drainMainQueue();
        s_delegate = &delegate;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        s_delegate = nullptr;
    }
    return 0;
}
