#pragma once

#include "foundation/EdgeInsets.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>

#include <optional>

namespace inkora {
class BezierPath;
}

/// Bitmaps as the drawings use them: 8-bit sRGB with premultiplied alpha stored last (QImage
/// Format_RGBA8888_Premultiplied, row 0 at the top; the device pixel ratio is the backing scale), their file data,
/// cropping, and trimming of fully transparent borders.
namespace Representations {

/// Transparency insets that stand for "nothing to keep": all four fields the smallest positive normal double.
[[nodiscard]] inkora::EdgeInsets invalidInsets();

/// The image as an sRGB bitmap of the same pixel size.
[[nodiscard]] QImage bitmapWithCGImageSRGB(const QImage &image);
/// The same, drawn only inside the mask (in the image's pixels, y up from its bottom-left corner).
[[nodiscard]] QImage bitmapWithCGImageSRGBMask(const QImage &image, const inkora::BezierPath &mask);

/// Null when the image cannot be written.
[[nodiscard]] std::optional<QByteArray> singlePNGData(const QImage &bitmap);
/// Written at the highest quality; null when the image cannot be written.
[[nodiscard]] std::optional<QByteArray> singleJPEGDataMaxQuality(const QImage &bitmap);
/// The part of the bitmap in `rect` (pixels, top-left origin), cut to the bitmap; a null image when nothing of it
/// lies inside.
[[nodiscard]] QImage cropBitmapWithCGRect(const QImage &bitmap, const QRectF &rect);

/// The insets of a pixel buffer's fully transparent border (row 0 at the top; alpha at byte 0 of each 4-byte pixel
/// when `alphaFirst`, else at byte 3). With a pixel alignment of 2 or more each inset is rounded down to an even
/// number. The invalid insets for a buffer without a visible pixel.
[[nodiscard]] inkora::EdgeInsets transparencyInsetsEfficientWithBytes(const uchar *bytes, int width, int height,
                                                                      qsizetype bytesPerRow, bool alphaFirst,
                                                                      int pixelAlignment);
/// What remains of the buffer after cutting its transparent border, with the origin at the bottom-left; the zero
/// rectangle when nothing is visible.
[[nodiscard]] QRectF efficientRectForTrimmingTransparentPixelsWithBytes(const uchar *bytes, int width, int height,
                                                                        qsizetype bytesPerRow, bool alphaFirst,
                                                                        int pixelAlignment);
[[nodiscard]] bool insetsHasValidValuesToTrim(const inkora::EdgeInsets &insets);
/// The rectangle reduced by the insets (bottom-left origin); the zero rectangle for the invalid insets.
[[nodiscard]] QRectF cropRectWithInsets(const QRectF &rect, const inkora::EdgeInsets &insets);

/// The buffer scan on the bitmap's own pixels, aligned to its backing scale.
[[nodiscard]] inkora::EdgeInsets transparencyInsetsEfficient(const QImage &bitmap);
[[nodiscard]] QRectF efficientRectForTrimmingTransparentPixels(const QImage &bitmap);

/// Insets found by counting the pixels of each row and column that are painted (with `full`, only fully opaque
/// ones); four zero insets when none is.
[[nodiscard]] inkora::EdgeInsets transparencyInsetsRequiringFullOpacity(const QImage &bitmap, bool full);
/// The rectangle to keep (pixels, top-left origin); the whole bitmap when it is under 2 pixels either way or there
/// is nothing to cut.
[[nodiscard]] QRectF rectForTrimmingTransparentPixels(const QImage &bitmap, bool full);
/// The bitmap cut to that rectangle; the bitmap itself when there is nothing to cut.
[[nodiscard]] QImage imageByTrimmingTransparentPixelsRequiringFullOpacity(const QImage &bitmap, bool full);
[[nodiscard]] QImage imageByTrimmingTransparentPixels(const QImage &bitmap);

} // namespace Representations
