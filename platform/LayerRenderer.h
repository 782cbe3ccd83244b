#pragma once

#include <QImage>
#include <QRectF>

#include <optional>

class QPainter;

namespace platform {

class Layer;

/// Paints a layer tree into a QPainter whose transform is in the top layer's coordinates (points, y up).
/// Order per layer: shadow, background, contents, own drawing, sublayers (by zPosition, then order), border;
/// opacity, mask, masks-to-bounds and corner radius apply to all of it.
class LayerRenderer
{
public:
    struct Options
    {
        bool presentation = false;
        std::optional<QRectF> dirtyRect; // in the top layer's coordinates
    };

    static void render(const Layer &layer, QPainter &painter, const Options &options);

    /// Draws an image upright into a rectangle of a y-up painter.
    static void drawImageUpright(QPainter &painter, const QRectF &rect, const QImage &image,
                                 const QRectF &sourceRect = {});
};

} // namespace platform
