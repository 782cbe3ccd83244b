#include "foundation/InkoraLog.h"
#include "foundation/NSBitmapImageRep+Representations.h"
#include "objects/BezierPath.h"
#include "platform/BitmapContext.h"

#include <QBuffer>
#include <QColorSpace>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace Representations {

namespace {

// Pixels of an image as the scans read them: row 0 at the top, the alpha of each pixel.
struct AlphaBuffer
{
    const uchar *bytes = nullptr;
    int width = 0;
    int height = 0;
    qsizetype bytesPerRow = 0;
    int alphaOffset = 3;

    [[nodiscard]] bool painted(int x, int y) const { return bytes[y * bytesPerRow + x * 4 + alphaOffset] != 0; }
};

bool isInvalid(const inkora::EdgeInsets &insets)
{
    return insets == invalidInsets();
}

std::optional<QByteArray> encoded(const QImage &bitmap, const char *format, int quality)
{
    if (bitmap.isNull())
        return std::nullopt;
    QByteArray data;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::WriteOnly) || !bitmap.save(&buffer, format, quality))
        return std::nullopt;
    return data;
}

QImage rgba(const QImage &bitmap)
{
    return bitmap.format() == QImage::Format_RGBA8888_Premultiplied
               ? bitmap
               : bitmap.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
}

} // namespace

inkora::EdgeInsets invalidInsets()
{
    return {DBL_MIN, DBL_MIN, DBL_MIN, DBL_MIN};
}

QImage bitmapWithCGImageSRGB(const QImage &image)
{
    if (image.isNull())
        return {};
    QImage srgb = image;
    if (srgb.colorSpace().isValid() && srgb.colorSpace() != QColorSpace(QColorSpace::SRgb))
        srgb.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
    srgb = rgba(srgb);
    srgb.setDevicePixelRatio(1.0);
    return srgb;
}

QImage bitmapWithCGImageSRGBMask(const QImage &image, const inkora::BezierPath &mask)
{
    const QImage srgb = bitmapWithCGImageSRGB(image);
    if (srgb.isNull())
        return {};
    const std::unique_ptr<platform::BitmapContext> context =
        platform::BitmapContext::create(srgb.width(), srgb.height());
    if (!context) {
        qCWarning(lcFoundation) << "bitmapWithCGImageSRGB:mask: CGContextRef Create Failed";
        return {};
    }
    context->clipToPath(mask.toPainterPath());
    context->drawImage(QRectF(0, 0, srgb.width(), srgb.height()), srgb);
    return context->makeImage();
}

std::optional<QByteArray> singlePNGData(const QImage &bitmap)
{
    return encoded(bitmap, "PNG", -1);
}

std::optional<QByteArray> singleJPEGDataMaxQuality(const QImage &bitmap)
{
    return encoded(bitmap, "JPEG", 100);
}

QImage cropBitmapWithCGRect(const QImage &bitmap, const QRectF &rect)
{
    if (bitmap.isNull() || !(rect.width() > 0) || !(rect.height() > 0))
        return {};
    const double left = std::max(0.0, std::floor(rect.x()));
    const double top = std::max(0.0, std::floor(rect.y()));
    const double right = std::min<double>(bitmap.width(), std::ceil(rect.x() + rect.width()));
    const double bottom = std::min<double>(bitmap.height(), std::ceil(rect.y() + rect.height()));
    if (!(right > left) || !(bottom > top))
        return {};
    return bitmap.copy(int(left), int(top), int(right - left), int(bottom - top));
}

inkora::EdgeInsets transparencyInsetsEfficientWithBytes(const uchar *bytes, int width, int height,
                                                        qsizetype bytesPerRow, bool alphaFirst, int pixelAlignment)
{
    const AlphaBuffer b{bytes, width, height, bytesPerRow, alphaFirst ? 0 : 3};
    auto empty = [] {
        qCDebug(lcFoundation) << "Trimming Transparency Insets. Image is empty";
        return invalidInsets();
    };
    if (width < 1 || height < 1 || !bytes)
        return empty();

    auto columnHas = [&b](int x, int fromRow, int toRow) {
        for (int y = fromRow; y <= toRow; ++y) {
            if (b.painted(x, y))
                return true;
        }
        return false;
    };
    auto rowHas = [&b](int y, int fromColumn, int toColumn) {
        for (int x = fromColumn; x <= toColumn; ++x) {
            if (b.painted(x, y))
                return true;
        }
        return false;
    };
    // Column by column from the left; each later scan covers only what the earlier ones left, and each stops at
    // the first painted pixel (the one found in the left column guarantees that it stops).
    int left = 0;
    while (left < width && !columnHas(left, 0, height - 1))
        ++left;
    if (left == width)
        return empty();
    int top = 0;
    while (!rowHas(top, left, width - 1))
        ++top;
    int rightmost = width - 1;
    while (!columnHas(rightmost, top, height - 1))
        --rightmost;
    int bottommost = height - 1;
    while (!rowHas(bottommost, left, rightmost))
        --bottommost;

    int insets[4] = {top, left, height - 1 - bottommost, width - 1 - rightmost};
    if (pixelAlignment >= 2) {
        // Whole points at scale 2: keep an even number of pixels on each side.
        for (int &inset : insets)
            inset &= ~1;
    }
    return {double(insets[0]), double(insets[1]), double(insets[2]), double(insets[3])};
}

QRectF efficientRectForTrimmingTransparentPixelsWithBytes(const uchar *bytes, int width, int height,
                                                          qsizetype bytesPerRow, bool alphaFirst, int pixelAlignment)
{
    return cropRectWithInsets(
        QRectF(0, 0, width, height),
        transparencyInsetsEfficientWithBytes(bytes, width, height, bytesPerRow, alphaFirst, pixelAlignment));
}

bool insetsHasValidValuesToTrim(const inkora::EdgeInsets &insets)
{
    const inkora::EdgeInsets invalid = invalidInsets();
    return insets.top != invalid.top || insets.left != invalid.left || insets.bottom != invalid.bottom ||
           insets.right != invalid.right;
}

QRectF cropRectWithInsets(const QRectF &rect, const inkora::EdgeInsets &insets)
{
    if (isInvalid(insets))
        return {};
    if (insets == inkora::EdgeInsets{})
        return rect;
    return {rect.x() + insets.left, rect.y() + insets.bottom, rect.width() - (insets.left + insets.right),
            rect.height() - (insets.top + insets.bottom)};
}

inkora::EdgeInsets transparencyInsetsEfficient(const QImage &bitmap)
{
    const QImage pixels = rgba(bitmap);
    const int alignment = int(bitmap.devicePixelRatio());
    return transparencyInsetsEfficientWithBytes(pixels.constBits(), pixels.width(), pixels.height(),
                                                pixels.bytesPerLine(), false, alignment);
}

QRectF efficientRectForTrimmingTransparentPixels(const QImage &bitmap)
{
    if (bitmap.width() < 2 || bitmap.height() < 2)
        return QRectF(0, 0, bitmap.width(), bitmap.height());
    return cropRectWithInsets(QRectF(0, 0, bitmap.width(), bitmap.height()), transparencyInsetsEfficient(bitmap));
}

inkora::EdgeInsets transparencyInsetsRequiringFullOpacity(const QImage &bitmap, bool full)
{
    const int w = bitmap.width(), h = bitmap.height();
    if (w < 1 || h < 1)
        return {};
    const QImage alpha = bitmap.convertToFormat(QImage::Format_Alpha8);
    // Whether a row or column holds a counting pixel (a count that wraps at 65536 could miss one).
    std::vector<bool> rows(size_t(h), false), columns(size_t(w), false);
    for (int y = 0; y < h; ++y) {
        const uchar *line = alpha.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            if (full ? line[x] == 255 : line[x] != 0) {
                rows[size_t(y)] = true;
                columns[size_t(x)] = true;
            }
        }
    }
    inkora::EdgeInsets insets;
    const auto firstRow = std::find(rows.begin(), rows.end(), true);
    if (firstRow != rows.end()) {
        insets.top = double(firstRow - rows.begin());
        insets.bottom = double(std::find(rows.rbegin(), rows.rend(), true) - rows.rbegin());
    }
    const auto firstColumn = std::find(columns.begin(), columns.end(), true);
    if (firstColumn != columns.end()) {
        insets.left = double(firstColumn - columns.begin());
        insets.right = double(std::find(columns.rbegin(), columns.rend(), true) - columns.rbegin());
    }
    return insets;
}

QRectF rectForTrimmingTransparentPixels(const QImage &bitmap, bool full)
{
    const int w = bitmap.width(), h = bitmap.height();
    if (w < 2 || h < 2)
        return QRectF(0, 0, w, h);
    const inkora::EdgeInsets insets = transparencyInsetsRequiringFullOpacity(bitmap, full);
    if (insets == inkora::EdgeInsets{})
        return QRectF(0, 0, w, h);
    return {insets.left, insets.top, w - insets.left - insets.right, h - insets.top - insets.bottom};
}

QImage imageByTrimmingTransparentPixelsRequiringFullOpacity(const QImage &bitmap, bool full)
{
    const int w = bitmap.width(), h = bitmap.height();
    if (w < 2 || h < 2)
        return bitmap;
    const QRectF keep = rectForTrimmingTransparentPixels(bitmap, full);
    if (keep == QRectF(0, 0, w, h))
        return bitmap;
    return cropBitmapWithCGRect(bitmap, keep);
}

QImage imageByTrimmingTransparentPixels(const QImage &bitmap)
{
    return imageByTrimmingTransparentPixelsRequiringFullOpacity(bitmap, false);
}

} // namespace Representations
