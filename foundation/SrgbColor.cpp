#include "foundation/SrgbColor.h"

#include <algorithm>
#include <cmath>

namespace inkora {

namespace {

constexpr double kComponentSteps = 65535.0; // QColor's resolution per component

/// The decimal of up to four places that stands for the stored 16-bit component, else the stored value.
double recoveredComponent(float stored)
{
    const double exact = double(stored);
    if (!std::isfinite(exact) || exact < 0.0 || exact > 1.0)
        return exact;
    const long steps = std::lround(exact * kComponentSteps);
    double scale = 1.0;
    for (int places = 0; places <= 4; ++places, scale *= 10.0) {
        const double candidate = std::round(exact * scale) / scale;
        if (std::lround(candidate * kComponentSteps) == steps)
            return candidate;
    }
    return exact;
}

} // namespace

SrgbColor::SrgbColor(const QColor &color)
{
    if (!color.isValid())
        return;
    QColor rgb = color;
    if (rgb.spec() != QColor::Rgb && rgb.spec() != QColor::ExtendedRgb)
        rgb = rgb.toRgb();
    float r = 0, g = 0, b = 0, a = 0;
    rgb.getRgbF(&r, &g, &b, &a);
    if (rgb.spec() == QColor::Rgb) {
        *this = {recoveredComponent(r), recoveredComponent(g), recoveredComponent(b), recoveredComponent(a)};
    } else {
        *this = {r, g, b, a};
    }
}

SrgbColor SrgbColor::withAlpha(double alpha) const
{
    return m_valid ? SrgbColor(m_red, m_green, m_blue, alpha) : SrgbColor();
}

QColor SrgbColor::toQColor() const
{
    if (!m_valid)
        return {};
    return QColor::fromRgbF(float(m_red), float(m_green), float(m_blue), float(m_alpha));
}

void srgbToHsb(const SrgbColor &color, double *hue, double *saturation, double *brightness)
{
    const double red = color.red(), green = color.green(), blue = color.blue();
    const double maximum = std::max({red, green, blue});
    const double minimum = std::min({red, green, blue});
    const double chroma = maximum - minimum;
    double h = 0;
    if (chroma > 0) {
        if (maximum == red)
            h = (green - blue) / chroma;
        else if (maximum == green)
            h = 2.0 + (blue - red) / chroma;
        else
            h = 4.0 + (red - green) / chroma;
        h /= 6.0;
        if (h < 0)
            h += 1.0;
    }
    *hue = h;
    *saturation = maximum > 0 ? chroma / maximum : 0.0;
    *brightness = maximum;
}

SrgbColor srgbColorWithHsb(double hue, double saturation, double brightness, double alpha)
{
    double h = std::fmod(hue, 1.0);
    if (h < 0)
        h += 1.0;
    if (saturation <= 0)
        return SrgbColor(brightness, brightness, brightness, alpha);
    const double sector = h * 6.0;
    const int i = int(std::floor(sector)) % 6;
    const double f = sector - std::floor(sector);
    const double p = brightness * (1.0 - saturation);
    const double q = brightness * (1.0 - saturation * f);
    const double t = brightness * (1.0 - saturation * (1.0 - f));
    switch (i) {
    case 0:
        return SrgbColor(brightness, t, p, alpha);
    case 1:
        return SrgbColor(q, brightness, p, alpha);
    case 2:
        return SrgbColor(p, brightness, t, alpha);
    case 3:
        return SrgbColor(p, q, brightness, alpha);
    case 4:
        return SrgbColor(t, p, brightness, alpha);
    default:
        return SrgbColor(brightness, p, q, alpha);
    }
}

} // namespace inkora
