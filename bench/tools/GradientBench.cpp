#include "foundation/MRKOUtils.h"
#include "tools/KPAngularGradient.h"
#include "tools/MRKOColorButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The gradient at the sizes its users ask for: the Touch Bar items (26), the panel's colour buttons (44) and the
// colour wheel's hue ring (216), in points.
void angularGradient(benchmark::State &state)
{
    const double side = double(state.range(0));
    const QList<inkora::SrgbColor> colors = MRKOUtils::rainbowColorsArray();
    for (auto _ : state) {
        QImage image = KPAngularGradient::newImageGradientInRect(QRectF(0, 0, side, side), colors);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(angularGradient)->Arg(26)->Arg(44)->Arg(216)->Unit(benchmark::kMicrosecond);

// A hover repaint of the selected rainbow button on a display of two pixels a point: the whole button drawn into
// its backing store, as the pointer's entry asks.
void selectedRainbowButtonHoverRepaint(benchmark::State &state)
{
    QWidget panel;
    MRKOColorButton rainbow(QStringLiteral("Rainbow"), 0, &panel);
    rainbow.setGeometry(8, 8, 44, 44);
    rainbow.setState(1);
    QImage screen(QSize(44, 44) * 2, QImage::Format_ARGB32_Premultiplied);
    screen.setDevicePixelRatio(2);
    for (auto _ : state) {
        screen.fill(Qt::transparent);
        rainbow.render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(selectedRainbowButtonHoverRepaint)->Unit(benchmark::kMicrosecond);

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
