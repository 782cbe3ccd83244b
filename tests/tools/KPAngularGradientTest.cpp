#include "tools/KPAngularGradient.h"

#include "foundation/MRKOUtils.h"
#include "tests/support/InkoraFixture.h"
#include "tools/KPHueWheelLayer.h"

#include <QPainter>

#include <array>
#include <limits>
#include <vector>

using Components = KPAngularGradient::Components;
using Pixel = std::array<int, 4>;

namespace {

Pixel pixelAt(const QImage &image, int x, int y)
{
    const uchar *p = image.constScanLine(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

} // namespace

class KPAngularGradientTest : public InkoraFixture
{
};

TEST_F(KPAngularGradientTest, HueColoursRunClockwiseFromThreeOClock)
{
    const QImage image =
        KPAngularGradient::newImageGradientInRect(QRectF(0, 0, 216, 216), KPHueWheelLayer::colorsArray());

    ASSERT_EQ(image.size(), QSize(216, 216));
    EXPECT_EQ(image.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_EQ(pixelAt(image, 215, 108), (Pixel{255, 0, 0, 255}));   // right of centre: red
    EXPECT_EQ(pixelAt(image, 108, 0), (Pixel{127, 255, 0, 255}));   // top: half-way green to yellow
    EXPECT_EQ(pixelAt(image, 108, 215), (Pixel{127, 0, 255, 255})); // bottom: half-way magenta to blue
    EXPECT_EQ(pixelAt(image, 0, 108), (Pixel{0, 255, 255, 255}));   // left: cyan
}

TEST_F(KPAngularGradientTest, TranslucentColoursArePremultiplied)
{
    const QList<Components> colors = {{1, 0, 0, 1}, {1, 0, 0, 0}};
    const QImage image = KPAngularGradient::newImageGradientInRect(QRectF(0, 0, 216, 216), colors);

    EXPECT_EQ(pixelAt(image, 215, 108), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(image, 0, 108), (Pixel{127, 0, 0, 127}));
    const Pixel justBefore = pixelAt(image, 215, 107); // clockwise, just before returning to the right
    EXPECT_LT(justBefore[3], 4);
    EXPECT_LE(justBefore[0], justBefore[3]);
}

TEST_F(KPAngularGradientTest, GreyAndAlphaColoursAndColoursWithoutComponents)
{
    const QImage grey = KPAngularGradient::newImageGradientInRect(QRectF(0, 0, 8, 8), QList<Components>{{0.5, 1}});
    EXPECT_EQ(pixelAt(grey, 3, 5), (Pixel{127, 127, 127, 255}));

    const QImage none = KPAngularGradient::newImageGradientInRect(QRectF(0, 0, 8, 8), QList<Components>{{}});
    EXPECT_EQ(pixelAt(none, 3, 5), (Pixel{0, 0, 0, 0}));
    // Colour values take the same way; no colour is transparent black.
    const QImage values = KPAngularGradient::newImageGradientInRect(
        QRectF(0, 0, 8, 8), QList<inkora::SrgbColor>{inkora::SrgbColor(), inkora::SrgbColor()});
    EXPECT_EQ(pixelAt(values, 7, 4), (Pixel{0, 0, 0, 0}));
}

TEST_F(KPAngularGradientTest, LocationsPlaceTheColoursAndBelowTheFirstTheFirstHolds)
{
    const QList<Components> colors = {{1, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 0, 1}};
    // Right (fraction 0) lies below the first location, bottom is 0.25, left 0.5, top 0.75.
    const QImage placed =
        KPAngularGradient::newImageGradientInRect(QRectF(0, 0, 100, 100), colors, QList<double>{0.25, 0.5, 0.7});
    EXPECT_EQ(pixelAt(placed, 99, 50), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(placed, 50, 99), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(placed, 0, 50), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(placed, 50, 0), (Pixel{0, 255, 0, 255}));

    // A count that does not match the colours is ignored: the colours spread evenly.
    const QImage even =
        KPAngularGradient::newImageGradientInRect(QRectF(0, 0, 100, 100), colors, QList<double>{0.9, 1});
    EXPECT_EQ(pixelAt(even, 0, 50), (Pixel{0, 0, 255, 255}));
}

TEST_F(KPAngularGradientTest, NoImageForNothingToDrawOrNoPlaceToDrawIt)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QList<Components> red = {{1, 0, 0, 1}};
    struct Row
    {
        const char *name;
        QRectF rect;
        QList<Components> colors;
    };
    const std::vector<Row> rows = {
        {"NoColours", QRectF(0, 0, 20, 20), {}},
        {"NarrowerThanAPoint", QRectF(0, 0, 0.9, 20), red},
        {"Empty", QRectF(0, 0, 20, 0), red},
        {"Negative", QRectF(0, 0, -20, 20), red},
        {"InfiniteWidth", QRectF(0, 0, inf, 20), red},
        {"NaNHeight", QRectF(0, 0, 20, nan), red},
        {"InfiniteOrigin", QRectF(-inf, 0, 20, 20), red},
        {"Huge", QRectF(0, 0, 1e12, 1e12), red},
    };
    log().expectWarning(QStringLiteral("newImageGradientInRect:"));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(KPAngularGradient::newImageGradientInRect(row.rect, row.colors).isNull());
    }
    EXPECT_EQ(KPAngularGradient::newImageGradientInRect(QRectF(0, 0, 26.9, 1.5), red).size(), QSize(26, 1));
}

TEST_F(KPAngularGradientTest, HueRingShowsTheGradientOnlyInsideTheDonut)
{
    auto ring = KPHueWheelLayer::create();
    ring->setBounds(QRectF(0, 0, 100, 100));
    ring->setDonutThickness(20);
    QImage image(100, 100, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(0, 100);
        painter.scale(1, -1); // the layer's own y-up points
        ring->renderInContext(painter);
    }
    // r = 49: the ring lies between radius 48 and 32 from the centre (50, 50).
    EXPECT_EQ(pixelAt(image, 50, 50)[3], 0);
    EXPECT_EQ(pixelAt(image, 50 + 40, 50), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(image, 50, 50 - 40)[1], 255); // the top is between green and yellow
    EXPECT_EQ(pixelAt(image, 50, 50 - 40)[2], 0);
    EXPECT_EQ(pixelAt(image, 99, 50)[3], 0);
}
