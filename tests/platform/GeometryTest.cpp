#include "platform/Geometry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace platform;

namespace {

struct RoundingRow
{
    const char *name;
    QRectF in;
    QRectF integral;
    QRectF outward;
    QRectF nearest;
    QRectF floorCeil;
};

const std::vector<RoundingRow> kRoundingRows = {
    {"Whole", {1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}},
    // floor/ceil of the size alone loses the right edge: 0.5 + 10 = 10.5 is not covered by (0, 0, 10, 10)
    {"HalfOffset", {0.5, 0.5, 10, 10}, {0, 0, 11, 11}, {0, 0, 11, 11}, {1, 1, 10, 10}, {0, 0, 10, 10}},
    {"Negative", {-1.5, -2.25, 1, 1}, {-2, -3, 2, 2}, {-2, -3, 2, 2}, {-1, -2, 1, 1}, {-2, -3, 1, 1}},
    {"ZeroWidth", {0.5, 0.5, 0, 3}, {0, 0, 0, 0}, {0, 0, 1, 4}, {1, 1, 0, 3}, {0, 0, 0, 3}},
    {"NegativeSize", {5, 5, -2, -2}, {0, 0, 0, 0}, {3, 3, 2, 2}, {3, 3, 2, 2}, {5, 5, -2, -2}},
};

void PrintTo(const RoundingRow &row, std::ostream *os)
{
    *os << row.name;
}

class GeometryRoundingTest : public testing::TestWithParam<RoundingRow>
{
};

TEST_P(GeometryRoundingTest, RoundsEdgesAsEachRuleSays)
{
    const RoundingRow &row = GetParam();
    EXPECT_EQ(integralRect(row.in), row.integral);
    EXPECT_EQ(alignedRect(row.in, EdgeAlignment::Outward), row.outward);
    EXPECT_EQ(alignedRect(row.in, EdgeAlignment::Nearest), row.nearest);
    EXPECT_EQ(floorOriginCeilSize(row.in), row.floorCeil);
}

INSTANTIATE_TEST_SUITE_P(All, GeometryRoundingTest, testing::ValuesIn(kRoundingRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(GeometryTest, UnionIgnoresEmptyRectanglesUnlessKeepingPoints)
{
    const QRectF frame(10, 10, 5, 5);
    const QRectF point(0, 0, 0, 0);
    const QRectF line(20, 0, 0, 30);

    EXPECT_EQ(unionRect(frame, point), frame);
    EXPECT_EQ(unionRect(point, frame), frame);
    EXPECT_EQ(unionRect(point, line), QRectF());
    EXPECT_EQ(unionRect(frame, QRectF(0, 12, 2, 1)), QRectF(0, 10, 15, 5));

    EXPECT_EQ(unionRectKeepingPoints(frame, point), QRectF(0, 0, 15, 15));
    EXPECT_EQ(unionRectKeepingPoints(frame, line), QRectF(10, 0, 10, 30));
}

TEST(GeometryTest, InsetCentreAndFlipKeepYUpMeaning)
{
    const QRectF r(10, 20, 100, 50);

    EXPECT_EQ(insetRect(r, 5, 10), QRectF(15, 30, 90, 30));
    EXPECT_EQ(insetRect(r, -1, -1), QRectF(9, 19, 102, 52));
    EXPECT_EQ(centre(r), QPointF(60, 45));
    EXPECT_EQ(maxX(r), 110);
    EXPECT_EQ(maxY(r), 70);

    // In a 900-point-high view, a rectangle 20 points above the bottom sits 830 points below the top.
    EXPECT_EQ(flipY(r, 900), QRectF(10, 830, 100, 50));
    EXPECT_EQ(flipY(flipY(r, 900), 900), r);
    EXPECT_EQ(flipY(QPointF(3, 0), 900), QPointF(3, 900));
}

TEST(GeometryTest, StringsUseTheBraceFormAndReadBackExactly)
{
    EXPECT_EQ(rectToString(QRectF(0, 0, 1440, 900)), QStringLiteral("{{0, 0}, {1440, 900}}"));
    EXPECT_EQ(pointToString(QPointF(1.5, -2)), QStringLiteral("{1.5, -2}"));
    EXPECT_EQ(pointToString(QPointF(-0.0, 0)), QStringLiteral("{0, 0}"));

    const QRectF awkward(0.1, 1.0 / 3, 1e21, 5e-324);
    const auto back = rectFromString(rectToString(awkward));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->x(), awkward.x());
    EXPECT_EQ(back->y(), awkward.y());
    EXPECT_EQ(back->width(), awkward.width());
    EXPECT_EQ(back->height(), awkward.height());

    const auto spaced = rectFromString(QStringLiteral(" { {1,2} , {3.5 , +4e1} } "));
    ASSERT_TRUE(spaced.has_value());
    EXPECT_EQ(*spaced, QRectF(1, 2, 3.5, 40));
    const auto point = pointFromString(QStringLiteral("{-7, 8.25}"));
    ASSERT_TRUE(point.has_value());
    EXPECT_EQ(*point, QPointF(-7, 8.25));
}

TEST(GeometryTest, MalformedStringsReadAsNothing)
{
    for (const char *text : {"", "{1, 2}", "{{1, 2}, {3}}", "{{1, 2}, {3, 4}", "{{1, 2}, {3, 4}} x", "{{a, 2}, {3, 4}}",
                             "{{nan, 2}, {3, 4}}", "{{1, 2}, {inf, 4}}", "{{1e999, 2}, {3, 4}}", "{{1 2}, {3, 4}}"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(rectFromString(QString::fromLatin1(text)).has_value());
    }
    for (const char *text : {"", "{1}", "{1, 2, 3}", "1, 2", "{1, 2}}", "{{1, 2}}", "{1,\xe2\x80\x8b 2}"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(pointFromString(QString::fromUtf8(text)).has_value());
    }
}

} // namespace
