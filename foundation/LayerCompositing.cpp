#include "foundation/LayerCompositing.h"

#include "foundation/InkoraLog.h"
#include "foundation/NSBitmapImageRep+Representations.h"
#include "objects/BezierPath.h"
#include "platform/BitmapContext.h"
#include "platform/Geometry.h"
#include "platform/ScreenGrabber.h"
#include "platform/Services.h"
#include "platform/Transaction.h"

#include <QPainter>

#include <cmath>

namespace inkora {

namespace {

const QString kEmptyName = QStringLiteral("Empty");

// A bitmap of ceil(width x scale) by ceil(height x scale) pixels; null when that is no usable size.
std::unique_ptr<platform::BitmapContext> bitmapFor(QSizeF points, double scale)
{
    const double width = std::ceil(points.width() * scale), height = std::ceil(points.height() * scale);
    constexpr double kLargest = 1 << 30;
    if (!(width >= 1 && height >= 1 && width < kLargest && height < kLargest))
        return nullptr;
    return platform::BitmapContext::create(int(width), int(height));
}

QRect pixelsOf(const QRectF &points, double scale)
{
    return QRectF(points.x() * scale, points.y() * scale, points.width() * scale, points.height() * scale)
        .toAlignedRect();
}

platform::ScreenGrabber *grabber()
{
    return platform::services().screenGrabber.get();
}

} // namespace

QRectF globalCaptureRect(const QRectF &rect, const CaptureDisplay &display)
{
    const QRectF &s = display.frame;
    const QRectF &f = display.firstFrame;
    return {rect.x() + s.x(), (f.height() - (s.y() + s.height())) + (s.height() - rect.y() - rect.height()),
            rect.width(), rect.height()};
}

QImage fullScreenRepWithWindowID(quint64 window, const CaptureDisplay &display, bool includingWindow)
{
    platform::ScreenGrabber *g = grabber();
    if (!g)
        return {};
    const QRectF area = globalCaptureRect(QRectF(0, 0, display.frame.width(), display.frame.height()), display);
    const QImage image = g->grabBelowWindow(window, includingWindow, pixelsOf(area, display.scale));
    return image.isNull() ? QImage() : Representations::bitmapWithCGImageSRGB(image);
}

QImage fullScreenRepWithDisplayID(const CaptureDisplay &display)
{
    platform::ScreenGrabber *g = grabber();
    if (!g)
        return {};
    const QRectF area = globalCaptureRect(QRectF(0, 0, display.frame.width(), display.frame.height()), display);
    const QImage image = g->grabArea(pixelsOf(area, display.scale));
    return image.isNull() ? QImage() : Representations::bitmapWithCGImageSRGB(image);
}

QImage screenPortionWithRect(const QRectF &rect, quint64 window, const CaptureDisplay &display, bool cut, bool cutShape,
                             const QRectF &fromRect)
{
    platform::ScreenGrabber *g = grabber();
    if (!g)
        return {};
    const QRectF r = platform::alignedRect(rect, platform::EdgeAlignment::Outward);
    const double s = display.scale;
    // Opaque: whatever alpha the windows had is not kept.
    const QImage image = g->grabBelowWindow(window, true, pixelsOf(globalCaptureRect(r, display), s))
                             .convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return {};
    if (!cut)
        return Representations::bitmapWithCGImageSRGB(image);
    // The kept part in the capture's pixels, y up from its bottom-left corner.
    const QRectF kept((fromRect.x() - r.x()) * s, (fromRect.y() - r.y()) * s, fromRect.width() * s,
                      fromRect.height() * s);
    BezierPath mask;
    if (cutShape)
        mask.appendOval(kept);
    else
        mask.appendRect(kept);
    return Representations::bitmapWithCGImageSRGBMask(image, mask);
}

QImage bitmapWithSize(QSizeF size, const QColor &color)
{
    std::unique_ptr<platform::BitmapContext> context;
    if (size.width() >= 1 && size.height() >= 1 && size.width() < (1 << 30) && size.height() < (1 << 30))
        context = platform::BitmapContext::create(int(size.width()), int(size.height()));
    if (!context) {
        qCWarning(lcFoundation) << "emptyBitmapWithSize: Failed to create context.";
        return {};
    }
    context->setFillColor(color.isValid() ? color : QColor::fromRgbF(0.2f, 0.2f, 0.2f, 1.0f));
    context->fillRect(QRectF(0, 0, context->width(), context->height()));
    return context->makeImage();
}

platform::LayerPtr compositeOfLayers(const std::vector<platform::LayerPtr> &layers, const platform::LayerPtr &mask)
{
    if (layers.empty()) {
        qCWarning(lcFoundation) << "compositeOfLayers: no layers; nothing composited";
        return nullptr;
    }
    if (!mask && layers.size() == 1) {
        qCDebug(lcFoundation) << "compositeOfLayers: Layer already is composite";
        return layers.front();
    }
    QRectF united = layers.front()->frame();
    for (const platform::LayerPtr &layer : layers)
        united = platform::unionRectKeepingPoints(united, layer->frame());
    const QRectF u = platform::floorOriginCeilSize(united);
    const double scale = layers.front()->contentsScale();

    // The bitmap comes first: when it cannot be made, every layer is still where it was.
    const std::unique_ptr<platform::BitmapContext> context = bitmapFor(u.size(), scale);
    if (!context) {
        qCWarning(lcFoundation) << "compositeOfLayers: CGContextRef Create Failed";
        return nullptr;
    }
    const int w = context->width(), h = context->height();

    auto composite = platform::Layer::create();
    composite->setFrame(u);
    composite->setContentsScale(scale);
    {
        const platform::TransactionScope noAnimation(true);
        for (const platform::LayerPtr &layer : layers) {
            composite->addSublayer(layer);
            layer->removeAllAnimations();
        }
    }
    context->saveGState();
    context->scaleCTM(scale, scale);
    context->translateCTM(-u.x(), -u.y());
    context->draw([&composite](QPainter &painter) { composite->renderInContext(painter); });
    if (mask) {
        // The mask's painted pixels erase what lies under them.
        context->setBlendMode(platform::BitmapContext::BlendMode::DestinationOut);
        composite->setSublayers({mask});
        context->draw([&composite](QPainter &painter) { composite->renderInContext(painter); });
    }
    context->restoreGState();
    QImage image = context->makeImage();

    if (mask) {
        const QRectF trim = Representations::efficientRectForTrimmingTransparentPixelsWithBytes(
            context->data(), w, h, context->bytesPerRow(), false, int(scale));
        if (trim.isEmpty()) {
            composite->setName(kEmptyName);
        } else if (trim != QRectF(0, 0, w, h)) {
            composite->setFrame(platform::integralRect(QRectF(u.x() + trim.x() / scale, u.y() + trim.y() / scale,
                                                              trim.width() / scale, trim.height() / scale)));
            // The trim rectangle counts rows from the bottom; the image from the top.
            image =
                image.copy(int(trim.x()), int(h - (trim.y() + trim.height())), int(trim.width()), int(trim.height()));
        }
    }
    const platform::TransactionScope noAnimation(true);
    composite->setContents(std::make_shared<const QImage>(std::move(image)));
    composite->setSublayers({});
    composite->setZPosition(-1);
    composite->setBorderColor(layers.back()->borderColor());
    return composite;
}

void cutRectInLayer(const QRectF &rect, platform::Layer &layer)
{
    const QRectF bounds = layer.bounds();
    const double scale = layer.contentsScale();
    const std::unique_ptr<platform::BitmapContext> context = bitmapFor(bounds.size(), scale);
    if (!context) {
        qCWarning(lcFoundation) << "cutRect:inLayer: CGContextRef Create Failed";
        return;
    }
    context->scaleCTM(scale, scale);
    context->translateCTM(-bounds.x(), -bounds.y());
    context->draw([&layer](QPainter &painter) { layer.renderInContext(painter); });
    context->clearRect(rect);
    const platform::TransactionScope noAnimation(true);
    layer.setContents(std::make_shared<const QImage>(context->makeImage()));
}

platform::LayerPtr renderedLayerForScale(const platform::Layer &layer, double scale)
{
    const QRectF bounds = layer.bounds();
    const std::unique_ptr<platform::BitmapContext> context = bitmapFor(bounds.size(), scale);
    if (!context) {
        qCWarning(lcFoundation) << "capturedLayer: CGContextRef Create Failed";
        return nullptr;
    }
    context->scaleCTM(scale, scale);
    context->translateCTM(-bounds.x(), -bounds.y());
    context->draw([&layer](QPainter &painter) { layer.renderInContext(painter); });
    auto rendered = platform::Layer::create();
    rendered->setFrame(layer.frame());
    rendered->setContents(std::make_shared<const QImage>(context->makeImage()));
    rendered->setContentsScale(scale);
    return rendered;
}

QRectF unionRectOfLayers(const std::vector<platform::LayerPtr> &layers)
{
    if (layers.empty())
        return {};
    QRectF united = layers.front()->frame();
    for (const platform::LayerPtr &layer : layers)
        united = platform::unionRectKeepingPoints(united, layer->frame());
    return united;
}

} // namespace inkora
