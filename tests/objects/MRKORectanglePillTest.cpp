#include "objects/MRKORectanglePill.h"

#include "objects/MRKOBrushPill.h"
#include "tests/objects/ObjectsFixture.h"

#include <QPainter>

using Element = platform::Path::Element;
using ElementType = platform::Path::ElementType;

class MRKORectanglePillTest : public ObjectsFixture
{
protected:
    static MRKORectanglePill makeRectangle(const QRectF &rect, double thickness, bool sharp = false,
                                           bool filled = false, quint64 toolType = 2)
    {
        return MRKORectanglePill(toolType, rect, red(), blue(), 1, 8 | 4, thickness, sharp, filled);
    }
    // The corner radius: how far the outline's first point lies right of the rect's left edge.
    static double radiusOf(const MRKORectanglePill &pill, double left)
    {
        return pill.path()->elementAt(0).points[0].x() - left;
    }
};

TEST_F(MRKORectanglePillTest, CornerRadiusShrinksForSmallShapesAndGrowsWhenFilled)
{
    struct Row
    {
        const char *name;
        QRectF rect;
        double thickness;
        bool filled;
        double radius;
        QRectF pathBox;
    };
    const Row rows[] = {
        {"Outlined", {0, 0, 100, 60}, 4, false, 10, {0, 0, 100, 60}},
        {"Small", {0, 0, 12, 60}, 8, false, 6, {0, 0, 12, 60}},
        {"Proportional", {0, 0, 20, 60}, 16, false, 6.25, {0, 0, 20, 60}},
        {"Filled", {0, 0, 100, 60}, 4, true, 12, {-2, -2, 104, 64}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        MRKORectanglePill pill = makeRectangle(row.rect, row.thickness, false, row.filled);
        pill.createPaths();
        EXPECT_DOUBLE_EQ(radiusOf(pill, row.pathBox.x()), row.radius);
        EXPECT_EQ(pill.boundingBoxOfPath(), row.pathBox);
    }
}

TEST_F(MRKORectanglePillTest, CornersAreQuadraticCurvesThroughTheRectCorners)
{
    MRKORectanglePill pill = makeRectangle({10, 20, 100, 60}, 4);
    pill.createPaths();
    const auto &e = pill.path()->elements();
    ASSERT_EQ(e.size(), 10u);
    EXPECT_EQ(e[2].type, ElementType::QuadTo);
    EXPECT_EQ(e[2].points[0], QPointF(110, 80));
    EXPECT_EQ(e[2].points[1], QPointF(110, 70));
    EXPECT_EQ(e[9].type, ElementType::Close);
}

TEST_F(MRKORectanglePillTest, OutlineJoinsFollowTheCorners)
{
    const QRectF r(10, 10, 100, 60);
    MRKORectanglePill sharp = makeRectangle(r, 6, true);
    const QRectF sharpBounds = sharp.createPaths();
    EXPECT_EQ(sharpBounds, QRectF(7, 7, 106, 66));
    EXPECT_TRUE(fills(*sharp.strokedPath(), {7.2, 7.2})); // square outer corner

    MRKORectanglePill rounded = makeRectangle(r, 6);
    rounded.createPaths();
    EXPECT_FALSE(fills(*rounded.strokedPath(), {7.2, 7.2}));
    EXPECT_FALSE(fills(*rounded.strokedPath(), {60, 40})); // outlined: the inside stays empty

    MRKORectanglePill filled = makeRectangle(r, 6, false, true);
    filled.createPaths();
    EXPECT_EQ(*filled.path(), *filled.strokedPath());
    EXPECT_TRUE(fills(*filled.strokedPath(), {60, 40}));
}

TEST_F(MRKORectanglePillTest, EllipseIsInscribedAndGrowsWhenFilled)
{
    MRKORectanglePill ellipse = makeRectangle({0, 0, 100, 50}, 4, false, false, 6);
    EXPECT_EQ(ellipse.createPaths(), QRectF(-2, -2, 104, 54));
    EXPECT_EQ(ellipse.boundingBoxOfPath(), QRectF(0, 0, 100, 50));
    EXPECT_FALSE(fills(*ellipse.strokedPath(), {50, 25}));

    MRKORectanglePill filled = makeRectangle({0, 0, 100, 50}, 4, false, true, 6);
    EXPECT_EQ(filled.createPaths(), QRectF(-2, -2, 104, 54));
    EXPECT_TRUE(fills(*filled.strokedPath(), {50, 25}));
    EXPECT_FALSE(fills(*filled.strokedPath(), {-1, -1}));
}

TEST_F(MRKORectanglePillTest, ResizingInsetsTheBoxByHalfTheThickness)
{
    struct Row
    {
        double thickness;
        QRectF expected;
    };
    // Handle 5 to x 200 on the frame (0, 0, 100, 50): the box (0, 0, 200, 50), then inset.
    for (const Row row : {Row{5, {2, 2, 196, 46}}, Row{1, {0, 0, 200, 50}}, Row{4.5, {2, 2, 196, 46}}}) {
        MRKORectanglePill pill = makeRectangle({0, 0, 90, 40}, row.thickness);
        EXPECT_EQ(pill.resizeRect(QRectF(0, 0, 100, 50), MRKOPillHandleRightMiddle, {200, 25}), row.expected)
            << row.thickness;
        EXPECT_EQ(pill.rect(), QRectF(0, 0, 90, 40));
    }
}

TEST_F(MRKORectanglePillTest, EqualityCoversRectCornersAndFill)
{
    const MRKORectanglePill base = makeRectangle({0, 0, 10, 10}, 2);
    const MRKORectanglePill rows[] = {
        makeRectangle({0, 0, 10, 11}, 2),
        makeRectangle({0, 0, 10, 10}, 2, true),
        makeRectangle({0, 0, 10, 10}, 2, false, true),
    };
    for (const MRKORectanglePill &other : rows)
        EXPECT_FALSE(base.isEqualToPill(&other));
    EXPECT_TRUE(base.isEqualToPill(base.copy().get()));
}

TEST_F(MRKORectanglePillTest, MovingShiftsTheRect)
{
    MRKORectanglePill pill = makeRectangle({0, 0, 10, 10}, 2);
    pill.createPaths();
    pill.moveOriginWithDelta({5, 7});
    EXPECT_EQ(pill.rect(), QRectF(5, 7, 10, 10));
    EXPECT_EQ(pill.boundingBoxOfPath(), QRectF(5, 7, 10, 10));
}

TEST_F(MRKORectanglePillTest, GradientRunsAcrossThePathBounds)
{
    MRKORectanglePill pill(2, {10, 10, 100, 60}, red(), blue(), 0, 8 | 4, 4, false, true);
    const QRectF bounds = pill.createPaths();
    const QImage image = render(bounds, [&](QPainter &painter) { pill.drawInContext(painter); });
    EXPECT_GT(colorAt(image, bounds, {12, 12}).red(), 235);   // bottom left: colour 1
    EXPECT_GT(colorAt(image, bounds, {108, 68}).blue(), 235); // top right: colour 2

    pill.setColorType(1);
    const QImage solid = render(bounds, [&](QPainter &painter) { pill.drawInContext(painter); });
    EXPECT_EQ(colorAt(solid, bounds, {108, 68}), QColor(Qt::red));
}

TEST_F(MRKORectanglePillTest, BrushModelHasNoHandlesAndNoGeometry)
{
    MRKOBrushPill brush;
    EXPECT_EQ(brush.toolType(), 0u);
    EXPECT_FALSE(brush.wantsHandles());
    brush.setColor1(red());
    brush.setColor2(blue());
    MRKOBrushPill other;
    other.setColor1(red());
    other.setColor2(blue());
    EXPECT_TRUE(brush.isEqualToPill(&other));
    EXPECT_EQ(brush.createPaths(), QRectF());
    EXPECT_FALSE(brush.strokedPath().has_value());
    EXPECT_NE(dynamic_cast<MRKOBrushPill *>(brush.copy().get()), nullptr);
}
