#include "bench/objects/ObjectsBenchSupport.h"

#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOArrowPill.h"

#include <QPainter>

#include <random>
#include <sys/resource.h>

namespace bench {

std::vector<platform::LayerPtr> makeDrawings(int count, const platform::LayerPtr &container)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(0, kDisplayWidth - 200), y(0, kDisplayHeight - 120);
    std::vector<platform::LayerPtr> drawings;
    for (int i = 0; i < count; ++i) {
        const QPointF start(x(random), y(random));
        auto arrow = std::make_shared<MRKOArrowPill>(1, start, start + QPointF(180, 100), QColor(Qt::red),
                                                     QColor(Qt::blue), 0, 10, i % 5);
        arrow->setToolThickness(3);
        auto layer = platform::Layer::create();
        layer->setContentsScale(kScale);
        layer->setZPosition(-1);
        OpaqueContent::setPill(*layer, arrow);
        OpaqueContent::updateGraphicLayer(*layer);
        container->addSublayer(layer);
        drawings.push_back(layer);
    }
    return drawings;
}

platform::LayerPtr makeMask(double radius)
{
    QImage disc(int(2 * radius * kScale), int(2 * radius * kScale), QImage::Format_RGBA8888_Premultiplied);
    disc.fill(Qt::transparent);
    {
        QPainter painter(&disc);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::black);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(disc.rect());
    }
    auto mask = platform::Layer::create();
    mask->setFrame(QRectF(kDisplayWidth / 2 - radius, kDisplayHeight / 2 - radius, 2 * radius, 2 * radius));
    mask->setContentsScale(kScale);
    mask->setContents(std::make_shared<const QImage>(disc));
    return mask;
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

} // namespace bench
