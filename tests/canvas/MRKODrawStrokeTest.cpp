#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/HueWrap.h"
#include "canvas/MRKODraw.h"
#include "foundation/ActionTarget.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/Keys.h"
#include "platform/ShapeLayer.h"
#include "platform/fake/FakeClock.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "tests/canvas/CanvasFixture.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QCoreApplication>
#include <QLineF>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>

using platform::EventType;

class MRKODrawStrokeTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
        MRKOToolColor::toolColor().setColor(red());
    }

    /// A brush canvas in the custom colour red, at thickness preset 3 (15 points).
    RecordingCanvas &makeBrushCanvas(double scale = 1.0)
    {
        RecordingCanvas &canvas = makeCanvas(QSizeF(400, 400), scale);
        canvas.setColorType(MRKOColorTypeCustom);
        canvas.setThickness(3);
        canvas.setToolType(MRKOToolTypeBrush);
        return canvas;
    }
};

TEST_F(MRKODrawStrokeTest, ABrushDragPaintsTheDiagonalRedAndNothingBesideIt)
{
    RecordingCanvas &canvas = makeBrushCanvas(2.0);
    QImage during;
    canvas.onDrawnDrag = [&](int) { during = cacheImage(canvas); };
    postDrags(QPointF(100, 100), QPointF(300, 300), 20);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(300, 300)));

    press(canvas, QPointF(100, 100));

    ASSERT_FALSE(during.isNull());
    for (double t : {120.0, 150.0, 200.0, 250.0})
        EXPECT_EQ(cachePixel(canvas, during, QPointF(t, t)), red()) << t;
    // 20 points off the diagonal, either side.
    const double off = 20 / std::sqrt(2.0);
    EXPECT_EQ(cachePixel(canvas, during, QPointF(200 + off, 200 - off)).alpha(), 0);
    EXPECT_EQ(cachePixel(canvas, during, QPointF(200 - off, 200 + off)).alpha(), 0);
    EXPECT_EQ(canvas.finalizeCalls, 1);
    EXPECT_TRUE(isTransparent(cacheImage(canvas))) << "the cache is left empty for the next stroke";
}

TEST_F(MRKODrawStrokeTest, TheFirstSegmentWaitsForTheFourthPointerStep)
{
    const struct
    {
        int steps;
        bool drawn;
    } rows[] = {{1, false}, {3, false}, {4, true}, {6, true}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.steps);
        RecordingCanvas &canvas = makeBrushCanvas();
        QImage lastStep;
        canvas.onDrawnDrag = [&](int) { lastStep = cacheImage(canvas); };
        postDrags(QPointF(100, 100), QPointF(100 + 10 * row.steps, 100), row.steps);
        post(pointerEvent(EventType::LeftMouseUp, QPointF(100 + 10 * row.steps, 100)));

        press(canvas, QPointF(100, 100));

        ASSERT_FALSE(lastStep.isNull());
        EXPECT_EQ(!isTransparent(lastStep), row.drawn);
        // The release draws what a short stroke collected.
        EXPECT_FALSE(isTransparent(canvas.cacheAtFinalize));
    }
}

TEST_F(MRKODrawStrokeTest, AClickIsNoStrokeAndShowsTheClickHighlight)
{
    RecordingCanvas &canvas = makeBrushCanvas();
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(101.5, 100)));
    post(pointerEvent(EventType::LeftMouseUp, QPointF(101.5, 100)));

    press(canvas, QPointF(100, 100));

    EXPECT_FALSE(canvas.isMouseDraggedEnough());
    EXPECT_EQ(canvas.finalizeCalls, 0);
    EXPECT_EQ(canvas.blinks, 1);
    EXPECT_FALSE(canvas.drawingInProgress());
}

TEST_F(MRKODrawStrokeTest, DragThresholdIsTwoPointsOrOneForBrushDots)
{
    const struct
    {
        const char *name;
        qint64 splashMethod;
        double distance;
        bool dragged;
    } rows[] = {{"twoIsNotEnough", 0, 2.0, false},
                {"justOverTwo", 0, 2.01, true},
                {"dotsCountOneAndAHalf", 2, 1.5, true},
                {"dotsNotOne", 2, 1.0, false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        inkora::liveSettings().splashMethod = row.splashMethod;
        RecordingCanvas &canvas = makeBrushCanvas();
        post(pointerEvent(EventType::LeftMouseDragged, QPointF(100 + row.distance, 100)));
        post(pointerEvent(EventType::LeftMouseUp, QPointF(100 + row.distance, 100)));

        press(canvas, QPointF(100, 100));

        EXPECT_EQ(canvas.isMouseDraggedEnough(), row.dragged);
    }
}

TEST_F(MRKODrawStrokeTest, SpaceCarriesTheStrokeOnlyAfterElevenDrawnDrags)
{
    RecordingCanvas &canvas = makeBrushCanvas();
    QRectF rectAfterEleven;
    canvas.onDrawnDrag = [&](int n) {
        if (n == 11)
            rectAfterEleven = canvas.currentRect();
    };
    post(keyEvent(EventType::KeyDown, platform::kKeySpace));
    postDrags(QPointF(100, 100), QPointF(210, 100), 11); // drawn, although Space is down
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(210, 120)));
    postDrags(QPointF(210, 120), QPointF(210, 180.5), 3); // carried 60.5 points up
    post(pointerEvent(EventType::LeftMouseUp, QPointF(210, 180.5)));

    press(canvas, QPointF(100, 100));

    EXPECT_EQ(canvas.drawnDrags, 11);
    ASSERT_TRUE(canvas.finalizedLayer) << "the stroke ends as the layer that carried it";
    const QRectF cut = platform::alignedRect(rectAfterEleven, platform::EdgeAlignment::Outward);
    // Dropped onto whole points: 60.5 points up becomes 60.
    EXPECT_EQ(canvas.finalizedLayer->frame(), cut.translated(0, 60));
    EXPECT_EQ(canvas.finalizedRect.topLeft(), rectAfterEleven.topLeft() + QPointF(0, 60));
    EXPECT_TRUE(isTransparent(canvas.cacheAtFinalize)) << "the carried stroke left the cache";
}

TEST_F(MRKODrawStrokeTest, ReleasingSpaceDropsTheCarriedStrokeBackIntoTheCache)
{
    RecordingCanvas &canvas = makeBrushCanvas();
    postDrags(QPointF(100, 100), QPointF(210, 100), 11);
    post(keyEvent(EventType::KeyDown, platform::kKeySpace));
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(210, 100)));
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(210, 200)));
    post(keyEvent(EventType::KeyUp, platform::kKeySpace));
    postDrags(QPointF(210, 200), QPointF(260, 200), 5); // drawn again
    post(pointerEvent(EventType::LeftMouseUp, QPointF(260, 200)));

    press(canvas, QPointF(100, 100));

    EXPECT_EQ(canvas.drawnDrags, 16);
    EXPECT_FALSE(canvas.finalizedLayer);
    const QImage &cache = canvas.cacheAtFinalize;
    EXPECT_EQ(cachePixel(canvas, cache, QPointF(150, 200)), red()) << "the first part, carried up 100 points";
    EXPECT_EQ(cachePixel(canvas, cache, QPointF(150, 100)).alpha(), 0);
    EXPECT_EQ(cachePixel(canvas, cache, QPointF(240, 200)), red()) << "drawn after the drop";
}

TEST_F(MRKODrawStrokeTest, EscapeEndsTheStrokeAndTheRestOfTheGestureIsDropped)
{
    RecordingCanvas &canvas = makeBrushCanvas();
    postDrags(QPointF(100, 100), QPointF(150, 100), 5);
    post(keyEvent(EventType::KeyDown, platform::kKeyEscape));
    postDrags(QPointF(150, 100), QPointF(200, 100), 5);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(200, 100)));

    press(canvas, QPointF(100, 100));

    EXPECT_EQ(canvas.drawnDrags, 5);
    EXPECT_EQ(canvas.finalizeCalls, 1);
    EXPECT_EQ(platform::EventQueue::shared().count(), 0u);
    EXPECT_FALSE(canvas.drawingInProgress());
}

TEST_F(MRKODrawStrokeTest, PointerSpeedMovesTheRainbowHue)
{
    // The fake clock stands still, so every drag comes in no time.
    const struct
    {
        const char *name;
        QPointF second;
        double step;
    } rows[] = {
        {"distanceInNoTimeIsFullSpeed", QPointF(110, 100), 0.0025},
        {"noDistanceInNoTimeLeavesTheHue", QPointF(105, 100), 0.0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RecordingCanvas &canvas = makeBrushCanvas();
        canvas.setColorType(MRKOColorTypeRainbow);
        MRKODraw::setHue(0.5);
        std::vector<double> hues;
        canvas.onDrawnDrag = [&](int) { hues.push_back(MRKODraw::hue()); };
        post(pointerEvent(EventType::LeftMouseDragged, QPointF(105, 100)));
        post(pointerEvent(EventType::LeftMouseDragged, row.second));
        post(pointerEvent(EventType::LeftMouseUp, row.second));

        press(canvas, QPointF(100, 100));

        ASSERT_EQ(hues.size(), 2u);
        EXPECT_DOUBLE_EQ(hues[0], 0.5025);
        EXPECT_DOUBLE_EQ(hues[1], 0.5025 + row.step);
    }
}

TEST_F(MRKODrawStrokeTest, PressingWithTheTextToolStepsTheRainbowHue)
{
    inkora::liveSettings().textOnClick = false;
    const struct
    {
        double before;
        double during;
    } rows[] = {{0.5, 0.55}, {0.98, 0.03}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.before);
        RecordingCanvas &canvas = makeCanvas();
        canvas.setToolType(MRKOToolTypeText);
        canvas.setColorType(MRKOColorTypeRainbow);
        MRKODraw::setHue(row.before);
        post(pointerEvent(EventType::LeftMouseUp, QPointF(100, 100)));

        press(canvas, QPointF(100, 100));

        EXPECT_NEAR(canvas.hueAtBlink, row.during, 1e-12);
        EXPECT_EQ(canvas.mouseDownHue(), row.before);
    }
}

TEST_F(MRKODrawStrokeTest, HueWrapsIntoRangeButKeepsOne)
{
    EXPECT_NEAR(inkora::wrapHue(1.03), 0.03, 1e-12);
    EXPECT_NEAR(inkora::wrapHue(-0.25), 0.75, 1e-12);
    EXPECT_EQ(inkora::wrapHue(1.0), 1.0);
    EXPECT_EQ(inkora::wrapHue(std::nan("")), 0.0);
}

TEST_F(MRKODrawStrokeTest, TheQuickArrowHeadFollowsTheStrokeAndIsBurntInAtTheEnd)
{
    inkora::liveSettings().quickArrowHeadStyle = 1; // straight sides, so their pixels can be known
    RecordingCanvas &canvas = makeBrushCanvas();
    canvas.setToolType(MRKOToolTypeQuickArrow);
    QPointF tip, newest;
    canvas.onDrawnDrag = [&](int) {
        if (canvas.arrowOverlay() && canvas.pointIndex() == 1) { // a segment was just drawn
            tip = canvas.arrowOverlay()->affineTransform().map(QPointF(0, 0));
            newest = canvas.pointBatch()[1];
        }
    };
    postDrags(QPointF(100, 200), QPointF(300, 200), 20);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(300, 200)));

    press(canvas, QPointF(100, 200));

    EXPECT_EQ(tip, newest) << "the tip sits at the newest point of the last segment";
    EXPECT_EQ(tip, QPointF(290, 200));
    EXPECT_FALSE(canvas.arrowOverlay()) << "the head layer goes at the end of the stroke";
    // The sides open 30 to 37 degrees behind the tip, pointing along the stroke; 30 points back along them lies
    // well outside the 15-point stroke.
    const QImage &cache = canvas.cacheAtFinalize;
    EXPECT_EQ(cachePixel(canvas, cache, QPointF(263.2, 213.4)).alpha(), 255);
    EXPECT_EQ(cachePixel(canvas, cache, QPointF(263.2, 186.6)).alpha(), 255);
    EXPECT_EQ(cachePixel(canvas, cache, QPointF(310, 212)).alpha(), 0);
}

TEST_F(MRKODrawStrokeTest, ABrushShowsTheHeadOnlyWithOption)
{
    for (bool option : {false, true}) {
        SCOPED_TRACE(option);
        RecordingCanvas &canvas = makeBrushCanvas();
        bool head = false;
        canvas.onDrawnDrag = [&](int) { head = head || canvas.arrowOverlay() != nullptr; };
        postDrags(QPointF(100, 200), QPointF(200, 200), 10, option ? quint64(platform::kOptionFlag) : 0);
        post(pointerEvent(EventType::LeftMouseUp, QPointF(200, 200)));

        press(canvas, QPointF(100, 200));

        EXPECT_EQ(head, option);
    }
}

TEST_F(MRKODrawStrokeTest, AMovedStrokeIsCarriedByALayerAndReturnsOntoWholePoints)
{
    RecordingCanvas &canvas = makeBrushCanvas(2.0);
    postDrags(QPointF(100, 100), QPointF(200, 100), 10);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(200, 100)));
    canvas.onDrawnDrag = [&](int n) {
        if (n != 10)
            return;
        const QRectF before = canvas.currentRect();
        platform::LayerPtr medium = canvas.makeMediumLayer();
        EXPECT_EQ(medium->superlayer(), &canvas.viewLayer());
        EXPECT_EQ(medium->zPosition(), -1);
        EXPECT_EQ(medium->frame(), platform::alignedRect(before, platform::EdgeAlignment::Outward));
        EXPECT_TRUE(isTransparent(cacheImage(canvas)));

        const QRectF moved = medium->frame().translated(10.25, 20.75);
        canvas.translateDrawOriginsUsingDelta(10.25, 20.75);
        canvas.adoptMoveLayerToPixelGrid(moved, medium);
        EXPECT_EQ(medium->frame().topLeft(), medium->frame().topLeft().toPoint());
        EXPECT_EQ(medium->frame().topLeft(), QPointF(std::floor(moved.x()), std::floor(moved.y())));
        EXPECT_EQ(canvas.currentRect().topLeft(), before.topLeft() + QPointF(10, 20));

        canvas.renderMediumLayer(medium);
        EXPECT_EQ(cachePixel(canvas, cacheImage(canvas), QPointF(160, 120)), red());
        EXPECT_FALSE(canvas.moveClipping());
    };

    press(canvas, QPointF(100, 100));

    EXPECT_EQ(canvas.drawnDrags, 10);
}

TEST_F(MRKODrawStrokeTest, ThePartOfAMovedStrokeBeyondTheCacheIsKept)
{
    RecordingCanvas &canvas = makeBrushCanvas();
    postDrags(QPointF(300, 100), QPointF(390, 100), 9);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(390, 100)));
    canvas.onDrawnDrag = [&](int n) {
        if (n != 9)
            return;
        platform::LayerPtr medium = canvas.makeMediumLayer();
        // 150 points right: past the cache's edge at x 500.
        canvas.translateDrawOriginsUsingDelta(150, 0);
        canvas.adoptMoveLayerToPixelGrid(medium->frame().translated(150, 0), medium);
        canvas.renderMediumLayer(medium);

        ASSERT_EQ(canvas.moveClipping(), medium);
        const QImage kept = *medium->contents();
        const double scale = kept.width() / medium->frame().width();
        auto alphaAt = [&](double x) {
            const int column = int((x - medium->frame().x()) * scale);
            return qAlpha(kept.pixel(column, kept.height() / 2));
        };
        EXPECT_EQ(alphaAt(495), 0) << "inside the cache it was rendered back and cleared from the layer";
        EXPECT_EQ(alphaAt(510), 255) << "beyond the cache it stays in the layer";
        EXPECT_EQ(cachePixel(canvas, cacheImage(canvas), QPointF(495, 100)), red());
    };

    press(canvas, QPointF(300, 100));
}

TEST_F(MRKODrawStrokeTest, QtInputReachesTheCanvasAndIsQueuedWhileAPressRuns)
{
    // The canvas sits 40 points in from the left and 10 from the top of a taller window.
    QWidget window;
    window.resize(500, 460);
    auto *canvas = new RecordingCanvas(QRectF(40, 50, 400, 400), 1.0, &window); // child of the window
    canvas->setColorType(MRKOColorTypeCustom);
    canvas->setThickness(3);
    QImage during;
    canvas->onDrawnDrag = [&](int n) {
        if (n < 8) {
            // Qt delivers more input while the press runs: it joins the queue.
            const QPointF local(100 + 10 * (n + 1), 300); // y down in the canvas
            QMouseEvent drag(QEvent::MouseMove, local, canvas->mapToGlobal(local), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(canvas, &drag);
            return;
        }
        during = cacheImage(*canvas);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(180, 300), canvas->mapToGlobal(QPointF(180, 300)),
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &up);
    };
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(150, 150))); // in the window, y up: (110, 100) in the view

    QMouseEvent down(QEvent::MouseButtonPress, QPointF(100, 300), canvas->mapToGlobal(QPointF(100, 300)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &down);

    EXPECT_EQ(canvas->mouseDownPoint(), QPointF(100, 100)) << "in view points with y up";
    EXPECT_EQ(canvas->drawnDrags, 8);
    EXPECT_EQ(canvas->finalizeCalls, 1);
    ASSERT_FALSE(during.isNull());
    EXPECT_EQ(cachePixel(*canvas, during, QPointF(140, 100)), red());
    EXPECT_FALSE(platform::EventQueue::shared().isTracking());
}

TEST_F(MRKODrawStrokeTest, TheDazadUdizShortcutWorksInsideAPressAndIsBoundAgainAfterIt)
{
    struct ShotTarget final : inkora::ActionTarget
    {
        bool respondsToAction(const QString &) const override { return true; }
        void performAction(const QString &, const platform::Event *) override { ++shots; }
        int shots = 0;
    } target;
    AppDelegate delegate;
    const auto shortCut =
        KQShortCut::shortCutWithKeyCode(platform::kKeyD, platform::kCommandFlag, &target, QStringLiteral("shot:"));
    delegate.setDazadUdizShortCut(shortCut);
    KQShortCutMonitor::defaultMonitor().bindShortCut(shortCut);
    RecordingCanvas &canvas = makeBrushCanvas();
    bool boundDuringPress = true;
    canvas.onDrawnDrag = [&](int) {
        boundDuringPress = KQShortCutMonitor::defaultMonitor().allShortCuts().contains(shortCut);
    };
    postDrags(QPointF(100, 100), QPointF(150, 100), 5);
    post(keyEvent(EventType::KeyDown, platform::kKeyD, platform::kCommandFlag));
    postDrags(QPointF(150, 100), QPointF(200, 100), 5);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(200, 100)));

    press(canvas, QPointF(100, 100));

    EXPECT_EQ(target.shots, 1);
    EXPECT_EQ(canvas.drawnDrags, 10) << "the stroke goes on after the shot";
    EXPECT_FALSE(boundDuringPress);
    EXPECT_TRUE(KQShortCutMonitor::defaultMonitor().allShortCuts().contains(shortCut));
    EXPECT_FALSE(delegate.drawingInProgress());
}

TEST_F(MRKODrawStrokeTest, ASecondLeftPressIsIgnoredAndAMoveWithoutButtonEndsThePress)
{
    RecordingCanvas &canvas = makeBrushCanvas();
    postDrags(QPointF(100, 100), QPointF(150, 100), 5);
    post(pointerEvent(EventType::LeftMouseDown, QPointF(150, 100)));
    postDrags(QPointF(150, 100), QPointF(200, 100), 5);
    post(pointerEvent(EventType::MouseMoved, QPointF(200, 100))); // the button went up unseen
    postDrags(QPointF(200, 100), QPointF(250, 100), 5);

    press(canvas, QPointF(100, 100));

    EXPECT_EQ(canvas.drawnDrags, 10);
    EXPECT_EQ(canvas.finalizeCalls, 1);
    EXPECT_EQ(platform::EventQueue::shared().count(), 0u);
}

TEST_F(MRKODrawStrokeTest, ARightPressWipesTheStrokeAndStartsAgainWhereThePointerIs)
{
    RecordingCanvas &canvas = makeBrushCanvas();
    postDrags(QPointF(100, 100), QPointF(200, 100), 10);
    post(pointerEvent(EventType::RightMouseDown, QPointF(200, 100)));
    postDrags(QPointF(200, 300), QPointF(300, 300), 10);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(300, 300)));

    press(canvas, QPointF(100, 100));

    EXPECT_EQ(canvas.mouseDownPoint(), canvas.mouseLocation());
    EXPECT_EQ(cachePixel(canvas, canvas.cacheAtFinalize, QPointF(150, 100)).alpha(), 0);
    EXPECT_EQ(cachePixel(canvas, canvas.cacheAtFinalize, QPointF(260, 300)), red());
}

TEST_F(MRKODrawStrokeTest, TheReleasePointEndsTheStrokeWhateverTheRateLimiterDropped)
{
    // A millisecond per clock read: drags arrive at hundreds per second, far above the limit.
    clock().setStepPerRead(0.001);
    inkora::liveSettings().limitMouseFPS = true;
    inkora::liveSettings().mouseFPSRate = 60;
    const struct
    {
        const char *name;
        MRKOToolType tool;
        qint64 fpsLimiterAction;
    } rows[] = {
        {"BrushCollectingDroppedPoints", MRKOToolTypeBrush, 0},
        {"BrushSettingDroppedPointsAside", MRKOToolTypeBrush, 1},
        {"Line", MRKOToolTypeLine, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        inkora::liveSettings().fpsLimiterAction = row.fpsLimiterAction;
        RecordingCanvas &canvas = makeBrushCanvas();
        canvas.setToolType(row.tool);
        postDrags(QPointF(20, 200), QPointF(380, 200), 30);
        post(pointerEvent(EventType::LeftMouseUp, QPointF(380, 200)));

        press(canvas, QPointF(20, 200));

        ASSERT_EQ(canvas.finalizeCalls, 1);
        EXPECT_LT(canvas.drawnDrags, 5) << "the limiter did drop drags";
        for (double x : {200.0, 300.0, 377.0})
            EXPECT_EQ(cachePixel(canvas, canvas.cacheAtFinalize, QPointF(x, 200)), red()) << x;
    }
}

TEST_F(MRKODrawStrokeTest, ADragTheRateLimiterHeldBackIsDrawnWhenThePointerRests)
{
    // Drags far faster than the limit, then the pointer rests with the button down: no further event arrives until
    // the release.
    clock().setStepPerRead(0.001);
    inkora::liveSettings().limitMouseFPS = true;
    inkora::liveSettings().mouseFPSRate = 60;
    const struct
    {
        const char *name;
        MRKOToolType tool;
        double nearEnd; // a brush's curve ends halfway to its last point
    } rows[] = {
        {"Line", MRKOToolTypeLine, 377},
        {"Arrow", MRKOToolTypeArrow, 370},
        {"Brush", MRKOToolTypeBrush, 300},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RecordingCanvas &canvas = makeBrushCanvas();
        canvas.setToolType(row.tool);
        postDrags(QPointF(20, 200), QPointF(380, 200), 8);
        QImage resting;
        QTimer::singleShot(300, [&] {
            resting = cacheImage(canvas);
            post(pointerEvent(EventType::LeftMouseUp, QPointF(380, 200)));
        });

        press(canvas, QPointF(20, 200));

        ASSERT_FALSE(resting.isNull());
        EXPECT_LT(canvas.drawnDrags, 6) << "the limiter did hold drags back";
        EXPECT_EQ(cachePixel(canvas, resting, QPointF(row.nearEnd, 200)), red());
    }
}
