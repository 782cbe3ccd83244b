#include <QGuiApplication>

#include <benchmark/benchmark.h>

// Layers render through QPainter, which wants an application object; the offscreen platform needs no display.
int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
