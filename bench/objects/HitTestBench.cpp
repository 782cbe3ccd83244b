// The cost of one pointer move over the drawings: find the topmost drawing whose painted pixels lie under the
// pointer, testing frames first and pixels only where a frame holds the point.
#include "bench/objects/ObjectsBenchSupport.h"
#include "objects/CALayer+OpaqueContent.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

void BM_HitTestUnderPointer(benchmark::State &state)
{
    const platform::LayerPtr container = platform::Layer::create();
    const std::vector<platform::LayerPtr> drawings = bench::makeDrawings(int(state.range(0)), container);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> x(0, bench::kDisplayWidth), y(0, bench::kDisplayHeight);
    std::vector<QPointF> moves(1024);
    for (QPointF &p : moves)
        p = QPointF(x(random), y(random));
    size_t next = 0;
    for (auto _ : state) {
        const QPointF pointer = moves[next++ % moves.size()];
        const platform::Layer *hit = nullptr;
        for (auto it = drawings.rbegin(); it != drawings.rend() && !hit; ++it) {
            const QRectF frame = (*it)->frame();
            if (frame.contains(pointer) &&
                OpaqueContent::isContentHasOpaquePixelAtPoint(**it, pointer - QPointF(frame.x(), frame.y())))
                hit = it->get();
        }
        benchmark::DoNotOptimize(hit);
    }
}

} // namespace

BENCHMARK(BM_HitTestUnderPointer)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);
