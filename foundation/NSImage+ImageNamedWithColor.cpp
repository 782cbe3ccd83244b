#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/GradientFilters.h"
#include "platform/ImageLoader.h"
#include "platform/LayerRenderer.h"
#include "tools/MRKOToolColor.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace ImageNamedWithColor {

namespace {

// Fills `rect` (under `fillTransform`) with the colour where the image, drawn upright into the same rectangle
// under `maskTransform`, has alpha. Both transforms map user space to the painter's logical coordinates.
void fillThroughMask(QPainter &painter, const QImage &image, const QRectF &rect, const QTransform &maskTransform,
                     const QTransform &fillTransform, const QColor &color)
{
    if (image.isNull() || rect.isEmpty())
        return;
    const QRect area = fillTransform.mapRect(rect).toAlignedRect();
    if (area.isEmpty())
        return;
    const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QImage layer(QSize(int(std::ceil(area.width() * dpr)), int(std::ceil(area.height() * dpr))),
                 QImage::Format_RGBA8888_Premultiplied);
    layer.setDevicePixelRatio(dpr);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QTransform toLayer = QTransform::fromTranslate(-area.x(), -area.y());
        p.setTransform(fillTransform * toLayer);
        QPainterPath clip;
        clip.addRect(rect);
        p.setClipPath(clip);
        p.setTransform(maskTransform * toLayer);
        platform::LayerRenderer::drawImageUpright(p, rect, image);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.setTransform(fillTransform * toLayer);
        p.fillRect(rect, color);
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(QRectF(area), layer);
    painter.restore();
}

QTransform flippedAbout(const QTransform &t, double height)
{
    return QTransform(1, 0, 0, -1, 0, height) * t;
}

double clipHeight(const QPainter &painter)
{
    if (painter.hasClipping())
        return painter.clipBoundingRect().height();
    const QPaintDevice *device = painter.device();
    if (!device)
        return 0;
    const QRectF deviceRect(0, 0, device->width(), device->height());
    return painter.combinedTransform().inverted().mapRect(deviceRect).height();
}

} // namespace

void drawAlternateInRect(QPainter &painter, const QImage &image, const QRectF &rect, const QColor &color)
{
    const QTransform t = painter.combinedTransform();
    fillThroughMask(painter, image, rect, flippedAbout(t, rect.height()), t, color);
}

void drawAlternateInRectWOFlipping(QPainter &painter, const QImage &image, const QRectF &rect, const QColor &color)
{
    const QTransform t = painter.combinedTransform();
    fillThroughMask(painter, image, rect, t, t, color);
}

void drawAIR(QPainter &painter, const QImage &image, const QRectF &rect, const QColor &color)
{
    if (!painter.isActive())
        return;
    const QTransform t = painter.combinedTransform();
    fillThroughMask(painter, image, rect, flippedAbout(t, clipHeight(painter)), t, color);
}

void drawIconInRect(QPainter &painter, const QImage &image, const QRectF &rect)
{
    drawEtchedInRect(painter, image, rect, QColor::fromRgbF(0.1333f, 0.5176f, 0.9647f, 1));
}

void drawEtchedInRect(QPainter &painter, const QImage &image, const QRectF &rect, const QColor &color)
{
    // A gradient from the colour to itself: one flat colour.
    const QTransform t = painter.combinedTransform();
    fillThroughMask(painter, image, rect, t, t, color);
}

QImage imageWithColor(const QImage &image, const QColor &color, double scale)
{
    if (image.isNull())
        return {};
    const QSizeF size = image.deviceIndependentSize() * scale;
    QImage result(QSize(int(std::ceil(size.width())), int(std::ceil(size.height()))),
                  QImage::Format_RGBA8888_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    // Painted y down, where the flipping variant keeps the icon upright; in a y-up space it would stand on its
    // head.
    drawAlternateInRect(painter, image, QRectF(QPointF(0, 0), size), color);
    return result;
}

QImage imageNamedWithColor(const QString &name, const QColor &color, double scale)
{
    return imageWithColor(platform::ImageLoader::namedImage(name, scale), color, scale);
}

QImage radialImageWithSize(QSizeF size, double feather, const QColor &color, double scale)
{
    const QColor c = color.isValid() ? color : MRKOToolColor::defaultFlashlightColor().toQColor();
    const QSize pixels = (size * scale).toSize();
    const double w = size.width() * scale;
    const double f = feather * scale;
    QColor clear = c;
    clear.setAlphaF(0);
    return platform::radialGradient(pixels, QPointF(w / 2, size.height() * scale / 2), std::max(0.0, w / 2 - f), w / 2,
                                    clear, c);
}

QImage linearImageWithSize(QSizeF size, double feather, const QColor &color, double scale)
{
    const QColor c = color.isValid() ? color : MRKOToolColor::defaultFlashlightColor().toQColor();
    const QSize pixels = (size * scale).toSize();
    const double w = size.width() * scale, h = size.height() * scale, f = feather * scale;
    const QColor white(255, 255, 255), black(0, 0, 0);
    // White at each edge, black f inside; screened together, the brightness says how much shade a pixel gets.
    const QImage top = platform::linearGradient(pixels, {w / 2, h}, {w / 2, h - f}, white, black);
    const QImage right = platform::linearGradient(pixels, {w, h / 2}, {w - f, h / 2}, white, black);
    const QImage bottom = platform::linearGradient(pixels, {w / 2, 0}, {w / 2, f}, white, black);
    const QImage left = platform::linearGradient(pixels, {0, h / 2}, {f, h / 2}, white, black);
    const QImage edges = platform::screenBlend(platform::screenBlend(top, right), platform::screenBlend(bottom, left));
    const QImage mask = platform::maskToAlpha(edges);
    QImage solid(pixels, QImage::Format_RGBA8888_Premultiplied);
    solid.fill(c);
    QImage empty(pixels, QImage::Format_RGBA8888_Premultiplied);
    empty.fill(Qt::transparent);
    return platform::blendWithAlphaMask(solid, empty, mask);
}

} // namespace ImageNamedWithColor
