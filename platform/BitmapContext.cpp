#include "platform/BitmapContext.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

constexpr int kMaxSide = 32767;            // pixels; QPainter's raster engine limit
constexpr qint64 kMaxBytes = 1024LL << 20; // 1 GiB for one bitmap

QImage::Format qtFormat(BitmapContext::Format format)
{
    switch (format) {
    case BitmapContext::Format::Alpha:
        return QImage::Format_Alpha8;
    case BitmapContext::Format::Gray:
        return QImage::Format_Grayscale8;
    case BitmapContext::Format::RGBA:
        break;
    }
    return QImage::Format_RGBA8888_Premultiplied;
}

QPainter::CompositionMode compositionMode(BitmapContext::BlendMode mode)
{
    switch (mode) {
    case BitmapContext::BlendMode::Copy:
        return QPainter::CompositionMode_Source;
    case BitmapContext::BlendMode::DestinationOut:
        return QPainter::CompositionMode_DestinationOut;
    case BitmapContext::BlendMode::Clear:
        return QPainter::CompositionMode_Clear;
    case BitmapContext::BlendMode::Normal:
        break;
    }
    return QPainter::CompositionMode_SourceOver;
}

QImage alphaOf(const QImage &mask)
{
    if (mask.format() == QImage::Format_Alpha8)
        return mask;
    QImage alpha(mask.size(), QImage::Format_Alpha8);
    if (mask.format() == QImage::Format_Grayscale8) {
        for (int y = 0; y < mask.height(); ++y)
            std::copy_n(mask.constScanLine(y), mask.width(), alpha.scanLine(y));
        return alpha;
    }
    const QImage rgba = mask.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    for (int y = 0; y < rgba.height(); ++y) {
        const uchar *in = rgba.constScanLine(y);
        uchar *out = alpha.scanLine(y);
        for (int x = 0; x < rgba.width(); ++x)
            out[x] = in[x * 4 + 3];
    }
    return alpha;
}

// A box blur run three times over every channel, close to a Gaussian blur of the given radius in pixels.
void blur(QImage &image, double radius)
{
    const int r = int(std::lround(radius / 2));
    if (r < 1)
        return;
    const int w = image.width(), h = image.height();
    std::vector<int> line(size_t(std::max(w, h)) * 4);
    for (int pass = 0; pass < 3; ++pass) {
        for (int horizontal = 1; horizontal >= 0; --horizontal) {
            const int lines = horizontal ? h : w;
            const int length = horizontal ? w : h;
            for (int l = 0; l < lines; ++l) {
                auto px = [&](int i) -> uchar * {
                    return horizontal ? image.scanLine(l) + size_t(i) * 4 : image.scanLine(i) + size_t(l) * 4;
                };
                for (int i = 0; i < length; ++i)
                    for (int c = 0; c < 4; ++c)
                        line[size_t(i) * 4 + size_t(c)] = px(i)[c];
                int sums[4] = {0, 0, 0, 0};
                const int window = 2 * r + 1;
                for (int i = -r - 1; i < length; ++i) {
                    const int in = i + r, out = i - r - 1;
                    for (int c = 0; c < 4; ++c) {
                        if (in >= 0 && in < length)
                            sums[c] += line[size_t(in) * 4 + size_t(c)];
                        if (out >= 0)
                            sums[c] -= line[size_t(out) * 4 + size_t(c)];
                    }
                    if (i >= 0)
                        for (int c = 0; c < 4; ++c)
                            px(i)[c] = uchar(sums[c] / window);
                }
            }
        }
    }
}

} // namespace

std::unique_ptr<BitmapContext> BitmapContext::create(int width, int height, Format format)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return nullptr;
    const int bytesPerPixel = format == Format::RGBA ? 4 : 1;
    if (qint64(width) * height * bytesPerPixel > kMaxBytes)
        return nullptr;
    // Zeroed by the allocator: a display-sized bitmap gets its pages from the kernel on first touch instead of
    // being written through up front, so an empty overlay costs neither the time nor the memory.
    const qsizetype rowBytes = (qsizetype(width) * bytesPerPixel + 3) & ~qsizetype(3);
    void *pixels = std::calloc(size_t(rowBytes) * size_t(height), 1);
    if (!pixels)
        return nullptr;
    QImage image(
        static_cast<uchar *>(pixels), width, height, rowBytes, qtFormat(format), [](void *owned) { std::free(owned); },
        pixels);
    if (image.isNull()) {
        std::free(pixels);
        return nullptr;
    }
    return std::unique_ptr<BitmapContext>(new BitmapContext(std::move(image), format));
}

BitmapContext::BitmapContext(QImage image, Format format)
    : m_image(std::move(image)), m_format(format), m_flip(1, 0, 0, -1, 0, m_image.height())
{
    m_painter.begin(&m_image);
    m_painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    applyTransform();
}

BitmapContext::~BitmapContext()
{
    m_painter.end();
}

QImage BitmapContext::makeImage() const
{
    return m_image.copy();
}

void BitmapContext::saveGState()
{
    m_saved.push_back(m_state);
    m_painter.save();
}

void BitmapContext::restoreGState()
{
    if (m_saved.empty())
        return;
    m_state = std::move(m_saved.back());
    m_saved.pop_back();
    m_painter.restore();
}

void BitmapContext::applyTransform()
{
    m_painter.setTransform(m_state.ctm * m_flip);
}

void BitmapContext::translateCTM(double dx, double dy)
{
    m_state.ctm = QTransform::fromTranslate(dx, dy) * m_state.ctm;
    applyTransform();
}

void BitmapContext::scaleCTM(double sx, double sy)
{
    m_state.ctm = QTransform::fromScale(sx, sy) * m_state.ctm;
    applyTransform();
}

void BitmapContext::rotateCTM(double radians)
{
    m_state.ctm = QTransform().rotateRadians(radians) * m_state.ctm;
    applyTransform();
}

void BitmapContext::concatCTM(const QTransform &transform)
{
    m_state.ctm = transform * m_state.ctm;
    applyTransform();
}

void BitmapContext::clipToDeviceArea(const QPainterPath &deviceArea)
{
    m_state.clipInDevice = m_state.clipped ? m_state.clipInDevice.intersected(deviceArea) : deviceArea;
    m_state.clipped = true;
}

void BitmapContext::clipToRect(const QRectF &rect)
{
    m_painter.setClipRect(rect, Qt::IntersectClip);
    QPainterPath area;
    area.addRect(rect);
    clipToDeviceArea(m_painter.transform().map(area));
}

void BitmapContext::clipToPath(const QPainterPath &path)
{
    m_painter.setClipPath(path, Qt::IntersectClip);
    clipToDeviceArea(m_painter.transform().map(path));
}

void BitmapContext::clipToMask(const QRectF &rect, const QImage &mask)
{
    QImage deviceMask(m_image.size(), QImage::Format_Alpha8);
    deviceMask.fill(0);
    {
        QPainter p(&deviceMask);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.setTransform(m_painter.transform());
        p.translate(rect.left(), rect.top() + rect.height());
        p.scale(1, -1);
        p.drawImage(QRectF(0, 0, rect.width(), rect.height()), alphaOf(mask));
        if (m_state.mask) {
            p.resetTransform();
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, *m_state.mask);
        }
    }
    m_state.mask = std::make_shared<const QImage>(std::move(deviceMask));
    clipToRect(rect); // nothing outside the mask's rectangle either
}

QRectF BitmapContext::clipBoundingBox() const
{
    const QRectF device =
        m_state.clipped ? m_state.clipInDevice.boundingRect() & QRectF(m_image.rect()) : QRectF(m_image.rect());
    return m_painter.transform().inverted().mapRect(device);
}

void BitmapContext::setBlendMode(BlendMode mode)
{
    m_state.blend = mode;
    m_painter.setCompositionMode(compositionMode(mode));
}

void BitmapContext::setAlpha(double alpha)
{
    m_state.alpha = std::clamp(alpha, 0.0, 1.0);
    m_painter.setOpacity(m_state.alpha);
}

void BitmapContext::setShadow(QPointF offset, double blurRadius, const QColor &color)
{
    m_state.shadowOffset = offset;
    m_state.shadowBlur = std::max(0.0, blurRadius);
    m_state.shadowColor = color;
}

void BitmapContext::setLineDash(double phase, const std::vector<double> &lengths)
{
    m_state.dashPhase = phase;
    m_state.dashes = lengths;
}

QPen BitmapContext::pen() const
{
    QPen pen(m_state.stroke, m_state.lineWidth, Qt::SolidLine, m_state.cap, m_state.join);
    // Qt measures the miter from the centre line, the limit here from the inner corner: half as far.
    pen.setMiterLimit(m_state.miterLimit / 2);
    if (!m_state.dashes.empty() && m_state.lineWidth > 0) {
        QList<qreal> pattern;
        for (double length : m_state.dashes)
            pattern.append(length / m_state.lineWidth); // Qt counts dashes in line widths
        if (pattern.size() % 2)
            pattern.append(pattern); // an odd pattern repeats with dash and gap swapped
        pen.setDashPattern(pattern);
        pen.setDashOffset(m_state.dashPhase / m_state.lineWidth);
    }
    return pen;
}

bool BitmapContext::needsOffscreen() const
{
    const bool shadow = m_state.shadowColor.isValid() && m_state.shadowColor.alpha() > 0;
    return shadow || m_state.mask;
}

void BitmapContext::paintOp(const std::function<void(QPainter &)> &op)
{
    m_blank = false;
    if (!needsOffscreen()) {
        op(m_painter);
        return;
    }
    QImage layer(m_image.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHints(m_painter.renderHints());
        p.setTransform(m_painter.transform());
        op(p);
        if (m_state.mask) {
            p.resetTransform();
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, *m_state.mask);
        }
    }
    m_painter.save();
    m_painter.resetTransform();
    if (m_state.shadowColor.isValid() && m_state.shadowColor.alpha() > 0) {
        const int margin = int(std::ceil(m_state.shadowBlur * 1.5)) + 1;
        QImage shadow(layer.size() + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
        shadow.fill(Qt::transparent);
        {
            QPainter p(&shadow);
            p.drawImage(margin, margin, layer);
            p.setCompositionMode(QPainter::CompositionMode_SourceIn);
            p.fillRect(shadow.rect(), m_state.shadowColor);
        }
        blur(shadow, m_state.shadowBlur);
        // The offset is y up; image rows run down.
        m_painter.drawImage(QPointF(m_state.shadowOffset.x() - margin, -m_state.shadowOffset.y() - margin), shadow);
    }
    m_painter.drawImage(0, 0, layer);
    m_painter.restore();
}

void BitmapContext::fillRect(const QRectF &rect)
{
    const QColor color = m_state.fill;
    paintOp([&](QPainter &p) { p.fillRect(rect, color); });
}

void BitmapContext::strokeRect(const QRectF &rect)
{
    QPainterPath path;
    path.addRect(rect);
    strokePath(path);
}

void BitmapContext::clearRect(const QRectF &rect)
{
    m_painter.save();
    m_painter.setOpacity(1);
    m_painter.setCompositionMode(QPainter::CompositionMode_Clear);
    m_painter.fillRect(rect, Qt::transparent);
    m_painter.restore();
}

void BitmapContext::fillPath(const QPainterPath &path)
{
    const QColor color = m_state.fill;
    paintOp([&](QPainter &p) { p.fillPath(path, color); });
}

void BitmapContext::strokePath(const QPainterPath &path)
{
    if (m_state.lineWidth <= 0)
        return;
    const QPen pen = this->pen();
    paintOp([&](QPainter &p) { p.strokePath(path, pen); });
}

void BitmapContext::fillEllipseInRect(const QRectF &rect)
{
    QPainterPath path;
    path.addEllipse(rect);
    fillPath(path);
}

void BitmapContext::drawImage(const QRectF &rect, const QImage &image)
{
    // Qt mixes a transformed image with the destination under Copy and alpha; the result must be the image
    // scaled by the alpha, so bake the alpha into a copy first.
    QImage faded;
    const bool bake = m_state.blend == BlendMode::Copy && m_state.alpha < 1;
    if (bake) {
        faded = QImage(image.size(), QImage::Format_ARGB32_Premultiplied);
        faded.fill(Qt::transparent);
        QPainter f(&faded);
        f.setOpacity(m_state.alpha);
        f.drawImage(0, 0, image);
    }
    paintOp([&](QPainter &p) {
        p.save();
        if (bake)
            p.setOpacity(1);
        p.translate(rect.left(), rect.top() + rect.height());
        p.scale(1, -1);
        p.drawImage(QRectF(0, 0, rect.width(), rect.height()), bake ? faded : image);
        p.restore();
    });
}

void BitmapContext::drawLinearGradient(const QGradientStops &stops, QPointF start, QPointF end, int options)
{
    QLinearGradient gradient(start, end);
    gradient.setStops(stops);
    gradient.setSpread(QGradient::PadSpread);
    const QRectF area = clipBoundingBox();
    // Without an extension the paint stops at the line through the start (or end) across the axis.
    QPainterPath band;
    band.addRect(area);
    const QPointF axis = end - start;
    const double length = std::hypot(axis.x(), axis.y());
    if (length > 0 && options != DrawsBeyondBothEnds) {
        const QPointF u = axis / length;
        const QPointF n(-u.y(), u.x());
        const double far = std::hypot(area.width(), area.height()) +
                           std::hypot(start.x() - area.center().x(), start.y() - area.center().y()) + length;
        const QPointF from = (options & DrawsBeforeStart) ? start - u * far : start;
        const QPointF to = (options & DrawsAfterEnd) ? end + u * far : end;
        QPolygonF strip;
        strip << from + n * far << to + n * far << to - n * far << from - n * far;
        QPainterPath limit;
        limit.addPolygon(strip);
        band = band.intersected(limit);
    }
    paintOp([&](QPainter &p) { p.fillPath(band, gradient); });
}

void BitmapContext::drawRadialGradient(const QGradientStops &stops, QPointF startCenter, double startRadius,
                                       QPointF endCenter, double endRadius, int options)
{
    QRadialGradient gradient(endCenter, endRadius, startCenter, startRadius);
    gradient.setStops(stops);
    gradient.setSpread(QGradient::PadSpread);
    QPainterPath area;
    area.addRect(clipBoundingBox());
    if (!(options & DrawsAfterEnd)) {
        QPainterPath circle;
        circle.addEllipse(endCenter, endRadius, endRadius);
        area = area.intersected(circle);
    }
    if (!(options & DrawsBeforeStart) && startRadius > 0) {
        QPainterPath circle;
        circle.addEllipse(startCenter, startRadius, startRadius);
        area = area.subtracted(circle);
    }
    paintOp([&](QPainter &p) { p.fillPath(area, gradient); });
}

void BitmapContext::draw(const std::function<void(QPainter &)> &paint)
{
    m_blank = false;
    const bool group = needsOffscreen() || m_state.blend != BlendMode::Normal || m_state.alpha < 1;
    if (!group) {
        paint(m_painter);
        return;
    }
    // Paint into a picture of its own first, so the blend mode and alpha apply to the result as a whole.
    QImage layer(m_image.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHints(m_painter.renderHints());
        p.setTransform(m_painter.transform());
        paint(p);
    }
    paintOp([&](QPainter &p) {
        p.save();
        p.resetTransform();
        p.drawImage(0, 0, layer);
        p.restore();
    });
}

} // namespace platform
