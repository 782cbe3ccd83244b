#include "canvas/MRKOLayerTracking.h"

#include "foundation/InkoraLog.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/Transaction.h"

namespace {

constexpr unsigned kAreaOptions = platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::ActiveAlways;

} // namespace

std::shared_ptr<MRKOLayerTracking> MRKOLayerTracking::layerTracking(const platform::LayerPtr &layer,
                                                                    const QString &imageName, double backingScale)
{
    auto tracker = std::shared_ptr<MRKOLayerTracking>(new MRKOLayerTracking);
    tracker->m_layer = layer;
    tracker->m_imageName = imageName;
    tracker->m_backingScale = backingScale;
    tracker->updateImage();
    return tracker;
}

void MRKOLayerTracking::mouseEntered(const platform::Event &)
{
    m_entered = true;
    updateImage();
}

void MRKOLayerTracking::mouseExited(const platform::Event &)
{
    exitMouse();
}

void MRKOLayerTracking::exitMouse()
{
    m_entered = false;
    updateImage();
}

void MRKOLayerTracking::updateImage()
{
    if (m_imageName.isEmpty()) {
        qCWarning(lcCanvas) << "Image is nil.";
        return;
    }
    const platform::LayerPtr layer = m_layer.lock();
    if (!layer)
        return;
    const QColor tint = m_entered ? OnOffColor::iconOnColor() : QColor::fromRgbF(0.59, 0.59, 0.59, 1);
    QImage image = ImageNamedWithColor::imageNamedWithColor(m_imageName, tint, m_backingScale);
    platform::TransactionScope transaction(true);
    layer->setContentsScale(m_backingScale);
    layer->setContents(image.isNull() ? nullptr : std::make_shared<const QImage>(std::move(image)));
}

platform::TrackingAreaPtr MRKOLayerTracking::trackingArea()
{
    const platform::LayerPtr layer = m_layer.lock();
    if (!layer || !layer->superlayer())
        return nullptr;
    const platform::Layer *superlayer = layer->superlayer();
    const QRectF rect = superlayer->convertRectToLayer(layer->frame(), superlayer->superlayer());
    return std::make_shared<platform::TrackingArea>(rect, kAreaOptions, weak_from_this());
}
