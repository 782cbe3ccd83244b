#include "objects/MRKOBallLayer.h"

#include "app/LiveSettings.h"
#include "tests/support/InkoraFixture.h"

namespace {

const inkora::SrgbColor kRed(1, 0, 0, 1);

class MRKOBallLayerTest : public InkoraFixture
{
protected:
    /// A ball as a canvas makes it, in a parent layer standing for the canvas (points, y up).
    std::shared_ptr<MRKOBallLayer> makeBall(double brushSize)
    {
        m_parent = platform::Layer::create();
        m_parent->setFrame(QRectF(0, 0, 800, 600));
        auto ball = MRKOBallLayer::create();
        ball->loadLayer();
        ball->setBallSize(brushSize);
        m_parent->addSublayer(ball);
        ball->setColor(kRed);
        return ball;
    }
    /// The colour ball's frame in the parent's points.
    QRectF colourBallFrame(const MRKOBallLayer &ball) const
    {
        return ball.convertRectToLayer(ball.colorBallLayer()->frame(), m_parent.get());
    }

private:
    platform::LayerPtr m_parent;
};

} // namespace

TEST_F(MRKOBallLayerTest, BothDiscsStayCentredOnThePointerWhateverTheirSizes)
{
    inkora::liveSettings().cursorHaloSize = 30;
    auto ball = makeBall(10);
    ball->setBallPosition(QPointF(200, 150));
    EXPECT_EQ(ball->frame(), QRectF(185, 135, 30, 30)) << "the halo's diameter is the setting";
    EXPECT_EQ(ball->cornerRadius(), 15);
    EXPECT_EQ(colourBallFrame(*ball), QRectF(195, 145, 10, 10));

    ball->setBallSize(40); // larger than the halo, and before the next move
    EXPECT_EQ(colourBallFrame(*ball), QRectF(180, 130, 40, 40));
    EXPECT_EQ(ball->colorBallLayer()->cornerRadius(), 20);
    ball->setBallPosition(QPointF(300, 300));
    EXPECT_EQ(colourBallFrame(*ball).center(), QPointF(300, 300));
}

TEST_F(MRKOBallLayerTest, TheColourBallShowsOnlyWhenAskedAndCopiesAreIndependent)
{
    auto ball = makeBall(10);
    EXPECT_TRUE(ball->colorBallLayerHidden()) << "invisible until shown";
    ball->showColorBall();
    EXPECT_FALSE(ball->colorBallLayerHidden());
    EXPECT_EQ(ball->hitTest(QPointF(0, 0)), nullptr);

    ball->setBallPosition(QPointF(50, 60));
    const platform::LayerPtr copy = ball->colorBallCopy();
    EXPECT_EQ(copy->frame(), ball->colorBallLayer()->frame());
    EXPECT_EQ(copy->backgroundColor(), QColor(Qt::red));
    EXPECT_EQ(copy->cornerRadius(), 5);
    ball->setBallSize(30);
    EXPECT_EQ(copy->frame().size(), QSizeF(10, 10)) << "the copy does not follow the ball";
    ball->hideColorBall();
    EXPECT_TRUE(ball->colorBallLayerHidden());
}

TEST_F(MRKOBallLayerTest, TheHaloFadesInOverAFifteenthAndRespectsItsOpacity)
{
    inkora::liveSettings().cursorHaloOpacity = 0.4;
    auto ball = makeBall(10);
    ball->hideBigBall();
    advance(0.2);
    ball->setColor(kRed);
    EXPECT_EQ(ball->backgroundColor().alphaF(), 0.0) << "a hidden halo stays hidden when the colour changes";
    EXPECT_EQ(ball->isBigBallShown(), 0.0);

    ball->showBigBall();
    EXPECT_EQ(ball->isBigBallShown(), 1.0);
    EXPECT_EQ(ball->isBigBallOpaque(), 1.0);
    EXPECT_NEAR(ball->presentationValue(QStringLiteral("backgroundColor")).value<QColor>().alphaF(), 0.0, 0.01);
    advance(0.075);
    const double halfway = ball->presentationValue(QStringLiteral("backgroundColor")).value<QColor>().alphaF();
    EXPECT_GT(halfway, 0.05);
    EXPECT_LT(halfway, 0.35);
    advance(0.1);
    EXPECT_NEAR(ball->presentationValue(QStringLiteral("backgroundColor")).value<QColor>().alphaF(), 0.4, 0.01);

    // No opacity: the halo counts as shown but nothing shows.
    inkora::liveSettings().cursorHaloOpacity = 0;
    ball->showBigBall();
    EXPECT_EQ(ball->isBigBallShown(), 1.0);
    EXPECT_EQ(ball->isBigBallOpaque(), 0.0);
    EXPECT_EQ(ball->backgroundColor().alphaF(), 0.0);
}
