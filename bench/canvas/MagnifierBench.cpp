#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOMagnifyG.h"
#include "foundation/LayerCompositing.h"
#include "foundation/MRKOUtils.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <limits>
#include <memory>

namespace {

const QPointF kNoPoint(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());

// Windows below the overlay: a full-screen picture the captures must compose.
class Backdrop final : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        for (int x = 0; x < width(); x += 8)
            painter.fillRect(x, 0, 4, height(), QColor(x % 256, 80, 200));
    }
};

struct Scene
{
    Backdrop backdrop;
    QWidget overlay;
    MRKODraw *canvas = nullptr;

    Scene()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        backdrop.setGeometry(screen);
        backdrop.show();
        overlay.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        overlay.setAttribute(Qt::WA_TranslucentBackground);
        overlay.setGeometry(screen);
        canvas = new MRKODraw(QRectF(QPointF(0, 0), screen.size()), 1.0, &overlay); // child of the overlay
        overlay.show();
        (void)QTest::qWaitForWindowExposed(&overlay);
        QTest::qWait(300);
    }
};

Scene &scene()
{
    static Scene s;
    return s;
}

// One frame of the glass: capture, glass update and repaint of the hole. Arguments: radius, scale x 10, method.
void magnifierFrame(benchmark::State &state)
{
    inkora::LiveSettings &live = inkora::liveSettings();
    live.flashlightRadius = double(state.range(0));
    live.magnifyScale = double(state.range(1)) / 10;
    live.magnifyMethod = state.range(2);
    live.magnifyMode = 0;
    live.useMagnifying = true;
    MRKODraw &canvas = *scene().canvas;
    canvas.removeDarkOverlay();
    canvas.makeDarkOverlayWithEvent(nullptr);
    canvas.showCircleAtPoint(QPointF(700, 450), kNoPoint, false);
    QTest::qWait(250); // past the opening zoom
    double x = 600;
    for (auto _ : state) {
        x = x > 800 ? 600 : x + 3;
        canvas.showCircleAtPoint(QPointF(x, 450), kNoPoint, false);
        QCoreApplication::processEvents(); // the repaint of the areas the change asked for
    }
    canvas.removeDarkOverlay();
}
BENCHMARK(magnifierFrame)
    ->ArgsProduct({{100, 300, 500}, {15, 20, 40, 160}, {0, 1}})
    ->ArgNames({"radius", "scale10", "method"})
    ->Unit(benchmark::kMillisecond);

// For comparison: a whole-display capture below the overlay, as a still image takes it.
void wholeDisplayCapture(benchmark::State &state)
{
    MRKODraw &canvas = *scene().canvas;
    for (auto _ : state) {
        const QImage image =
            inkora::fullScreenRepWithWindowID(quint64(canvas.window()->winId()), canvas.captureDisplay(), false);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(wholeDisplayCapture)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // A real X server with a compositing manager: captures compose the windows below.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
