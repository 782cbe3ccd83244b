#include "foundation/NSBitmapImageRep+Representations.h"
#include "objects/BezierPath.h"
#include "tests/support/InkoraFixture.h"

#include <cfloat>

using inkora::EdgeInsets;

namespace {

QImage clearImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

class RepresentationsTest : public InkoraFixture
{
};

TEST_F(RepresentationsTest, BufferScanFindsTheVisibleBoxWithBottomLeftOrigin)
{
    // 10 x 8 pixels; visible pixels at rows 2 and 3 (from the top), columns 5 to 6.
    QImage image = clearImage(10, 8);
    image.setPixelColor(5, 2, QColor(0, 0, 0, 1));
    image.setPixelColor(6, 3, Qt::red);
    struct Row
    {
        const char *name;
        int alignment;
        EdgeInsets insets;
        QRectF rect;
    };
    const Row rows[] = {
        {"ScaleOne", 1, {2, 5, 4, 3}, {5, 4, 2, 2}},
        {"ScaleTwoKeepsWholePoints", 2, {2, 4, 4, 2}, {4, 4, 4, 2}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const EdgeInsets insets = Representations::transparencyInsetsEfficientWithBytes(
            image.constBits(), 10, 8, image.bytesPerLine(), false, row.alignment);
        EXPECT_EQ(insets, row.insets);
        EXPECT_EQ(Representations::efficientRectForTrimmingTransparentPixelsWithBytes(
                      image.constBits(), 10, 8, image.bytesPerLine(), false, row.alignment),
                  row.rect);
    }
    // Alpha first: the same pixels with the alpha byte in front.
    QImage alphaFirst(10, 8, QImage::Format_RGBA8888_Premultiplied);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const uchar *in = image.constScanLine(y) + x * 4;
            uchar *out = alphaFirst.scanLine(y) + x * 4;
            out[0] = in[3];
            out[1] = in[0];
            out[2] = in[1];
            out[3] = in[2];
        }
    }
    EXPECT_EQ(Representations::transparencyInsetsEfficientWithBytes(alphaFirst.constBits(), 10, 8,
                                                                    alphaFirst.bytesPerLine(), true, 1),
              (EdgeInsets{2, 5, 4, 3}));
}

TEST_F(RepresentationsTest, InvalidInsetsMeanNothingToKeep)
{
    const EdgeInsets invalid = Representations::invalidInsets();
    EXPECT_EQ(invalid.top, 2.2250738585072014e-308);
    EXPECT_FALSE(Representations::insetsHasValidValuesToTrim(invalid));
    EXPECT_TRUE(Representations::insetsHasValidValuesToTrim(EdgeInsets{}));
    EXPECT_TRUE(Representations::insetsHasValidValuesToTrim(EdgeInsets{DBL_MIN, DBL_MIN, DBL_MIN, 0}));

    const QRectF r(0, 0, 10, 8);
    EXPECT_EQ(Representations::cropRectWithInsets(r, invalid), QRectF());
    EXPECT_EQ(Representations::cropRectWithInsets(r, EdgeInsets{}), r);
    EXPECT_EQ(Representations::cropRectWithInsets(r, EdgeInsets{1, 2, 3, 4}), QRectF(2, 3, 4, 4));

    const QImage clear = clearImage(6, 6);
    EXPECT_EQ(Representations::transparencyInsetsEfficient(clear), invalid);
    EXPECT_EQ(Representations::efficientRectForTrimmingTransparentPixels(clear), QRectF());
    EXPECT_EQ(Representations::transparencyInsetsEfficientWithBytes(nullptr, 0, 0, 0, false, 1), invalid);
    EXPECT_EQ(Representations::efficientRectForTrimmingTransparentPixels(clearImage(1, 6)), QRectF(0, 0, 1, 6));
}

TEST_F(RepresentationsTest, BitmapScanUsesItsBackingScale)
{
    QImage image = clearImage(12, 4);
    image.setPixelColor(5, 1, Qt::black);
    EXPECT_EQ(Representations::transparencyInsetsEfficient(image).left, 5);
    image.setDevicePixelRatio(2);
    EXPECT_EQ(Representations::transparencyInsetsEfficient(image).left, 4);
}

TEST_F(RepresentationsTest, CountedInsetsOfOneOpaquePixel)
{
    QImage image = clearImage(10, 10);
    image.setPixelColor(3, 2, Qt::black);
    EXPECT_EQ(Representations::transparencyInsetsRequiringFullOpacity(image, true), (EdgeInsets{2, 3, 7, 6}));
    EXPECT_EQ(Representations::rectForTrimmingTransparentPixels(image, true), QRectF(3, 2, 1, 1));
    const QImage trimmed = Representations::imageByTrimmingTransparentPixels(image);
    EXPECT_EQ(trimmed.size(), QSize(1, 1));
    EXPECT_EQ(trimmed.pixelColor(0, 0), QColor(Qt::black));
}

TEST_F(RepresentationsTest, FullOpacityTrimsAnAntialiasedBorder)
{
    QImage image = clearImage(8, 8);
    for (int y = 1; y < 7; ++y)
        for (int x = 1; x < 7; ++x)
            image.setPixelColor(x, y, QColor(0, 0, 0, 128));
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            image.setPixelColor(x, y, Qt::black);
    EXPECT_EQ(Representations::imageByTrimmingTransparentPixelsRequiringFullOpacity(image, true).size(), QSize(4, 4));
    EXPECT_EQ(Representations::imageByTrimmingTransparentPixelsRequiringFullOpacity(image, false).size(), QSize(6, 6));
}

TEST_F(RepresentationsTest, NothingToTrimGivesTheSameBitmap)
{
    const QImage clear = clearImage(6, 6);
    EXPECT_EQ(Representations::transparencyInsetsRequiringFullOpacity(clear, false), EdgeInsets{});
    EXPECT_EQ(Representations::imageByTrimmingTransparentPixels(clear).cacheKey(), clear.cacheKey());

    QImage thin = clearImage(1, 10);
    thin.setPixelColor(0, 5, Qt::black);
    EXPECT_EQ(Representations::imageByTrimmingTransparentPixelsRequiringFullOpacity(thin, true).cacheKey(),
              thin.cacheKey());
    EXPECT_EQ(Representations::rectForTrimmingTransparentPixels(thin, true), QRectF(0, 0, 1, 10));
}

TEST_F(RepresentationsTest, FileDataAndCrops)
{
    QImage image = clearImage(20, 10);
    image.fill(QColor(10, 200, 30, 255));
    const std::optional<QByteArray> png = Representations::singlePNGData(image);
    ASSERT_TRUE(png);
    EXPECT_EQ(QImage::fromData(*png, "PNG").convertToFormat(image.format()), image);
    const std::optional<QByteArray> jpeg = Representations::singleJPEGDataMaxQuality(image);
    ASSERT_TRUE(jpeg);
    EXPECT_TRUE(jpeg->startsWith("\xFF\xD8"));
    EXPECT_FALSE(Representations::singlePNGData(QImage()).has_value());

    EXPECT_EQ(Representations::cropBitmapWithCGRect(image, QRectF(15, 5, 10, 10)).size(), QSize(5, 5));
    EXPECT_EQ(Representations::cropBitmapWithCGRect(image, QRectF(2.5, 1.5, 2, 2)).size(), QSize(3, 3));
    EXPECT_TRUE(Representations::cropBitmapWithCGRect(image, QRectF(30, 0, 5, 5)).isNull());
}

TEST_F(RepresentationsTest, MaskKeepsOnlyWhatLiesInsideThePath)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::blue);
    inkora::BezierPath bottomLeft;
    bottomLeft.appendRect(QRectF(0, 0, 10, 5)); // pixels, y up from the bottom
    const QImage masked = Representations::bitmapWithCGImageSRGBMask(image, bottomLeft);
    ASSERT_EQ(masked.size(), QSize(20, 10));
    EXPECT_EQ(masked.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_EQ(masked.pixelColor(2, 8), QColor(Qt::blue)); // row 8 from the top is in the bottom half
    EXPECT_EQ(masked.pixelColor(2, 2).alpha(), 0);
    EXPECT_EQ(masked.pixelColor(15, 8).alpha(), 0);

    const QImage plain = Representations::bitmapWithCGImageSRGB(image);
    EXPECT_EQ(plain.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_EQ(plain.pixelColor(15, 2), QColor(Qt::blue));
}
