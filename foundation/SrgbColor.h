#pragma once

#include <QColor>

namespace inkora {

/// The red, green, blue and alpha components of an sRGB colour, as doubles.
struct SrgbComponents
{
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
};

/// The sRGB components of a colour; false for an invalid colour. QColor keeps 16 bits per component, so a
/// component is read back as the shortest decimal of up to four places that QColor stores the same way (a colour
/// made from 0.5 reads 0.5, not 32768/65535), else as the stored value itself.
[[nodiscard]] bool srgbComponents(const QColor &color, SrgbComponents *components);

/// An sRGB colour of the given components; components outside 0...1 make an extended sRGB colour.
[[nodiscard]] QColor srgbColor(double red, double green, double blue, double alpha);

/// Hue (0...1), saturation and brightness of the components, as the HSB model defines them; hue 0 without chroma.
void srgbToHsb(const SrgbComponents &rgb, double *hue, double *saturation, double *brightness);

/// An sRGB colour of the given hue (0...1, wrapped), saturation, brightness and alpha.
[[nodiscard]] QColor srgbColorWithHsb(double hue, double saturation, double brightness, double alpha);

} // namespace inkora
