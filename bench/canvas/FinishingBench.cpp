#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "platform/EventQueue.h"
#include "platform/UndoManager.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QWidget>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// Times only the hand-over at the release: the cut from the cache, the new layer and its undo step.
class FinishingCanvas final : public MRKODraw
{
public:
    using MRKODraw::MRKODraw;

    benchmark::State *state = nullptr;
    qint64 layerBytes = 0;

    void finalizeDrawWithLayerOrNil(const platform::LayerPtr &layer) override
    {
        state->ResumeTiming();
        MRKODraw::finalizeDrawWithLayerOrNil(layer);
        state->PauseTiming();
        const platform::LayerPtr &finished = layers().back();
        layerBytes = finished->contents() ? finished->contents()->sizeInBytes() : 0;
    }
};

void postLine(QPointF from, QPointF to, int drags)
{
    platform::EventQueue &queue = platform::EventQueue::shared();
    for (int i = 1; i <= drags; ++i) {
        platform::Event drag;
        drag.type = platform::EventType::LeftMouseDragged;
        drag.locationInWindow = from + (to - from) * (double(i) / drags);
        drag.pressure = 1;
        queue.postEvent(drag);
    }
    platform::Event up;
    up.type = platform::EventType::LeftMouseUp;
    up.locationInWindow = to;
    queue.postEvent(up);
}

// Release-to-drawing time on a 3840 x 2160 display at scale 2, for a stroke of the given length in points along
// the diagonal (the full diagonal crosses the display). Counters: the finished layer's bytes and those of the
// whole display's pixels, to show that a drawing costs its bounding box, not the display.
void releaseToDrawing(benchmark::State &state)
{
    const QSizeF display(3840, 2160);
    const double scale = 2;
    inkora::liveSettings().limitMouseFPS = false;
    QWidget view;
    view.resize(display.toSize());
    FinishingCanvas canvas(QRectF(QPointF(0, 0), display), scale, &view);
    canvas.state = &state;
    canvas.setThickness(3);
    canvas.setColorType(MRKOColorTypeCustom);
    canvas.setToolType(MRKOToolTypeBrush);
    canvas.setDissolveMode(MRKODissolveModeFreeze);
    MRKOToolColor::toolColor().setColor(QColor::fromRgbF(1, 0, 0, 1));

    const QPointF start(100, 100);
    const QPointF direction = QPointF(display.width() - 200, display.height() - 200) /
                              std::hypot(display.width() - 200, display.height() - 200);
    const QPointF end = start + direction * double(state.range(0));
    platform::Event press;
    press.type = platform::EventType::LeftMouseDown;
    press.locationInWindow = start;
    press.clickCount = 1;
    for (auto _ : state) {
        state.PauseTiming();
        postLine(start, end, 200);
        canvas.mouseDown(press); // resumes the timing around the release only
        canvas.removeLayerFromCanvas(canvas.layers().back());
        AppDelegate::undoManager().removeAllActions();
        state.ResumeTiming();
    }
    state.counters["layer_MB"] = double(canvas.layerBytes) / 1e6;
    state.counters["display_MB"] = display.width() * scale * display.height() * scale * 4 / 1e6;
}
BENCHMARK(releaseToDrawing)->Arg(200)->Arg(1000)->Arg(4200)->ArgName("points")->Unit(benchmark::kMillisecond);

} // namespace
