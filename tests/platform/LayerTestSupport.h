#pragma once

#include "platform/Layer.h"

#include <QColor>
#include <QImage>
#include <QPainter>

/// Renders a layer with model values into a transparent image of `size` points at `scale`, y up.
inline QImage renderToImage(const platform::Layer &layer, QSize size, double scale = 1.0, bool presentation = false)
{
    QImage image(size * scale, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(0, image.height());
    painter.scale(scale, -scale);
    if (presentation)
        layer.renderPresentationInContext(painter);
    else
        layer.renderInContext(painter);
    return image;
}

/// The pixel under a point given with y up, in points.
inline QColor pixelAt(const QImage &image, double x, double y, double scale = 1.0)
{
    return image.pixelColor(int(x * scale), image.height() - 1 - int(y * scale));
}

inline platform::LayerPtr makeLayer(const QRectF &frame, const QColor &background = {})
{
    auto layer = platform::Layer::create();
    layer->setFrame(frame);
    if (background.isValid())
        layer->setBackgroundColor(background);
    return layer;
}
