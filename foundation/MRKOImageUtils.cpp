#include "foundation/MRKOImageUtils.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr double kCheckerSquare = 2.0; // points
const QPointF kCheckerCentre(2, 2);    // points, y up

// A transparent image of the size in points at the scale, and a painter on it in points with y up.
QImage blankImage(QSizeF size, double scale)
{
    const QSize pixels(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)));
    QImage image(pixels, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    return image;
}

void flipUp(QPainter &painter, QSizeF size)
{
    painter.translate(0, size.height());
    painter.scale(1, -1);
}

void paintCheckerboard(QPainter &painter, QSizeF size)
{
    const QColor grey = QColor::fromRgbF(0.82f, 0.82f, 0.82f, 1);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    const int firstColumn = int(std::floor((0 - kCheckerCentre.x()) / kCheckerSquare));
    const int firstRow = int(std::floor((0 - kCheckerCentre.y()) / kCheckerSquare));
    for (int row = firstRow; kCheckerCentre.y() + row * kCheckerSquare < size.height(); ++row) {
        for (int column = firstColumn; kCheckerCentre.x() + column * kCheckerSquare < size.width(); ++column) {
            if ((row + column) % 2 != 0)
                continue;
            painter.fillRect(QRectF(kCheckerCentre.x() + column * kCheckerSquare,
                                    kCheckerCentre.y() + row * kCheckerSquare, kCheckerSquare, kCheckerSquare),
                             grey);
        }
    }
}

QImage swatch(QSizeF size, const QColor &color, double scale, double inset, double ringOutset)
{
    QImage image = blankImage(size, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    flipUp(painter, size);
    const QRectF disc = QRectF(QPointF(0, 0), size).adjusted(inset, inset, -inset, -inset);
    QPainterPath oval;
    oval.addEllipse(disc);
    if (color.alphaF() < 1) {
        painter.save();
        painter.setClipPath(oval);
        paintCheckerboard(painter, size);
        painter.restore();
    }
    painter.fillPath(oval, color);
    QPen ring(QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3, 1)); // light grey
    ring.setWidthF(1.0);
    painter.setPen(ring);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(disc.adjusted(-ringOutset, -ringOutset, ringOutset, ringOutset));
    return image;
}

} // namespace

QImage MRKOImageUtils::colorSwatchImageWithSize(QSizeF size, const QColor &color, double scale)
{
    return swatch(size, color, scale, 4.0, 1.5);
}

QImage MRKOImageUtils::colorSwatchImageOnWithSize(QSizeF size, const QColor &color, double scale)
{
    return swatch(size, color, scale, 3.0, 0.5);
}

QImage MRKOImageUtils::swatchCheckerboardForSize(QSizeF size, double scale)
{
    if (size == QSizeF(17, 17) && scale == 1.0)
        return swatchCheckerboard17x17();
    return swatchCheckerboardWithSize(size, scale);
}

QImage MRKOImageUtils::swatchCheckerboard17x17()
{
    static const QImage checkerboard = swatchCheckerboardWithSize(QSizeF(17, 17));
    return checkerboard;
}

QImage MRKOImageUtils::swatchCheckerboardWithSize(QSizeF size, double scale)
{
    QImage image = blankImage(size, scale);
    QPainter painter(&image);
    flipUp(painter, size);
    paintCheckerboard(painter, size);
    return image;
}
