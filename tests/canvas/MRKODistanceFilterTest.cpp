#include "canvas/MRKODistanceFilter.h"

#include "canvas/MRKODistanceComposite.h"
#include "canvas/MRKOOutlineFilter.h"
#include "tests/support/InkoraFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using platform::FilterImage;
using platform::FilterPixel;

// An opaque white square of `side` pixels at (`at`, `at`) in a clear image of `size` pixels.
FilterImage squareImage(int size, int at, int side)
{
    FilterImage image = FilterImage::blank(QRect(0, 0, size, size));
    for (int y = at; y < at + side; ++y)
        for (int x = at; x < at + side; ++x)
            image.setPixel(x, y, {1, 1, 1, 1});
    return image;
}

FilterImage clearImage(int w, int h)
{
    return FilterImage::blank(QRect(0, 0, w, h));
}

class DistanceFiltersTest : public InkoraFixture
{
};

TEST_F(DistanceFiltersTest, NewFiltersStartWithTheirDefaults)
{
    const MRKOOutlineFilter outline;
    EXPECT_EQ(outline.radius(), 10.0);
    EXPECT_FALSE(outline.outer());
    EXPECT_FALSE(outline.color().has_value());
    EXPECT_EQ(MRKODistanceFilter().radius(), 0.0);
    EXPECT_FALSE(MRKODistanceFilter().outer());
    EXPECT_TRUE(MRKODistanceFilter::outerFilterWithImageAndRadius({}, 3).outer());
}

TEST_F(DistanceFiltersTest, WorkingRectangleGrowsByTheMargin)
{
    const FilterImage input = clearImage(100, 50);
    for (const double r : {0.0, 4.0, 16.0, 99.5})
        EXPECT_EQ(MRKODistanceFilter::innerFilterWithImageAndRadius(input, r).outputImage().extent(),
                  QRectF(-2, -2, 104, 54))
            << r;
    EXPECT_EQ(MRKODistanceFilter::outerFilterWithImageAndRadius(input, 7.9).outputImage().extent(),
              QRectF(-14, -14, 128, 78));
    // No input: the zero rectangle grown by the margin.
    EXPECT_EQ(MRKODistanceFilter::outerFilterWithImageAndRadius({}, 3).workingRect(), QRect(-6, -6, 12, 12));
}

TEST_F(DistanceFiltersTest, InnerDistanceGrowsFromTheEdgeToTheRadius)
{
    // A 20 × 20 square at (20, 20) in 60 × 60, radius 4.
    const FilterImage out = MRKODistanceFilter::innerFilterWithImageAndRadius(squareImage(60, 20, 20), 4).outputImage();
    EXPECT_FLOAT_EQ(out.pixelAt(20, 30).r, 0.25f); // edge pixel: one pixel from the outside
    EXPECT_FLOAT_EQ(out.pixelAt(21, 30).r, 0.5f);
    EXPECT_FLOAT_EQ(out.pixelAt(30, 30).r, 1.0f); // centre
    EXPECT_FLOAT_EQ(out.pixelAt(10, 10).r, 0.0f); // outside
    EXPECT_FLOAT_EQ(out.pixelAt(30, 30).a, 1.0f);
    // Near the corner: (21, 21) is two pixels from (19, 21) and from (21, 19).
    EXPECT_FLOAT_EQ(out.pixelAt(21, 21).r, 0.5f);
}

TEST_F(DistanceFiltersTest, OuterDistanceIsWhiteInsideAndFadesOut)
{
    const FilterImage out = MRKODistanceFilter::outerFilterWithImageAndRadius(squareImage(60, 20, 20), 4).outputImage();
    EXPECT_FLOAT_EQ(out.pixelAt(30, 30).r, 1.0f);
    EXPECT_FLOAT_EQ(out.pixelAt(19, 30).r, 0.75f); // one pixel out
    EXPECT_FLOAT_EQ(out.pixelAt(18, 30).r, 0.5f);  // two out
    EXPECT_FLOAT_EQ(out.pixelAt(16, 30).r, 0.0f);  // four out: black from here
    EXPECT_FLOAT_EQ(out.pixelAt(2, 30).r, 0.0f);
    // Euclidean, not square: (17, 17) is √18 ≈ 4.24 from the corner pixel (20, 20).
    EXPECT_FLOAT_EQ(out.pixelAt(17, 17).r, 0.0f);
    EXPECT_NEAR(out.pixelAt(18, 18).r, 1.0 - std::sqrt(8.0) / 4, 1e-6);
}

TEST_F(DistanceFiltersTest, AccumulatorKeepsTheOriginAndRoundsToEightBits)
{
    const MRKODistanceFilter filter = MRKODistanceFilter::innerFilterWithImageAndRadius(squareImage(60, 20, 20), 3);
    const FilterImage accum = filter.accumImage();
    EXPECT_EQ(accum.extent(), QRectF(-2, -2, 64, 64));
    EXPECT_FLOAT_EQ(accum.pixelAt(20, 30).r, std::round(255.0f / 3) / 255.0f);
    EXPECT_FLOAT_EQ(filter.outputImage().pixelAt(20, 30).r, 1.0f / 3);
}

TEST_F(DistanceFiltersTest, BadNumbersGiveNoImageAndOneLine)
{
    const FilterImage input = squareImage(60, 20, 20);
    for (const double r : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        log().expectWarning(QStringLiteral("Distance filter: the radius is not a finite number"));
        EXPECT_TRUE(MRKODistanceFilter::outerFilterWithImageAndRadius(input, r).accumImage().isNull());
    }
    log().expectWarning(QStringLiteral("too large"));
    EXPECT_TRUE(MRKODistanceFilter::outerFilterWithImageAndRadius(input, 1e7).outputImage().isNull());
}

TEST_F(DistanceFiltersTest, OutlinesPaintWithinTheRadiusOfTheEdge)
{
    MRKOOutlineFilter filter;
    filter.setInputImage(squareImage(60, 20, 20));
    filter.setRadius(2);
    filter.setColor(inkora::FilterColor{1, 0, 0, 1});
    const FilterImage inner = filter.outputImage();
    EXPECT_EQ(inner.extent(), QRectF(0, 0, 60, 60));
    EXPECT_EQ(inner.pixelAt(21, 30), (FilterPixel{1, 0, 0, 1})); // two pixels from the outside
    EXPECT_EQ(inner.pixelAt(22, 30), FilterPixel{});
    EXPECT_EQ(inner.pixelAt(19, 30), FilterPixel{});

    filter.setOuter(true);
    const FilterImage outer = filter.outputImage();
    EXPECT_EQ(outer.pixelAt(18, 30), (FilterPixel{1, 0, 0, 1}));
    EXPECT_EQ(outer.pixelAt(17, 30), FilterPixel{});
    EXPECT_EQ(outer.pixelAt(20, 30), FilterPixel{});

    filter.setColor(std::nullopt);
    log().expectWarning(QStringLiteral("Outline filter: no outline colour"));
    EXPECT_TRUE(filter.outputImage().isNull());
}

TEST_F(DistanceFiltersTest, CompositeWeighsTheInputByTheGrey)
{
    FilterImage grey = FilterImage::blank(QRect(0, 0, 2, 1));
    grey.setPixel(0, 0, {0.25f, 0.25f, 0.25f, 1});
    grey.setPixel(1, 0, {1, 1, 1, 1});
    MRKODistanceComposite composite;
    composite.setInvertImage(grey);
    composite.setInputImage(FilterImage::withColor(0, 1, 0).cropped(QRect(0, 0, 2, 1)));
    const FilterImage out = composite.outputImage();
    EXPECT_EQ(out.pixelAt(0, 0), (FilterPixel{0, 0.25f, 0, 0.25f}));
    EXPECT_EQ(out.pixelAt(1, 0), (FilterPixel{0, 1, 0, 1}));
}

// Each runs in a fresh process, where the removed kernel was never resolved.
TEST(DistanceFiltersDeathTest, WithoutTheVerticalKernelTheMaskIsBlurredByTwiceTheRadius)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            inkora::removeFilterKernel("verticalDistance");
            const FilterImage input = squareImage(40, 10, 20);
            const MRKODistanceFilter filter = MRKODistanceFilter::innerFilterWithImageAndRadius(input, 5);
            const FilterImage out = filter.outputImage();
            const QRect working(-2, -2, 44, 44);
            const FilterImage mask = FilterImage::withColor(0, 0, 0).cropped(working).sourceIn(input).over(
                FilterImage::withColor(1, 1, 1).cropped(working));
            const FilterImage expected = mask.inverted().boxBlurred(10).cropped(working);
            bool same = out.extent() == QRectF(working);
            for (int y = -2; y < 42 && same; ++y)
                for (int x = -2; x < 42 && same; ++x)
                    same = out.pixelAt(x, y) == expected.pixelAt(x, y);
            // The blur of side 21 reaches ten pixels: a pixel 10 in from the edge still sees the outside.
            same = same && out.pixelAt(20, 20).r > 0 && out.pixelAt(20, 20).r < 1;
            std::exit(same && MRKODistanceFilter::verticalDistance() == nullptr ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(DistanceFiltersDeathTest, WithoutItsKernelTheOutlineGivesNoImage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            inkora::removeFilterKernel("outlineInner");
            MRKOOutlineFilter filter;
            filter.setInputImage(squareImage(10, 2, 4));
            filter.setColor(inkora::FilterColor{});
            std::exit(filter.outputImage().isNull() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "the inner outline kernel is missing");
}

} // namespace
