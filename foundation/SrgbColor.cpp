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

bool srgbComponents(const QColor &color, SrgbComponents *components)
{
    if (!color.isValid())
        return false;
    QColor rgb = color;
    if (rgb.spec() != QColor::Rgb && rgb.spec() != QColor::ExtendedRgb)
        rgb = rgb.toRgb();
    float r = 0, g = 0, b = 0, a = 0;
    rgb.getRgbF(&r, &g, &b, &a);
    if (rgb.spec() == QColor::Rgb) {
        *components = {recoveredComponent(r), recoveredComponent(g), recoveredComponent(b), recoveredComponent(a)};
    } else {
        *components = {r, g, b, a};
    }
    return true;
}

QColor srgbColor(double red, double green, double blue, double alpha)
{
    return QColor::fromRgbF(float(red), float(green), float(blue), float(alpha));
}

void srgbToHsb(const SrgbComponents &rgb, double *hue, double *saturation, double *brightness)
{
    const double maximum = std::max({rgb.red, rgb.green, rgb.blue});
    const double minimum = std::min({rgb.red, rgb.green, rgb.blue});
    const double chroma = maximum - minimum;
    double h = 0;
    if (chroma > 0) {
        if (maximum == rgb.red)
            h = (rgb.green - rgb.blue) / chroma;
        else if (maximum == rgb.green)
            h = 2.0 + (rgb.blue - rgb.red) / chroma;
        else
            h = 4.0 + (rgb.red - rgb.green) / chroma;
        h /= 6.0;
        if (h < 0)
            h += 1.0;
    }
    *hue = h;
    *saturation = maximum > 0 ? chroma / maximum : 0.0;
    *brightness = maximum;
}

QColor srgbColorWithHsb(double hue, double saturation, double brightness, double alpha)
{
    double h = std::fmod(hue, 1.0);
    if (h < 0)
        h += 1.0;
    if (saturation <= 0)
        return srgbColor(brightness, brightness, brightness, alpha);
    const double sector = h * 6.0;
    const int i = int(std::floor(sector)) % 6;
    const double f = sector - std::floor(sector);
    const double p = brightness * (1.0 - saturation);
    const double q = brightness * (1.0 - saturation * f);
    const double t = brightness * (1.0 - saturation * (1.0 - f));
    switch (i) {
    case 0:
        return srgbColor(brightness, t, p, alpha);
    case 1:
        return srgbColor(q, brightness, p, alpha);
    case 2:
        return srgbColor(p, brightness, t, alpha);
    case 3:
        return srgbColor(p, q, brightness, alpha);
    case 4:
        return srgbColor(t, p, brightness, alpha);
    default:
        return srgbColor(brightness, p, q, alpha);
    }
}

} // namespace inkora
