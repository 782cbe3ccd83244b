#include "canvas/MRKODistanceFilter.h"
#include "canvas/MRKOGLLayer.h"
#include "canvas/MRKOGridLayer.h"
#include "canvas/MRKOOutlineFilter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// One ring frame on a display of 1440 x 900 points at scale 2 (2880 x 1800 pixels), the pointer far from the start.
void ringFrame(benchmark::State &state)
{
    const QSizeF display(1440, 900);
    constexpr double kScale = 2;
    auto ring = MRKOGLLayer::create();
    ring->setBounds(QRectF(QPointF(), display));
    ring->setContentsScale(kScale);
    ring->setStartPoint({100, 100});
    double x = 900;
    ring->setMouseLocationProvider([&x] { return QPointF(x, 700); });
    ring->setActiveCanvasProvider([] { return nullptr; });
    QImage screen((display * kScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        x = x > 1300 ? 900 : x + 7;
        screen.fill(Qt::transparent);
        QPainter painter(&screen);
        painter.setTransform(QTransform(kScale, 0, 0, -kScale, 0, display.height() * kScale));
        ring->renderInContext(painter);
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(ringFrame)->Unit(benchmark::kMillisecond);

// A grid of 10-point cells over 1280 x 720 points rasterised at scale 2 (2560 x 1440 pixels).
void rasterGrid(benchmark::State &state)
{
    for (auto _ : state) {
        const platform::LayerPtr layer =
            MRKOGridLayer::rasterGridWihSize(QSizeF(10, 10), QRectF(0, 0, 1280, 720), inkora::SrgbColor(1, 0, 0, 1), 2);
        benchmark::DoNotOptimize(layer.get());
    }
}
BENCHMARK(rasterGrid)->Unit(benchmark::kMillisecond);

// A 1920 x 1080 image with an opaque disc and a bar, as a drawing's shape.
platform::FilterImage shapeImage()
{
    QImage image(1920, 1080, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::red);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(700, 500), 300, 300);
    painter.drawRect(1100, 200, 500, 80);
    return platform::FilterImage::fromImage(image);
}

// Arguments: 1 outer, 0 inner.
void distanceAccum(benchmark::State &state)
{
    const platform::FilterImage input = shapeImage();
    const MRKODistanceFilter filter = state.range(0) ? MRKODistanceFilter::outerFilterWithImageAndRadius(input, 16)
                                                     : MRKODistanceFilter::innerFilterWithImageAndRadius(input, 16);
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.accumImage());
}
BENCHMARK(distanceAccum)->Arg(0)->Arg(1)->ArgName("outer")->Unit(benchmark::kMillisecond);

void outline(benchmark::State &state)
{
    MRKOOutlineFilter filter;
    filter.setInputImage(shapeImage());
    filter.setRadius(16);
    filter.setOuter(state.range(0) != 0);
    filter.setColor(inkora::FilterColor{0, 0, 1, 1});
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.outputImage());
}
BENCHMARK(outline)->Arg(0)->Arg(1)->ArgName("outer")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
