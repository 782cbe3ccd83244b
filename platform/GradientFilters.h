#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>

namespace platform {

// Small CPU image filters. Images are QImage::Format_RGBA8888_Premultiplied; points given to the gradients are in
// pixels with y up (origin at the bottom-left corner), row 0 of an image being its top. Gradients extend their end
// colours beyond both ends and interpolate unpremultiplied components.

/// c0 within r0 of the centre, c1 from r1 on, a blend in between.
[[nodiscard]] QImage radialGradient(QSize size, QPointF centre, double r0, double r1, const QColor &c0,
                                    const QColor &c1);
/// c0 at p0 and before it, c1 at p1 and beyond, along the line from p0 to p1.
[[nodiscard]] QImage linearGradient(QSize size, QPointF p0, QPointF p1, const QColor &c0, const QColor &c1);
/// 1 − (1 − a)(1 − b) per component; both images of one size.
[[nodiscard]] QImage screenBlend(const QImage &a, const QImage &b);
/// White with the luminance as alpha.
[[nodiscard]] QImage maskToAlpha(const QImage &image);
/// `input` where the mask's alpha is 1, `background` where it is 0, a blend in between; all of one size.
[[nodiscard]] QImage blendWithAlphaMask(const QImage &input, const QImage &background, const QImage &mask);

} // namespace platform
