#include "foundation/KYProgressIndicatorAnim.h"

#include "tests/support/InkoraFixture.h"

#include <QProgressBar>

class KYProgressIndicatorAnimTest : public InkoraFixture
{
};

TEST_F(KYProgressIndicatorAnimTest, AnimatesWithEaseInOutAndLetsGoAtTheEnd)
{
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.setValue(0);
    AnimateToProgress::animateToProgress(bar, 100, 1.0);
    ASSERT_NE(AnimateToProgress::currentAnimation(), nullptr);
    advance(0.25);
    EXPECT_GT(bar.value(), 0);
    EXPECT_LT(bar.value(), 25) << "eases in";
    advance(0.25);
    EXPECT_NEAR(bar.value(), 50, 2);
    advance(0.6);
    EXPECT_EQ(bar.value(), 100);
    EXPECT_EQ(AnimateToProgress::currentAnimation(), nullptr);
}

TEST_F(KYProgressIndicatorAnimTest, ASecondAnimationJumpsToTheFirstTargetAndStartsFromThere)
{
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.setValue(0);
    AnimateToProgress::animateToProgress(bar, 80, 1.0);
    advance(0.25);
    AnimateToProgress::animateToProgress(bar, 20, 1.0);
    EXPECT_EQ(bar.value(), 80);
    ASSERT_NE(AnimateToProgress::currentAnimation(), nullptr);
    EXPECT_EQ(AnimateToProgress::currentAnimation()->initialValue(), 80);
    advance(0.5);
    EXPECT_NEAR(bar.value(), 50, 2);
    advance(0.6);
    EXPECT_EQ(bar.value(), 20);

    // Removing stops it where it is.
    AnimateToProgress::animateToProgress(bar, 60, 1.0);
    advance(0.5);
    const int held = bar.value();
    AnimateToProgress::removeAnimation(bar);
    advance(1.0);
    EXPECT_EQ(bar.value(), held);
}
