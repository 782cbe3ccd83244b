#include "tools/KPAngularGradient.h"

#include "foundation/InkoraLog.h"
#include "platform/LayerRenderer.h"

#include <QPainter>

#include <array>
#include <cmath>

namespace {

constexpr double kLargestSide = 16384; // points; far beyond any control, and safe to convert to int
constexpr float kTwoPi = 6.28318530717958647692f;

using Rgba = std::array<int, 4>;

/// The colour's bytes: each component in single precision times 255, truncated, kept to its low 8 bits.
Rgba packed(const KPAngularGradient::Components &c)
{
    auto byte = [](double component) { return int(float(component) * 255.0f) & 0xFF; };
    if (c.isEmpty())
        return {0, 0, 0, 0};
    if (c.size() >= 4)
        return {byte(c[0]), byte(c[1]), byte(c[2]), byte(c[3])};
    const int grey = byte(c[0]);
    return {grey, grey, grey, c.size() >= 2 ? byte(c[1]) : 255};
}

} // namespace

QImage KPAngularGradient::newImageGradientInRect(const QRectF &rect, const QList<Components> &colors,
                                                 const QList<double> &locations)
{
    if (colors.isEmpty())
        return {};
    const double width = rect.width(), height = rect.height();
    if (!std::isfinite(width) || !std::isfinite(height) || !std::isfinite(rect.x()) || !std::isfinite(rect.y()))
        return {};
    if (width < 1 || height < 1)
        return {};
    if (width > kLargestSide || height > kLargestSide) {
        qCWarning(lcTools) << "newImageGradientInRect:" << width << "x" << height << "points is too large; no image";
        return {};
    }
    const int w = int(width), h = int(height);
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull())
        return {};

    const int count = int(colors.size());
    std::vector<Rgba> packedColors;
    packedColors.reserve(colors.size());
    for (const Components &c : colors)
        packedColors.push_back(packed(c));
    std::vector<float> stops;
    if (locations.size() == colors.size()) {
        for (double location : locations)
            stops.push_back(float(location));
    }

    const float halfW = float(w) / 2.0f, halfH = float(h) / 2.0f;
    for (int y = 0; y < h; ++y) {
        uchar *pixel = image.scanLine(y);
        const float dy = float(y) - halfH;
        for (int x = 0; x < w; ++x, pixel += 4) {
            const float dx = float(x) - halfW;
            float phi = std::atan2(dy, dx);
            if (dy < 0)
                phi += kTwoPi;
            const float f = phi / kTwoPi;
            int i0 = 0;
            float t = 0;
            if (stops.empty()) {
                const float p = f * float(count - 1);
                i0 = std::clamp(int(p), 0, count - 1);
                t = p - float(i0);
            } else {
                // Below the first location the first colour holds.
                for (int i = count - 1; i >= 0; --i) {
                    if (stops[size_t(i)] <= f) {
                        i0 = i;
                        break;
                    }
                }
            }
            const int i1 = std::min(i0 + 1, count - 1);
            if (!stops.empty()) {
                const float span = stops[size_t(i1)] - stops[size_t(i0)];
                t = span > 0 && stops[size_t(i0)] <= f ? (f - stops[size_t(i0)]) / span : 0.0f;
            }
            const Rgba &c0 = packedColors[size_t(i0)];
            const Rgba &c1 = packedColors[size_t(i1)];
            auto mix = [t](int a, int b) { return int(float(a) + float(b - a) * t); };
            const int alpha = mix(c0[3], c1[3]);
            const float premultiply = float(alpha) / 255.0f;
            // Written byte by byte, so the layout is R, G, B, A whatever the machine's word order.
            pixel[0] = uchar(int(float(mix(c0[0], c1[0])) * premultiply));
            pixel[1] = uchar(int(float(mix(c0[1], c1[1])) * premultiply));
            pixel[2] = uchar(int(float(mix(c0[2], c1[2])) * premultiply));
            pixel[3] = uchar(alpha);
        }
    }
    return image;
}

QImage KPAngularGradient::newImageGradientInRect(const QRectF &rect, const QList<inkora::SrgbColor> &colors,
                                                 const QList<double> &locations)
{
    QList<Components> components;
    components.reserve(colors.size());
    for (const inkora::SrgbColor &color : colors)
        components.append(componentsOf(color));
    return newImageGradientInRect(rect, components, locations);
}

QImage KPAngularGradient::newImageGradientInRect(const QRectF &rect) const
{
    return newImageGradientInRect(rect, m_colors, m_locations);
}

void KPAngularGradient::setColors(const QList<Components> &colors)
{
    m_colors = colors;
    setNeedsDisplay();
}

void KPAngularGradient::setLocations(const QList<double> &locations)
{
    m_locations = locations;
    setNeedsDisplay();
}

KPAngularGradient::Components KPAngularGradient::componentsOf(const inkora::SrgbColor &color)
{
    if (!color.isValid())
        return {};
    return {color.red(), color.green(), color.blue(), color.alpha()};
}

void KPAngularGradient::drawInContext(QPainter &painter, bool presentation) const
{
    // The renderer has filled the background already. The gradient is made for the whole bounds at every drawing,
    // so a change of size redraws it and a partial redraw keeps its centre.
    const QRectF box = bounds();
    const QImage image = newImageGradientInRect(box);
    if (!image.isNull())
        platform::LayerRenderer::drawImageUpright(painter, QRectF(box.topLeft(), QSizeF(image.size())), image);
    Layer::drawInContext(painter, presentation);
}
