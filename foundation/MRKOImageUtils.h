#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>

/// Pictures of colours for the colour controls: round swatches and the checkerboard that shows through a
/// translucent colour. Sizes are points; the images are made at the given backing scale. Main thread only.
class MRKOImageUtils final
{
public:
    MRKOImageUtils() = delete;

    /// A disc inset 4 points in the image, over the checkerboard when the colour is translucent, with a 1-point
    /// light grey ring 1.5 points outside it.
    [[nodiscard]] static QImage colorSwatchImageWithSize(QSizeF size, const QColor &color, double scale = 1.0);
    /// The "on" look: inset 3 points, the ring 0.5 points outside.
    [[nodiscard]] static QImage colorSwatchImageOnWithSize(QSizeF size, const QColor &color, double scale = 1.0);
    /// The 17 x 17 checkerboard is made once; other sizes are made anew.
    [[nodiscard]] static QImage swatchCheckerboardForSize(QSizeF size, double scale = 1.0);
    [[nodiscard]] static QImage swatchCheckerboard17x17();
    /// Squares of 2 points, light grey (0.82) and white, the grey one above and right of (2, 2) (y up).
    [[nodiscard]] static QImage swatchCheckerboardWithSize(QSizeF size, double scale = 1.0);
};
