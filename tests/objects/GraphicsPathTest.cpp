#include "objects/GraphicsPath.h"

#include "tests/objects/ObjectsFixture.h"

using inkora::GraphicsPath;
using inkora::PathElement;

class GraphicsPathTest : public ObjectsFixture
{
};

TEST_F(GraphicsPathTest, KeepsQuadraticSegmentsApartFromCubicOnes)
{
    GraphicsPath path;
    path.moveTo({0, 0});
    path.quadTo({5, 10}, {10, 0});
    path.cubicTo({12, 5}, {18, 5}, {20, 0});

    ASSERT_EQ(path.elementCount(), 3);
    EXPECT_EQ(path.elementAt(1).kind, PathElement::QuadTo);
    EXPECT_EQ(path.elementAt(2).kind, PathElement::CurveTo);
    // Through a painter path and back the quadratic turns cubic: the distinction lives only here.
    EXPECT_EQ(GraphicsPath::fromPainterPath(path.toPainterPath(), false).elementAt(1).kind, PathElement::CurveTo);
}

TEST_F(GraphicsPathTest, BoundingBoxLeavesControlPointsOut)
{
    GraphicsPath quad;
    quad.moveTo({0, 0});
    quad.quadTo({5, 10}, {10, 0}); // the curve's peak is at y 5
    const QRectF q = quad.boundingBox();
    EXPECT_DOUBLE_EQ(q.height(), 5.0);
    EXPECT_DOUBLE_EQ(q.width(), 10.0);

    GraphicsPath cubic;
    cubic.moveTo({0, 0});
    cubic.cubicTo({0, 8}, {10, 8}, {10, 0}); // peak 0.75 * 8
    EXPECT_DOUBLE_EQ(cubic.boundingBox().height(), 6.0);

    EXPECT_TRUE(GraphicsPath().boundingBox().isNull());
}

TEST_F(GraphicsPathTest, EllipseAndFullClockwiseArcRunOppositeWays)
{
    GraphicsPath ellipse;
    ellipse.addEllipseInRect(QRectF(0, 0, 20, 10));
    EXPECT_EQ(ellipse.boundingBox(), QRectF(0, 0, 20, 10));
    EXPECT_EQ(ellipse.elementAt(0).points[0], QPointF(20, 5));
    EXPECT_GT(subpathOrientations(ellipse).at(0), 0.0); // counter-clockwise, y up

    GraphicsPath circle;
    circle.addArc({0, 0}, 3, 0.0, 6.283185307179586, true);
    const QRectF box = circle.boundingBox();
    EXPECT_NEAR(box.x(), -3, 1e-9);
    EXPECT_NEAR(box.width(), 6, 1e-9);
    EXPECT_NEAR(box.height(), 6, 1e-9);
    EXPECT_LT(subpathOrientations(circle).at(0), 0.0); // a whole clockwise turn, not an empty arc
}

TEST_F(GraphicsPathTest, StrokedOutlineFollowsWidthCapAndJoin)
{
    GraphicsPath line;
    line.moveTo({0, 0});
    line.lineTo({100, 0});

    inkora::StrokeStyle butt;
    butt.width = 10;
    const GraphicsPath flat = line.stroked(butt);
    EXPECT_EQ(flat.boundingBox(), QRectF(0, -5, 100, 10));
    EXPECT_EQ(flat.elements().back().kind, PathElement::Close);

    inkora::StrokeStyle round = butt;
    round.cap = inkora::LineCap::Round;
    const QRectF rounded = line.stroked(round).boundingBox();
    EXPECT_NEAR(rounded.x(), -5, 1e-6);
    EXPECT_NEAR(rounded.width(), 110, 1e-6);

    inkora::StrokeStyle none = butt;
    none.width = 0;
    EXPECT_TRUE(line.stroked(none).isEmpty());
}

TEST_F(GraphicsPathTest, SharpMiterBeyondTheLimitIsBevelled)
{
    GraphicsPath spike;
    spike.moveTo({0, 0});
    spike.lineTo({100, 0});
    spike.lineTo({0, 4}); // a very sharp turn at (100, 0)
    inkora::StrokeStyle style;
    style.width = 2;
    style.miterLimit = 10;
    EXPECT_LT(spike.stroked(style).boundingBox().right(), 102.0);
}
