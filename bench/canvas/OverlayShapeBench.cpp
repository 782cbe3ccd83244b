#include "canvas/OverlayShape.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <benchmark/benchmark.h>

namespace {

// One pointer event's work on a 3840 x 2160 overlay: the dirty rectangle of a brush segment is painted into a
// scratch image and its painted rows are taken as the new part of the shape.
void ShapeUpdatePerPointerEvent(benchmark::State &state)
{
    QImage overlay(3840, 2160, QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    {
        QPainter painter(&overlay);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::red, 15, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(100, 100, 3700, 2000);
    }
    const QRect dirty(1900, 1000, 64, 64); // a segment's outline with its width
    for (auto _ : state) {
        QImage scratch(dirty.size(), QImage::Format_ARGB32_Premultiplied);
        scratch.fill(Qt::transparent);
        QPainter painter(&scratch);
        painter.drawImage(QPoint(), overlay, dirty);
        painter.end();
        const QRegion painted = inkora::paintedRegion(scratch, scratch.rect()).translated(dirty.topLeft());
        benchmark::DoNotOptimize(painted.rectCount());
    }
}
BENCHMARK(ShapeUpdatePerPointerEvent)->Unit(benchmark::kMicrosecond);

// The whole display once, as when the overlay is shown or a compositing manager stops.
void ShapeRebuildOfTheWholeDisplay(benchmark::State &state)
{
    QImage overlay(3840, 2160, QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    {
        QPainter painter(&overlay);
        painter.setPen(QPen(Qt::red, 15));
        painter.drawLine(100, 100, 3700, 2000);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(inkora::paintedRegion(overlay, overlay.rect()).rectCount());
}
BENCHMARK(ShapeRebuildOfTheWholeDisplay)->Unit(benchmark::kMillisecond);

} // namespace
