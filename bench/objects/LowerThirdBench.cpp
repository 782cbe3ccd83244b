#include "app/RegisteredDefaults.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "objects/MRKOLowerThird.h"
#include "platform/Defaults.h"
#include "platform/LayerWidget.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

const QSizeF kDisplay(1280, 720); // points; 2560 x 1440 pixels at scale 2
constexpr double kScale = 2;

// One frame of the lower third while both bars turn in: the whole window painted with presentation values.
void lowerThirdFrame(benchmark::State &state)
{
    MRKOUtils::userDefaults().registerDefaults(inkora::registeredDefaultSettings());
    QWidget view;
    view.resize(kDisplay.toSize());
    auto *canvas = new MRKODraw(QRectF(QPointF(0, 0), kDisplay), kScale, &view); // child of the view
    const auto lowerThird = MRKOLowerThird::lowerThirdWithDrawView(canvas);
    lowerThird->animateIfNeeded();
    lowerThird->secondAppearAnimation();
    QImage screen((kDisplay * kScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    const platform::Layer &root = *lowerThird->contentViewLayer();
    for (auto _ : state) {
        screen.fill(Qt::transparent);
        QPainter painter(&screen);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(QTransform(kScale, 0, 0, -kScale, 0, kDisplay.height() * kScale));
        root.renderPresentationInContext(painter);
        benchmark::DoNotOptimize(screen.constBits());
    }
    lowerThird->cleanUp();
}
BENCHMARK(lowerThirdFrame)->Unit(benchmark::kMillisecond);

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
