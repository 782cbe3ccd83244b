#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>

#include <memory>
#include <vector>

namespace platform {

/// One pixel of a filter image: premultiplied RGBA in floats, 0...1.
struct FilterPixel
{
    float r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const FilterPixel &, const FilterPixel &) = default;
};

/// An image for the CPU filters: premultiplied RGBA floats over an extent in pixels, y up, whose origin may lie
/// anywhere, or an infinite plane of one colour. Outside its extent an image is clear. A default-made image is
/// null. Values are immutable: every operation makes a new image.
class FilterImage
{
public:
    /// Images larger than this (pixels) are refused: the operation gives null and logs a line.
    static constexpr qint64 kMaxPixels = qint64(1) << 26;

    FilterImage() = default;
    /// The infinite image of one colour (unpremultiplied components, opaque unless `a` says otherwise).
    [[nodiscard]] static FilterImage withColor(double r, double g, double b, double a = 1.0);
    /// A QImage's pixels with its bottom-left pixel at `origin`; null for a null QImage.
    [[nodiscard]] static FilterImage fromImage(const QImage &image, QPoint origin = {});
    /// Clear pixels over the extent, to be filled with setPixel; null when the extent is empty or too large.
    [[nodiscard]] static FilterImage blank(const QRect &extent);

    [[nodiscard]] bool isNull() const { return !m_infinite && !m_pixels; }
    [[nodiscard]] bool isInfinite() const { return m_infinite; }
    /// The zero rectangle for a null image; a huge rectangle around the origin for an infinite one.
    [[nodiscard]] QRectF extent() const;
    [[nodiscard]] QRect pixelExtent() const { return m_extent; }

    /// The pixel whose bottom-left corner is (x, y); clear outside the extent.
    [[nodiscard]] FilterPixel pixelAt(int x, int y) const;
    void setPixel(int x, int y, const FilterPixel &pixel);

    /// The part within `rect`; an infinite image becomes finite. Null when nothing is left or it is too large.
    [[nodiscard]] FilterImage cropped(const QRect &rect) const;
    [[nodiscard]] FilterImage translated(int dx, int dy) const;
    /// This image shown only where `background` is opaque, over the part both cover.
    [[nodiscard]] FilterImage sourceIn(const FilterImage &background) const;
    /// This image composited over `background`, over the union of both.
    [[nodiscard]] FilterImage over(const FilterImage &background) const;
    /// 1 − colour (unpremultiplied), alpha kept.
    [[nodiscard]] FilterImage inverted() const;
    /// Mean of a square of side 2⌊radius⌋ + 1 around each pixel; the extent grows by ⌊radius⌋ on every side.
    [[nodiscard]] FilterImage boxBlurred(double radius) const;
    /// Every component rounded to 8 bits, as an accumulator of that depth holds it.
    [[nodiscard]] FilterImage quantized8() const;
    /// The pixels as a QImage (top row first); null for a null or infinite image.
    [[nodiscard]] QImage toImage() const;

private:
    QRect m_extent;
    bool m_infinite = false;
    FilterPixel m_color; // of an infinite image
    std::shared_ptr<std::vector<FilterPixel>> m_pixels;
};

} // namespace platform
