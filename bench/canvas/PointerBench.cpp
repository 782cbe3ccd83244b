#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "platform/Clock.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "platform/UndoManager.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QRandomGenerator>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>

// The pointer's companions on a display of 3840 x 2160 pixels at scale 2: the ball and ring under every motion,
// the frames of a click mark and a step of the phone's stroke, painting included.

namespace {

const QSizeF kDisplay(1920, 1080); // points
constexpr double kScale = 2;

platform::Event moved(QPointF point, quint64 flags = 0)
{
    platform::Event e;
    e.type = platform::EventType::MouseMoved;
    e.locationInWindow = point;
    e.modifierFlags = flags;
    return e;
}

/// A shown canvas in freeze mode with `count` 60-point squares spread over it.
struct Scene
{
    QWidget view;
    std::unique_ptr<MRKODraw> canvas;

    explicit Scene(int count)
    {
        view.resize(kDisplay.toSize());
        canvas = std::make_unique<MRKODraw>(QRectF(QPointF(0, 0), kDisplay), kScale, &view);
        canvas->setDissolveMode(MRKODissolveModeFreeze);
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
        flush();
    }
    ~Scene() { canvas.reset(); } // a child of the view: it goes first
    void pointAt(QPointF point) const
    {
        QCursor::setPos(canvas->mapToGlobal(QPointF(point.x(), kDisplay.height() - point.y())).toPoint());
    }
    static void flush()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    }
};

// One pointer motion over 50 drawings: ball, hover selection and painting; the eraser variant carries a ring of
// 400 points instead of the ball.
void mouseMovedWith50Drawings(benchmark::State &state)
{
    const bool eraser = state.range(0) != 0;
    inkora::liveSettings().eraserSize = 400;
    Scene scene(50);
    const quint64 flags = eraser ? platform::kControlFlag | platform::kOptionFlag : 0;
    double x = 400;
    double dx = 7;
    for (auto _ : state) {
        x += dx;
        if (x > 1500 || x < 400)
            dx = -dx;
        const QPointF point(x, 540);
        state.PauseTiming();
        scene.pointAt(point);
        state.ResumeTiming();
        scene.canvas->mouseMoved(moved(point, flags));
        scene.flush();
    }
}
BENCHMARK(mouseMovedWith50Drawings)->Arg(0)->Arg(1)->ArgName("ring")->Unit(benchmark::kMicrosecond);

// One painted frame of the ray burst (0) or the ring (1): thirty repaints of its square while it runs.
void clickMarkFrame(benchmark::State &state)
{
    Scene scene(50);
    scene.pointAt(QPointF(960, 540));
    int frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (state.range(0) == 0)
            scene.canvas->blinkForPoint(QPointF(960, 540));
        else
            scene.canvas->blinkForPointCircle(QPointF(960, 540));
        state.ResumeTiming();
        for (int i = 0; i < 30; ++i) {
            scene.canvas->update(QRect(858, 438, 205, 205));
            scene.flush();
            ++frames;
        }
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["frame_us"] =
        benchmark::Counter(double(frames) / double(state.iterations()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(clickMarkFrame)->Arg(0)->Arg(1)->ArgName("ring")->Unit(benchmark::kMillisecond);

// One step of the phone's stroke: the ball moves, the brush renders and the canvas paints.
void remoteDragStep(benchmark::State &state)
{
    Scene scene(0);
    scene.canvas->setBallPosition(QPointF(300, 500));
    scene.canvas->simulateMouseDown();
    double x = 300;
    double dx = 5;
    for (auto _ : state) {
        x += dx;
        if (x > 1600 || x < 300)
            dx = -dx;
        scene.canvas->setBallPosition(QPointF(x, 500 + (int(x) % 40)));
        scene.canvas->simulateMouseDragged();
        scene.flush();
    }
    scene.canvas->simulateMouseUp();
}
BENCHMARK(remoteDragStep)->Unit(benchmark::kMicrosecond);

} // namespace
