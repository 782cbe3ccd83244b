#pragma once

#include "platform/Layer.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace inkora {

// Screen captures and the merging, cutting and re-rendering of drawing layers. Main thread only.

/// A display as the captures need it, in global points with y up: its frame, the frame of the first display (the
/// one the window system's coordinates start from), and its backing scale (window-system pixels per point).
struct CaptureDisplay
{
    QRectF frame;
    QRectF firstFrame;
    double scale = 1.0;
};

/// A rectangle in a display's own points (origin at its bottom-left) in the capture space: global, origin at the
/// top-left corner of the first display, y down.
[[nodiscard]] QRectF globalCaptureRect(const QRectF &rect, const CaptureDisplay &display);

/// An sRGB bitmap of the whole display made from the windows below `window` (and `window` itself when
/// `includingWindow`); null when no image can be had.
[[nodiscard]] QImage fullScreenRepWithWindowID(quint64 window, const CaptureDisplay &display, bool includingWindow);
/// An sRGB bitmap of the whole display as it shows now, every window included.
[[nodiscard]] QImage fullScreenRepWithDisplayID(const CaptureDisplay &display);
/// An sRGB bitmap of `rect` (the display's points, rounded outwards) below and including `window`; with `cut`, only
/// `fromRect` (an oval when `cutShape`, else a rectangle) is kept and the rest stays transparent.
[[nodiscard]] QImage screenPortionWithRect(const QRectF &rect, quint64 window, const CaptureDisplay &display, bool cut,
                                           bool cutShape, const QRectF &fromRect);

/// An opaque sRGB bitmap of the size (pixels, truncated) filled with the colour, dark grey (white 0.2) without one.
[[nodiscard]] QImage bitmapWithSize(QSizeF size, const QColor &color);

/// One layer holding the layers' pixels merged (the mask's painted pixels cut out, and the result trimmed, when a
/// mask is given). The layers move into the composite. A single layer without a mask is returned itself. Null, with
/// the layers left where they were, when the bitmap cannot be made.
[[nodiscard]] platform::LayerPtr compositeOfLayers(const std::vector<platform::LayerPtr> &layers,
                                                   const platform::LayerPtr &mask);
/// Clears `rect` (the layer's points) out of the layer's bitmap; the layer stays as it was when no bitmap can be made.
void cutRectInLayer(const QRectF &rect, platform::Layer &layer);
/// A new layer with the same frame showing the layer rendered at `scale` pixels per point; null when no bitmap
/// can be made.
[[nodiscard]] platform::LayerPtr renderedLayerForScale(const platform::Layer &layer, double scale);
/// The union of the layers' frames (a frame of zero size counts by its origin); the zero rectangle for none.
[[nodiscard]] QRectF unionRectOfLayers(const std::vector<platform::LayerPtr> &layers);

} // namespace inkora
