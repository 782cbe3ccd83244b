#include "platform/LayerRenderer.h"

#include "platform/Layer.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

struct Pass
{
    const LayerRenderer::Options &options;
    std::optional<QRectF> dirtyDevice; // the dirty rectangle in device pixels
};

QPainterPath roundedBounds(const QRectF &bounds, double radius)
{
    QPainterPath path;
    if (radius > 0) {
        const double r = std::min(radius, std::min(bounds.width(), bounds.height()) / 2);
        path.addRoundedRect(bounds, r, r);
    } else {
        path.addRect(bounds);
    }
    return path;
}

QRectF gravityRect(Layer::ContentsGravity gravity, const QRectF &b, QSizeF natural)
{
    using G = Layer::ContentsGravity;
    switch (gravity) {
    case G::Resize:
        return b;
    case G::ResizeAspect:
    case G::ResizeAspectFill: {
        if (natural.isEmpty())
            return b;
        const double sx = b.width() / natural.width();
        const double sy = b.height() / natural.height();
        const double s = gravity == G::ResizeAspect ? std::min(sx, sy) : std::max(sx, sy);
        const QSizeF size = natural * s;
        return {b.center().x() - size.width() / 2, b.center().y() - size.height() / 2, size.width(), size.height()};
    }
    default:
        break;
    }
    // y up: "top" is the bounds' maximum y.
    const double w = natural.width(), h = natural.height();
    double x = b.center().x() - w / 2;
    double y = b.center().y() - h / 2;
    if (gravity == G::Left || gravity == G::TopLeft || gravity == G::BottomLeft)
        x = b.left();
    if (gravity == G::Right || gravity == G::TopRight || gravity == G::BottomRight)
        x = b.right() - w;
    if (gravity == G::Top || gravity == G::TopLeft || gravity == G::TopRight)
        y = b.bottom() - h;
    if (gravity == G::Bottom || gravity == G::BottomLeft || gravity == G::BottomRight)
        y = b.top();
    return {x, y, w, h};
}

void drawContents(const Layer &layer, QPainter &painter, const QRectF &bounds)
{
    const ImagePtr &image = layer.contents();
    if (!image || image->isNull())
        return;
    const double scale = layer.contentsScale() > 0 ? layer.contentsScale() : 1.0;
    const QRectF target =
        gravityRect(layer.contentsGravity(), bounds, QSizeF(image->width() / scale, image->height() / scale));
    // Device pixels per image pixel decide between the magnification and the minification filter.
    const QTransform t = painter.deviceTransform();
    const double deviceScale = std::sqrt(std::abs(t.determinant()));
    const double ratio = target.width() * deviceScale / image->width();
    const Layer::Filter filter = ratio > 1.0 ? layer.magnificationFilter() : layer.minificationFilter();
    const bool smooth = filter != Layer::Filter::Nearest;
    const bool wasSmooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    LayerRenderer::drawImageUpright(painter, target, *image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, wasSmooth);
}

void renderTree(const Layer &layer, QPainter &painter, const Pass &pass, bool top);

// Everything of the layer except shadow, opacity and mask, in its own coordinates.
void renderBody(const Layer &layer, const Layer::State &s, QPainter &painter, const Pass &pass)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPainterPath outline = roundedBounds(s.bounds, s.cornerRadius);
    if (s.backgroundColor.isValid() && s.backgroundColor.alpha() > 0)
        painter.fillPath(outline, s.backgroundColor);

    painter.save();
    if (layer.masksToBounds())
        painter.setClipPath(outline, Qt::IntersectClip);
    drawContents(layer, painter, s.bounds);
    layer.drawInContext(painter, pass.options.presentation);
    if (!layer.sublayers().empty()) {
        if (layer.isGeometryFlipped())
            painter.setTransform(Layer::flipForBounds(s.bounds), true);
        for (const Layer *sublayer : layer.sublayersInDrawingOrder(pass.options.presentation))
            renderTree(*sublayer, painter, pass, false);
    }
    painter.restore();

    if (s.borderWidth > 0 && s.borderColor.isValid() && s.borderColor.alpha() > 0) {
        const double w = s.borderWidth;
        const QRectF inner = s.bounds.adjusted(w / 2, w / 2, -w / 2, -w / 2);
        QPen pen(s.borderColor, w);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(roundedBounds(inner, std::max(0.0, s.cornerRadius - w / 2)));
        painter.setPen(Qt::NoPen);
    }
}

QRectF deviceBounds(const QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    return QRectF(0, 0, device->width(), device->height());
}

QImage newBuffer(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A separable box blur run three times, close to a Gaussian of the given radius (in pixels).
void blurAlphaImage(QImage &image, double radius)
{
    const int r = int(std::lround(radius / 2));
    if (r < 1)
        return;
    const int w = image.width(), h = image.height();
    uchar *bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    std::vector<int> line(size_t(std::max(w, h)) * 4);
    const int window = 2 * r + 1;
    for (int pass = 0; pass < 3; ++pass) {
        for (int horizontal = 1; horizontal >= 0; --horizontal) {
            const int lines = horizontal ? h : w;
            const int length = horizontal ? w : h;
            const qsizetype step = horizontal ? 4 : stride;
            for (int l = 0; l < lines; ++l) {
                uchar *first = horizontal ? bits + l * stride : bits + qsizetype(l) * 4;
                uchar *p = first;
                for (int i = 0; i < length; ++i, p += step)
                    for (int c = 0; c < 4; ++c)
                        line[size_t(i) * 4 + size_t(c)] = p[c];
                int sums[4] = {0, 0, 0, 0};
                p = first;
                for (int i = -r - 1; i < length; ++i) {
                    const int in = i + r, out = i - r - 1;
                    for (int c = 0; c < 4; ++c) {
                        if (in >= 0 && in < length)
                            sums[c] += line[size_t(in) * 4 + size_t(c)];
                        if (out >= 0)
                            sums[c] -= line[size_t(out) * 4 + size_t(c)];
                    }
                    if (i >= 0) {
                        for (int c = 0; c < 4; ++c)
                            p[c] = uchar(sums[c] / window);
                        p += step;
                    }
                }
            }
        }
    }
}

void renderShadow(const Layer &layer, const Layer::State &s, QPainter &painter, const QImage &body,
                  const QRect &bodyRect, double opacity)
{
    const QTransform t = painter.transform();
    const double deviceScale = std::sqrt(std::abs(t.determinant()));
    const double blur = s.shadowRadius * deviceScale;
    const int margin = int(std::ceil(blur * 1.5)) + 1;
    QImage shadow = newBuffer(bodyRect.size() + QSize(2 * margin, 2 * margin));
    {
        QPainter p(&shadow);
        if (layer.shadowPath()) {
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setTransform(t * QTransform::fromTranslate(margin - bodyRect.x(), margin - bodyRect.y()));
            p.fillPath(*layer.shadowPath(), Qt::black);
        } else {
            p.drawImage(margin, margin, body);
        }
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        QColor color = s.shadowColor.isValid() ? s.shadowColor : QColor(Qt::black);
        p.fillRect(shadow.rect(), color);
    }
    blurAlphaImage(shadow, blur);
    const QPointF offset = t.map(s.shadowOffset) - t.map(QPointF(0, 0));
    painter.save();
    painter.resetTransform();
    painter.setOpacity(painter.opacity() * opacity * std::clamp(s.shadowOpacity, 0.0, 1.0));
    painter.drawImage(QPointF(bodyRect.x() - margin + offset.x(), bodyRect.y() - margin + offset.y()), shadow);
    painter.restore();
}

QRectF localContentRect(const Layer &layer, const Layer::State &s, bool presentation)
{
    QRectF rect = s.bounds;
    if (!layer.masksToBounds()) {
        QTransform flip;
        if (layer.isGeometryFlipped())
            flip = Layer::flipForBounds(s.bounds);
        for (const auto &sub : layer.sublayers())
            rect |= flip.mapRect(sub->visualRectInSuperlayer(presentation));
    }
    return rect.adjusted(-1, -1, 1, 1);
}

void renderLayerContent(const Layer &layer, const Layer::State &s, QPainter &painter, const Pass &pass)
{
    const bool hasShadow = s.shadowOpacity > 0 && s.shadowColor.alpha() > 0;
    const bool groupOpacity = s.opacity < 1 && !layer.sublayers().empty();
    if (!layer.mask() && !hasShadow && !groupOpacity) {
        painter.setOpacity(painter.opacity() * s.opacity);
        renderBody(layer, s, painter, pass);
        return;
    }

    // Offscreen: the layer is composited as one picture (masks, shadows and group opacity need it).
    const QTransform t = painter.transform();
    QRectF device = t.mapRect(localContentRect(layer, s, pass.options.presentation)) & deviceBounds(painter);
    // Only the dirty area reaches the screen: the picture need not be bigger (a masked display-sized layer would
    // otherwise cost two display-sized buffers per repaint).
    if (pass.dirtyDevice)
        device &= pass.dirtyDevice->adjusted(-1, -1, 1, 1);
    if (hasShadow) {
        // The shadow may come from parts of the layer outside the visible area; keep a margin for them.
        const double grow = (s.shadowRadius * 3 + std::hypot(s.shadowOffset.x(), s.shadowOffset.y())) *
                            std::sqrt(std::abs(t.determinant()));
        device = t.mapRect(localContentRect(layer, s, pass.options.presentation)) &
                 deviceBounds(painter).adjusted(-grow, -grow, grow, grow);
    }
    const QRect rect = device.toAlignedRect();
    if (rect.isEmpty())
        return;
    QImage body = newBuffer(rect.size());
    {
        QPainter p(&body);
        p.setRenderHints(painter.renderHints());
        p.setTransform(t * QTransform::fromTranslate(-rect.x(), -rect.y()));
        renderBody(layer, s, p, pass);
        if (const LayerPtr &mask = layer.mask()) {
            QImage maskImage = newBuffer(rect.size());
            {
                QPainter m(&maskImage);
                m.setRenderHints(painter.renderHints());
                m.setTransform(t * QTransform::fromTranslate(-rect.x(), -rect.y()));
                renderTree(*mask, m, Pass{pass.options, std::nullopt}, false);
            }
            p.resetTransform();
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, maskImage);
        }
    }
    if (hasShadow)
        renderShadow(layer, s, painter, body, rect, s.opacity);
    painter.save();
    painter.resetTransform();
    painter.setOpacity(painter.opacity() * s.opacity);
    painter.drawImage(rect.topLeft(), body);
    painter.restore();
}

void renderTree(const Layer &layer, QPainter &painter, const Pass &pass, bool top)
{
    const Layer::State s = pass.options.presentation ? layer.presentationState() : layer.modelState();
    if (s.hidden || s.opacity <= 0)
        return;
    painter.save();
    if (!top) {
        if (pass.dirtyDevice) {
            const QRectF visual = painter.transform().mapRect(layer.visualRectInSuperlayer(pass.options.presentation));
            if (!visual.intersects(*pass.dirtyDevice)) {
                painter.restore();
                return;
            }
        }
        painter.setTransform(Layer::transformForState(s), true);
    }
    renderLayerContent(layer, s, painter, pass);
    painter.restore();
}

} // namespace

void LayerRenderer::render(const Layer &layer, QPainter &painter, const Options &options)
{
    Pass pass{options, std::nullopt};
    painter.save();
    if (options.dirtyRect) {
        painter.setClipRect(*options.dirtyRect, Qt::IntersectClip);
        pass.dirtyDevice = painter.transform().mapRect(*options.dirtyRect);
    }
    renderTree(layer, painter, pass, true);
    painter.restore();
}

void LayerRenderer::drawImageUpright(QPainter &painter, const QRectF &rect, const QImage &image,
                                     const QRectF &sourceRect)
{
    const QTransform t = painter.transform();
    if (t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() < 0) {
        // The usual y-up painter over y-down pixels: the picture lands upright as it is, so draw it untransformed
        // and let Qt blit or scale it instead of running its general transformed path.
        painter.save();
        painter.resetTransform();
        const QRectF device = t.mapRect(rect);
        if (sourceRect.isValid())
            painter.drawImage(device, image, sourceRect);
        else
            painter.drawImage(device, image);
        painter.restore();
        return;
    }
    painter.save();
    painter.translate(rect.left(), rect.top() + rect.height());
    painter.scale(1, -1);
    const QRectF target(0, 0, rect.width(), rect.height());
    if (sourceRect.isValid())
        painter.drawImage(target, image, sourceRect);
    else
        painter.drawImage(target, image);
    painter.restore();
}

} // namespace platform
