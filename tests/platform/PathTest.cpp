#include "platform/Path.h"

#include "tests/support/InkoraFixture.h"

#include <cmath>
#include <numbers>

using platform::Path;
using Type = platform::Path::ElementType;

namespace {

class PathTest : public InkoraFixture
{
};

void expectNear(QPointF a, QPointF b)
{
    EXPECT_NEAR(a.x(), b.x(), 1e-9);
    EXPECT_NEAR(a.y(), b.y(), 1e-9);
}

void expectNear(const QRectF &a, const QRectF &b, double tolerance = 1e-9)
{
    EXPECT_NEAR(a.x(), b.x(), tolerance);
    EXPECT_NEAR(a.y(), b.y(), tolerance);
    EXPECT_NEAR(a.width(), b.width(), tolerance);
    EXPECT_NEAR(a.height(), b.height(), tolerance);
}

TEST_F(PathTest, KeepsQuadraticSegmentsApartFromCubics)
{
    Path path;
    path.moveTo({0, 0});
    path.quadTo({50, 100}, {100, 0});
    path.cubicTo({100, 10}, {0, 10}, {0, 0});
    path.closeSubpath();

    ASSERT_EQ(path.elementCount(), 4);
    EXPECT_EQ(path.elementAt(1).type, Type::QuadTo);
    EXPECT_EQ(path.elementAt(1).points[0], QPointF(50, 100));
    EXPECT_EQ(path.elementAt(1).points[1], QPointF(100, 0));
    EXPECT_EQ(path.elementAt(2).type, Type::CubicTo);
    EXPECT_EQ(path.elementAt(3).type, Type::Close);
    EXPECT_EQ(path.currentPoint(), QPointF(0, 0));

    const Path moved = path.transformed(QTransform::fromTranslate(10, 0));
    EXPECT_EQ(moved.elementAt(1).type, Type::QuadTo);
    EXPECT_EQ(moved.elementAt(1).points[1], QPointF(110, 0));
    EXPECT_FALSE(moved == path);
    EXPECT_TRUE(moved.transformed(QTransform::fromTranslate(-10, 0)) == path);
}

TEST_F(PathTest, BoundingBoxLeavesControlPointsOutOnRequest)
{
    Path quad;
    quad.moveTo({0, 0});
    quad.quadTo({50, 100}, {100, 0});
    expectNear(quad.boundingBox(), {0, 0, 100, 100});
    expectNear(quad.pathBoundingBox(), {0, 0, 100, 50});

    Path cubic;
    cubic.moveTo({0, 0});
    cubic.cubicTo({0, 100}, {100, 100}, {100, 0});
    expectNear(cubic.pathBoundingBox(), {0, 0, 100, 75});

    // A rectangle with quadratic corners whose control points are the corners: both boxes are the rectangle.
    Path rounded;
    const double r = 10;
    rounded.moveTo({r, 60});
    rounded.lineTo({100 - r, 60});
    rounded.quadTo({100, 60}, {100, 60 - r});
    rounded.lineTo({100, r});
    rounded.quadTo({100, 0}, {100 - r, 0});
    rounded.lineTo({r, 0});
    rounded.quadTo({0, 0}, {0, r});
    rounded.lineTo({0, 60 - r});
    rounded.quadTo({0, 60}, {r, 60});
    rounded.closeSubpath();
    expectNear(rounded.pathBoundingBox(), {0, 0, 100, 60});
    EXPECT_TRUE(rounded.contains({50, 30}));
    EXPECT_FALSE(rounded.contains({0.5, 0.5})); // cut by the corner curve
    EXPECT_TRUE(Path().pathBoundingBox().isNull());
}

TEST_F(PathTest, ArcsSweepTheAskedWayAndAWholeTurnIsACircle)
{
    Path quarter;
    quarter.addArc({0, 0}, 10, 0, std::numbers::pi / 2, false);
    expectNear(quarter.currentPoint(), {0, 10});
    expectNear(quarter.pathBoundingBox(), {0, 0, 10, 10}, 1e-6);

    Path otherWay;
    otherWay.addArc({0, 0}, 10, 0, std::numbers::pi / 2, true); // three quarters, through (0, -10)
    expectNear(otherWay.pathBoundingBox(), {-10, -10, 20, 20}, 1e-6);

    Path circle;
    circle.addArc({5, 5}, 2, 0, 2 * std::numbers::pi, true);
    expectNear(circle.pathBoundingBox(), {3, 3, 4, 4}, 1e-6);
    expectNear(circle.currentPoint(), {7, 5});

    Path joined;
    joined.moveTo({-20, 0});
    joined.addArc({0, 0}, 10, std::numbers::pi, 0, true);
    EXPECT_EQ(joined.elementAt(1).type, Type::LineTo); // a line from the current point to the arc's start
}

TEST_F(PathTest, RectAndEllipseRunFromTheirFirstCorner)
{
    Path rect;
    rect.addRect({10, 20, 30, 40});
    ASSERT_EQ(rect.elementCount(), 5);
    EXPECT_EQ(rect.elementAt(0).points[0], QPointF(10, 20));
    EXPECT_EQ(rect.elementAt(1).points[0], QPointF(40, 20));
    EXPECT_EQ(rect.elementAt(4).type, Type::Close);

    Path ellipse;
    ellipse.addEllipseInRect({0, 0, 20, 10});
    EXPECT_EQ(ellipse.elementAt(0).points[0], QPointF(20, 5));
    expectNear(ellipse.pathBoundingBox(), {0, 0, 20, 10}, 1e-9);
}

TEST_F(PathTest, StrokedOutlineHasTheLineWidthAndDashesMakeClosedPieces)
{
    Path line;
    line.moveTo({0, 0});
    line.lineTo({100, 0});

    const Path outline = line.strokedOutline(4);
    expectNear(outline.pathBoundingBox(), {0, -2, 100, 4}, 1e-6);
    EXPECT_TRUE(outline.contains({50, 1.5}));

    const Path dashed = line.strokedOutline(4, Qt::FlatCap, Qt::MiterJoin, 10, {10, 10});
    int subpaths = 0;
    for (const auto &e : dashed.elements())
        subpaths += e.type == Type::MoveTo;
    EXPECT_EQ(subpaths, 5);
    EXPECT_EQ(dashed.elements().back().type, Type::Close);
    EXPECT_TRUE(dashed.contains({5, 0}));
    EXPECT_FALSE(dashed.contains({15, 0}));
    EXPECT_TRUE(Path().strokedOutline(4).isEmpty());
}

TEST_F(PathTest, MiterJoinsBevelExactlyBeyondTheLimit)
{
    // Two lines meeting so that the miter is 8 line widths long.
    const double half = std::asin(1.0 / 8.0);
    Path corner;
    corner.moveTo({0, 0});
    corner.lineTo({100, 0});
    corner.lineTo({100 - 100 * std::cos(2 * half), 100 * std::sin(2 * half)});
    const double mitered = 100 + 8.0 * std::cos(half); // the tip lies 8 half-widths beyond the corner
    struct Row
    {
        double limit;
        double right;
    };
    for (const Row row : {Row{8.1, mitered}, Row{10, mitered}, Row{7.9, 100.25}, Row{2, 100.25}}) {
        const QRectF box = corner.strokedOutline(2, Qt::FlatCap, Qt::MiterJoin, row.limit).pathBoundingBox();
        EXPECT_NEAR(box.x() + box.width(), row.right, 0.01) << "limit " << row.limit;
    }
}

TEST_F(PathTest, ConvertsToAndFromPainterPaths)
{
    Path rect;
    rect.addRect({0, 0, 10, 10});
    const QPainterPath painter = rect.toPainterPath(Qt::OddEvenFill);
    EXPECT_EQ(painter.fillRule(), Qt::OddEvenFill);
    EXPECT_EQ(painter.boundingRect(), QRectF(0, 0, 10, 10));

    const Path back = Path::fromPainterPath(painter);
    EXPECT_EQ(back.elements().back().type, Type::Close);
    EXPECT_EQ(back.elementAt(0).points[0], QPointF(0, 0));

    Path quad;
    quad.moveTo({0, 0});
    quad.quadTo({5, 10}, {10, 0});
    EXPECT_EQ(Path::fromPainterPath(quad.toPainterPath()).elementAt(1).type, Type::CubicTo);
}

} // namespace
