#include "remote/MRKOPositionController.h"

#include "canvas/MRKODraw.h"
#include "tests/remote/FakeRemoteNeighbours.h"
#include "tests/support/InkoraFixture.h"

#include <QStringList>

namespace {

/// A canvas that records what the air pointer asks of it.
class PointerCanvas final : public MRKODraw
{
public:
    using MRKODraw::MRKODraw;
    void setBallPosition(QPointF point) override
    {
        ball = point;
        calls << QStringLiteral("ball");
    }
    bool showBall() override
    {
        calls << QStringLiteral("showBall");
        return true;
    }
    void hideBall() override { calls << QStringLiteral("hideBall"); }
    void colorBallNeedUpdate() override { calls << QStringLiteral("colorBallNeedUpdate"); }
    void simulateMouseDown() override { calls << QStringLiteral("down"); }
    void simulateMouseDragged() override { calls << QStringLiteral("dragged"); }
    void simulateMouseUp() override { calls << QStringLiteral("up"); }

    QPointF ball;
    QStringList calls;
};

class MRKOPositionControllerTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        auto fake = std::make_unique<FakeRemoteNeighbours>();
        neighbours = fake.get();
        inkora::setRemoteNeighbours(std::move(fake));
    }
    void TearDown() override
    {
        pointer().stopUpdates();
        pointer().setView(nullptr);
        InkoraFixture::TearDown();
        inkora::setRemoteNeighbours(nullptr);
    }
    static MRKOPositionController &pointer() { return MRKOPositionController::sharedController(); }

    FakeRemoteNeighbours *neighbours = nullptr;
};

TEST_F(MRKOPositionControllerTest, LevelPhoneConvergesToTheCentre)
{
    PointerCanvas canvas(QRectF(0, 0, 1440, 900));
    pointer().setView(&canvas);
    pointer().setPitchAndYaw(0.3, -0.2);
    pointer().startUpdates();
    advance(0.5);
    pointer().setPitchAndYaw(0, 0);
    advance(3.0);
    EXPECT_NEAR(canvas.ball.x(), 720, 0.01);
    EXPECT_NEAR(canvas.ball.y(), 450, 0.01);
}

TEST_F(MRKOPositionControllerTest, YawIsSmoothedAtSinglePrecisionAndMirrored)
{
    PointerCanvas canvas(QRectF(0, 0, 1440, 900));
    pointer().setView(&canvas);
    pointer().setPitchAndYaw(0, 0.1);
    for (int tick = 0; tick < 17; ++tick)
        pointer().timerTick();
    EXPECT_FLOAT_EQ(float(pointer().lastYaw()), -0.38197067f);
    drainMainQueue();
    EXPECT_NEAR(canvas.ball.x(), 544.92, 0.01); // a positive yaw moves left
    EXPECT_DOUBLE_EQ(canvas.ball.y(), 450);
    EXPECT_EQ(pointer().pointForView(&canvas), canvas.ball);
}

TEST_F(MRKOPositionControllerTest, AFloodOfTicksKeepsOneBallMoveWaiting)
{
    PointerCanvas canvas(QRectF(0, 0, 1440, 900));
    pointer().setView(&canvas);
    canvas.calls.clear();
    for (int tick = 0; tick < 50; ++tick) {
        pointer().setPitchAndYaw(0, tick * 0.01);
        pointer().timerTick();
        EXPECT_LE(pointer().pendingBallMoves(), 1);
    }
    drainMainQueue();
    EXPECT_EQ(canvas.calls, QStringList{QStringLiteral("ball")});
    EXPECT_EQ(canvas.ball, pointer().pointForView(&canvas)); // the newest point
}

TEST_F(MRKOPositionControllerTest, StrokesFollowDrawStartAndEnd)
{
    PointerCanvas canvas(QRectF(0, 0, 1440, 900));
    pointer().setView(&canvas);
    pointer().drawStart();
    EXPECT_FALSE(pointer().isDrawing()) << "no stroke while the pointer is not tracking";

    pointer().startUpdates();
    canvas.calls.clear();
    pointer().drawStart();
    advance(0.01);
    pointer().drawStart(); // a second press finishes the first stroke
    EXPECT_EQ(canvas.calls, (QStringList{"down", "ball", "dragged", "up", "down"}));

    canvas.calls.clear();
    pointer().undo(); // the wrapped commands end the stroke first
    EXPECT_EQ(canvas.calls, QStringList{"up"});
    EXPECT_EQ(neighbours->calls, QStringList{"undoWithEvent"});

    pointer().drawStart();
    canvas.calls.clear();
    pointer().stopUpdates();
    EXPECT_EQ(canvas.calls, QStringList{"up"});
    EXPECT_FALSE(pointer().trackingIsOn());
    advance(0.1);
    EXPECT_EQ(canvas.calls, QStringList{"up"}) << "no ticks after stopping";
}

TEST_F(MRKOPositionControllerTest, ChangingTheCanvasWhileTrackingMovesTheBall)
{
    PointerCanvas first(QRectF(0, 0, 800, 600));
    PointerCanvas second(QRectF(0, 0, 800, 600));
    pointer().setView(&first);
    pointer().startUpdates();
    first.calls.clear();
    pointer().setView(&second);
    EXPECT_EQ(first.calls, QStringList{"hideBall"});
    EXPECT_EQ(second.calls, (QStringList{"colorBallNeedUpdate", "showBall"}));
    EXPECT_EQ(pointer().pointForView(nullptr), QPointF(0, 0));
}

} // namespace
