#include "objects/NSBezierPath+Path.h"
#include "tests/objects/ObjectsFixture.h"

#include <QPainter>

#include <cmath>
#include <limits>

using inkora::BezierPath;
using Element = platform::Path::Element;
using ElementType = platform::Path::ElementType;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void expectPoint(QPointF actual, QPointF expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9) << "x of (" << expected.x() << ", " << expected.y() << ")";
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9) << "y of (" << expected.x() << ", " << expected.y() << ")";
}

BezierPath polyline(std::initializer_list<QPointF> points)
{
    BezierPath path;
    bool first = true;
    for (QPointF p : points) {
        if (first)
            path.moveTo(p);
        else
            path.lineTo(p);
        first = false;
    }
    return path;
}

// The indices of the move elements of a path, in order.
std::vector<int> movesOf(const BezierPath &path)
{
    std::vector<int> moves;
    for (int i = 0; i < path.elementCount(); ++i) {
        if (path.elementAt(i).type == ElementType::MoveTo)
            moves.push_back(i);
    }
    return moves;
}

} // namespace

class NSBezierPathPathTest : public ObjectsFixture
{
};

TEST_F(NSBezierPathPathTest, ConversionOfAnEmptyPathLeavesTheReferenceUntouched)
{
    platform::Path marker;
    marker.moveTo({7, 7});
    std::optional<platform::Path> ref = marker;
    Path::quartzPathWithRef(BezierPath(), ref);
    EXPECT_EQ(ref, marker);
    Path::quartzPathWithAnimPath(BezierPath(), ref);
    EXPECT_EQ(ref, marker);

    BezierPath oval;
    oval.appendOval(QRectF(0, 0, 10, 20));
    std::optional<platform::Path> a, b;
    Path::quartzPathWithRef(oval, a);
    Path::quartzPathWithAnimPath(oval, b);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->elementCount(), oval.elementCount());
}

TEST_F(NSBezierPathPathTest, ArchiveCopierWritesQuadraticCornersAsCubicsWithBothControlsAtTheCorner)
{
    platform::Path rounded;
    rounded.moveTo({5, 20});
    rounded.lineTo({15, 20});
    rounded.quadTo({20, 20}, {20, 15});
    rounded.closeSubpath();

    const BezierPath archived = inkora::archiveBezierPath(rounded);
    std::optional<platform::Path> back;
    Path::quartzPathWithRef(archived, back);
    ASSERT_TRUE(back.has_value());
    const Element corner = back->elementAt(2);
    EXPECT_EQ(corner.type, ElementType::CubicTo);
    EXPECT_EQ(corner.points[0], QPointF(20, 20));
    EXPECT_EQ(corner.points[1], QPointF(20, 20));
    EXPECT_EQ(corner.points[2], QPointF(20, 15));
    EXPECT_EQ(back->elementAt(3).type, ElementType::Close);
}

TEST_F(NSBezierPathPathTest, StrokedOutlineOfTwoSubpathsClosesEverySubpath)
{
    BezierPath twoLines = polyline({{0, 0}, {50, 0}});
    twoLines.moveTo({0, 30});
    twoLines.lineTo({50, 30});
    twoLines.setLineWidth(4);
    twoLines.setLineDash({3, 3}, 1);

    const BezierPath outline = Path::strokedBezier(twoLines);
    const std::vector<int> moves = movesOf(outline);
    ASSERT_GE(moves.size(), 2u);
    for (size_t i = 1; i < moves.size(); ++i)
        EXPECT_EQ(outline.elementAt(moves[i] - 1).type, ElementType::Close) << "subpath " << i - 1;
    EXPECT_EQ(outline.elements().back().type, ElementType::Close);
    // The dash pattern is not applied here: two solid bands.
    EXPECT_EQ(moves.size(), 2u);
    EXPECT_EQ(outline.bounds(), QRectF(0, -2, 50, 34));
}

TEST_F(NSBezierPathPathTest, DashedOutlineUsesDashAndGapFromPhaseZero)
{
    BezierPath line = polyline({{0, 0}, {40, 0}});
    line.setLineWidth(2);
    line.setLineDash({5, 5, 1, 1}, 3); // only 5 on, 5 off is read; the phase is not
    const BezierPath dashed = Path::dashedBezier(line);
    EXPECT_EQ(movesOf(dashed).size(), 4u); // dashes at 0, 10, 20 and 30
    EXPECT_NEAR(dashed.bounds().x(), 0.0, 1e-9);
    EXPECT_TRUE(Path::dashedBezier(BezierPath()).isEmpty());
}

TEST_F(NSBezierPathPathTest, StrokeInsidePaintsTheWholeWidthInsideTheOutline)
{
    BezierPath square;
    square.appendRect(QRectF(10, 10, 40, 40));
    square.setLineWidth(4);
    const QRectF area(0, 0, 60, 60);
    const QImage image = render(area, [&](QPainter &painter) {
        painter.setPen(QColor(Qt::black));
        Path::strokeInside(square, painter);
    });
    EXPECT_EQ(square.lineWidth(), 4.0);
    EXPECT_EQ(colorAt(image, area, {11, 30}).alpha(), 255);
    EXPECT_EQ(colorAt(image, area, {13.5, 30}).alpha(), 255);
    EXPECT_EQ(colorAt(image, area, {14.5, 30}).alpha(), 0);
    EXPECT_EQ(colorAt(image, area, {9, 30}).alpha(), 0);

    const QImage clipped = render(area, [&](QPainter &painter) {
        painter.setPen(QColor(Qt::black));
        Path::strokeInsideWithinRect(square, painter, QRectF(0, 0, 30, 60));
    });
    EXPECT_EQ(colorAt(clipped, area, {11, 30}).alpha(), 255);
    EXPECT_EQ(colorAt(clipped, area, {48, 30}).alpha(), 0);
}

TEST_F(NSBezierPathPathTest, ElementTests)
{
    BezierPath curveWithNaN = polyline({{0, 0}});
    curveWithNaN.curveTo({1, 1}, {2, kNaN}, {3, 3});
    BezierPath closedThenMove = polyline({{0, 0}, {1, 0}, {1, 1}});
    closedThenMove.closePath();
    closedThenMove.moveTo({5, 5});
    BezierPath closedLast = polyline({{0, 0}, {1, 0}});
    closedLast.closePath();
    BezierPath finite = polyline({{0, 0}, {1, 0}});
    finite.closePath();
    finite.moveTo({3, 3});

    EXPECT_FALSE(Path::isValid(BezierPath()));
    EXPECT_FALSE(Path::isValid(curveWithNaN));
    EXPECT_FALSE(Path::isValid(polyline({{0, 0}, {kNaN, 1}})));
    EXPECT_TRUE(Path::isValid(finite));

    EXPECT_TRUE(Path::isClosed(closedThenMove));
    EXPECT_FALSE(Path::isClosed(closedLast));
    EXPECT_FALSE(Path::isClosed(polyline({{0, 0}})));

    BezierPath twoSubpaths = polyline({{0, 0}, {1, 0}});
    twoSubpaths.moveTo({2, 2});
    twoSubpaths.lineTo({3, 3});
    twoSubpaths.closePath();
    EXPECT_TRUE(Path::subpathContainingElementIsClosed(twoSubpaths, 0));
    EXPECT_FALSE(Path::subpathContainingElementIsClosed(twoSubpaths, twoSubpaths.elementCount()));
    EXPECT_FALSE(Path::subpathContainingElementIsClosed(twoSubpaths, -1));
    EXPECT_FALSE(Path::subpathContainingElementIsClosed(polyline({{0, 0}, {1, 1}}), 0));

    EXPECT_TRUE(Path::isOneMoveTo(polyline({{4, 4}})));
    EXPECT_FALSE(Path::isOneMoveTo(polyline({{4, 4}, {5, 5}})));
}

TEST_F(NSBezierPathPathTest, OffsetRunsLinearlyToTheLeftOfTravel)
{
    const BezierPath line = polyline({{0, 0}, {10, 0}});
    const BezierPath moved = Path::pathOffsetFrom(line, 2, 4);
    ASSERT_EQ(moved.elementCount(), 2);
    expectPoint(moved.elementAt(0).points[0], {0, 2});
    expectPoint(moved.elementAt(1).points[0], {10, 4});

    const BezierPath same = Path::pathOffsetFrom(line, 0, 0);
    expectPoint(same.elementAt(0).points[0], {0, 0});
    expectPoint(same.elementAt(1).points[0], {10, 0});

    EXPECT_TRUE(Path::pathOffsetFrom(BezierPath(), 1, 2).isEmpty());
    // A single element has nothing to interpolate over; it must not produce NaN.
    EXPECT_TRUE(Path::isValid(Path::pathOffsetFrom(polyline({{3, 3}}), 1, 2)));
}

TEST_F(NSBezierPathPathTest, VariableWidthSegmentOfAStraightSegment)
{
    const inkora::CubicSegment straight = {QPointF(0, 0), QPointF(10, 0), QPointF(20, 0), QPointF(30, 0)};
    const BezierPath outline = Path::variableWidthSegment(straight, 4, 4);
    ASSERT_EQ(outline.elementCount(), 6);
    const std::vector<Element> &e = outline.elements();
    EXPECT_EQ(e[0].type, ElementType::MoveTo);
    expectPoint(e[0].points[0], {0, -2});
    EXPECT_EQ(e[1].type, ElementType::LineTo);
    expectPoint(e[1].points[0], {0, 2});
    EXPECT_EQ(e[2].type, ElementType::CubicTo);
    expectPoint(e[2].points[0], {10, 2});
    expectPoint(e[2].points[1], {20, 2});
    expectPoint(e[2].points[2], {30, 2});
    expectPoint(e[3].points[0], {30, -2});
    expectPoint(e[4].points[0], {20, -2});
    expectPoint(e[4].points[1], {10, -2});
    expectPoint(e[4].points[2], {0, -2});
    EXPECT_EQ(e[5].type, ElementType::Close);

    const platform::Path same = Path::variableWidthStrokedPathSegment(straight, 4, 4);
    ASSERT_EQ(same.elementCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(same.elementAt(i).type, e[static_cast<size_t>(i)].type);
        EXPECT_EQ(same.elementAt(i).endPoint(), e[static_cast<size_t>(i)].endPoint());
    }
}

TEST_F(NSBezierPathPathTest, SubdividedStrokeInterpolatesQuarterWidthsWithRoundCaps)
{
    const inkora::CubicSegment straight = {QPointF(0, 0), QPointF(10, 0), QPointF(20, 0), QPointF(40, 0)};
    const platform::Path path = Path::variableWidthStrokedPathSubdivide(straight, 4, 8);

    // Subpaths: start circle, four quarters (move, line, curve, line, curve, close), end circle.
    std::vector<int> moves;
    for (int i = 0; i < path.elementCount(); ++i) {
        if (path.elementAt(i).type == ElementType::MoveTo)
            moves.push_back(i);
    }
    ASSERT_EQ(moves.size(), 6u);
    const double widths[] = {4, 5, 6, 7, 8};
    for (int q = 0; q < 4; ++q) {
        const int m = moves[static_cast<size_t>(q + 1)];
        const QPointF lower = path.elementAt(m).points[0], upper = path.elementAt(m + 1).points[0];
        EXPECT_NEAR(upper.y() - lower.y(), widths[q], 1e-9) << "start of quarter " << q;
        const QPointF upperEnd = path.elementAt(m + 2).points[2], lowerEnd = path.elementAt(m + 3).points[0];
        EXPECT_NEAR(upperEnd.y() - lowerEnd.y(), widths[q + 1], 1e-9) << "end of quarter " << q;
    }

    const auto &all = path.elements();
    auto subpath = [&all](size_t from, size_t to) {
        platform::Path part;
        for (size_t i = from; i < to; ++i) {
            const Element &e = all[i];
            switch (e.type) {
            case ElementType::MoveTo:
                part.moveTo(e.points[0]);
                break;
            case ElementType::CubicTo:
                part.cubicTo(e.points[0], e.points[1], e.points[2]);
                break;
            case ElementType::Close:
                part.closeSubpath();
                break;
            default:
                ADD_FAILURE() << "a cap holds only curves";
            }
        }
        return part;
    };
    const QRectF start = subpath(0, size_t(moves[1])).pathBoundingBox();
    const QRectF end = subpath(size_t(moves[5]), all.size()).pathBoundingBox();
    EXPECT_NEAR(start.width(), 4, 1e-9);
    EXPECT_NEAR(start.center().x(), 0, 1e-9);
    EXPECT_NEAR(end.width(), 8, 1e-9);
    EXPECT_NEAR(end.center().x(), 40, 1e-9);
    // Both caps and every quarter run clockwise (y up), so a non-zero fill unites them without holes.
    for (double orientation : subpathOrientations(path))
        EXPECT_LT(orientation, 0.0);
    EXPECT_TRUE(fills(path, {20, 2.9}));
    EXPECT_TRUE(fills(path, {-1.9, 0}));
    EXPECT_TRUE(fills(path, {43.9, 0}));
}

TEST_F(NSBezierPathPathTest, HalvingACubicMeetsInTheMiddle)
{
    const inkora::CubicSegment s = {QPointF(0, 0), QPointF(0, 8), QPointF(8, 8), QPointF(8, 0)};
    inkora::CubicSegment first, second;
    inkora::halveCubicSegment(s, first, second);
    EXPECT_EQ(first[0], QPointF(0, 0));
    EXPECT_EQ(first[1], QPointF(0, 4));
    EXPECT_EQ(first[2], QPointF(2, 6));
    EXPECT_EQ(first[3], QPointF(4, 6));
    EXPECT_EQ(second[0], QPointF(4, 6));
    EXPECT_EQ(second[1], QPointF(6, 6));
    EXPECT_EQ(second[2], QPointF(8, 4));
    EXPECT_EQ(second[3], QPointF(8, 0));
}
