#include "canvas/StrokeCache.h"

#include "canvas/MRKODrawToScreenMethod.h"
#include "platform/LayerRenderer.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace inkora {

namespace {

QRect clampedPixels(const QRectF &pixels, const QImage &image)
{
    return pixels.toAlignedRect() & image.rect();
}

} // namespace

StrokeCache::StrokeCache(std::unique_ptr<platform::BitmapContext> context, const QRectF &rect)
    : m_context(std::move(context)), m_rect(rect)
{}

QRectF StrokeCache::cacheRectForBounds(const QRectF &bounds)
{
    return bounds.adjusted(-kMargin, -kMargin, kMargin, kMargin);
}

std::unique_ptr<StrokeCache> StrokeCache::create(const QRectF &bounds, double scale)
{
    const QRectF rect = cacheRectForBounds(bounds);
    auto context = platform::BitmapContext::create(int(rect.width() * scale), int(rect.height() * scale));
    if (!context)
        return nullptr;
    context->scaleCTM(scale, scale);
    context->translateCTM(-rect.x(), -rect.y());
    return std::unique_ptr<StrokeCache>(new StrokeCache(std::move(context), rect));
}

QRectF StrokeCache::pixelRectForRect(const QRectF &rect, double backingScale) const
{
    const double s = backingScale;
    const QRectF pixels((rect.x() - m_rect.x()) * s, (rect.y() - m_rect.y()) * s, rect.width() * s, rect.height() * s);
    // y up to rows from the top.
    return QRectF(pixels.x(), m_context->height() - (pixels.y() + pixels.height()), pixels.width(), pixels.height());
}

QImage StrokeCache::copyOfRect(const QRectF &rect, double backingScale) const
{
    const QRect pixels = clampedPixels(pixelRectForRect(rect, backingScale), m_context->image());
    if (pixels.isEmpty())
        return QImage();
    return m_context->image().copy(pixels);
}

QRectF StrokeCache::rectForPixels(const QRect &pixels, double backingScale) const
{
    const double s = backingScale;
    return QRectF(m_rect.x() + pixels.x() / s, m_rect.y() + (m_context->height() - pixels.y() - pixels.height()) / s,
                  pixels.width() / s, pixels.height() / s);
}

void StrokeCache::drawToScreen(QPainter &painter, const QRectF &dirty, const ScreenOptions &options) const
{
    if (!(options.backingScale > 0))
        return; // no screen: nothing visible
    const QImage &cache = m_context->image();
    if (options.method == MRKODrawToScreenMethodCopyDirtyPixels) {
        // Whole pixels: x, width and height truncated; the top row counted down from the cache's top edge.
        const double s = options.backingScale;
        const int width = int(dirty.width() * s);
        const int height = int(dirty.height() * s);
        const double y = (dirty.y() - m_rect.y()) * s;
        const QRect wanted(int((dirty.x() - m_rect.x()) * s), int(m_context->height() - (y + height)), width, height);
        // Rows outside the bitmap are never read, whatever rectangle comes in.
        const QRect rows = wanted & cache.rect();
        if (rows.isEmpty())
            return;
        if (m_context->isBlank()) {
            // Nothing drawn yet: the copied rows would all be transparent.
            painter.save();
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.setClipRect(dirty, Qt::IntersectClip);
            painter.fillRect(rectForPixels(rows, options.backingScale), Qt::transparent);
            painter.restore();
            return;
        }
        QImage buffer(rows.size(), QImage::Format_RGBA8888_Premultiplied);
        if (buffer.isNull())
            return;
        const qsizetype rowBytes = qsizetype(rows.width()) * 4;
        // Every byte value scaled once, truncated as the bytes are stored, so a big rectangle costs a lookup a byte.
        std::array<uchar, 256> scaled{};
        const double factor = options.opacity * 255.0;
        for (int v = 0; v < 256; ++v)
            scaled[v] = uchar(v / 255.0 * factor);
        for (int row = 0; row < rows.height(); ++row) {
            const uchar *from = cache.constScanLine(rows.y() + row) + qsizetype(rows.x()) * 4;
            uchar *to = buffer.scanLine(row);
            if (!options.semitransparent) {
                std::copy_n(from, rowBytes, to);
                continue;
            }
            for (qsizetype i = 0; i < rowBytes; i += 4) {
                if (from[i + 3] == 0) {
                    std::fill_n(to + i, 4, uchar(0));
                    continue;
                }
                for (int c = 0; c < 4; ++c)
                    to[i + c] = scaled[from[i + c]];
            }
        }
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setClipRect(dirty, Qt::IntersectClip);
        drawImageUpright(painter, rectForPixels(rows, options.backingScale), buffer);
        painter.restore();
        return;
    }

    const QRect pixels = clampedPixels(pixelRectForRect(dirty, options.backingScale), cache);
    if (pixels.isEmpty())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (options.semitransparent)
        painter.setOpacity(options.opacity);
    painter.setClipRect(dirty, Qt::IntersectClip);
    const QRectF target = rectForPixels(pixels, options.backingScale);
    if (options.method == MRKODrawToScreenMethodDataProvider)
        drawImageUpright(painter, target, cache, pixels); // reads the cache's own memory
    else if (m_context->isBlank() && !options.semitransparent)
        painter.fillRect(target, Qt::transparent); // nothing drawn yet: a copy would be all transparent
    else
        drawImageUpright(painter, target, cache.copy(pixels));
    painter.restore();
}

void drawImageUpright(QPainter &painter, const QRectF &rect, const QImage &image, const QRectF &source)
{
    const QTransform t = painter.worldTransform();
    if (t.type() <= QTransform::TxScale && t.m22() < 0 && t.m11() > 0) {
        // y-up points onto a y-down device: the image's first row lands at the top as it is.
        painter.save();
        painter.setWorldTransform(QTransform());
        if (source.isValid())
            painter.drawImage(t.mapRect(rect), image, source);
        else
            painter.drawImage(t.mapRect(rect), image);
        painter.restore();
        return;
    }
    platform::LayerRenderer::drawImageUpright(painter, rect, image, source);
}

} // namespace inkora
