#pragma once

#include "platform/BitmapContext.h"

#include <QImage>
#include <QRectF>

#include <memory>

class QPainter;

namespace inkora {

/// The off-screen bitmap a canvas renders the stroke in progress into. It covers the canvas's bounds grown by
/// `kMargin` points on every side, at the display's backing scale; its user space is the canvas's view points
/// (y up), so renderers draw in view coordinates and strokes slightly outside the view still land in it.
/// Pixel rectangles below count rows from the top of the bitmap. Main thread only.
class StrokeCache final
{
public:
    static constexpr double kMargin = 100; // points

    struct ScreenOptions
    {
        qint64 method = 0;            // MRKODrawToScreenMethod; unknown values copy as method 1 does
        bool semitransparent = false; // "SemitransparentDrawingKey"
        double opacity = 1;           // "DrawingOpacity"
        double backingScale = 1;      // of the screen shown on; 0 without a screen
    };

    /// Null when the bitmap cannot be made.
    [[nodiscard]] static std::unique_ptr<StrokeCache> create(const QRectF &bounds, double scale);
    [[nodiscard]] static QRectF cacheRectForBounds(const QRectF &bounds);

    [[nodiscard]] platform::BitmapContext &context() { return *m_context; }
    [[nodiscard]] const platform::BitmapContext &context() const { return *m_context; }
    /// What the cache covers, in view points.
    [[nodiscard]] QRectF rect() const { return m_rect; }

    /// The pixels under a rectangle of view points, for a screen of the given backing scale.
    [[nodiscard]] QRectF pixelRectForRect(const QRectF &rect, double backingScale) const;
    /// A copy of the pixels under the rectangle (clipped to the bitmap); null for an empty rectangle.
    [[nodiscard]] QImage copyOfRect(const QRectF &rect, double backingScale) const;
    void clearRect(const QRectF &rect) { m_context->clearRect(rect); }

    /// Copies the cache under `dirty` (view points, inside the cache) into a painter in view points, replacing
    /// what the painter had there, by the chosen method.
    void drawToScreen(QPainter &painter, const QRectF &dirty, const ScreenOptions &options) const;

private:
    /// The view points a pixel rectangle covers.
    [[nodiscard]] QRectF rectForPixels(const QRect &pixels, double backingScale) const;
    StrokeCache(std::unique_ptr<platform::BitmapContext> context, const QRectF &rect);

    std::unique_ptr<platform::BitmapContext> m_context;
    QRectF m_rect;
};

/// Draws an image into a rectangle of a painter in y-up points, with the image's first row at the top; a straight
/// blit when the painter only flips and scales.
void drawImageUpright(QPainter &painter, const QRectF &rect, const QImage &image, const QRectF &source = {});

} // namespace inkora
