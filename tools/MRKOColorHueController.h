#pragma once

#include "foundation/SrgbColor.h"

#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>

#include <array>

/// The ten hue swatches (red, orange ... crimson).
enum MRKOColorHueIndex : quint64 {
    MRKOColorHueRed = 0,
    MRKOColorHueOrange = 1,
    MRKOColorHueYellow = 2,
    MRKOColorHueGreen = 3,
    MRKOColorHueTurquoise = 4,
    MRKOColorHueCyan = 5,
    MRKOColorHueBlue = 6,
    MRKOColorHuePurple = 7,
    MRKOColorHueMagenta = 8,
    MRKOColorHueCrimson = 9,
};

/// The ten hue swatches of the colour shortcuts and the radial swatch menu: each a fixed hue unless the user gave
/// it a colour of its own, which is kept in the settings under the swatch's key.
class MRKOColorHueController final
{
public:
    static constexpr quint64 kCount = 10;

    /// Made once, reading the stored colours.
    static MRKOColorHueController &sharedHueController();
    MRKOColorHueController();

    void updateColorForColorHueIndex(quint64 index);
    /// No colour clears the swatch's own colour; indexes above 9 are ignored.
    void updateColorForColorHueIndex(const inkora::SrgbColor &color, quint64 index);
    /// Empty above 9.
    [[nodiscard]] static QString keyWithColorHueIndex(quint64 index);
    /// The swatch's own colour; none when it has none or the index is above 9.
    [[nodiscard]] inkora::SrgbColor colorWithColorHueIndex(quint64 index) const;
    /// 0...1; 0 for red and for indexes outside the table.
    [[nodiscard]] static double hueWithColorHueIndex(quint64 index);
    /// The own colour, else the rainbow colour of the default hue.
    [[nodiscard]] inkora::SrgbColor effectiveColorWithColorHueIndex(quint64 index) const;

    /// A disc of the colour inset 2 points in an image of `size` points, at `scale` pixels a point.
    [[nodiscard]] static QImage colorSwatchImageWithColor(const inkora::SrgbColor &color, QSizeF size,
                                                          double scale = 1.0);
    [[nodiscard]] static QImage colorSwatchImageWithColor(const inkora::SrgbColor &color, double scale = 1.0);
    [[nodiscard]] static QImage smallColorSwatchImageWithColor(const inkora::SrgbColor &color, double scale = 1.0);
    /// The ten effective colours in index order, at 32 or 15 points.
    [[nodiscard]] QList<QImage> allSwatches(double scale = 1.0) const;
    [[nodiscard]] QList<QImage> allSwatchesSmall(double scale = 1.0) const;
    [[nodiscard]] static QImage smallSwatchBlackWhite();

private:
    std::array<inkora::SrgbColor, kCount> m_colors;
};
