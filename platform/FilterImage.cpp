#include "platform/FilterImage.h"

#include "platform/PlatformLog.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

namespace {

constexpr int kInfiniteHalf = 1 << 30; // pixels; stands for "no edge" in extent()

bool tooLarge(const QRect &r)
{
    return qint64(r.width()) * qint64(r.height()) > FilterImage::kMaxPixels;
}

float clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

} // namespace

FilterImage FilterImage::withColor(double r, double g, double b, double a)
{
    FilterImage image;
    image.m_infinite = true;
    const float alpha = clamp01(float(a));
    image.m_color = {clamp01(float(r)) * alpha, clamp01(float(g)) * alpha, clamp01(float(b)) * alpha, alpha};
    return image;
}

FilterImage FilterImage::fromImage(const QImage &source, QPoint origin)
{
    if (source.isNull())
        return {};
    FilterImage image = blank(QRect(origin, source.size()));
    if (image.isNull())
        return {};
    const QImage rgba = source.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    const int h = rgba.height();
    for (int row = 0; row < h; ++row) {
        const uchar *line = rgba.constScanLine(row);
        FilterPixel *out = image.m_pixels->data() + qsizetype(h - 1 - row) * rgba.width();
        for (int x = 0; x < rgba.width(); ++x)
            out[x] = {line[4 * x] / 255.0f, line[4 * x + 1] / 255.0f, line[4 * x + 2] / 255.0f,
                      line[4 * x + 3] / 255.0f};
    }
    return image;
}

FilterImage FilterImage::blank(const QRect &extent)
{
    if (extent.isEmpty())
        return {};
    if (tooLarge(extent)) {
        qCWarning(lcPlatform, "Filter image: %d x %d pixels is more than the filters take", extent.width(),
                  extent.height());
        return {};
    }
    FilterImage image;
    image.m_extent = extent;
    image.m_pixels = std::make_shared<std::vector<FilterPixel>>(size_t(extent.width()) * size_t(extent.height()));
    return image;
}

QRectF FilterImage::extent() const
{
    if (m_infinite)
        return QRectF(-kInfiniteHalf, -kInfiniteHalf, 2.0 * kInfiniteHalf, 2.0 * kInfiniteHalf);
    return isNull() ? QRectF() : QRectF(m_extent);
}

FilterPixel FilterImage::pixelAt(int x, int y) const
{
    if (m_infinite)
        return m_color;
    if (!m_pixels || !m_extent.contains(x, y))
        return {};
    return (*m_pixels)[size_t(y - m_extent.y()) * size_t(m_extent.width()) + size_t(x - m_extent.x())];
}

void FilterImage::setPixel(int x, int y, const FilterPixel &pixel)
{
    if (!m_pixels || !m_extent.contains(x, y))
        return;
    if (m_pixels.use_count() > 1)
        m_pixels = std::make_shared<std::vector<FilterPixel>>(*m_pixels);
    (*m_pixels)[size_t(y - m_extent.y()) * size_t(m_extent.width()) + size_t(x - m_extent.x())] = pixel;
}

FilterImage FilterImage::cropped(const QRect &rect) const
{
    if (isNull())
        return {};
    const QRect area = m_infinite ? rect : rect & m_extent;
    FilterImage out = blank(area);
    if (out.isNull())
        return {};
    for (int y = area.y(); y <= area.bottom(); ++y)
        for (int x = area.x(); x <= area.right(); ++x)
            (*out.m_pixels)[size_t(y - area.y()) * size_t(area.width()) + size_t(x - area.x())] = pixelAt(x, y);
    return out;
}

FilterImage FilterImage::translated(int dx, int dy) const
{
    FilterImage out = *this;
    if (!m_infinite)
        out.m_extent.translate(dx, dy);
    return out;
}

FilterImage FilterImage::sourceIn(const FilterImage &background) const
{
    if (isNull() || background.isNull())
        return {};
    if (m_infinite && background.m_infinite) {
        FilterImage out = *this;
        const float k = background.m_color.a;
        out.m_color = {m_color.r * k, m_color.g * k, m_color.b * k, m_color.a * k};
        return out;
    }
    const QRect area = m_infinite              ? background.m_extent
                       : background.m_infinite ? m_extent
                                               : m_extent & background.m_extent;
    FilterImage out = blank(area);
    if (out.isNull())
        return {};
    for (int y = area.y(); y <= area.bottom(); ++y) {
        for (int x = area.x(); x <= area.right(); ++x) {
            const FilterPixel s = pixelAt(x, y);
            const float k = background.pixelAt(x, y).a;
            (*out.m_pixels)[size_t(y - area.y()) * size_t(area.width()) + size_t(x - area.x())] = {s.r * k, s.g * k,
                                                                                                   s.b * k, s.a * k};
        }
    }
    return out;
}

FilterImage FilterImage::over(const FilterImage &background) const
{
    if (isNull())
        return background;
    if (background.isNull())
        return *this;
    if (m_infinite || background.m_infinite) {
        if (m_infinite && m_color.a >= 1.0f)
            return *this;
        if (m_infinite != background.m_infinite)
            qCWarning(lcPlatform, "Filter image: compositing with an infinite image needs a crop first");
        return {};
    }
    const QRect area = m_extent | background.m_extent;
    FilterImage out = blank(area);
    if (out.isNull())
        return {};
    for (int y = area.y(); y <= area.bottom(); ++y) {
        for (int x = area.x(); x <= area.right(); ++x) {
            const FilterPixel s = pixelAt(x, y);
            const FilterPixel d = background.pixelAt(x, y);
            const float k = 1.0f - s.a;
            (*out.m_pixels)[size_t(y - area.y()) * size_t(area.width()) + size_t(x - area.x())] = {
                s.r + d.r * k, s.g + d.g * k, s.b + d.b * k, s.a + d.a * k};
        }
    }
    return out;
}

FilterImage FilterImage::inverted() const
{
    if (isNull())
        return {};
    auto invert = [](const FilterPixel &p) {
        // Premultiplied: (1 − c) · a = a − c·a.
        return FilterPixel{p.a - p.r, p.a - p.g, p.a - p.b, p.a};
    };
    FilterImage out = *this;
    if (m_infinite) {
        out.m_color = invert(m_color);
        return out;
    }
    out.m_pixels = std::make_shared<std::vector<FilterPixel>>(*m_pixels);
    for (FilterPixel &p : *out.m_pixels)
        p = invert(p);
    return out;
}

FilterImage FilterImage::boxBlurred(double radius) const
{
    if (isNull())
        return {};
    if (!std::isfinite(radius)) {
        qCWarning(lcPlatform, "Filter image: box blur radius is not a finite number");
        return {};
    }
    if (m_infinite || radius < 1)
        return *this;
    const int k = radius >= kInfiniteHalf ? kInfiniteHalf : int(std::floor(radius));
    const QRect grown = m_extent.adjusted(-k, -k, k, k);
    if (grown.width() > kInfiniteHalf || tooLarge(grown)) {
        qCWarning(lcPlatform, "Filter image: a blur of radius %g is more than the filters take", radius);
        return {};
    }
    const float side = float(2 * k + 1);
    // Separable running sums: rows, then columns.
    FilterImage rows = blank(grown);
    const int w = grown.width(), h = grown.height();
    for (int y = grown.y(); y <= grown.bottom(); ++y) {
        FilterPixel sum;
        for (int x = grown.x() - k; x <= grown.x() + k - 1; ++x) {
            const FilterPixel p = pixelAt(x, y);
            sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
        }
        FilterPixel *out = rows.m_pixels->data() + size_t(y - grown.y()) * size_t(w);
        for (int x = grown.x(); x <= grown.right(); ++x) {
            const FilterPixel in = pixelAt(x + k, y);
            sum = {sum.r + in.r, sum.g + in.g, sum.b + in.b, sum.a + in.a};
            out[x - grown.x()] = sum;
            const FilterPixel gone = pixelAt(x - k, y);
            sum = {sum.r - gone.r, sum.g - gone.g, sum.b - gone.b, sum.a - gone.a};
        }
    }
    FilterImage out = blank(grown);
    const float area = side * side;
    for (int x = 0; x < w; ++x) {
        FilterPixel sum;
        auto rowAt = [&](int row) {
            return row < 0 || row >= h ? FilterPixel{} : (*rows.m_pixels)[size_t(row) * size_t(w) + size_t(x)];
        };
        for (int row = -k; row <= k - 1; ++row) {
            const FilterPixel p = rowAt(row);
            sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
        }
        for (int row = 0; row < h; ++row) {
            const FilterPixel in = rowAt(row + k);
            sum = {sum.r + in.r, sum.g + in.g, sum.b + in.b, sum.a + in.a};
            (*out.m_pixels)[size_t(row) * size_t(w) + size_t(x)] = {
                std::max(0.0f, sum.r / area), std::max(0.0f, sum.g / area), std::max(0.0f, sum.b / area),
                std::max(0.0f, sum.a / area)};
            const FilterPixel gone = rowAt(row - k);
            sum = {sum.r - gone.r, sum.g - gone.g, sum.b - gone.b, sum.a - gone.a};
        }
    }
    return out;
}

FilterImage FilterImage::quantized8() const
{
    if (!m_pixels)
        return {};
    FilterImage out = *this;
    out.m_pixels = std::make_shared<std::vector<FilterPixel>>(*m_pixels);
    auto q = [](float v) { return std::round(clamp01(v) * 255.0f) / 255.0f; };
    for (FilterPixel &p : *out.m_pixels)
        p = {q(p.r), q(p.g), q(p.b), q(p.a)};
    return out;
}

QImage FilterImage::toImage() const
{
    if (!m_pixels)
        return {};
    QImage image(m_extent.size(), QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull())
        return {};
    const int h = m_extent.height(), w = m_extent.width();
    auto byte = [](float v) { return uchar(std::lround(clamp01(v) * 255.0f)); };
    for (int row = 0; row < h; ++row) {
        uchar *line = image.scanLine(row);
        const FilterPixel *in = m_pixels->data() + size_t(h - 1 - row) * size_t(w);
        for (int x = 0; x < w; ++x) {
            line[4 * x] = byte(in[x].r);
            line[4 * x + 1] = byte(in[x].g);
            line[4 * x + 2] = byte(in[x].b);
            line[4 * x + 3] = byte(in[x].a);
        }
    }
    return image;
}

} // namespace platform
