#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <limits>

namespace {

const QPointF kNoPoint(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
const QSizeF kDisplay(1920, 1080); // points; 3840 x 2160 pixels at scale 2
constexpr double kScale = 2;

// The repaint a pointer event asks for: the canvas's own layer and what lies over it, in the dirty area only, into
// a screen image of the display's pixels.
void repaint(MRKODraw &canvas, QImage &screen, const QRectF &dirty)
{
    QPainter painter(&screen);
    painter.setTransform(QTransform(1, 0, 0, -1, 0, kDisplay.height()));
    painter.setClipRect(dirty);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(dirty, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    canvas.viewLayer().renderPresentationInContext(painter, dirty);
    canvas.overlayRoot()->renderPresentationInContext(painter, dirty);
}

// One pointer event with the flashlight on: the hole moves 12 points, then the area it asked for is repainted.
// Arguments: radius (points), edge smoothness (points).
void flashlightPointerEvent(benchmark::State &state)
{
    inkora::LiveSettings &live = inkora::liveSettings();
    live.flashlightRadius = double(state.range(0));
    live.flashlightEdgeSmoothness = double(state.range(1));
    live.magnifyScale = 1;
    QWidget view;
    view.resize(kDisplay.toSize());
    MRKODraw canvas(QRectF(QPointF(0, 0), kDisplay), kScale, &view);
    canvas.makeDarkOverlayWithEvent(nullptr);
    QImage screen((kDisplay * kScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    screen.setDevicePixelRatio(kScale);
    QRectF dirty;
    canvas.overlayRoot()->setDisplayObserver([&dirty](const QRectF &r) { dirty |= r; });
    double x = 600, area = 0, holeMove = 0;
    qint64 events = 0;
    for (auto _ : state) {
        x = x > 1300 ? 600 : x + 12;
        dirty = QRectF();
        const auto start = std::chrono::steady_clock::now();
        canvas.showCircleAtPoint(QPointF(x, 540), kNoPoint, false);
        holeMove += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        repaint(canvas, screen, dirty);
        area += dirty.width() * dirty.height();
        ++events;
    }
    state.counters["hole_us"] = holeMove / double(events);
    state.counters["dirty_points2"] = area / double(events);
    state.counters["display_points2"] = kDisplay.width() * kDisplay.height();
}
BENCHMARK(flashlightPointerEvent)
    ->ArgsProduct({{100, 500}, {0, 20}})
    ->ArgNames({"radius", "smoothness"})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
