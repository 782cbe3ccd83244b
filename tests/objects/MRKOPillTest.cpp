#include "objects/MRKOPill.h"

#include "objects/MRKOArrowPill.h"
#include "objects/MRKOBrushPill.h"
#include "objects/MRKORectanglePill.h"
#include "objects/MRKOTextPill.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "tests/objects/ObjectsFixture.h"

#include <QPainter>

namespace {

platform::Path square(double x, double y, double size)
{
    platform::Path path;
    path.addRect(QRectF(x, y, size, size));
    return path;
}

} // namespace

class MRKOPillTest : public ObjectsFixture
{
protected:
    static MRKOPill makePill(quint64 direction = 0) { return MRKOPill(2, red(), blue(), 0, direction, 4.0); }
};

TEST_F(MRKOPillTest, ToolGroupAndSubTypeComeFromTheToolType)
{
    struct Row
    {
        quint64 type;
        qint64 group;
        qint64 sub;
    };
    for (const Row row : {Row{0, 0, 0}, Row{1, 1, 0}, Row{5, 1, 1}, Row{6, 2, 1}, Row{7, 3, 1}}) {
        MRKOPill pill;
        pill.setToolType(row.type);
        EXPECT_EQ(pill.toolGroup(), row.group) << row.type;
        EXPECT_EQ(pill.subType(), row.sub) << row.type;
    }
    MRKOPill arrow;
    arrow.setToolType(5);
    EXPECT_TRUE(arrow.toolKindIsArrow());
    EXPECT_FALSE(arrow.toolKindIsRectangle());
}

TEST_F(MRKOPillTest, GradientCornersFollowTheDirectionMask)
{
    const QRectF r(10, 20, 100, 50);
    struct Row
    {
        const char *name;
        quint64 mask;
        QPointF start;
        QPointF end;
    };
    const Row rows[] = {
        {"LeftBottom", 8 | 4, {10, 20}, {110, 70}},
        {"LeftBottomTop", 8 | 4 | 2, {10, 20}, {110, 20}},
        {"RightTop", 16 | 2, {110, 70}, {10, 20}},
        {"LeftAlone", 8, {0, 0}, {0, 0}},
        {"None", 0, {0, 0}, {0, 0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const MRKOPill pill = makePill(row.mask);
        EXPECT_EQ(pill.startPointWithRect(r), row.start);
        EXPECT_EQ(pill.endPointWithRect(r), row.end);
    }
}

TEST_F(MRKOPillTest, EqualityComparesSharedFieldsButNotDirectionOrPaths)
{
    MRKOPill a = makePill(8 | 4);
    MRKOPill b = makePill(16 | 2);
    b.setPath(square(0, 0, 5));
    EXPECT_TRUE(a.isEqualToPill(&b));
    EXPECT_FALSE(a.isEqualToPill(nullptr));

    struct Row
    {
        const char *name;
        std::function<void(MRKOPill &)> change;
    };
    const Row rows[] = {
        {"ToolType", [](MRKOPill &p) { p.setToolType(6); }},
        {"ColorType", [](MRKOPill &p) { p.setColorType(1); }},
        {"Color1", [](MRKOPill &p) { p.setColor1(blue()); }},
        {"Color2", [](MRKOPill &p) { p.setColor2(red()); }},
        {"Thickness", [](MRKOPill &p) { p.setThickness(4.0000001); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        MRKOPill changed = makePill();
        row.change(changed);
        EXPECT_FALSE(a.isEqualToPill(&changed));
    }

    // Without a colour a model equals nothing but itself.
    MRKOPill colourless = makePill();
    colourless.setColor2(QColor());
    MRKOPill twin = makePill();
    twin.setColor2(QColor());
    EXPECT_FALSE(colourless.isEqualToPill(&twin));
    EXPECT_TRUE(colourless.isEqualToPill(&colourless));
}

TEST_F(MRKOPillTest, EqualityRefusesAnArgumentOfASuperclass)
{
    MRKOArrowPill arrow(1, {0, 0}, {10, 10}, red(), blue(), 0, 4.0, 0);
    const MRKOPill base(1, red(), blue(), 0, 0, 4.0);
    EXPECT_FALSE(arrow.isEqualToPill(&base));
    EXPECT_TRUE(base.isEqualToPill(&arrow));
    const MRKORectanglePill rectangle(1, QRectF(), red(), blue(), 0, 0, 4.0, false, false);
    EXPECT_FALSE(arrow.isEqualToPill(&rectangle));
}

TEST_F(MRKOPillTest, CopyIsIndependentAndOfTheSameKind)
{
    MRKORectanglePill original(2, QRectF(0, 0, 40, 20), red(), blue(), 1, 8 | 4, 4.0, false, false);
    original.createPaths();
    const std::shared_ptr<MRKOPill> copy = original.copy();
    ASSERT_NE(dynamic_cast<MRKORectanglePill *>(copy.get()), nullptr);
    EXPECT_TRUE(original.isEqualToPill(copy.get()));
    EXPECT_EQ(copy->startDirection(), 8u | 4u);

    const platform::Path pathBefore = *copy->path();
    const platform::Path strokedBefore = *copy->strokedPath();
    original.moveOriginWithDelta({5, 5});
    original.setPath(square(1, 1, 1));
    EXPECT_EQ(*copy->path(), pathBefore);
    EXPECT_EQ(*copy->strokedPath(), strokedBefore);

    const MRKOPill pathless = makePill();
    EXPECT_FALSE(pathless.copy()->path().has_value());
}

TEST_F(MRKOPillTest, MovingTranslatesBothPathsAndKeepsAMissingOneMissing)
{
    MRKOPill pill = makePill();
    pill.setStrokedPath(square(0, 0, 10));
    pill.moveOriginWithDelta({3, -2});
    EXPECT_EQ(pill.strokedPath()->pathBoundingBox(), QRectF(3, -2, 10, 10));
    EXPECT_FALSE(pill.path().has_value());
}

TEST_F(MRKOPillTest, BoundingBoxesWithAndWithoutPaths)
{
    MRKOPill pill = makePill();
    EXPECT_EQ(pill.boundingBoxOfPath(), QRectF());
    EXPECT_EQ(pill.integralBoundingBoxOfStrokedPath(), QRectF());
    platform::Path fractional;
    fractional.addRect(QRectF(0.5, 1.25, 10, 3.5));
    pill.setStrokedPath(fractional);
    EXPECT_EQ(pill.integralBoundingBoxOfStrokedPath(), QRectF(0, 1, 11, 4));
    pill.setStrokedPath(platform::Path());
    EXPECT_EQ(pill.integralBoundingBoxOfStrokedPath(), QRectF());
}

TEST_F(MRKOPillTest, HandlesViewFrameAndItsInverse)
{
    const QRectF view = MRKOPill::handlesViewFrameWithRect(QRectF(100, 100, 50, 20));
    EXPECT_EQ(view, QRectF(90, 90, 70, 40));
    EXPECT_EQ(MRKOPill::handlesFrameFromHandlesViewFrame(view), QRectF(100, 100, 50, 20));
}

TEST_F(MRKOPillTest, HandleCentresOnTheFrame)
{
    const QRectF f(10, 20, 100, 40);
    const QPointF expected[] = {{0, 0},    {10, 60}, {60, 60}, {110, 60}, {10, 40},
                                {110, 40}, {10, 20}, {60, 20}, {110, 20}, {0, 0}};
    for (int n = 0; n <= 9; ++n)
        EXPECT_EQ(MRKOPill::handlePoint(static_cast<MRKOPillHandle>(n), f), expected[n]) << n;
}

TEST_F(MRKOPillTest, HandleHitSquareIncludesMinimumEdgesOnly)
{
    const MRKOPill pill = makePill();
    const QPointF c(50, 50);
    EXPECT_TRUE(pill.isHandleAtPoint(c, {44, 44}));
    EXPECT_FALSE(pill.isHandleAtPoint(c, {56, 50}));
    EXPECT_FALSE(pill.isHandleAtPoint(c, {50, 56}));
    EXPECT_TRUE(pill.isHandleAtPoint(c, {55.9, 55.9}));

    EXPECT_EQ(pill.handleAtPoint({2, 2}, QRectF(0, 0, 4, 4)), MRKOPillHandleLeftMiddle);
    EXPECT_EQ(pill.handleAtPoint({106, 60}, QRectF(0, 0, 100, 60)), MRKOPillHandleNone); // max edge excluded
    EXPECT_EQ(pill.handleAtPoint({105.9, 54}, QRectF(0, 0, 100, 60)), MRKOPillHandleTopRight);
    EXPECT_EQ(pill.handleAtPoint({50, 30}, QRectF(0, 0, 100, 60)), MRKOPillHandleNone);
}

struct ResizeRow
{
    const char *name;
    double thickness;
    MRKOPillHandle handle;
    QPointF to;
    QRectF expected;
};

void PrintTo(const ResizeRow &row, std::ostream *os)
{
    *os << row.name;
}

class MRKOPillResizeTest : public ObjectsFixture, public testing::WithParamInterface<ResizeRow>
{
};

TEST_P(MRKOPillResizeTest, BoxRuleKeepsTheSmallestSize)
{
    const ResizeRow &row = GetParam();
    MRKOPill pill(2, red(), blue(), 0, 0, row.thickness);
    EXPECT_EQ(pill.resizeRect(QRectF(100, 100, 50, 40), row.handle, row.to), row.expected);
}

// The rect (100, 100, 50, 40): right edge 150, top edge 140.
INSTANTIATE_TEST_SUITE_P(
    All, MRKOPillResizeTest,
    testing::ValuesIn(std::vector<ResizeRow>{
        {"BottomRightToTheLeftKeepsXAtMinimumWidth", 3.0, MRKOPillHandleBottomRight, {80, 90}, {100, 90, 10, 50}},
        {"TopLeftBelowTheBottomGivesMinimumHeight", 3.0, MRKOPillHandleTopLeft, {90, 80}, {90, 100, 60, 10}},
        {"ThickLineRaisesTheMinimum", 8.0, MRKOPillHandleRightMiddle, {105, 120}, {100, 100, 16, 40}},
        {"LeftEdgeClampsAgainstTheRight", 3.0, MRKOPillHandleLeftMiddle, {149, 120}, {140, 100, 10, 40}},
        {"LeftEdgeFollowsThePointer", 3.0, MRKOPillHandleBottomLeft, {60, 70}, {60, 70, 90, 70}},
        {"BottomClampReturnsAtOnce", 3.0, MRKOPillHandleBottomMiddle, {120, 139}, {100, 130, 50, 10}},
        {"TopMiddleMovesOnlyTheTop", 3.0, MRKOPillHandleTopMiddle, {0, 200}, {100, 100, 50, 100}},
        {"NoHandleKeepsTheRect", 3.0, MRKOPillHandleNone, {0, 0}, {100, 100, 50, 40}},
    }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MRKOPillTest, HandlesAreDrawnOnTheFrameOfTheViewBounds)
{
    const MRKOPill pill = makePill();
    const QRectF area(0, 0, 70, 40);
    const QImage image = render(area, [&](QPainter &painter) {
        const inkora::HandlesSurface view{QRectF(90, 90, 70, 40), 1.0, &painter};
        pill.drawHandlesInView(&view);
    });
    // White centres at the corners and mid-edges of (10, 10, 50, 20), nothing in the middle.
    for (QPointF p : {QPointF(10, 10), QPointF(35, 30), QPointF(60, 20), QPointF(60, 30)})
        EXPECT_EQ(colorAt(image, area, p), QColor(Qt::white)) << p.x() << ", " << p.y();
    EXPECT_EQ(colorAt(image, area, {22.5, 20}).alpha(), 0);
    pill.drawHandlesInView(nullptr); // no view: nothing to draw on
}

namespace {

// An arrow archive written by hand, with only the keys given.
class PartialArrow final : public platform::Archivable
{
public:
    QString archiveClassName() const override { return QStringLiteral("MRKOArrowPill"); }
    void encodeWithCoder(platform::KeyedArchiver &coder) const override
    {
        coder.encodeInt(1, QStringLiteral("toolType"));
        coder.encodePoint({0, 0}, QStringLiteral("startPoint"));
        coder.encodePoint({100, 0}, QStringLiteral("endPoint"));
        coder.encodeInt(1, QStringLiteral("arrowStyle"));
    }
};

std::shared_ptr<MRKOPill> decodedPill(const QByteArray &data)
{
    MRKOPill::registerArchiveClasses();
    return platform::KeyedUnarchiver::unarchivedObjectOfClass<MRKOPill>(QStringLiteral("MRKOPill"), data);
}

std::shared_ptr<MRKOPill> roundTrip(const MRKOPill &pill, QByteArray *archive = nullptr)
{
    const std::optional<QByteArray> data = platform::KeyedArchiver::archivedData(pill);
    if (!data)
        return nullptr;
    if (archive)
        *archive = *data;
    return decodedPill(*data);
}

} // namespace

TEST_F(MRKOPillTest, EveryKindSurvivesTheArchiveWithItsClassAndFields)
{
    MRKOArrowPill arrow(1, {10.25, 20}, {200, -30.5}, red(), blue(), 0, 3.5, 2);
    arrow.setInvert(true);
    arrow.setRoundedTip(true);
    arrow.setUseConstantHeadSize(true);
    arrow.setConstantHeadSize(42);
    arrow.setToolThickness(4);
    arrow.setArcArrowClockwise(true);
    arrow.setStartDirection(16 | 2);
    MRKORectanglePill ellipse(6, {1, 2, 30, 40}, red(), QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f), 1, 8 | 4, 2.0, true,
                              true);
    MRKOBrushPill brush;
    brush.setColor1(red());
    brush.setColor2(blue());
    MRKOTextPill text;
    text.setColor1(blue());
    text.setColor2(blue());
    const MRKOPill base(2, red(), blue(), 1, 4, 7.0);

    const std::vector<std::pair<const char *, MRKOPill *>> rows = {
        {"MRKOArrowPill", &arrow},
        {"MRKORectanglePill", &ellipse},
        {"MRKOBrushPill", &brush},
        {"MRKOTextPill", &text},
        {"MRKOPill", const_cast<MRKOPill *>(&base)},
    };
    for (const auto &[className, pill] : rows) {
        SCOPED_TRACE(className);
        pill->createPaths();
        const std::shared_ptr<MRKOPill> decoded = roundTrip(*pill);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->archiveClassName(), QString::fromLatin1(className));
        EXPECT_TRUE(decoded->isEqualToPill(pill));
        EXPECT_TRUE(pill->isEqualToPill(decoded.get()));
        EXPECT_EQ(decoded->startDirection(), pill->startDirection());
        EXPECT_EQ(decoded->path().has_value(), pill->path().has_value());
    }
    // Cubic-only geometry comes back exactly.
    const std::shared_ptr<MRKOPill> decodedEllipse = roundTrip(ellipse);
    EXPECT_EQ(*decodedEllipse->path(), *ellipse.path());
    EXPECT_EQ(*decodedEllipse->strokedPath(), *ellipse.strokedPath());
}

TEST_F(MRKOPillTest, ArchiveWritesTheSharedKeysAndNoKeysForMissingOrEmptyPaths)
{
    MRKOPill pill = makePill(8 | 2);
    QByteArray archive;
    ASSERT_TRUE(roundTrip(pill, &archive));
    QVariantMap keyed = archivedObject(archive, QStringLiteral("MRKOPill"));
    QStringList keys = keyed.keys();
    keys.sort();
    EXPECT_EQ(keys,
              (QStringList{"$class", "color1", "color2", "colorType", "startDirection", "thickness", "toolType"}));
    EXPECT_EQ(keyed.value(QStringLiteral("startDirection")).toLongLong(), 10);
    EXPECT_LT(referenceOf(keyed, QStringLiteral("color1")), referenceOf(keyed, QStringLiteral("color2")));

    pill.setPath(platform::Path());
    pill.setStrokedPath(square(0, 0, 3));
    const std::shared_ptr<MRKOPill> decoded = roundTrip(pill, &archive);
    keyed = archivedObject(archive, QStringLiteral("MRKOPill"));
    EXPECT_FALSE(keyed.contains(QStringLiteral("path")));
    EXPECT_GT(referenceOf(keyed, QStringLiteral("strokedPath")), referenceOf(keyed, QStringLiteral("color2")));
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded->path().has_value());
    EXPECT_EQ(*decoded->strokedPath(), square(0, 0, 3));
}

TEST_F(MRKOPillTest, ArrowArchiveHoldsItsKeysAndAMissingHeadRatioReadsZero)
{
    QByteArray archive;
    ASSERT_TRUE(roundTrip(MRKOArrowPill(1, {0, 0}, {1, 1}, red(), blue(), 0, 2, 0), &archive));
    QStringList keys = archivedObject(archive, QStringLiteral("MRKOArrowPill")).keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"$class", "arcArrowClockwise", "arrowStyle", "color1", "color2", "colorType",
                                 "constantHeadSize", "endPoint", "headRatio", "invert", "roundedEnds", "roundedTip",
                                 "startDirection", "startPoint", "thickness", "toolThickness", "toolType",
                                 "useConstantHeadSize", "useConstantWidth"}));

    const std::optional<QByteArray> partial = platform::KeyedArchiver::archivedData(PartialArrow());
    ASSERT_TRUE(partial);
    const auto arrow = std::dynamic_pointer_cast<MRKOArrowPill>(decodedPill(*partial));
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->headRatio(), 0.0); // not the new arrow's 0.33
    EXPECT_EQ(arrow->constantHeadSize(), 0.0);
    EXPECT_FALSE(arrow->color1().isValid());
    EXPECT_FALSE(arrow->path().has_value());
    EXPECT_EQ(arrow->endPoint(), QPointF(100, 0));
    arrow->createPaths();
    EXPECT_FALSE(fills(*arrow->strokedPath(), {50, 0.5})); // a head of length 0 shows nothing
}

TEST_F(MRKOPillTest, TextModelDecodesWithToolTypeThree)
{
    MRKOTextPill text;
    text.setToolType(1);
    const std::shared_ptr<MRKOPill> decoded = roundTrip(text);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->toolType(), 3u);
}

TEST_F(MRKOPillTest, ArchiveOfAnotherClassIsRefused)
{
    const std::optional<QByteArray> data = platform::KeyedArchiver::archivedData(makePill());
    ASSERT_TRUE(data);
    MRKOPill::registerArchiveClasses();
    log().expectWarning(QStringLiteral("MRKOPill"));
    EXPECT_EQ(platform::KeyedUnarchiver::unarchivedObjectOfClass<MRKOPill>(QStringLiteral("MRKOArrowPill"), *data),
              nullptr);
}
