#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

/// Icons painted in one colour: the colour shows through the icon's opaque pixels. The painters' user space is
/// taken as points with y up, where an image drawn into a rectangle stands upright; the flipping variants are for
/// painters whose user space runs y down.
namespace ImageNamedWithColor {

/// Flips about the rectangle's height before masking: upright in a y-down user space.
void drawAlternateInRect(QPainter &painter, const QImage &image, const QRectF &rect, const QColor &color);
/// Masks in the painter's own orientation: upright in a y-up user space.
void drawAlternateInRectWOFlipping(QPainter &painter, const QImage &image, const QRectF &rect, const QColor &color);
/// As drawAlternateInRect, but flipping about the height of the painter's clip bounds (the whole device when
/// nothing is clipped); nothing without an active painter.
void drawAIR(QPainter &painter, const QImage &image, const QRectF &rect, const QColor &color);
/// The icon in the accent blue (0.1333, 0.5176, 0.9647), masked without flipping.
void drawIconInRect(QPainter &painter, const QImage &image, const QRectF &rect);
/// The icon in the colour, masked without flipping.
void drawEtchedInRect(QPainter &painter, const QImage &image, const QRectF &rect, const QColor &color);

/// The named image at its size times the scale, upright, in the colour; null when there is no such image.
[[nodiscard]] QImage imageNamedWithColor(const QString &name, const QColor &color, double scale);
/// The same for an image at hand.
[[nodiscard]] QImage imageWithColor(const QImage &image, const QColor &color, double scale);

/// A feathered oval edge of `size` points at `scale` pixels per point: clear within size.width / 2 − feather of
/// the centre, the colour from size.width / 2 on, fading in between. An invalid colour means the default shade.
[[nodiscard]] QImage radialImageWithSize(QSizeF size, double feather, const QColor &color, double scale = 1);
/// A feathered rectangular edge: the colour along each edge, fading to clear `feather` points inwards.
[[nodiscard]] QImage linearImageWithSize(QSizeF size, double feather, const QColor &color, double scale = 1);

} // namespace ImageNamedWithColor
