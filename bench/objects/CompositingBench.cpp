// Merging drawings into one layer on a 2880 x 1800 pixel display, with and without an eraser mask (which also
// trims the result).
#include "bench/objects/ObjectsBenchSupport.h"
#include "foundation/LayerCompositing.h"

#include <benchmark/benchmark.h>

namespace {

void compositeDrawings(benchmark::State &state, bool masked)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const platform::LayerPtr container = platform::Layer::create();
        const std::vector<platform::LayerPtr> drawings = bench::makeDrawings(count, container);
        const platform::LayerPtr mask = masked ? bench::makeMask(60) : nullptr;
        state.ResumeTiming();
        const platform::LayerPtr composite = inkora::compositeOfLayers(drawings, mask);
        benchmark::DoNotOptimize(composite.get());
        state.PauseTiming();
        if (composite && composite->contents())
            state.counters["bitmap_MB"] = double(composite->contents()->sizeInBytes()) / (1024.0 * 1024.0);
        state.ResumeTiming();
    }
    state.counters["peak_rss_MB"] = bench::peakResidentMegabytes();
}

void BM_Composite(benchmark::State &state)
{
    compositeDrawings(state, false);
}

void BM_CompositeMaskedAndTrimmed(benchmark::State &state)
{
    compositeDrawings(state, true);
}

} // namespace

BENCHMARK(BM_Composite)->Arg(10)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompositeMaskedAndTrimmed)->Arg(10)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);
