#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOEraserRingLayer.h"
#include "foundation/NSCursor+Resize.h"
#include "objects/MRKOBallLayer.h"
#include "platform/Keys.h"
#include "platform/fake/FakeCursorStack.h"
#include "platform/fake/FakeServices.h"
#include "platform/fake/FakeWindowSystem.h"
#include "tests/canvas/CanvasFixture.h"

#include <QPixmap>

using platform::EventType;

namespace {

constexpr quint64 kShift = platform::kShiftFlag;
constexpr quint64 kSuper = platform::kControlFlag;
constexpr quint64 kAlt = platform::kOptionFlag;
constexpr quint64 kCtrl = platform::kCommandFlag;

class MRKODrawColorBallTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
        fakes().windowSystem->setFrontmost(QStringLiteral("com.Inkora.Inkora"), 1);
        cursors().nameCursor(Resize::eraserCursor(), QStringLiteral("eraser"));
    }
    void TearDown() override
    {
        m_plainView.reset();
        CanvasFixture::TearDown();
    }

    platform::FakeCursorStack &cursors() { return *fakes().cursorStack; }

    /// A plain canvas (not a subclass), as the overlay makes it: only it takes the main canvas's rules.
    MRKODraw &makePlainCanvas()
    {
        m_plainView = std::make_unique<QWidget>();
        m_plainView->resize(400, 400);
        return *new MRKODraw(QRectF(0, 0, 400, 400), 1.0, m_plainView.get()); // child of the view
    }

    /// Motion over the canvas in its own window, as the window system delivers it.
    static platform::Event ownMove(const MRKODraw &canvas, QPointF point, quint64 flags = 0)
    {
        platform::Event event = pointerEvent(EventType::MouseMoved, point, flags);
        event.windowNumber = qint64(canvas.window()->winId());
        return event;
    }
    static void ownHover(MRKODraw &canvas, QPointF point, quint64 flags = 0)
    {
        pointAt(canvas, point);
        canvas.mouseMoved(ownMove(canvas, point, flags));
    }
    static bool showsBrushCursor(const MRKODraw &canvas)
    {
        return canvas.cursor().pixmap().cacheKey() == Resize::brushCursor().pixmap().cacheKey();
    }
    static QPointF ballCentre(const MRKODraw &canvas) { return canvas.remoteTrackingMouseLocation(); }

private:
    std::unique_ptr<QWidget> m_plainView;
};

} // namespace

TEST_F(MRKODrawColorBallTest, HoveringADrawingWithTheHandSwapsTheBallForTheHandOnce)
{
    inkora::liveSettings().brushCursor = true;
    RecordingCanvas &canvas = makeFreezeCanvas();
    addDrawing(canvas, QRectF(50, 50, 100, 100));
    canvas.mouseEntered(ownMove(canvas, QPointF(300, 300)));
    ownHover(canvas, QPointF(300, 300));
    EXPECT_FALSE(canvas.ballIsHidden());
    EXPECT_TRUE(showsBrushCursor(canvas));
    EXPECT_EQ(ballCentre(canvas), QPointF(300, 300));

    ownHover(canvas, QPointF(100, 100), kCtrl);
    ownHover(canvas, QPointF(101, 100), kCtrl);
    EXPECT_EQ(cursors().calls(), QStringList({QStringLiteral("push openHand")})) << "pushed once";
    EXPECT_TRUE(canvas.ballIsHidden());

    cursors().clearCalls();
    ownHover(canvas, QPointF(100, 100), kCtrl | kAlt);
    EXPECT_EQ(cursors().calls(), QStringList({QStringLiteral("pop"), QStringLiteral("push dragCopy")}));

    canvas.setCursor(Qt::ArrowCursor);
    ownHover(canvas, QPointF(300, 300), kCtrl);
    EXPECT_EQ(cursors().depth(), 0);
    EXPECT_FALSE(canvas.ballIsHidden()) << "the ball comes back off the drawing";
    EXPECT_TRUE(showsBrushCursor(canvas)) << "and with it the brush cursor";
    EXPECT_FALSE(cursors().calls().contains(QStringLiteral("pop on empty")));
}

TEST_F(MRKODrawColorBallTest, TheBrushCursorIsSetOnlyWhileThisProgramIsInFront)
{
    inkora::liveSettings().brushCursor = true;
    RecordingCanvas &canvas = makeCanvas();
    fakes().windowSystem->setFrontmost(QStringLiteral("org.example.Other"), 2);
    ownHover(canvas, QPointF(100, 100));
    EXPECT_FALSE(showsBrushCursor(canvas));
    fakes().windowSystem->setFrontmost(QStringLiteral("com.Inkora.InkoraHelper"), 3);
    canvas.mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(100, 100))); // another window's event
    EXPECT_FALSE(showsBrushCursor(canvas));
    ownHover(canvas, QPointF(100, 100));
    EXPECT_TRUE(showsBrushCursor(canvas));
    EXPECT_EQ(canvas.cursor().hotSpot(), QPoint(3, 2));

    canvas.mouseExited(ownMove(canvas, QPointF(500, 100)));
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(canvas.ballIsHidden());
}

TEST_F(MRKODrawColorBallTest, TheEraserRingReplacesTheBallAndGoesWithTheEraser)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    canvas.mouseEntered(ownMove(canvas, QPointF(200, 150)));
    ownHover(canvas, QPointF(200, 150), kSuper | kAlt);
    ASSERT_EQ(canvas.quickAuxAction(), quint64(MRKOAuxActionEraser));
    EXPECT_EQ(cursors().top(), QStringLiteral("eraser")) << "over the empty canvas too";
    const auto ring = canvas.eraserRingLayer();
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->frame(), QRectF(159.5, 109.5, 81, 81)) << "eraser size 80 + 1, on the pointer";
    EXPECT_EQ(ring->cornerRadius(), 40.5);
    EXPECT_EQ(ring->borderColor(), QColor(Qt::white));
    EXPECT_EQ(ring->innerLayer()->borderColor(), QColor(Qt::black));
    EXPECT_EQ(ring->innerLayer()->frame(), QRectF(1, 1, 79, 79));
    EXPECT_EQ(canvas.ballLayer()->opacity(), 0.0);

    ownHover(canvas, QPointF(250, 150), kSuper | kAlt);
    EXPECT_EQ(ring->frame().center(), QPointF(250, 150));

    ownHover(canvas, QPointF(250, 150), kCtrl);
    EXPECT_EQ(canvas.eraserRingLayer(), nullptr);
    EXPECT_EQ(ring->superlayer(), nullptr);
    EXPECT_EQ(canvas.ballLayer()->opacity(), 1.0);
    EXPECT_EQ(cursors().depth(), 0);
}

TEST_F(MRKODrawColorBallTest, TheBallShowsOnlyWhereAndWhenItMay)
{
    struct Row
    {
        const char *name;
        bool hidePointingDot;
        bool disabled;
        quint64 flags;
        bool shown;
    };
    const std::vector<Row> rows = {
        {"Plain", false, false, 0, true},
        {"HidePointingDot", true, false, 0, false},
        {"DisabledDisplay", false, true, 0, false},
        {"EnteringWithShiftAndCtrl", false, false, kShift | kCtrl, false},
        {"EnteringWithMenuKey", false, false, platform::kFunctionFlag, false},
    };
    MRKODraw &canvas = makePlainCanvas();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        canvas.hideBall();
        inkora::liveSettings().hidePointingDot = row.hidePointingDot;
        canvas.setScreenDisabled(row.disabled);
        canvas.mouseEntered(ownMove(canvas, QPointF(100, 100), row.flags));
        EXPECT_EQ(!canvas.ballIsHidden(), row.shown);
    }
}

TEST_F(MRKODrawColorBallTest, TheHaloFollowsItsSettingsAroundTheBall)
{
    inkora::liveSettings().cursorHaloSize = 30;
    inkora::liveSettings().cursorHaloOpacity = 0.3;
    RecordingCanvas &canvas = makeCanvas();
    canvas.setThickness(5); // 25 points
    canvas.mouseEntered(ownMove(canvas, QPointF(120, 80)));
    ownHover(canvas, QPointF(120, 80));
    const auto &ball = canvas.ballLayer();
    EXPECT_EQ(ball->frame(), QRectF(105, 65, 30, 30));
    EXPECT_EQ(ball->colorBallLayer()->frame().size(), QSizeF(25, 25));
    EXPECT_EQ(ballCentre(canvas), QPointF(120, 80));
    EXPECT_TRUE(canvas.bigBallIsOpaque());
    canvas.hideBigBall();
    EXPECT_FALSE(canvas.bigBallIsOpaque());
    canvas.updateBigBallIfNeeded();
    EXPECT_FALSE(canvas.bigBallIsOpaque()) << "a hidden halo is not refreshed into view";
}

TEST_F(MRKODrawColorBallTest, AFarAwayOrBrokenRemotePositionMovesNothing)
{
    RecordingCanvas &canvas = makeCanvas();
    canvas.setBallPosition(QPointF(40, 50));
    for (const QPointF bad : {QPointF(qQNaN(), 10), QPointF(10, qInf()), QPointF(-qInf(), qQNaN())}) {
        canvas.setBallPosition(bad);
        EXPECT_EQ(ballCentre(canvas), QPointF(40, 50));
    }
}
