#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "platform/BitmapContext.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kDragsPerPress = 200;

// What a screen repaint of one rectangle does: clear it, then render the canvas's own layer (drawRect and the
// layers above it) into a screen image of the display's pixels.
class ScreenCanvas final : public MRKODraw
{
public:
    ScreenCanvas(QSizeF size, double scale, QWidget *parent)
        : MRKODraw(QRectF(QPointF(0, 0), size), scale, parent),
          m_screen((size * scale).toSize(), QImage::Format_ARGB32_Premultiplied)
    {
        m_screen.setDevicePixelRatio(scale);
        m_screen.fill(Qt::transparent);
    }

    void showOnScreen(const QRectF &dirty)
    {
        QPainter painter(&m_screen);
        painter.setTransform(QTransform(1, 0, 0, -1, 0, height()));
        painter.setClipRect(dirty);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(dirty, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        viewLayer().renderPresentationInContext(painter, dirty);
    }

    // The segment just drawn is the chunk prepared for its dirty rectangle.
    void mouseDraggedDuringDraw(const platform::Event &) override
    {
        const QRectF dirty = currentCroppedDrawRect();
        if (!dirty.isEmpty())
            showOnScreen(dirty);
    }

    QImage m_screen;
};

// Drags along a wide zigzag over the display, 6 points apart, as a fast 1000 Hz mouse gives them.
void postStroke(QSizeF display)
{
    platform::EventQueue &queue = platform::EventQueue::shared();
    for (int i = 1; i <= kDragsPerPress; ++i) {
        const double t = i * 6.0;
        platform::Event drag;
        drag.type = platform::EventType::LeftMouseDragged;
        drag.locationInWindow = QPointF(200 + std::fmod(t, display.width() - 400),
                                        200 + 150 * std::sin(t / 80.0) + (display.height() - 600) / 2);
        drag.pressure = 1;
        queue.postEvent(drag);
    }
    platform::Event up;
    up.type = platform::EventType::LeftMouseUp;
    up.locationInWindow = QPointF(200, 200);
    queue.postEvent(up);
}

void runStrokes(benchmark::State &state, QSizeF display, double scale, quint64 thickness, qint64 colorType)
{
    inkora::liveSettings().limitMouseFPS = false;
    QWidget view;
    view.resize(display.toSize());
    ScreenCanvas canvas(display, scale, &view);
    canvas.setThickness(thickness);
    canvas.setColorType(colorType);
    canvas.setToolType(MRKOToolTypeBrush);
    MRKOToolColor::toolColor().setColor(QColor::fromRgbF(1, 0, 0, 1));
    platform::Event press;
    press.type = platform::EventType::LeftMouseDown;
    press.locationInWindow = QPointF(200, 200 + (display.height() - 600) / 2);
    press.clickCount = 1;
    for (auto _ : state) {
        state.PauseTiming();
        postStroke(display);
        state.ResumeTiming();
        canvas.mouseDown(press);
    }
    state.counters["per_event"] =
        benchmark::Counter(kDragsPerPress, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One pointer event: the segment rendered into the cache and its dirty rectangle put on screen.
// Arguments: width in points (2, 10, 25), backing scale, colour type (1 custom, 0 rainbow).
void pointerEvent(benchmark::State &state)
{
    const quint64 preset = state.range(0) == 2 ? 0 : state.range(0) == 10 ? 2 : 5;
    runStrokes(state, QSizeF(1440, 900), double(state.range(1)), preset, state.range(2));
}
BENCHMARK(pointerEvent)
    ->ArgsProduct({{2, 10, 25}, {1, 2}, {MRKOColorTypeCustom, MRKOColorTypeRainbow}})
    ->ArgNames({"width", "scale", "custom"})
    ->Unit(benchmark::kMillisecond);

// The same pointer event on a display of four times the area: the cost must not follow the display's size.
void pointerEventLargeDisplay(benchmark::State &state)
{
    runStrokes(state, QSizeF(2880, 1800), 2, 2, MRKOColorTypeRainbow);
}
BENCHMARK(pointerEventLargeDisplay)->Unit(benchmark::kMillisecond);

// One dirty rectangle copied from the cache by each method. Arguments: method, side in points, opacity baked.
void drawToScreen(benchmark::State &state)
{
    const QSizeF display(1440, 900);
    const double scale = 2;
    inkora::LiveSettings &live = inkora::liveSettings();
    live.drawToScreenMethod = state.range(0);
    live.needSemitransparent = state.range(2) != 0;
    live.drawingOpacity = 0.5;
    live.drawCroppedChunks = false;
    QWidget view;
    view.resize(display.toSize());
    ScreenCanvas canvas(display, scale, &view);
    platform::BitmapContext *cache = canvas.currentCacheContext();
    cache->setFillColor(QColor(200, 40, 40, 255));
    for (int i = 0; i < 40; ++i)
        cache->fillEllipseInRect(QRectF(i * 35, i * 20, 120, 120));
    const double side = double(state.range(1));
    const QRectF dirty(200, 0, side, side); // a 1000-point side is cut to the display's 900
    QImage screen((display * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    screen.setDevicePixelRatio(scale);
    QPainter painter(&screen);
    painter.setTransform(QTransform(1, 0, 0, -1, 0, display.height()));
    for (auto _ : state) {
        canvas.drawRect(dirty, painter);
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(drawToScreen)
    ->ArgsProduct({{0, 1, 2}, {30, 200, 1000}, {0, 1}})
    ->ArgNames({"method", "points", "semitransparent"})
    ->Unit(benchmark::kMicrosecond);

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
