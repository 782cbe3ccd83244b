#pragma once

#include <QColor>

namespace inkora {

/// An sRGB colour as four doubles (red, green, blue, alpha), or no colour. Colours are stored, compared and
/// converted in this form, so a six-decimal text reads and writes back unchanged and equality is exact; a QColor,
/// which keeps 16 bits a component, is made only where Qt paints.
class SrgbColor
{
public:
    /// No colour.
    constexpr SrgbColor() = default;
    constexpr SrgbColor(double red, double green, double blue, double alpha)
        : m_red(red), m_green(green), m_blue(blue), m_alpha(alpha), m_valid(true)
    {}
    /// The colour of a QColor (an invalid one gives no colour), so that code still holding QColor can hand it over.
    /// Each 16-bit component is read back as the shortest decimal of up to four places that QColor stores the same
    /// way (a colour made from 0.5 reads 0.5, not 32768/65535), else as the stored value.
    SrgbColor(const QColor &color); // implicit on purpose: the way in from code that holds QColor

    [[nodiscard]] constexpr bool isValid() const { return m_valid; }
    [[nodiscard]] constexpr double red() const { return m_red; }
    [[nodiscard]] constexpr double green() const { return m_green; }
    [[nodiscard]] constexpr double blue() const { return m_blue; }
    [[nodiscard]] constexpr double alpha() const { return m_alpha; }

    /// The same colour with another alpha; no colour stays none.
    [[nodiscard]] SrgbColor withAlpha(double alpha) const;

    /// For painting only: an invalid QColor for no colour; components outside 0...1 make an extended sRGB colour.
    [[nodiscard]] QColor toQColor() const;

    /// Exact equality of the four doubles; no colour equals only no colour.
    friend constexpr bool operator==(const SrgbColor &a, const SrgbColor &b)
    {
        if (a.m_valid != b.m_valid)
            return false;
        return !a.m_valid ||
               (a.m_red == b.m_red && a.m_green == b.m_green && a.m_blue == b.m_blue && a.m_alpha == b.m_alpha);
    }

private:
    double m_red = 0;
    double m_green = 0;
    double m_blue = 0;
    double m_alpha = 0;
    bool m_valid = false;
};

/// Hue (0...1), saturation and brightness of a colour's components, as the HSB model defines them; hue 0 without
/// chroma. No colour reads as black.
void srgbToHsb(const SrgbColor &color, double *hue, double *saturation, double *brightness);

/// The sRGB colour of the given hue (0...1, wrapped), saturation, brightness and alpha.
[[nodiscard]] SrgbColor srgbColorWithHsb(double hue, double saturation, double brightness, double alpha);

} // namespace inkora
