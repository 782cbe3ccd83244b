// The screen loupe following the pointer on a real X display: each frame moves the loupe, captures the area below
// it and redraws it. Run by scripts/bench-loupe on a 3840 x 2160 display with a compositing manager, a screen-sized
// window of ours below the loupe and ten windows of another client.
#include "platform/Services.h"
#include "platform/linux/LinuxServices.h"
#include "tools/KPColorPickerView.h"
#include "tools/KPPickerPix.h"

#include <QApplication>
#include <QCursor>
#include <QPalette>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

void loupeFrame(benchmark::State &state)
{
    // A screen-sized translucent window of ours, as the overlay.
    QWidget overlay;
    overlay.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    overlay.setAttribute(Qt::WA_TranslucentBackground);
    overlay.setGeometry(QGuiApplication::primaryScreen()->geometry());
    overlay.show();
    QTest::qWaitForWindowExposed(&overlay);

    KPColorPickerView picker;
    picker.pickFromScreenButtonAction();
    QTest::qWait(50);
    KPPickerPix *loupe = picker.pixWindow();
    if (!loupe) {
        state.SkipWithError("no loupe");
        return;
    }
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    double t = 0;
    for (auto _ : state) {
        t += 0.01;
        QCursor::setPos(screen.center() + QPoint(int(1500 * std::cos(t)), int(800 * std::sin(t))));
        loupe->moved();
        loupe->contentView()->repaint();
        QCoreApplication::processEvents();
    }
    state.counters["capture_px"] = loupe->contentView()->bitmap().width();
    picker.killPickerWithCleaning();
}
BENCHMARK(loupeFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

/// The other client: ten windows of different colours across the screen, until it is killed.
int runOtherClient(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::vector<std::unique_ptr<QWidget>> windows;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (int i = 0; i < 10; ++i) {
        auto window = std::make_unique<QWidget>();
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, QColor::fromHsvF(i / 10.0, 0.8, 0.9));
        window->setPalette(palette);
        window->setAutoFillBackground(true);
        window->setGeometry(screen.x() + (i % 5) * screen.width() / 5, screen.y() + (i / 5) * screen.height() / 2,
                            screen.width() / 4, screen.height() / 3);
        window->show();
        windows.push_back(std::move(window));
    }
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (argc > 1 && qstrcmp(argv[1], "--other-client") == 0)
        return runOtherClient(argc, argv);
    QTemporaryDir home; // the settings store must not touch the user's own
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QProcess other;
    other.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--other-client")});
    other.waitForStarted();
    QApplication app(argc, argv);
    platform::install(platform::makeLinuxServices());
    QTest::qWait(1500); // the other client's windows are mapped
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    other.kill();
    other.waitForFinished();
    return 0;
}
