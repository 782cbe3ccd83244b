#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/fake/FakeScreens.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>
#include <vector>

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

// What the X server alone needs to map one new transparent window the size of a display: the floor under the
// figure above on a real server, measured without Qt or the program.
void BM_BareTransparentWindowMap(benchmark::State &state)
{
    if (qEnvironmentVariable("INKORA_BENCH_PLATFORM") != QLatin1String("xcb")) {
        state.SkipWithError("needs an X server (INKORA_BENCH_PLATFORM=xcb)");
        return;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_visualid_t visual = 0;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem && !visual; xcb_depth_next(&depth)) {
        if (depth.data->depth == 32)
            visual = xcb_depth_visuals_iterator(depth.data).data->visual_id;
    }
    if (!visual) {
        state.SkipWithError("no 32-bit visual");
        xcb_disconnect(connection);
        return;
    }
    const auto roundTrip = [connection] {
        free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    };
    const xcb_colormap_t colormap = xcb_generate_id(connection);
    xcb_create_colormap(connection, XCB_COLORMAP_ALLOC_NONE, colormap, screen->root, visual);
    const auto width = std::uint16_t(screen->width_in_pixels / 3);
    std::vector<xcb_window_t> windows;
    for (auto _ : state) {
        for (int i = 0; i < state.range(0); ++i) {
            const xcb_window_t window = xcb_generate_id(connection);
            const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, 1, colormap};
            xcb_create_window(connection, 32, window, screen->root, std::int16_t(i * width), 0, width,
                              screen->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
                              XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_COLORMAP,
                              values);
            xcb_map_window(connection, window);
            roundTrip();
            windows.push_back(window);
        }
        state.PauseTiming();
        for (const xcb_window_t window : windows)
            xcb_destroy_window(connection, window);
        windows.clear();
        roundTrip();
        state.ResumeTiming();
    }
    xcb_free_colormap(connection, colormap);
    xcb_disconnect(connection);
}
BENCHMARK(BM_BareTransparentWindowMap)
    ->Arg(1)
    ->Arg(3)
    ->ArgName("displays")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

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
    if (qEnvironmentVariable("INKORA_BENCH_PLATFORM") == QLatin1String("xcb")) {
        // One wide X screen split into three displays side by side (Xvfb -screen 0 11520x2160x24): real windows on
        // a real server, as three RandR monitors would place them.
        const QRect all = QGuiApplication::primaryScreen()->geometry();
        auto screens = std::make_unique<platform::FakeScreens>();
        QList<platform::ScreenInfo> thirds;
        for (int i = 0; i < 3; ++i) {
            thirds.append(platform::FakeScreens::makeScreen(
                quint32(i + 1), QRectF(i * all.width() / 3.0, 0, all.width() / 3.0, all.height())));
        }
        screens->setScreens(thirds);
        platform::services().screens = std::move(screens);
    }
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
