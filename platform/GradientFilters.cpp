#include "platform/GradientFilters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace platform {

namespace {

struct Rgba
{
    double r = 0, g = 0, b = 0, a = 0; // unpremultiplied, 0...1
};

Rgba rgbaOf(const QColor &c)
{
    const QColor s = c.toRgb();
    return {s.redF(), s.greenF(), s.blueF(), s.alphaF()};
}

Rgba mix(const Rgba &a, const Rgba &b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

std::uint8_t byte(double v)
{
    return std::uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

void store(uchar *p, const Rgba &c)
{
    p[0] = byte(c.r * c.a);
    p[1] = byte(c.g * c.a);
    p[2] = byte(c.b * c.a);
    p[3] = byte(c.a);
}

QImage newImage(QSize size)
{
    QImage image(size, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Fills each pixel from its centre in y-up pixel coordinates.
QImage generate(QSize size, const std::function<Rgba(double x, double y)> &colourAt)
{
    QImage image = newImage(size);
    if (image.isNull())
        return image;
    for (int row = 0; row < size.height(); ++row) {
        uchar *line = image.scanLine(row);
        const double y = size.height() - row - 0.5;
        for (int column = 0; column < size.width(); ++column)
            store(line + 4 * column, colourAt(column + 0.5, y));
    }
    return image;
}

QImage asRgba(const QImage &image)
{
    return image.format() == QImage::Format_RGBA8888_Premultiplied
               ? image
               : image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
}

} // namespace

QImage radialGradient(QSize size, QPointF centre, double r0, double r1, const QColor &c0, const QColor &c1)
{
    const Rgba from = rgbaOf(c0), to = rgbaOf(c1);
    return generate(size, [&](double x, double y) {
        const double d = std::hypot(x - centre.x(), y - centre.y());
        if (d <= r0)
            return from;
        if (d >= r1 || r1 <= r0)
            return to;
        return mix(from, to, (d - r0) / (r1 - r0));
    });
}

QImage linearGradient(QSize size, QPointF p0, QPointF p1, const QColor &c0, const QColor &c1)
{
    const Rgba from = rgbaOf(c0), to = rgbaOf(c1);
    const QPointF axis = p1 - p0;
    const double length2 = QPointF::dotProduct(axis, axis);
    return generate(size, [&](double x, double y) {
        if (length2 <= 0)
            return to;
        const double t = QPointF::dotProduct(QPointF(x, y) - p0, axis) / length2;
        return mix(from, to, std::clamp(t, 0.0, 1.0));
    });
}

QImage screenBlend(const QImage &a, const QImage &b)
{
    const QImage x = asRgba(a), y = asRgba(b);
    if (x.size() != y.size())
        return {};
    QImage out = newImage(x.size());
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        const uchar *q = y.constScanLine(row);
        uchar *o = out.scanLine(row);
        for (int i = 0; i < 4 * x.width(); ++i)
            o[i] = uchar(255 - (255 - p[i]) * (255 - q[i]) / 255);
    }
    return out;
}

QImage maskToAlpha(const QImage &image)
{
    const QImage x = asRgba(image);
    QImage out = newImage(x.size());
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        uchar *o = out.scanLine(row);
        for (int column = 0; column < x.width(); ++column) {
            const uchar *px = p + 4 * column;
            // Premultiplied white with the luminance as alpha is that luminance in every byte.
            const auto luminance = uchar(std::lround(0.2126 * px[0] + 0.7152 * px[1] + 0.0722 * px[2]));
            std::fill(o + 4 * column, o + 4 * column + 4, luminance);
        }
    }
    return out;
}

QImage blendWithAlphaMask(const QImage &input, const QImage &background, const QImage &mask)
{
    const QImage in = asRgba(input), back = asRgba(background), m = asRgba(mask);
    if (in.size() != back.size() || in.size() != m.size())
        return {};
    QImage out = newImage(in.size());
    for (int row = 0; row < in.height(); ++row) {
        const uchar *p = in.constScanLine(row);
        const uchar *q = back.constScanLine(row);
        const uchar *a = m.constScanLine(row);
        uchar *o = out.scanLine(row);
        for (int column = 0; column < in.width(); ++column) {
            const int t = a[4 * column + 3];
            for (int k = 0; k < 4; ++k) {
                const int i = 4 * column + k;
                o[i] = uchar((p[i] * t + q[i] * (255 - t) + 127) / 255);
            }
        }
    }
    return out;
}

} // namespace platform
