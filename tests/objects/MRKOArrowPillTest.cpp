#include "objects/MRKOArrowPill.h"

#include "tests/objects/ObjectsFixture.h"

#include <QPainter>

using Element = platform::Path::Element;
using ElementType = platform::Path::ElementType;

class MRKOArrowPillTest : public ObjectsFixture
{
protected:
    // A horizontal arrow of the given length from (0, 0) to the right; the head sits at the start.
    static MRKOArrowPill makeArrow(qint64 style, double length = 200.0, quint64 toolType = 1)
    {
        MRKOArrowPill arrow(toolType, {0, 0}, {length, 0}, red(), blue(), 1, 4.0, style);
        arrow.setToolThickness(3);
        return arrow;
    }
};

TEST_F(MRKOArrowPillTest, InitSetsArrowDefaults)
{
    const MRKOArrowPill arrow;
    EXPECT_EQ(arrow.toolType(), 1u);
    EXPECT_EQ(arrow.headRatio(), 0.33000001311302185);
    EXPECT_EQ(arrow.constantHeadSize(), 50.0);
    const MRKOArrowPill made(5, {1, 2}, {3, 4}, red(), blue(), 1, 6.0, 3);
    EXPECT_EQ(made.toolType(), 5u);
    EXPECT_EQ(made.headRatio(), 0.33000001311302185);
    EXPECT_EQ(made.arrowStyle(), 3);
    EXPECT_EQ(made.startDirection(), 0u);
}

TEST_F(MRKOArrowPillTest, OpenHeadShaftWidthFollowsTheThicknessPresetAndLength)
{
    MRKOArrowPill arrow = makeArrow(0);
    arrow.createPaths();
    const platform::Path &outline = *arrow.strokedPath();
    // Butt ends: near the tail the shaft spans 10 points (0.05 x 200).
    EXPECT_TRUE(fills(outline, {190, 4.9}));
    EXPECT_FALSE(fills(outline, {190, 5.1}));

    arrow.setToolThickness(9);
    arrow.createPaths();
    EXPECT_TRUE(fills(*arrow.strokedPath(), {190, 4.9})); // beyond the presets: 10 points, not scaled
    arrow.setUseConstantWidth(true);
    arrow.createPaths();
    EXPECT_TRUE(fills(*arrow.strokedPath(), {190, 1.9}));
    EXPECT_FALSE(fills(*arrow.strokedPath(), {190, 2.1}));
}

TEST_F(MRKOArrowPillTest, OpenHeadLengthGrowsByHalfTheShaftUnlessRoundedOrConstant)
{
    struct Row
    {
        const char *name;
        bool roundedEnds;
        bool constantHead;
        double wingLength;
    };
    const Row rows[] = {
        {"ButtEnds", false, false, 200 * 0.33000001311302185 + 5},
        {"RoundedEnds", true, false, 200 * 0.33000001311302185},
        {"ConstantHeadWithButtEnds", false, true, 50},
        {"ConstantHeadWithRoundedEnds", true, true, 50},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        MRKOArrowPill arrow = makeArrow(0);
        arrow.setRoundedEnds(row.roundedEnds);
        arrow.setUseConstantHeadSize(row.constantHead);
        arrow.createPaths();
        const Element wing = arrow.path()->elementAt(2);
        ASSERT_EQ(wing.type, ElementType::MoveTo);
        EXPECT_NEAR(std::hypot(wing.points[0].x(), wing.points[0].y()), row.wingLength, 1e-4);
        EXPECT_NEAR(wing.points[0].x(), wing.points[0].y(), 1e-4); // at 45 degrees towards the tail
    }
}

TEST_F(MRKOArrowPillTest, UnknownStylesDrawTheOpenHead)
{
    MRKOArrowPill reference = makeArrow(0);
    reference.createPaths();
    for (qint64 style : {7, -1}) {
        MRKOArrowPill arrow = makeArrow(style);
        arrow.createPaths();
        EXPECT_EQ(*arrow.path(), *reference.path()) << style;
        EXPECT_EQ(*arrow.strokedPath(), *reference.strokedPath()) << style;
    }
}

TEST_F(MRKOArrowPillTest, HeadSitsAtTheStartUnlessInverted)
{
    MRKOArrowPill wedge = makeArrow(1);
    wedge.createPaths();
    EXPECT_TRUE(fills(*wedge.strokedPath(), {40, 15}));
    EXPECT_FALSE(fills(*wedge.strokedPath(), {160, 15}));
    wedge.setInvert(true);
    wedge.createPaths();
    EXPECT_FALSE(fills(*wedge.strokedPath(), {40, 15}));
    EXPECT_TRUE(fills(*wedge.strokedPath(), {160, 15}));

    // Inverting is drawing the arrow the other way round (the curved style then bends the other way too).
    for (qint64 style : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE(style);
        MRKOArrowPill inverted = makeArrow(style);
        inverted.setInvert(true);
        inverted.createPaths();
        MRKOArrowPill reversed = makeArrow(style);
        reversed.setStartPoint({200, 0});
        reversed.setEndPoint({0, 0});
        reversed.setArcArrowClockwise(true);
        reversed.createPaths();
        EXPECT_EQ(*inverted.strokedPath(), *reversed.strokedPath());
    }
}

TEST_F(MRKOArrowPillTest, FilledStylesHaveTheirShaftWidths)
{
    const double h = 200 * 0.33000001311302185; // head length
    MRKOArrowPill tapered = makeArrow(3);
    tapered.createPaths();
    EXPECT_TRUE(fills(*tapered.strokedPath(), {199, 0.5 * h - 0.5}));
    EXPECT_FALSE(fills(*tapered.strokedPath(), {199, 0.5 * h + 0.5}));

    MRKOArrowPill straight = makeArrow(4);
    straight.createPaths();
    EXPECT_TRUE(fills(*straight.strokedPath(), {199, 0.25 * h - 0.5}));
    EXPECT_FALSE(fills(*straight.strokedPath(), {199, 0.25 * h + 0.5}));
    EXPECT_TRUE(fills(*straight.strokedPath(), {100, 0.25 * h - 0.5}));

    MRKOArrowPill wedge = makeArrow(1);
    wedge.createPaths();
    EXPECT_EQ(wedge.path()->elementCount(), 10); // two closed triangles
    EXPECT_EQ(*wedge.path(), *wedge.strokedPath());
}

TEST_F(MRKOArrowPillTest, CurvedStyleBendsWithQuadraticCurvesByItsDirection)
{
    MRKOArrowPill arrow = makeArrow(2);
    arrow.createPaths();
    int quads = 0;
    for (const Element &e : arrow.path()->elements())
        quads += e.type == ElementType::QuadTo ? 1 : 0;
    EXPECT_EQ(quads, 2);
    const double bentUp = arrow.path()->pathBoundingBox().center().y();

    arrow.setArcArrowClockwise(true);
    arrow.createPaths();
    const double bentDown = arrow.path()->pathBoundingBox().center().y();
    EXPECT_GT(bentUp, 0.0);
    EXPECT_LT(bentDown, 0.0);
    EXPECT_NEAR(bentUp, -bentDown, 1e-3);
}

TEST_F(MRKOArrowPillTest, CoincidentPointsGiveAHeadOfLengthZero)
{
    for (qint64 style : {1, 2, 3, 4}) {
        MRKOArrowPill arrow = makeArrow(style, 0.0);
        arrow.createPaths();
        EXPECT_EQ(arrow.path()->pathBoundingBox(), QRectF(0, 0, 0, 0)) << style;
    }
    MRKOArrowPill open = makeArrow(0, 0.0);
    EXPECT_EQ(open.createPaths(), QRectF());
    open.setUseConstantWidth(true); // w = 4, so the head grows by 2
    open.createPaths();
    EXPECT_NEAR(open.path()->elementAt(2).points[0].x(), std::sqrt(2.0), 1e-6);
}

TEST_F(MRKOArrowPillTest, MissingHeadRatioLeavesOnlyTheShaftGrowth)
{
    MRKOArrowPill arrow = makeArrow(0);
    arrow.setHeadRatio(0.0);
    arrow.createPaths();
    EXPECT_NEAR(std::hypot(arrow.path()->elementAt(2).points[0].x(), arrow.path()->elementAt(2).points[0].y()), 5.0,
                1e-5);
    MRKOArrowPill wedge = makeArrow(1);
    wedge.setHeadRatio(0.0);
    wedge.createPaths();
    EXPECT_FALSE(fills(*wedge.strokedPath(), {100, 0.5}));
}

TEST_F(MRKOArrowPillTest, LineIgnoresStyleAndHasRoundCaps)
{
    MRKOArrowPill line = makeArrow(2, 100.0, 5);
    line.setInvert(true);
    line.setUseConstantHeadSize(true);
    const QRectF bounds = line.createPaths();
    EXPECT_EQ(line.path()->elementCount(), 2);
    EXPECT_EQ(bounds, QRectF(-2, -2, 104, 4));
    EXPECT_TRUE(fills(*line.strokedPath(), {101.8, 0}));
}

TEST_F(MRKOArrowPillTest, GradientStartsAtTheStartPointWhereverTheHeadIs)
{
    MRKOArrowPill arrow(1, {10, 30}, {190, 30}, red(), blue(), 0, 4.0, 4);
    arrow.setInvert(true);
    const QRectF bounds = arrow.createPaths();
    const QImage image = render(bounds, [&](QPainter &painter) { arrow.drawInContext(painter); });
    const QColor nearStart = colorAt(image, bounds, {12, 30});
    const QColor nearEnd = colorAt(image, bounds, {185, 30});
    EXPECT_GT(nearStart.red(), 240);
    EXPECT_LT(nearStart.blue(), 15);
    EXPECT_GT(nearEnd.blue(), 220);
}

TEST_F(MRKOArrowPillTest, EqualityCoversEveryArrowField)
{
    const MRKOArrowPill base = makeArrow(1);
    struct Row
    {
        const char *name;
        std::function<void(MRKOArrowPill &)> change;
    };
    const Row rows[] = {
        {"StartPoint",
         [](MRKOArrowPill &a) {
             a.setStartPoint({0, 1e-9});
         }},
        {"EndPoint",
         [](MRKOArrowPill &a) {
             a.setEndPoint({201, 0});
         }},
        {"Style", [](MRKOArrowPill &a) { a.setArrowStyle(2); }},
        {"Invert", [](MRKOArrowPill &a) { a.setInvert(true); }},
        {"ConstantWidth", [](MRKOArrowPill &a) { a.setUseConstantWidth(true); }},
        {"RoundedTip", [](MRKOArrowPill &a) { a.setRoundedTip(true); }},
        {"RoundedEnds", [](MRKOArrowPill &a) { a.setRoundedEnds(true); }},
        {"HeadRatio", [](MRKOArrowPill &a) { a.setHeadRatio(0.33); }},
        {"ConstantHead", [](MRKOArrowPill &a) { a.setUseConstantHeadSize(true); }},
        {"ConstantHeadSize", [](MRKOArrowPill &a) { a.setConstantHeadSize(51); }},
        {"ToolThickness", [](MRKOArrowPill &a) { a.setToolThickness(2); }},
        {"ArcClockwise", [](MRKOArrowPill &a) { a.setArcArrowClockwise(true); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        MRKOArrowPill changed = makeArrow(1);
        row.change(changed);
        EXPECT_FALSE(base.isEqualToPill(&changed));
        EXPECT_TRUE(changed.isEqualToPill(changed.copy().get()));
    }
}

TEST_F(MRKOArrowPillTest, MovingShiftsPointsAndPaths)
{
    MRKOArrowPill arrow = makeArrow(1);
    const QRectF before = arrow.createPaths();
    arrow.moveOriginWithDelta({10, -5});
    EXPECT_EQ(arrow.startPoint(), QPointF(10, -5));
    EXPECT_EQ(arrow.endPoint(), QPointF(210, -5));
    EXPECT_EQ(arrow.integralBoundingBoxOfStrokedPath(), before.translated(10, -5));
}

TEST_F(MRKOArrowPillTest, EndHandlesPickAndMoveTheEnds)
{
    MRKOArrowPill arrow(1, {0.1, 0.2}, {100.3, 50.7}, red(), blue(), 1, 4.0, 0);
    EXPECT_EQ(arrow.handlesRect(), QRectF(0.1f, 0.2f, static_cast<float>(100.2), static_cast<float>(50.5)));
    EXPECT_TRUE(arrow.hasHandlesRect());
    EXPECT_EQ(arrow.handleAtPoint({3, 3}, QRectF()), MRKOPillHandleStart);
    EXPECT_EQ(arrow.handleAtPoint({98, 48}, QRectF()), MRKOPillHandleEnd);
    EXPECT_EQ(arrow.handleAtPoint({50, 25}, QRectF()), MRKOPillHandleNone);

    MRKOArrowPill drag(1, {0, 0}, {100, 0}, red(), blue(), 1, 4.0, 0);
    EXPECT_EQ(drag.resizeRect(QRectF(0, 0, 100, 10), MRKOPillHandleEnd, {2, 0}), QRectF());
    EXPECT_EQ(drag.endPoint(), QPointF(100, 0));
    (void)drag.resizeRect(QRectF(), MRKOPillHandleEnd, {2.5, 0});
    EXPECT_EQ(drag.endPoint(), QPointF(2.5, 0));
    (void)drag.resizeRect(QRectF(), MRKOPillHandleStart, {-40, 0});
    EXPECT_EQ(drag.startPoint(), QPointF(-40, 0));
    (void)drag.resizeRect(QRectF(), MRKOPillHandleBottomRight, {70, 70});
    EXPECT_EQ(drag.startPoint(), QPointF(-40, 0));
    EXPECT_EQ(drag.endPoint(), QPointF(2.5, 0));
}
