#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKOFlashlightSmoothCache.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/Defaults.h"
#include "platform/Keys.h"
#include "platform/ShapeLayer.h"
#include "platform/fake/FakeRawInput.h"
#include "platform/fake/FakeSystemCursor.h"
#include "tests/canvas/CanvasFixture.h"

#include <QCursor>

#include <cmath>
#include <limits>

namespace {

const QPointF kNoPoint(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());

// Shown over a display that takes the mouse, outside ghost mode.
class ShownDelegate final : public AppDelegate
{
public:
    bool shown = true;
    bool ghost = false;
    [[nodiscard]] bool isActiveAndShown() const override { return shown; }
    [[nodiscard]] bool isPinnedOnTop() const override { return ghost; }
};

class MRKODrawFlashlightTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        MRKOUtils::setFlashLightRatio(1);
        live().flashlightRadius = 100;
        live().flashlightEdgeSmoothness = 0;
        live().flashlightRectShape = false;
        live().magnifyScale = 1;
        live().useMagnifying = true;
    }
    void TearDown() override
    {
        m_delegate.reset();
        CanvasFixture::TearDown();
    }

    static inkora::LiveSettings &live() { return inkora::liveSettings(); }

    RecordingCanvas &flashlightCanvas()
    {
        RecordingCanvas &canvas = makeCanvas(QSizeF(800, 600));
        EXPECT_TRUE(canvas.makeDarkOverlayWithEvent(nullptr));
        return canvas;
    }

    ShownDelegate &delegate()
    {
        if (!m_delegate)
            m_delegate = std::make_unique<ShownDelegate>();
        return *m_delegate;
    }

    static platform::Event scroll(double dy, bool precise, quint64 flags = 0)
    {
        platform::Event e;
        e.type = platform::EventType::ScrollWheel;
        e.modifierFlags = flags;
        e.hasPreciseScrollingDeltas = precise;
        e.deltaY = e.scrollingDeltaY = dy;
        return e;
    }

    // The event as the canvas's own window would deliver it.
    static platform::Event own(const MRKODraw &canvas, platform::Event e)
    {
        e.windowNumber = qint64(canvas.window()->winId()); // made on first use
        return e;
    }

private:
    std::unique_ptr<ShownDelegate> m_delegate;
};

TEST_F(MRKODrawFlashlightTest, SwitchesOnOnceWithAShadeMaskedByAnEvenOddHole)
{
    RecordingCanvas &canvas = flashlightCanvas();

    ASSERT_TRUE(canvas.hasDarkOverlay());
    EXPECT_FALSE(canvas.makeDarkOverlayWithEvent(nullptr)) << "already on";
    EXPECT_EQ(canvas.darkBack()->frame(), QRectF(0, 0, 800, 600));
    EXPECT_EQ(canvas.darkBack()->backgroundColor(), QColor::fromRgbF(0, 0, 0, 0.5));
    EXPECT_EQ(canvas.darkBack()->mask(), canvas.circleLayer());
    EXPECT_EQ(canvas.circleLayer()->fillRule(), platform::ShapeLayer::FillRule::EvenOdd);
    EXPECT_TRUE(canvas.darkBack()->animationForKey(QStringLiteral("flashlightFade")));
    EXPECT_FALSE(canvas.shouldDraw());

    canvas.removeDarkOverlay();
    EXPECT_FALSE(canvas.hasDarkOverlay());
    EXPECT_EQ(canvas.circleRect(), QRectF());
    EXPECT_TRUE(canvas.overlayRoot()->sublayers().empty());
}

TEST_F(MRKODrawFlashlightTest, ThicknessStepsKeepTheRadiusWithinFiftyAndFiveHundred)
{
    struct Row
    {
        const char *name;
        double radius;
        bool grow;
        std::vector<double> expected;
    };
    const std::vector<Row> rows = {
        {"GrowsToTheTop", 480, true, {500, 500}},
        {"ShrinksToTheBottom", 90, false, {50, 50}},
        {"StepsByFifty", 200, true, {250, 300}},
        {"AStoredRadiusOutOfRangeStartsFromItsBound", 9000, false, {450}},
    };
    RecordingCanvas &canvas = flashlightCanvas();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        live().flashlightRadius = row.radius;
        for (const double expected : row.expected) {
            EXPECT_TRUE(row.grow ? canvas.increaseFlashlightThickness() : canvas.decreaseFlashlightThickness());
            EXPECT_EQ(live().flashlightRadius, expected);
        }
    }
    EXPECT_EQ(MRKOUtils::userDefaults().doubleForKey(QStringLiteral("FlashLightRadius")), 450);
    canvas.removeDarkOverlay();
    EXPECT_FALSE(canvas.increaseFlashlightThickness()) << "only while on";
}

TEST_F(MRKODrawFlashlightTest, TheHoleFollowsRadiusAndRatio)
{
    RecordingCanvas &canvas = flashlightCanvas();
    MRKOUtils::setFlashLightRatio(2);
    canvas.showCircleAtPoint(QPointF(400, 300), kNoPoint, false);
    EXPECT_EQ(canvas.circleRect(), QRectF(350, 100, 100, 400));
    EXPECT_EQ(canvas.circlePoint(), QPointF(400, 300));

    // A stored ratio that maps below zero counts as 1; a NaN radius as 50.
    MRKOUtils::setFlashLightRatio(-3);
    live().flashlightRadius = std::nan("");
    canvas.showCircleAtPoint(QPointF(400, 300), kNoPoint, false);
    EXPECT_EQ(canvas.circleRect(), QRectF(350, 250, 100, 100));
    EXPECT_TRUE(std::isnan(live().flashlightRadius)) << "the stored value changes only when the flashlight stores it";
}

TEST_F(MRKODrawFlashlightTest, ASelectiveDragSpansFromThePressPointToThePointer)
{
    RecordingCanvas &canvas = flashlightCanvas();
    canvas.setSelectiveFlashlightFlag(true);
    canvas.showCircleAtPoint(QPointF(100, 100), QPointF(40, 160), false);
    EXPECT_EQ(canvas.circleRect(), QRectF(40, 100, 60, 60));
    const QPainterPath hole = canvas.circleLayer()->path();
    EXPECT_FALSE(hole.contains(QPointF(70, 130))) << "the hole, a rectangle, is cut out";
    EXPECT_FALSE(hole.contains(QPointF(41, 159))) << "corners too: no oval without the circle selection";
    EXPECT_TRUE(hole.contains(QPointF(300, 300)));
}

TEST_F(MRKODrawFlashlightTest, WithoutFeatherTheHoleIsAHardOval)
{
    MRKOUtils::userDefaults().setDouble(2, QStringLiteral("FlashLightEdgesSmoothness"));
    ShownDelegate &shell = delegate();
    shell.updateFlashlightEdgeSmoothness();
    EXPECT_EQ(live().flashlightEdgeSmoothness, 0) << "below 3 points counts as none";

    RecordingCanvas &canvas = flashlightCanvas();
    canvas.showCircleAtPoint(QPointF(400, 300), kNoPoint, false);
    EXPECT_FALSE(canvas.featherLayer());
    const QPainterPath mask = canvas.circleLayer()->path();
    EXPECT_FALSE(mask.contains(QPointF(400, 300)));
    EXPECT_TRUE(mask.contains(QPointF(305, 205))) << "outside the oval, inside its box";
}

TEST_F(MRKODrawFlashlightTest, AFeatherRoundsAWholePointRectangleHole)
{
    live().flashlightEdgeSmoothness = 20;
    RecordingCanvas &canvas = flashlightCanvas();
    canvas.showCircleAtPoint(QPointF(400.4, 300.6), kNoPoint, false);

    EXPECT_EQ(canvas.circleRect(), QRectF(300, 201, 200, 200)) << "edges on the nearest whole point";
    const QPainterPath mask = canvas.circleLayer()->path();
    EXPECT_FALSE(mask.contains(QPointF(302, 203))) << "the hole is the rectangle";
    ASSERT_TRUE(canvas.featherLayer());
    EXPECT_EQ(canvas.featherLayer()->frame(), canvas.circleRect());
    EXPECT_EQ(canvas.overlayRoot()->sublayers().back(), canvas.featherLayer()) << "right above the shade";
    EXPECT_TRUE(canvas.featherLayer()->animationForKey(QStringLiteral("featherLayerFade")));
}

TEST_F(MRKODrawFlashlightTest, FeatherImagesAreClearInsideAndShadeAtTheEdge)
{
    const QColor shade = QColor::fromRgbF(0, 0, 0, 0.5);
    const auto alphaAt = [](const QImage &image, QPointF point) { // points of a 1x image, y up
        return qAlpha(image.pixel(int(point.x()), image.height() - 1 - int(point.y())));
    };
    const QImage radial = ImageNamedWithColor::radialImageWithSize(QSizeF(100, 100), 20, shade);
    ASSERT_EQ(radial.size(), QSize(100, 100));
    EXPECT_EQ(alphaAt(radial, {50, 50}), 0);
    EXPECT_EQ(alphaAt(radial, {50 + 29, 50}), 0) << "clear within 30 points of the centre";
    EXPECT_GT(alphaAt(radial, {50 + 40, 50}), 0);
    EXPECT_EQ(alphaAt(radial, {2, 2}), 128) << "shade beyond 50";

    const QImage linear = ImageNamedWithColor::linearImageWithSize(QSizeF(100, 100), 20, shade);
    EXPECT_NEAR(alphaAt(linear, {0, 50}), 128, 4) << "shade at the edge";
    EXPECT_NEAR(alphaAt(linear, {50, 99}), 128, 4);
    EXPECT_EQ(alphaAt(linear, {21, 50}), 0) << "clear 20 points in";
    EXPECT_EQ(alphaAt(linear, {50, 50}), 0);
    EXPECT_GT(alphaAt(linear, {10, 50}), 0);
}

TEST_F(MRKODrawFlashlightTest, TheFeatherIsRemadeOnlyWhenShapeSmoothnessOrShadeChange)
{
    live().flashlightEdgeSmoothness = 20;
    auto &cache = MRKOFlashlightSmoothCache::sharedCache();
    RecordingCanvas &canvas = flashlightCanvas();
    const int made = cache.madeCount();
    const platform::ImagePtr first = canvas.featherLayer()->contents();

    canvas.showCircleAtPoint(QPointF(200, 200), kNoPoint, false);
    canvas.showCircleAtPoint(QPointF(210, 220), kNoPoint, false);
    EXPECT_EQ(cache.madeCount(), made) << "moving keeps the image";
    EXPECT_EQ(canvas.featherLayer()->contents(), first);

    live().flashlightEdgeSmoothness = 30;
    canvas.showCircleAtPoint(QPointF(210, 220), kNoPoint, false);
    EXPECT_EQ(cache.madeCount(), made + 1);
    live().flashlightRectShape = true;
    canvas.showCircleAtPoint(QPointF(210, 220), kNoPoint, false);
    EXPECT_EQ(cache.madeCount(), made + 2);
    MRKOUtils::userDefaults().setObject(QStringLiteral("1.000000+0.000000+0.000000+0.700000"),
                                        QStringLiteral("FlashlightBackgroundColor"));
    canvas.updateFlashlightColorIfNeeded();
    canvas.showCircleAtPoint(QPointF(210, 220), kNoPoint, false);
    EXPECT_EQ(cache.madeCount(), made + 3);
    EXPECT_EQ(canvas.darkBack()->backgroundColor().red(), 255);
}

TEST_F(MRKODrawFlashlightTest, MovingTheHoleRepaintsOldAndNewHoleOnly)
{
    RecordingCanvas &canvas = flashlightCanvas();
    canvas.showCircleAtPoint(QPointF(200, 200), kNoPoint, false);
    QRectF repainted;
    canvas.overlayRoot()->setDisplayObserver([&repainted](const QRectF &rect) { repainted |= rect; });

    canvas.showCircleAtPoint(QPointF(500, 400), kNoPoint, false);

    EXPECT_FALSE(repainted.isEmpty());
    EXPECT_TRUE(QRectF(98, 98, 504, 404).contains(repainted)) << "old and new hole with a margin, not the display";
}

TEST_F(MRKODrawFlashlightTest, TheCursorIsShownExactlyWhenTheFlashlightHidIt)
{
    live().flashlightHideCursor = true;
    RecordingCanvas &canvas = flashlightCanvas();
    EXPECT_TRUE(canvas.cursorHidden());
    live().flashlightHideCursor = false; // changed while on
    canvas.removeDarkOverlay();
    canvas.removeDarkOverlay();
    EXPECT_EQ(fakes().systemCursor->hideCount(), 1);
    EXPECT_EQ(fakes().systemCursor->showCount(), 1);

    RecordingCanvas &other = flashlightCanvas(); // hidden-cursor setting now off
    live().flashlightHideCursor = true;
    other.removeDarkOverlay();
    EXPECT_EQ(fakes().systemCursor->showCount(), 1) << "nothing was hidden";
    live().flashlightHideCursor = false;
}

TEST_F(MRKODrawFlashlightTest, ScrollAndPinchResizeTheHoleWithinBounds)
{
    RecordingCanvas &canvas = flashlightCanvas();
    canvas.handleGesture(own(canvas, scroll(10, true)));
    EXPECT_EQ(live().flashlightRadius, 105) << "precise dy 10: half of it";
    canvas.handleGesture(own(canvas, scroll(1, false)));
    EXPECT_EQ(live().flashlightRadius, 109) << "a wheel notch";

    live().useMagnifying = false;
    platform::Event pinch;
    pinch.type = platform::EventType::Magnify;
    pinch.magnification = 0.1;
    canvas.handleGesture(own(canvas, pinch));
    EXPECT_DOUBLE_EQ(live().flashlightRadius, 119);

    canvas.handleGesture(own(canvas, scroll(5000, true)));
    EXPECT_EQ(live().flashlightRadius, 500);
    pinch.magnification = std::nan("");
    canvas.handleGesture(own(canvas, pinch));
    EXPECT_EQ(live().flashlightRadius, 50) << "NaN";
    EXPECT_EQ(MRKOUtils::userDefaults().doubleForKey(QStringLiteral("FlashLightRadius")), 50) << "stored";

    platform::Event other = scroll(10, true);
    other.windowNumber = 4242;
    canvas.handleGesture(other);
    EXPECT_EQ(live().flashlightRadius, 50) << "events of another window are that window's";
}

TEST_F(MRKODrawFlashlightTest, OptionScrollScalesFasterAboveTwo)
{
    RecordingCanvas &canvas = flashlightCanvas();
    const auto stepAt = [&](double scale) {
        live().magnifyScale = scale;
        canvas.handleGesture(own(canvas, scroll(8, true, platform::kOptionFlag)));
        return live().magnifyScale - scale;
    };
    const double atTwo = stepAt(2);
    const double atFour = stepAt(4);
    EXPECT_GT(atTwo, 0);
    EXPECT_NEAR(atFour, 4 * atTwo, 1e-12);

    live().magnifyScale = 15.9;
    canvas.handleGesture(own(canvas, scroll(800, true, platform::kOptionFlag)));
    EXPECT_EQ(live().magnifyScale, 16);
    live().magnifyScale = std::nan("");
    canvas.handleGesture(own(canvas, scroll(1, true, platform::kOptionFlag)));
    EXPECT_GE(live().magnifyScale, 1) << "a NaN scale counts as 1";
    EXPECT_LE(live().magnifyScale, 1.1);
    canvas.removeDarkOverlay();
}

TEST_F(MRKODrawFlashlightTest, WithTheFlashlightOffTheScrollMovesTheRainbowHue)
{
    ShownDelegate &shell = delegate();
    RecordingCanvas &canvas = makeCanvas(QSizeF(800, 600));
    canvas.setColorType(0);
    live().hueByScroll = true;
    QCursor::setPos(canvas.mapToGlobal(QPoint(100, 100)));

    MRKODraw::setHue(0.5);
    canvas.handleGesture(own(canvas, scroll(10, true)));
    EXPECT_DOUBLE_EQ(MRKODraw::hue(), 0.5 - 0.0125);

    MRKODraw::setHue(0.005);
    canvas.handleGesture(own(canvas, scroll(10, true)));
    EXPECT_DOUBLE_EQ(MRKODraw::hue(), 0.005 - 0.0125 + 1) << "wrapped";

    shell.ghost = true; // in ghost mode only with the Function key
    canvas.handleGesture(own(canvas, scroll(10, true)));
    EXPECT_DOUBLE_EQ(MRKODraw::hue(), 0.005 - 0.0125 + 1);
    canvas.handleGesture(own(canvas, scroll(10, true, platform::kFunctionFlag)));
    EXPECT_DOUBLE_EQ(MRKODraw::hue(), 0.005 - 0.0125 * 2 + 1);
}

TEST_F(MRKODrawFlashlightTest, WheelNotchesFromElsewhereReachTheCanvasUnderThePointer)
{
    RecordingCanvas &canvas = flashlightCanvas();
    canvas.setUpGestureMonitorsIfNeeded();
    const QPointF inside = platform::pointFromQt(QPointF(canvas.mapToGlobal(QPoint(10, 10))));
    fakes().rawInput->postScroll(0, 1, inside);
    EXPECT_EQ(live().flashlightRadius, 104);
    fakes().rawInput->postScroll(0, 1, inside + QPointF(5000, 5000));
    EXPECT_EQ(live().flashlightRadius, 104) << "another display's";
    canvas.removeGestureMonitorsIfNeeded();
    fakes().rawInput->postScroll(0, 1, inside);
    EXPECT_EQ(live().flashlightRadius, 104);
}

} // namespace
