#include "platform/BitmapContext.h"
#include "platform/Layer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr QSizeF kScreen(1440, 900); // points
constexpr double kScale = 2;

// A container of 50 finished drawings: bitmap layers of 80 to 300 points at scale 2, scattered over the screen.
platform::LayerPtr makeTree(bool shadows)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> position(0, 1);
    std::uniform_real_distribution<double> side(80, 300);
    auto root = platform::Layer::create();
    root->setFrame(QRectF(QPointF(0, 0), kScreen));
    auto container = platform::Layer::create();
    container->setFrame(root->bounds());
    root->addSublayer(container);
    for (int i = 0; i < 50; ++i) {
        const QSizeF size(side(random), side(random));
        QImage picture((size * kScale).toSize(), QImage::Format_RGBA8888_Premultiplied);
        picture.fill(Qt::transparent);
        {
            QPainter p(&picture);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor::fromHsvF(float(i) / 50, 1, 1), 10 * kScale));
            p.drawLine(QPointF(0, 0), QPointF(picture.width(), picture.height()));
        }
        auto drawing = platform::Layer::create();
        drawing->setFrame(QRectF(QPointF(position(random) * (kScreen.width() - size.width()),
                                         position(random) * (kScreen.height() - size.height())),
                                 size));
        drawing->setContents(std::make_shared<const QImage>(std::move(picture)));
        drawing->setContentsScale(kScale);
        drawing->setZPosition(-1);
        if (shadows && i % 5 == 0) {
            drawing->setShadowOpacity(0.5);
            drawing->setShadowRadius(4);
        }
        container->addSublayer(drawing);
    }
    return root;
}

void renderWholeScreen(benchmark::State &state)
{
    const auto root = makeTree(state.range(0) != 0);
    auto context = platform::BitmapContext::create(int(kScreen.width() * kScale), int(kScreen.height() * kScale));
    context->scaleCTM(kScale, kScale);
    for (auto _ : state) {
        context->clearRect(QRectF(QPointF(0, 0), kScreen));
        root->renderInContext(context->painter());
        benchmark::DoNotOptimize(context->data());
    }
}
BENCHMARK(renderWholeScreen)->Arg(0)->Arg(1)->ArgName("shadows")->Unit(benchmark::kMillisecond);

// A presentation render limited to a dirty rectangle, as the screen repaints one pointer step.
void renderDirtyRect(benchmark::State &state)
{
    const auto root = makeTree(false);
    auto context = platform::BitmapContext::create(int(kScreen.width() * kScale), int(kScreen.height() * kScale));
    context->scaleCTM(kScale, kScale);
    const double side = double(state.range(0));
    const QRectF dirty(600, 400, side, side);
    for (auto _ : state) {
        context->clearRect(dirty);
        root->renderPresentationInContext(context->painter(), dirty);
        benchmark::DoNotOptimize(context->data());
    }
}
BENCHMARK(renderDirtyRect)->Arg(30)->Arg(200)->ArgName("points")->Unit(benchmark::kMicrosecond);

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
