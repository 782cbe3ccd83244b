#include "foundation/NSColor+OnOffColor.h"
#include "foundation/SrgbColor.h"
#include "foundation/TextScanning.h"

#include <QGuiApplication>
#include <QPalette>
#include <QStringList>

#include <algorithm>
#include <cmath>

using inkora::SrgbColor;

namespace {

constexpr double kTruncatingByteScale = 255.99998474121094; // the largest float below 256

/// A component times the scale, truncated into a byte without undefined behaviour.
int truncatedByte(double component)
{
    const double scaled = component * kTruncatingByteScale;
    if (!(scaled > 0))
        return 0;
    return scaled >= 255.0 ? 255 : int(scaled);
}

int roundedByte(double component)
{
    const double scaled = std::round(component * 255.0);
    if (!(scaled > 0))
        return 0;
    return scaled >= 255.0 ? 255 : int(scaled);
}

QString integerString(double component)
{
    const double scaled = std::round(component * 255.0);
    return QString::number(std::isfinite(scaled) ? qint64(std::clamp(scaled, -1e15, 1e15)) : 0);
}

SrgbColor colorOrBlack(const SrgbColor &color)
{
    return color.isValid() ? color : SrgbColor(0, 0, 0, 1);
}

double clampedPercentage(double percentage)
{
    if (std::isnan(percentage))
        return 0.0;
    return std::clamp(percentage, 0.0, 1.0);
}

double saturationOf(const SrgbColor &c)
{
    double hue = 0, saturation = 0, brightness = 0;
    inkora::srgbToHsb(c, &hue, &saturation, &brightness);
    return saturation;
}

} // namespace

namespace OnOffColor {

QString srgbColorStringValue(const SrgbColor &color)
{
    if (!color.isValid())
        return {};
    return QString::asprintf("%.06f+%.06f+%.06f+%.06f", color.red(), color.green(), color.blue(), color.alpha());
}

SrgbColor srgbColorWithString(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('+'));
    if (parts.size() != 4)
        return {};
    return SrgbColor(inkora::leadingDouble(parts[0]), inkora::leadingDouble(parts[1]), inkora::leadingDouble(parts[2]),
                     inkora::leadingDouble(parts[3]));
}

SrgbColor colorWithRGBHexString(const QString &text)
{
    std::uint32_t v = 0;
    inkora::scanHexUInt32(text, &v);
    // Single-precision divisions, as the colour picker's field has always made them.
    return SrgbColor(float((v >> 16) & 0xFF) / 255.0f, float((v >> 8) & 0xFF) / 255.0f, float(v & 0xFF) / 255.0f, 1.0);
}

QString RGBHexString(const SrgbColor &color)
{
    const SrgbColor c = colorOrBlack(color);
    return QString::asprintf("%02X%02X%02X", roundedByte(c.red()), roundedByte(c.green()), roundedByte(c.blue()));
}

QString RGBRedIntegerString(const SrgbColor &color)
{
    return integerString(colorOrBlack(color).red());
}

QString RGBGreenIntegerString(const SrgbColor &color)
{
    return integerString(colorOrBlack(color).green());
}

QString RGBBlueIntegerString(const SrgbColor &color)
{
    return integerString(colorOrBlack(color).blue());
}

QString hexadecimalString(const SrgbColor &color)
{
    if (!color.isValid())
        return {};
    return QStringLiteral("#%1%2%3").arg(QString::asprintf("%02X", truncatedByte(color.red())),
                                         QString::asprintf("%02X", truncatedByte(color.green())),
                                         QString::asprintf("%02X", truncatedByte(color.blue())));
}

SrgbColor colorFromHexadecimalString(const QString &text)
{
    QString digits = text;
    if (digits.startsWith(QLatin1Char('#')))
        digits.remove(0, 1);
    std::uint32_t v = 0;
    inkora::scanHexUInt32(digits, &v);
    return SrgbColor(((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0, 1.0);
}

std::uint32_t uint32HexOpaqueAlpha(const SrgbColor &color)
{
    if (!color.isValid())
        return 0;
    return (std::uint32_t(truncatedByte(color.red())) << 24) | (std::uint32_t(truncatedByte(color.green())) << 16) |
           (std::uint32_t(truncatedByte(color.blue())) << 8) | 0xFFu;
}

SrgbColor colorFromUint32Hex(std::uint32_t value)
{
    return SrgbColor((value >> 24) / 255.0, ((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0,
                     (value & 0xFF) / 255.0);
}

double hueWithUint32Hex(std::uint32_t value)
{
    double hue = 0, saturation = 0, brightness = 0;
    inkora::srgbToHsb(colorFromUint32Hex(value), &hue, &saturation, &brightness);
    return hue;
}

SrgbColor rainbowColorWithHue(double hue)
{
    return rainbowColorWithHueSaturationBrightness(hue, double(0.7f), 1.0);
}

SrgbColor rainbowColorWithHueSaturationBrightness(double hue, double saturation, double brightness)
{
    return inkora::srgbColorWithHsb(std::isfinite(hue) ? hue : 0.0, saturation, brightness, 1.0);
}

MRKOMonochromeType monochromeType(const SrgbColor &color)
{
    const SrgbColor c = colorOrBlack(color);
    const double mean = (c.red() + c.green() + c.blue()) / 3.0;
    const double s = saturationOf(c);
    constexpr double kPi = 3.14159265358979323846;
    if (0.09 * double(std::cos(float(0.35 * kPi * s))) > mean)
        return MRKOMonochromeTypeNearBlack;
    if (mean > 1.0 - 0.09 * double(std::cos(float(4.0 * kPi * s))))
        return MRKOMonochromeTypeNearWhite;
    return MRKOMonochromeTypeChromatic;
}

SrgbColor contrastTextColor(const SrgbColor &color)
{
    if (!color.isValid())
        return SrgbColor(0, 0, 0, 1);
    const double d = 1.0 - (0.299 * color.red() + 0.587 * color.green() + 0.114 * color.blue());
    return d > 0.5 ? SrgbColor(1, 1, 1, 1) : SrgbColor(0, 0, 0, 1);
}

bool enoughSatToSave(const SrgbColor &color)
{
    if (monochromeType(color) != MRKOMonochromeTypeChromatic)
        return false;
    double hue = 0, s = 0, b = 0;
    inkora::srgbToHsb(colorOrBlack(color), &hue, &s, &b);
    if (!(s > 0))
        return false;
    return s > (0.1 * (1.0 - b)) / s;
}

bool isEqualToSRGBColor(const SrgbColor &color, const SrgbColor &other)
{
    return color.isValid() && other.isValid() && color == other;
}

SrgbColor colorBylinearInterpolationFromColor(const SrgbColor &from, const SrgbColor &to, double percentage)
{
    const double p = clampedPercentage(percentage);
    const SrgbColor a = colorOrBlack(from);
    const SrgbColor b = colorOrBlack(to);
    return SrgbColor(a.red() + (b.red() - a.red()) * p, a.green() + (b.green() - a.green()) * p,
                     a.blue() + (b.blue() - a.blue()) * p, a.alpha() + (b.alpha() - a.alpha()) * p);
}

SrgbColor colorByChromaticInterpollationFromColor(const SrgbColor &from, const SrgbColor &to, double percentage)
{
    const double p = clampedPercentage(percentage);
    const SrgbColor a = colorOrBlack(from);
    const SrgbColor b = colorOrBlack(to);
    double ha = 0, sa = 0, va = 0, hb = 0, sb = 0, vb = 0;
    inkora::srgbToHsb(a, &ha, &sa, &va);
    inkora::srgbToHsb(b, &hb, &sb, &vb);
    return inkora::srgbColorWithHsb(ha + (hb - ha) * p, sa + (sb - sa) * p, va + (vb - va) * p,
                                    a.alpha() + (b.alpha() - a.alpha()) * p);
}

QColor iconOnColor()
{
    // The desktop's accent colour, as the palette's highlight gives it.
    const QColor accent = QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
    return accent.isValid() ? accent.toRgb() : SrgbColor(0, 0.568, 1, 1).toQColor();
}

QColor iconOffColor()
{
    // The secondary label colour: the text colour at half strength.
    QColor text = QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText).toRgb();
    text.setAlphaF(text.alphaF() * 0.5f);
    return text;
}

QColor iconPressedColor()
{
    return iconOnColor().darker(130);
}

QColor iconRolloverColor()
{
    return iconOnColor().lighter(120);
}

} // namespace OnOffColor

void hsvToRgb(double hue, double saturation, double value, double *red, double *green, double *blue)
{
    if (saturation == 0) {
        *red = *green = *blue = value;
        return;
    }
    const double x = hue >= 360.0 ? 0.0 : hue / 60.0;
    const double i = std::floor(x);
    const double f = float(x - i);
    const double p = float(value * (1.0 - saturation));
    const double q = float(value * (1.0 - saturation * f));
    const double t = float(value * (1.0 - saturation * (1.0 - f)));
    if (i == 0) {
        *red = value, *green = t, *blue = p;
    } else if (i == 1) {
        *red = q, *green = value, *blue = p;
    } else if (i == 2) {
        *red = p, *green = value, *blue = t;
    } else if (i == 3) {
        *red = p, *green = q, *blue = value;
    } else if (i == 4) {
        *red = t, *green = p, *blue = value;
    } else {
        *red = value, *green = p, *blue = q;
    }
}

namespace {

float hueToChannel(float p, float q, float t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (6 * t < 1)
        return p + (q - p) * 6 * t;
    if (2 * t < 1)
        return q;
    if (3 * t < 2)
        return p + (q - p) * (2.0f / 3.0f - t) * 6;
    return p;
}

} // namespace

void hslToRgb(float hue, float saturation, float lightness, float *red, float *green, float *blue)
{
    float r = lightness, g = lightness, b = lightness;
    if (saturation != 0) {
        const float q =
            lightness < 0.5f ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
        const float p = 2 * lightness - q;
        r = hueToChannel(p, q, hue + 1.0f / 3.0f);
        g = hueToChannel(p, q, hue);
        b = hueToChannel(p, q, hue - 1.0f / 3.0f);
    }
    if (red)
        *red = r;
    if (green)
        *green = g;
    if (blue)
        *blue = b;
}

void rgbToHsl(float red, float green, float blue, float *hue, float *saturation, float *lightness)
{
    const float maximum = std::max({red, green, blue});
    const float minimum = std::min({red, green, blue});
    const float l = (maximum + minimum) / 2;
    float h = 0, s = 0;
    if (l > 0) {
        const float d = maximum - minimum;
        if (d > 0) {
            const float r2 = (maximum - red) / d;
            const float g2 = (maximum - green) / d;
            const float b2 = (maximum - blue) / d;
            if (red == maximum)
                h = green == minimum ? 5 + b2 : 1 - g2;
            else if (green == maximum)
                h = blue == minimum ? 1 + r2 : 3 - b2;
            else
                h = red == minimum ? 3 + g2 : 5 - r2;
            h /= 6;
            s = l <= 0.5f ? d / (maximum + minimum) : d / (2 - maximum - minimum);
        }
    }
    if (hue)
        *hue = h;
    if (saturation)
        *saturation = s;
    if (lightness)
        *lightness = l;
}
