#pragma once

#include "foundation/SrgbColor.h"

#include <QColor>
#include <QString>

#include <cstdint>

/// How near a colour lies to black or white.
enum MRKOMonochromeType : int {
    MRKOMonochromeTypeChromatic = 0,
    MRKOMonochromeTypeNearWhite = 1,
    MRKOMonochromeTypeNearBlack = 2,
};

/// Colour conversions shared by the whole program: the stored text form, hexadecimal and packed forms, rainbow
/// colours, classification, comparison and interpolation. Colours are sRGB doubles (`inkora::SrgbColor`, which may be
/// none); the icon colours, which only paint, are QColor.
namespace OnOffColor {

/// "%.06f+%.06f+%.06f+%.06f" of red, green, blue and alpha: the form every colour setting is stored in.
[[nodiscard]] QString srgbColorStringValue(const inkora::SrgbColor &color);
/// Exactly four "+"-separated numbers (a part that is no number reads 0); any other count gives no colour.
[[nodiscard]] inkora::SrgbColor srgbColorWithString(const QString &text);

/// Six hexadecimal digits "RRGGBB" read as an opaque colour (0 when the text is not hexadecimal).
[[nodiscard]] inkora::SrgbColor colorWithRGBHexString(const QString &text);
/// "%02X%02X%02X" of the rounded components.
[[nodiscard]] QString RGBHexString(const inkora::SrgbColor &color);
[[nodiscard]] QString RGBRedIntegerString(const inkora::SrgbColor &color);
[[nodiscard]] QString RGBGreenIntegerString(const inkora::SrgbColor &color);
[[nodiscard]] QString RGBBlueIntegerString(const inkora::SrgbColor &color);

/// "#RRGGBB" of the truncated components; a null string for no colour.
[[nodiscard]] QString hexadecimalString(const inkora::SrgbColor &color);
/// "#RRGGBB" or "RRGGBB" read as an opaque colour; black when the text is not hexadecimal.
[[nodiscard]] inkora::SrgbColor colorFromHexadecimalString(const QString &text);

/// 0xRRGGBBFF of the truncated components; 0 for no colour.
[[nodiscard]] std::uint32_t uint32HexOpaqueAlpha(const inkora::SrgbColor &color);
/// The colour of 0xRRGGBBAA, its alpha byte included.
[[nodiscard]] inkora::SrgbColor colorFromUint32Hex(std::uint32_t value);
/// The hue (0...1) of the colour of 0xRRGGBBAA.
[[nodiscard]] double hueWithUint32Hex(std::uint32_t value);

/// The rainbow colour of a hue: saturation 0.7 (as a float), brightness 1, opaque.
[[nodiscard]] inkora::SrgbColor rainbowColorWithHue(double hue);
[[nodiscard]] inkora::SrgbColor rainbowColorWithHueSaturationBrightness(double hue, double saturation,
                                                                        double brightness);

[[nodiscard]] MRKOMonochromeType monochromeType(const inkora::SrgbColor &color);
/// White or black, whichever reads better over the colour; black for no colour.
[[nodiscard]] inkora::SrgbColor contrastTextColor(const inkora::SrgbColor &color);
/// Whether the colour is saturated enough to be kept as a custom colour.
[[nodiscard]] bool enoughSatToSave(const inkora::SrgbColor &color);

/// Exact equality of the four components.
[[nodiscard]] bool isEqualToSRGBColor(const inkora::SrgbColor &color, const inkora::SrgbColor &other);
/// Componentwise interpolation; the fraction is clamped to 0...1.
[[nodiscard]] inkora::SrgbColor colorBylinearInterpolationFromColor(const inkora::SrgbColor &from,
                                                                    const inkora::SrgbColor &to, double percentage);
/// Interpolation of hue, saturation, brightness and alpha; the hue goes straight, not round the circle.
[[nodiscard]] inkora::SrgbColor colorByChromaticInterpollationFromColor(const inkora::SrgbColor &from,
                                                                        const inkora::SrgbColor &to, double percentage);

/// Colours of tool-bar and panel icons.
[[nodiscard]] QColor iconOnColor();
[[nodiscard]] QColor iconOffColor();
[[nodiscard]] QColor iconPressedColor();
[[nodiscard]] QColor iconRolloverColor();

} // namespace OnOffColor

/// Hue in degrees, saturation and value to red, green and blue; every out-pointer is required.
void hsvToRgb(double hue, double saturation, double value, double *red, double *green, double *blue);
/// Hue, saturation and lightness (all 0...1) to red, green and blue; each out-pointer may be null.
void hslToRgb(float hue, float saturation, float lightness, float *red, float *green, float *blue);
/// Red, green and blue to hue, saturation and lightness (all 0...1); each out-pointer may be null.
void rgbToHsl(float red, float green, float blue, float *hue, float *saturation, float *lightness);
