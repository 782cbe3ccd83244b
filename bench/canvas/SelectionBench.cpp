#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "platform/EventQueue.h"
#include "platform/Keys.h"
#include "platform/UndoManager.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QRandomGenerator>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QSizeF kDisplay(2880, 1800); // points
constexpr double kScale = 2;

platform::Event event(platform::EventType type, QPointF point, quint64 flags = 0)
{
    platform::Event e;
    e.type = type;
    e.locationInWindow = point;
    e.modifierFlags = flags;
    e.clickCount = type == platform::EventType::LeftMouseDown ? 1 : 0;
    e.pressure = 1;
    return e;
}

/// A shown display-sized canvas in freeze mode with `count` opaque 60-point squares spread over it.
struct Scene
{
    QWidget view;
    std::unique_ptr<MRKODraw> canvas;

    explicit Scene(int count, qint64 mode = MRKODissolveModeFreeze)
    {
        view.resize(kDisplay.toSize());
        canvas = std::make_unique<MRKODraw>(QRectF(QPointF(0, 0), kDisplay), kScale, &view);
        canvas->setDissolveMode(mode);
        QImage square(int(60 * kScale), int(60 * kScale), QImage::Format_RGBA8888_Premultiplied);
        square.fill(Qt::red);
        const auto image = std::make_shared<const QImage>(square);
        QRandomGenerator random(7);
        for (int i = 0; i < count; ++i) {
            auto layer = platform::Layer::create();
            layer->setFrame(QRectF(random.bounded(int(kDisplay.width() - 60)),
                                   random.bounded(int(kDisplay.height() - 60)), 60, 60));
            layer->setContentsScale(kScale);
            layer->setContents(image);
            canvas->finalizeDrawWithLayerOrNil(layer);
        }
        AppDelegate::undoManager().removeAllActions();
        view.show();
        flushPainting();
    }
    ~Scene()
    {
        // The canvas is a child of the view: it goes first.
        canvas.reset();
    }
    void pointAt(QPointF point) const
    {
        QCursor::setPos(canvas->mapToGlobal(QPointF(point.x(), kDisplay.height() - point.y())).toPoint());
    }
    void flushPainting()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    }
};

double peakResidentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// One hover per pointer motion over 500 drawings, with the hand (Ctrl) held: the hit test, the highlight and the
// action cursor.
void hoverWith500Drawings(benchmark::State &state)
{
    Scene scene(500);
    QRandomGenerator random(3);
    for (auto _ : state) {
        state.PauseTiming();
        const QPointF point(random.bounded(int(kDisplay.width())), random.bounded(int(kDisplay.height())));
        scene.pointAt(point);
        const platform::Event moved = event(platform::EventType::MouseMoved, point, platform::kCommandFlag);
        state.ResumeTiming();
        scene.canvas->selectWithEvent(moved);
    }
}
BENCHMARK(hoverWith500Drawings)->Unit(benchmark::kMicrosecond);

// One step of a rubber band over 500 drawings, without painting: a band of 400 steps across the display, divided.
void rubberBandStepWith500Drawings(benchmark::State &state)
{
    constexpr int kSteps = 400;
    Scene scene(500);
    const QPointF from(10, 10), to(kDisplay.width() - 10, kDisplay.height() - 10);
    platform::EventQueue &queue = platform::EventQueue::shared();
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= kSteps; ++i)
            queue.postEvent(event(platform::EventType::LeftMouseDragged, from + (to - from) * (double(i) / kSteps)));
        platform::Event escape = event(platform::EventType::KeyDown, to);
        escape.keyCode = platform::kKeyEscape;
        queue.postEvent(escape);
        state.ResumeTiming();
        scene.canvas->selectingWithEvent(event(platform::EventType::LeftMouseDown, from), from, 2);
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
    state.counters["step_us"] =
        benchmark::Counter(double(kSteps), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(rubberBandStepWith500Drawings)->Unit(benchmark::kMillisecond);

// One step of a multiple move of 500 drawings, the canvas's painting of the changed area included.
void multipleMoveStepWith500Drawings(benchmark::State &state)
{
    Scene scene(500);
    scene.pointAt(QPointF(1000, 1000));
    scene.canvas->selectAllLayers();
    double x = 1000;
    double dx = 3;
    for (auto _ : state) {
        x += dx;
        if (x > 1400 || x < 600)
            dx = -dx;
        scene.canvas->moveMultipleLayersWithEvent(event(platform::EventType::MouseMoved, QPointF(x, 1000)));
        scene.flushPainting();
    }
    MRKODraw::cancelMultipleMoveIfNeeded();
}
BENCHMARK(multipleMoveStepWith500Drawings)->Unit(benchmark::kMillisecond);

// One drag of an eraser stroke at scale 2 for an eraser of 80 and of 400 points (a stroke of 200 drags along the
// display, divided; fade mode, so the release touches nothing).
void eraserPerEvent(benchmark::State &state)
{
    constexpr int kDrags = 200;
    inkora::liveSettings().limitMouseFPS = false;
    inkora::liveSettings().eraserSize = state.range(0);
    Scene scene(0, MRKODissolveModeFade);
    const QPointF from(500, 900), to(2300, 900);
    scene.pointAt(from);
    scene.canvas->mouseMoved(
        event(platform::EventType::MouseMoved, from, platform::kControlFlag | platform::kOptionFlag));
    platform::EventQueue &queue = platform::EventQueue::shared();
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= kDrags; ++i)
            queue.postEvent(event(platform::EventType::LeftMouseDragged, from + (to - from) * (double(i) / kDrags)));
        queue.postEvent(event(platform::EventType::LeftMouseUp, to));
        state.ResumeTiming();
        scene.canvas->mouseDown(event(platform::EventType::LeftMouseDown, from));
    }
    state.counters["drag_us"] =
        benchmark::Counter(double(kDrags), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(eraserPerEvent)->Arg(80)->Arg(400)->ArgName("points")->Unit(benchmark::kMillisecond);

// The release of an erasing stroke across the whole display over 100 drawings: all are flattened into one.
void eraseReleaseOver100Drawings(benchmark::State &state)
{
    inkora::liveSettings().limitMouseFPS = false;
    inkora::liveSettings().eraserSize = 80;
    const QPointF from(50, 50), to(kDisplay.width() - 50, kDisplay.height() - 50);
    platform::EventQueue &queue = platform::EventQueue::shared();
    std::unique_ptr<Scene> scene;
    for (auto _ : state) {
        state.PauseTiming();
        scene.reset();
        AppDelegate::undoManager().removeAllActions();
        scene = std::make_unique<Scene>(100);
        scene->pointAt(from);
        scene->canvas->mouseMoved(
            event(platform::EventType::MouseMoved, from, platform::kControlFlag | platform::kOptionFlag));
        queue.postEvent(event(platform::EventType::LeftMouseDragged, (from + to) / 2));
        queue.postEvent(event(platform::EventType::LeftMouseDragged, to));
        queue.postEvent(event(platform::EventType::LeftMouseUp, to));
        state.ResumeTiming();
        scene->canvas->mouseDown(event(platform::EventType::LeftMouseDown, from));
    }
    state.counters["peak_MB"] = peakResidentMB();
}
BENCHMARK(eraseReleaseOver100Drawings)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
