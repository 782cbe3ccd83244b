#include "foundation/LayerCompositing.h"

#include "foundation/InkoraLog.h"
#include "platform/BitmapContext.h"
#include "platform/Geometry.h"
#include "platform/Layer.h"
#include "platform/Transaction.h"

#include <cmath>

namespace inkora {

std::shared_ptr<platform::Layer> compositeOfLayers(const std::vector<std::shared_ptr<platform::Layer>> &layers)
{
    if (layers.empty())
        return nullptr;
    if (layers.size() == 1) {
        qCInfo(lcFoundation) << "compositeOfLayers: Layer already is composite";
        return layers.front();
    }
    QRectF united = layers.front()->frame();
    for (const auto &layer : layers)
        united = united.united(layer->frame());
    united = platform::floorOriginCeilSize(united);

    const double scale = layers.front()->contentsScale();
    auto composite = platform::Layer::create();
    composite->setFrame(united);
    composite->setContentsScale(scale);
    {
        platform::TransactionScope transaction(true);
        for (const auto &layer : layers) {
            composite->addSublayer(layer);
            layer->removeAllAnimations();
        }
    }

    auto context = platform::BitmapContext::create(int(std::ceil(united.width() * scale)),
                                                   int(std::ceil(united.height() * scale)));
    if (!context) {
        qCWarning(lcFoundation) << "compositeOfLayers: CGContextRef Create Failed";
        return nullptr;
    }
    context->saveGState();
    context->scaleCTM(scale, scale);
    context->translateCTM(-united.x(), -united.y());
    context->draw([&](QPainter &painter) { composite->renderInContext(painter); });
    context->restoreGState();

    composite->setContents(std::make_shared<const QImage>(context->makeImage()));
    composite->setSublayers({});
    composite->setZPosition(-1);
    composite->setBorderColor(layers.back()->borderColor());
    return composite;
}

void cutRectInLayer(const QRectF &rect, platform::Layer &layer)
{
    const double scale = layer.contentsScale();
    const QRectF bounds = layer.bounds();
    auto context = platform::BitmapContext::create(int(std::ceil(bounds.width() * scale)),
                                                   int(std::ceil(bounds.height() * scale)));
    if (!context) {
        qCWarning(lcFoundation) << "cutRect:inLayer: CGContextRef Create Failed";
        return;
    }
    context->scaleCTM(scale, scale);
    context->translateCTM(-bounds.x(), -bounds.y());
    context->draw([&](QPainter &painter) { layer.renderInContext(painter); });
    context->clearRect(rect);
    layer.setContents(std::make_shared<const QImage>(context->makeImage()));
}

} // namespace inkora
