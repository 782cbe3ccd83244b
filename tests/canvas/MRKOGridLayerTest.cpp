#include "canvas/MRKOGridLayer.h"

#include "platform/ShapeLayer.h"
#include "tests/support/InkoraFixture.h"

#include <QPainterPath>

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Segment
{
    QPointF from, to;
};

class MRKOGridLayerTest : public InkoraFixture
{
protected:
    std::shared_ptr<MRKOGridLayer> gridLayer(QSizeF cell, QSizeF bounds, qint64 type, qint64 alignment,
                                             double scale = 1)
    {
        auto layer = MRKOGridLayer::create();
        layer->setBounds(QRectF(QPointF(), bounds));
        layer->setContentsScale(scale);
        layer->setGrid(MRKOGrid::gridWihSize(cell, type, alignment, inkora::SrgbColor(1, 0, 0, 1)));
        return layer;
    }

    static std::vector<Segment> segments(const platform::Layer &layer)
    {
        std::vector<Segment> out;
        for (const platform::LayerPtr &l : layer.sublayers()) {
            const auto &path = static_cast<const platform::ShapeLayer &>(*l).path();
            if (path.elementCount() == 2)
                out.push_back({path.elementAt(0), path.elementAt(1)});
            else
                out.push_back({{-1e9, -1e9}, {-1e9, -1e9}});
        }
        return out;
    }
};

TEST_F(MRKOGridLayerTest, RectangularGridCountsVerticalThenHorizontalStripes)
{
    const auto layer = gridLayer({10, 10}, {100, 50}, 0, MRKOGridAlignmentLeftBottom);
    const std::vector<Segment> s = segments(*layer);
    ASSERT_EQ(s.size(), 17u);
    EXPECT_EQ(s[1].from, QPointF(9.5, -0.5));
    EXPECT_EQ(s[1].to, QPointF(9.5, 49.5));
    EXPECT_EQ(s[10].from.x(), 99.5);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(s[11 + i].from, QPointF(-0.5, 10 * i - 0.5)) << i;
    const auto &stripe = static_cast<const platform::ShapeLayer &>(*layer->sublayers().front());
    EXPECT_EQ(stripe.lineWidth(), 1.0);
    EXPECT_EQ(stripe.strokeColor(), QColor(255, 0, 0));

    // At a contents scale of 2 the stripes sit on whole points.
    EXPECT_EQ(segments(*gridLayer({10, 10}, {100, 50}, 0, 1, 2))[1].from, QPointF(10, 0));
}

TEST_F(MRKOGridLayerTest, AlignmentChoosesTheEdgesLinesCountFrom)
{
    struct Case
    {
        qint64 alignment;
        double firstVerticalX, firstHorizontalY;
    } const cases[] = {{0, 0, 50}, {1, 0, 0}, {2, 100, 50}, {3, 100, 0}, {7, 0, 50}, {-1, 0, 50}};
    for (const Case &c : cases) {
        const std::vector<Segment> s = segments(*gridLayer({10, 10}, {100, 50}, 0, c.alignment, 2));
        ASSERT_EQ(s.size(), 17u);
        EXPECT_EQ(s[0].from.x(), c.firstVerticalX) << c.alignment;
        EXPECT_EQ(s[11].from.y(), c.firstHorizontalY) << c.alignment;
        EXPECT_EQ(s[16].from.y(), 50 - c.firstHorizontalY) << c.alignment;
    }
}

TEST_F(MRKOGridLayerTest, EdgeCasesOfCellsAndBounds)
{
    EXPECT_EQ(segments(*gridLayer({10, 10}, {100, 50}, MRKOGridTypeDiagonal, 0)).size(), 26u);
    const std::vector<Segment> wide = segments(*gridLayer({10.5, 10}, {100, 50}, 0, 0, 2));
    ASSERT_EQ(wide.size(), 11u + 6u);
    EXPECT_EQ(wide[2].from.x(), 21);
    EXPECT_EQ(wide[10].from.x(), 105);
    EXPECT_EQ(segments(*gridLayer({10, 10}, {0, 0}, 0, 0)).size(), 2u);
    EXPECT_EQ(segments(*gridLayer({0.5, 10}, {100, 50}, 0, 0)).size(), 6u);
    EXPECT_EQ(segments(*gridLayer({0.5, 10}, {100, 50}, MRKOGridTypeDiagonal, 0)).size(), 0u);

    // Scale 0: stripes without paths.
    const auto flat = gridLayer({10, 10}, {100, 50}, 0, 0, 0);
    ASSERT_EQ(flat->sublayers().size(), 17u);
    EXPECT_TRUE(static_cast<const platform::ShapeLayer &>(*flat->sublayers()[3]).path().isEmpty());

    // No colour: gray.
    auto layer = MRKOGridLayer::create();
    layer->setBounds(QRectF(0, 0, 20, 20));
    layer->setGrid(MRKOGrid::gridWihSize({10, 10}, 0, 0, {}));
    EXPECT_EQ(static_cast<const platform::ShapeLayer &>(*layer->sublayers()[0]).strokeColor(),
              inkora::SrgbColor(0.5, 0.5, 0.5, 1).toQColor());
}

TEST_F(MRKOGridLayerTest, DiagonalFamiliesHaveOppositeSlopes)
{
    const std::vector<Segment> s = segments(*gridLayer({10, 10}, {100, 50}, MRKOGridTypeDiagonal, 0, 2));
    // Rising family, index 1: from (0, 50 − 10) to (5, 50).
    EXPECT_EQ(s[1].from, QPointF(0, 40));
    EXPECT_EQ(s[1].to, QPointF(5, 50));
    // Falling family, index 0 (remainder 0): from (110, 40) to (105, 50).
    EXPECT_EQ(s[13].from, QPointF(110, 40));
    EXPECT_EQ(s[13].to, QPointF(105, 50));
}

TEST_F(MRKOGridLayerTest, NumbersThatAreNotFiniteOrTooSmallGiveNoStripes)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    log().expectWarning(QStringLiteral("not finite"));
    EXPECT_TRUE(gridLayer({nan, 10}, {100, 50}, 0, 0)->sublayers().empty());
    EXPECT_TRUE(gridLayer({10, 10}, {inf, 50}, 1, 0)->sublayers().empty());
    log().expectWarning(QStringLiteral("too many"));
    EXPECT_EQ(gridLayer({1, 10}, {1e12, 50}, 0, 0)->sublayers().size(), 6u);
}

TEST_F(MRKOGridLayerTest, RasterGridIsOneBitmapAtTheDisplayScale)
{
    const platform::LayerPtr raster =
        MRKOGridLayer::rasterGridWihSize({10, 10}, QRectF(0, 0, 100, 50), inkora::SrgbColor(1, 0, 0, 1), 2);
    ASSERT_TRUE(raster);
    EXPECT_EQ(raster->frame(), QRectF(0, 0, 100, 50));
    EXPECT_TRUE(raster->sublayers().empty());
    ASSERT_TRUE(raster->contents());
    const QImage &image = *raster->contents();
    EXPECT_EQ(image.size(), QSize(200, 100));
    EXPECT_EQ(image.pixelColor(18, 50), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(19, 50), QColor(255, 0, 0));
    for (const int x : {0, 17, 20})
        EXPECT_EQ(image.pixelColor(x, 50).alpha(), 0) << x;
}

} // namespace
