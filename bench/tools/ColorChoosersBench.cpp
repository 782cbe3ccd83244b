#include "platform/Services.h"
#include "platform/fake/FakeServices.h"
#include "tools/KPColorPickerView.h"
#include "tools/MRKOCircleMenu.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// One drag event in the colour wheel's triangle: the colour set, then the picker's layer redrawn with the triangle
// bitmap made anew, as the next frame shows it.
void setColorWithTriangleRedraw(benchmark::State &state)
{
    KPColorPickerView picker;
    QImage frame(picker.size(), QImage::Format_RGBA8888_Premultiplied);
    double saturation = 0.1;
    for (auto _ : state) {
        saturation = saturation > 0.9 ? 0.1 : saturation + 0.01;
        picker.setColorSource(KPColorSourceTriangle);
        picker.setColor(inkora::srgbColorWithHsb(0.3, saturation, 0.8, 1));
        QPainter painter(&frame);
        picker.rootLayer()->renderInContext(painter);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(setColorWithTriangleRedraw)->Unit(benchmark::kMillisecond);

// One pointer move over an open radial menu: the guide line and the highlighted item change, the ring does not.
void radialMenuMove(benchmark::State &state)
{
    QList<QImage> swatches;
    for (int i = 0; i < 10; ++i) {
        QImage image(64, 64, QImage::Format_RGBA8888_Premultiplied);
        image.fill(Qt::red);
        swatches.append(image);
    }
    MRKOCircleSwatchMenu menu(QRectF(0, 0, 200, 200));
    QPointF pointer(100, 100);
    menu.setMouseLocationProvider([&pointer] { return pointer; });
    menu.setMenuImages(swatches, 75, 2.0, nullptr, {});
    menu.updateDownPoint();
    double angle = 0;
    for (auto _ : state) {
        angle += 0.05;
        pointer = QPointF(100 + 90 * std::cos(angle), 100 + 90 * std::sin(angle));
        menu.mouseMoved(platform::Event());
        benchmark::DoNotOptimize(menu.currentSelection());
    }
}
BENCHMARK(radialMenuMove)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    platform::FakeServices fakes;
    platform::install(platform::makeFakeServices(fakes));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
