#include "app/LiveSettings.h"
#include "canvas/MRKOAnimation.h"
#include "canvas/MRKODraw.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOArrowPill.h"
#include "objects/MRKORectanglePill.h"
#include "platform/Event.h"
#include "tests/canvas/CanvasFixture.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QMatrix4x4>

#include <cmath>
#include <memory>

using platform::EventType;

namespace {

/// Keeps the model of the last drawn pointer step, as the release finds it.
class ShapeCanvas
{
public:
    explicit ShapeCanvas(RecordingCanvas &canvas) : m_canvas(canvas)
    {
        canvas.onDrawnDrag = [this](int) {
            pill = m_canvas.workingPill();
            pills.push_back(pill);
        };
    }
    std::shared_ptr<MRKOPill> pill;
    std::vector<std::shared_ptr<MRKOPill>> pills;

private:
    RecordingCanvas &m_canvas;
};

std::shared_ptr<MRKOArrowPill> asArrow(const std::shared_ptr<MRKOPill> &pill)
{
    return std::dynamic_pointer_cast<MRKOArrowPill>(pill);
}

std::shared_ptr<MRKORectanglePill> asRectangle(const std::shared_ptr<MRKOPill> &pill)
{
    return std::dynamic_pointer_cast<MRKORectanglePill>(pill);
}

} // namespace

class MRKODrawShapesTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
        MRKOToolColor::toolColor().setColor(red());
    }

    /// A canvas with the tool, in the custom colour red, 10 points wide.
    RecordingCanvas &makeShapeCanvas(quint64 toolType)
    {
        RecordingCanvas &canvas = makeCanvas(QSizeF(400, 400));
        canvas.setColorType(MRKOColorTypeCustom);
        canvas.setThickness(2);
        canvas.setToolType(toolType);
        return canvas;
    }

    /// Presses at `from`, drags to each point in turn with the flags, releases at the last one.
    static void drag(MRKODraw &canvas, QPointF from, std::initializer_list<QPointF> points, quint64 flags = 0)
    {
        QPointF last = from;
        for (QPointF p : points) {
            post(pointerEvent(EventType::LeftMouseDragged, p, flags));
            last = p;
        }
        post(pointerEvent(EventType::LeftMouseUp, last, flags));
        press(canvas, from, flags);
    }
};

TEST_F(MRKODrawShapesTest, ArrowDragKeepsOnlyTheLatestPictureAndItsModel)
{
    RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeArrow);
    ShapeCanvas shapes(canvas);
    QImage firstPicture;
    canvas.onDrawnDrag = [&, inner = canvas.onDrawnDrag](int n) {
        inner(n);
        if (n == 1)
            firstPicture = cacheImage(canvas);
    };

    drag(canvas, QPointF(100, 100), {QPointF(300, 100), QPointF(200, 200), QPointF(100, 300)});

    ASSERT_FALSE(firstPicture.isNull());
    EXPECT_EQ(cachePixel(canvas, firstPicture, QPointF(250, 100)), red()) << "the first picture: horizontal";
    const QImage &last = canvas.cacheAtFinalize;
    EXPECT_EQ(cachePixel(canvas, last, QPointF(250, 100)).alpha(), 0) << "earlier pictures are cleared";
    EXPECT_EQ(cachePixel(canvas, last, QPointF(150, 150)).alpha(), 0);
    EXPECT_EQ(cachePixel(canvas, last, QPointF(100, 200)), red());

    const auto arrow = asArrow(shapes.pill);
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->toolType(), quint64(MRKOToolTypeArrow));
    EXPECT_EQ(arrow->startPoint(), QPointF(100, 100));
    EXPECT_EQ(arrow->endPoint(), QPointF(100, 300));
    EXPECT_EQ(arrow->thickness(), 10.0);
    EXPECT_EQ(arrow->toolThickness(), 2u);
    EXPECT_EQ(arrow->color1(), red());
    // What was drawn is what finishing cuts.
    EXPECT_EQ(canvas.finalizedRect, canvas.prevRendRect());
    EXPECT_TRUE(canvas.finalizedRect.contains(QRectF(95, 100, 10, 200)));
}

TEST_F(MRKODrawShapesTest, OptionSwapsEachShapeToolForItsPartner)
{
    const struct
    {
        quint64 tool;
        quint64 flags;
        quint64 modelType;
    } rows[] = {
        {MRKOToolTypeArrow, 0, MRKOToolTypeArrow},
        {MRKOToolTypeArrow, platform::kOptionFlag, MRKOToolTypeLine},
        {MRKOToolTypeLine, 0, MRKOToolTypeLine},
        {MRKOToolTypeLine, platform::kOptionFlag, MRKOToolTypeArrow},
        {MRKOToolTypeRectangle, 0, MRKOToolTypeRectangle},
        {MRKOToolTypeRectangle, platform::kOptionFlag, MRKOToolTypeEllipse},
        {MRKOToolTypeEllipse, 0, MRKOToolTypeEllipse},
        {MRKOToolTypeEllipse, platform::kOptionFlag, MRKOToolTypeRectangle},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "tool " << row.tool << " flags " << row.flags);
        RecordingCanvas &canvas = makeShapeCanvas(row.tool);
        ShapeCanvas shapes(canvas);
        drag(canvas, QPointF(100, 100), {QPointF(200, 150), QPointF(250, 180)}, row.flags);
        ASSERT_TRUE(shapes.pill);
        EXPECT_EQ(shapes.pill->toolType(), row.modelType);
        EXPECT_FALSE(isTransparent(canvas.cacheAtFinalize));
    }
}

TEST_F(MRKODrawShapesTest, ReleasingOptionMidDragBringsTheArrowBackFromThePressPoint)
{
    RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeArrow);
    ShapeCanvas shapes(canvas);
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(200, 120), platform::kOptionFlag));
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(250, 140), platform::kOptionFlag));
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(300, 160)));
    post(pointerEvent(EventType::LeftMouseUp, QPointF(300, 160)));
    press(canvas, QPointF(100, 100));

    ASSERT_EQ(shapes.pills.size(), 3u);
    EXPECT_EQ(shapes.pills[1]->toolType(), quint64(MRKOToolTypeLine));
    const auto arrow = asArrow(shapes.pills[2]);
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->toolType(), quint64(MRKOToolTypeArrow));
    EXPECT_EQ(arrow->startPoint(), QPointF(100, 100));
    EXPECT_EQ(arrow->endPoint(), QPointF(300, 160));
}

TEST_F(MRKODrawShapesTest, ShiftStraightensArrowsAndLines)
{
    const struct
    {
        const char *name;
        quint64 tool;
        QPointF end;
        QPointF straightened;
    } rows[] = {
        {"fortyFiveDegreesIsHorizontal", MRKOToolTypeArrow, QPointF(200, 200), QPointF(200, 100)},
        {"shallowIsHorizontal", MRKOToolTypeLine, QPointF(40, 130), QPointF(40, 100)},
        {"steepIsVertical", MRKOToolTypeArrow, QPointF(150, 251), QPointF(100, 251)},
        {"downwardsIsVertical", MRKOToolTypeLine, QPointF(90, 20), QPointF(100, 20)},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RecordingCanvas &canvas = makeShapeCanvas(row.tool);
        ShapeCanvas shapes(canvas);
        drag(canvas, QPointF(100, 100), {row.end}, platform::kShiftFlag);
        const auto arrow = asArrow(shapes.pill);
        ASSERT_TRUE(arrow);
        EXPECT_EQ(arrow->startPoint(), QPointF(100, 100));
        EXPECT_EQ(arrow->endPoint(), row.straightened);
    }
}

TEST_F(MRKODrawShapesTest, RectangleAndEllipseModelsFollowTheDrag)
{
    const struct
    {
        const char *name;
        quint64 tool;
        QPointF end;
        quint64 flags;
        QRectF rect;
        quint64 direction;
    } rows[] = {
        {"downRight", MRKOToolTypeRectangle, QPointF(260.4, 150.6), 0, QRectF(200, 150, 61, 50),
         MRKOStartDirectionLeft | MRKOStartDirectionTop},
        {"upLeft", MRKOToolTypeRectangle, QPointF(150, 280), 0, QRectF(150, 200, 50, 80),
         MRKOStartDirectionRight | MRKOStartDirectionBottom},
        {"shiftUpLeftIsSquareFromThePress", MRKOToolTypeRectangle, QPointF(150, 280), platform::kShiftFlag,
         QRectF(120, 200, 80, 80), MRKOStartDirectionRight | MRKOStartDirectionBottom},
        {"shiftDownRightIsSquare", MRKOToolTypeEllipse, QPointF(230, 100), platform::kShiftFlag,
         QRectF(200, 100, 100, 100), MRKOStartDirectionLeft | MRKOStartDirectionTop},
        {"flatEllipseIsTwoPointsHigh", MRKOToolTypeEllipse, QPointF(300, 200), 0, QRectF(200, 200, 100, 2),
         MRKOStartDirectionLeft | MRKOStartDirectionBottom},
        {"controlFills", MRKOToolTypeRectangle, QPointF(300, 300), platform::kControlFlag, QRectF(200, 200, 100, 100),
         MRKOStartDirectionLeft | MRKOStartDirectionBottom},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RecordingCanvas &canvas = makeShapeCanvas(row.tool);
        ShapeCanvas shapes(canvas);
        drag(canvas, QPointF(200, 200), {row.end}, row.flags);
        const auto rectangle = asRectangle(shapes.pill);
        ASSERT_TRUE(rectangle);
        EXPECT_EQ(rectangle->toolType(), row.tool);
        EXPECT_EQ(rectangle->rect(), row.rect);
        EXPECT_EQ(rectangle->startDirection(), row.direction);
        EXPECT_EQ(rectangle->filled(), row.flags == platform::kControlFlag);
        EXPECT_FALSE(isTransparent(canvas.cacheAtFinalize));
    }
}

TEST_F(MRKODrawShapesTest, RectangleCornersAreRoundUnlessSharpRectangleIsOn)
{
    for (const bool sharp : {false, true}) {
        SCOPED_TRACE(sharp);
        inkora::liveSettings().sharpRectangle = sharp;
        RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeRectangle);
        ShapeCanvas shapes(canvas);
        drag(canvas, QPointF(100, 100), {QPointF(300, 250)});
        const auto rectangle = asRectangle(shapes.pill);
        ASSERT_TRUE(rectangle);
        EXPECT_EQ(rectangle->sharpCorners(), sharp);
        const QImage &cache = canvas.cacheAtFinalize;
        // The outer corner of a 10-point outline: painted only when the corners are sharp.
        EXPECT_EQ(cachePixel(canvas, cache, QPointF(98, 98)).alpha() != 0, sharp);
        EXPECT_EQ(cachePixel(canvas, cache, QPointF(200, 100)), red()) << "the straight edges either way";
    }
}

TEST_F(MRKODrawShapesTest, ArcArrowBendsTheWayThePointerTurnedAndKeepsItOnStraightStretches)
{
    inkora::liveSettings().arrowStyle = MRKOArrowStyleCurved;
    const struct
    {
        const char *name;
        QPointF turnTo;
        bool clockwise;
    } rows[] = {{"turnUp", QPointF(300, 200), true}, {"turnDown", QPointF(300, 20), false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeArrow);
        ShapeCanvas shapes(canvas);
        // Then a nudge of 1 point over 200 turns by 0.005 rad, below what changes the side.
        const QPointF nudge = row.turnTo + QPointF(1, 0);
        drag(canvas, QPointF(100, 100), {QPointF(300, 100), row.turnTo, nudge});
        ASSERT_EQ(shapes.pills.size(), 3u);
        EXPECT_EQ(asArrow(shapes.pills[1])->arcArrowClockwise(), row.clockwise);
        EXPECT_EQ(asArrow(shapes.pills[2])->arcArrowClockwise(), row.clockwise);
        EXPECT_EQ(asArrow(shapes.pills[2])->arrowStyle(), MRKOArrowStyleCurved);
    }
}

TEST_F(MRKODrawShapesTest, ArrowModelCarriesTheArrowSettings)
{
    inkora::LiveSettings &live = inkora::liveSettings();
    live.arrowStyle = MRKOArrowStyleTaperedBar;
    live.invertArrowDrawing = true;
    live.arrowRoundedTip = false;
    live.arrowRoundedEnds = false;
    live.arrowHeadRatio = 0.5;
    live.constantArrowWidth = true;
    live.useConstantArrowHeadSize = true;
    live.constantArrowHeadSize = 42;
    RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeArrow);
    ShapeCanvas shapes(canvas);
    drag(canvas, QPointF(100, 100), {QPointF(300, 200)});

    const auto arrow = asArrow(shapes.pill);
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->arrowStyle(), MRKOArrowStyleTaperedBar);
    EXPECT_TRUE(arrow->invert());
    EXPECT_FALSE(arrow->roundedTip());
    EXPECT_FALSE(arrow->roundedEnds());
    EXPECT_EQ(arrow->headRatio(), 0.5);
    EXPECT_TRUE(arrow->useConstantWidth());
    EXPECT_TRUE(arrow->useConstantHeadSize());
    EXPECT_EQ(arrow->constantHeadSize(), 42.0);
}

TEST_F(MRKODrawShapesTest, PreviewSpringsOutOfItsStartThenFadesAndIsRemoved)
{
    struct PreviewCanvas : RecordingCanvas
    {
        using RecordingCanvas::RecordingCanvas;
        int ended = 0;
        void allAnimationsDidEnd() override { ++ended; }
    };
    auto view = std::make_unique<QWidget>();
    view->resize(400, 400);
    auto *canvas = new PreviewCanvas(QRectF(0, 0, 400, 400), 1.0, view.get()); // child of the view
    canvas->setColorType(MRKOColorTypeCustom);
    canvas->setToolType(MRKOToolTypeArrow);
    canvas->setArrowShowing(true);

    canvas->showFromPoint(QPointF(100, 100), QPointF(300, 200), true);

    const auto &sublayers = canvas->layersContainer()->sublayers();
    ASSERT_EQ(sublayers.size(), 1u);
    const platform::LayerPtr layer = sublayers.front();
    const auto arrow = asArrow(OpaqueContent::pill(*layer));
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->startPoint(), QPointF(100, 100));
    EXPECT_EQ(layer->zPosition(), -1.0);
    EXPECT_EQ(layer->frame(), canvas->currentRect());
    const QRectF frame = layer->frame();
    EXPECT_NEAR(layer->position().x(), 100, 1e-9) << "anchored at the start point";
    EXPECT_NEAR(layer->position().y(), 100, 1e-9);
    EXPECT_TRUE(isTransparent(cacheImage(*canvas))) << "the picture moved into the layer";
    EXPECT_FALSE(canvas->arrowIsShowing());
    EXPECT_EQ(canvas->toolType(), quint64(MRKOToolTypeBrush));
    EXPECT_FALSE(canvas->workingPill());

    drainMainQueue();
    EXPECT_NEAR(layer->presentationTransform()(0, 0), 0.0, 1e-6) << "starts at scale 0";
    advance(0.4);
    EXPECT_GT(layer->presentationTransform()(0, 0), 1.0) << "overshoots halfway";
    advance(0.4);
    EXPECT_NEAR(layer->presentationTransform()(0, 0), 1.0, 0.01) << "settles near 1";
    EXPECT_EQ(layer->frame(), frame);
    EXPECT_NEAR(layer->presentationOpacity(), 1.0, 1e-9);
    advance(0.75);
    EXPECT_NEAR(layer->presentationOpacity(), 0.5, 0.05);
    EXPECT_EQ(canvas->ended, 0);
    advance(0.8);
    EXPECT_TRUE(canvas->layersContainer()->sublayers().empty());
    EXPECT_EQ(canvas->ended, 1);
}

TEST_F(MRKODrawShapesTest, PreviewWithoutClearingStaysAsADrawing)
{
    RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeRectangle);
    canvas.showFromPoint(QPointF(100, 100), QPointF(200, 50), false);
    advance(5);
    const auto &sublayers = canvas.layersContainer()->sublayers();
    ASSERT_EQ(sublayers.size(), 1u);
    EXPECT_TRUE(asRectangle(OpaqueContent::pill(*sublayers.front())));
    EXPECT_EQ(sublayers.front()->presentationOpacity(), 1.0);
    EXPECT_EQ(canvas.toolType(), quint64(MRKOToolTypeRectangle));
}

TEST_F(MRKODrawShapesTest, StyleShowFansFiveArrowsAndKeepsTheStyleSetting)
{
    inkora::liveSettings().arrowStyle = MRKOArrowStyleStraightBar;
    RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeArrow);
    canvas.showArrowStyles();

    const auto &sublayers = canvas.layersContainer()->sublayers();
    ASSERT_EQ(sublayers.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const auto arrow = asArrow(OpaqueContent::pill(*sublayers[size_t(i)]));
        ASSERT_TRUE(arrow);
        EXPECT_EQ(arrow->arrowStyle(), i);
        EXPECT_NEAR(arrow->startPoint().x(), canvas.ellipticPointForItemAtIndex(i).x(), 1e-4);
        EXPECT_NEAR(arrow->startPoint().y(), canvas.ellipticPointForItemAtIndex(i).y(), 1e-4);
    }
    EXPECT_EQ(inkora::liveSettings().arrowStyle, MRKOArrowStyleStraightBar);
    // Index 0 lies left of the centre, index 2 straight above it (y up), on an ellipse of 0.375 x 0.25 height.
    EXPECT_NEAR(canvas.ellipticPointForItemAtIndex(0).x(), 200 - 150, 1e-9);
    EXPECT_NEAR(canvas.ellipticPointForItemAtIndex(0).y(), 200, 1e-9);
    EXPECT_NEAR(canvas.ellipticPointForItemAtIndex(2).x(), 200, 1e-9);
    EXPECT_NEAR(canvas.ellipticPointForItemAtIndex(2).y(), 300, 1e-9);
}

TEST_F(MRKODrawShapesTest, ToolChangeMidDragClearsThePictureAndDrawsTheNewTool)
{
    RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeArrow);
    ShapeCanvas shapes(canvas);
    QImage afterChange;
    canvas.onDrawnDrag = [&, inner = canvas.onDrawnDrag](int n) {
        inner(n);
        if (n == 1)
            canvas.setToolType(MRKOToolTypeRectangle);
        if (n == 2)
            afterChange = cacheImage(canvas);
    };
    drag(canvas, QPointF(100, 100), {QPointF(300, 100), QPointF(310, 110)});

    ASSERT_EQ(shapes.pills.size(), 2u);
    EXPECT_TRUE(asArrow(shapes.pills[0]));
    EXPECT_TRUE(asRectangle(shapes.pills[1]));
    ASSERT_FALSE(afterChange.isNull());
    EXPECT_EQ(cachePixel(canvas, afterChange, QPointF(200, 100)).alpha(), 0) << "the arrow is gone";
}

TEST_F(MRKODrawShapesTest, AnimatedSampleDrawsAlongACurveAndFinishesAsADrawing)
{
    RecordingCanvas &canvas = makeShapeCanvas(MRKOToolTypeArrow);
    MRKOAnimation animation(&canvas, QPointF(100, 100), QPointF(300, 300));
    animation.startAnimation();
    advance(0.2);
    const auto halfway = asArrow(canvas.workingPill());
    ASSERT_TRUE(halfway);
    EXPECT_EQ(halfway->startPoint(), QPointF(100, 100));
    // Halfway in time the eased value is 0.5: x half way, y a quarter.
    EXPECT_NEAR(halfway->endPoint().x(), 200, 4);
    EXPECT_NEAR(halfway->endPoint().y(), 150, 4);
    EXPECT_EQ(canvas.finalizeCalls, 0);

    advance(0.25);
    EXPECT_FALSE(animation.isAnimating());
    EXPECT_EQ(canvas.finalizeCalls, 1);
    EXPECT_FALSE(isTransparent(canvas.cacheAtFinalize));
    EXPECT_TRUE(canvas.finalizedRect.contains(QPointF(295, 295)));
    EXPECT_EQ(canvas.toolType(), quint64(MRKOToolTypeBrush));
}
