#include "platform/Animation.h"

#include "platform/Layer.h"
#include "platform/ShapeLayer.h"
#include "platform/Transaction.h"
#include "platform/fake/FakeClock.h"
#include "tests/platform/LayerTestSupport.h"
#include "tests/support/InkoraFixture.h"

#include <cmath>
#include <vector>

using platform::Animation;
using platform::AnimationGroup;
using platform::BasicAnimation;
using platform::KeyframeAnimation;
using platform::Layer;
using platform::TimingFunction;
using platform::Transaction;

namespace {

class AnimationTest : public InkoraFixture
{
protected:
    // The fade of a finished drawing: opacity 1 to 0, held at its end.
    static BasicAnimation fade(double duration)
    {
        BasicAnimation a(QStringLiteral("opacity"));
        a.setFromValue(1.0);
        a.setToValue(0.0);
        a.setDuration(duration);
        a.setFillMode(Animation::FillMode::Forwards);
        a.setRemovedOnCompletion(false);
        return a;
    }
};

TEST_F(AnimationTest, FadeRunsOnTheClockAndCompletesItsTransaction)
{
    auto layer = Layer::create();
    int completions = 0;
    double opacityAtCompletion = -1;
    Transaction::begin();
    Transaction::setCompletionBlock([&] {
        ++completions;
        opacityAtCompletion = layer->presentationOpacity();
    });
    layer->addAnimation(fade(1.5), QStringLiteral("fadeOut"));
    Transaction::commit();

    drainMainQueue();
    EXPECT_EQ(completions, 0);
    advance(0.75);
    EXPECT_NEAR(layer->presentationOpacity(), 0.5, 1e-9);
    EXPECT_EQ(layer->opacity(), 1.0);
    advance(0.75);
    EXPECT_EQ(completions, 1);
    EXPECT_LT(opacityAtCompletion, 0.001);
    EXPECT_NE(layer->animationForKey(QStringLiteral("fadeOut")), nullptr); // not removed on completion
    advance(10);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(layer->presentationOpacity(), 0.0);
}

TEST_F(AnimationTest, RemovingAnAnimationCompletesTheTransactionWithTheModelValue)
{
    auto layer = Layer::create();
    std::vector<bool> stops;
    double opacityAtCompletion = -1;
    auto animation = fade(1.5);
    animation.setDidStop([&](bool finished) { stops.push_back(finished); });
    Transaction::begin();
    Transaction::setCompletionBlock([&] { opacityAtCompletion = layer->presentationOpacity(); });
    layer->addAnimation(animation, QStringLiteral("fadeOut"));
    Transaction::commit();
    advance(0.5);

    layer->removeAllAnimations();
    drainMainQueue();

    EXPECT_EQ(opacityAtCompletion, 1.0);
    EXPECT_EQ(stops, std::vector<bool>{false});
    advance(5);
    EXPECT_EQ(stops, std::vector<bool>{false});
}

TEST_F(AnimationTest, OuterCompletionWaitsForAnimationsOfNestedTransactions)
{
    auto layer = Layer::create();
    std::vector<QString> order;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { order.push_back(QStringLiteral("outer")); });
    {
        platform::TransactionScope inner;
        Transaction::setCompletionBlock([&] { order.push_back(QStringLiteral("inner")); });
        layer->addAnimation(fade(2.0));
    }
    layer->addAnimation(fade(1.0), QStringLiteral("short"));
    Transaction::commit();

    advance(1.0);
    EXPECT_TRUE(order.empty());
    advance(1.0);
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("inner"), QStringLiteral("outer")}));
}

TEST_F(AnimationTest, CompletionWithoutAnimationsRunsOnTheMainQueue)
{
    bool ran = false;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ran = true; });
    Transaction::commit();
    EXPECT_FALSE(ran);
    drainMainQueue();
    EXPECT_TRUE(ran);
}

TEST_F(AnimationTest, ReplacingAKeyStopsTheOldAnimationUnfinished)
{
    auto layer = Layer::create();
    std::vector<int> stopped;
    auto first = fade(1.0);
    first.setDidStop([&](bool finished) { stopped.push_back(finished ? 1 : 0); });
    auto second = fade(1.0);
    second.setDidStop([&](bool finished) { stopped.push_back(finished ? 11 : 10); });
    layer->addAnimation(first, QStringLiteral("fadeOut"));
    advance(0.5);
    layer->addAnimation(second, QStringLiteral("fadeOut"));
    advance(1.0);
    EXPECT_EQ(stopped, (std::vector<int>{0, 11}));
    EXPECT_EQ(layer->animationKeys(), QStringList{QStringLiteral("fadeOut")});
}

TEST_F(AnimationTest, RemovedOnCompletionSnapsBackToTheModel)
{
    auto layer = Layer::create();
    layer->setOpacity(0.8);
    BasicAnimation a(QStringLiteral("opacity"));
    a.setToValue(0.0); // from the presentation value, 0.8
    a.setDuration(1.0);
    layer->addAnimation(a, QStringLiteral("flashlightFade"));
    advance(0.5);
    EXPECT_NEAR(layer->presentationOpacity(), 0.4, 1e-9);
    advance(0.5);
    EXPECT_EQ(layer->animationForKey(QStringLiteral("flashlightFade")), nullptr);
    EXPECT_EQ(layer->presentationOpacity(), 0.8);
}

struct TimingRow
{
    const char *name;
    TimingFunction timing;
    double at;
    double expected;
};

TEST_F(AnimationTest, TimingCurvesEaseAndOvershoot)
{
    const std::vector<TimingRow> rows = {
        {"linear", TimingFunction::named(TimingFunction::Linear), 0.3, 0.3},
        {"easeInEaseOutMidpoint", TimingFunction::named(TimingFunction::EaseInEaseOut), 0.5, 0.5},
        {"easeInSlowAtStart", TimingFunction::named(TimingFunction::EaseIn), 0.5, 0.3153},
        {"easeOutFastAtStart", TimingFunction::named(TimingFunction::EaseOut), 0.5, 0.6847},
        {"overshootPastOne", TimingFunction(0.2, 1.6, 0.5, 1.0), 0.5, 1.1077},
        {"pullBackBelowZero", TimingFunction(0.36, 0, 0.66, -0.56), 0.4, -0.0966},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(row.timing.valueAt(row.at), row.expected, 2e-3);
        EXPECT_EQ(row.timing.valueAt(0), 0.0);
        EXPECT_EQ(row.timing.valueAt(1), 1.0);
    }
}

TEST_F(AnimationTest, KeyframeSpringScalesFromZeroAndSettles)
{
    auto layer = Layer::create();
    KeyframeAnimation spring(QStringLiteral("transform"));
    QVariantList values;
    std::vector<double> scales;
    for (int t = 0; t < 100; ++t) {
        const double s = 1 - std::cos(0.05 * t) * std::exp(-0.055 * t);
        scales.push_back(s);
        QMatrix4x4 m;
        m.scale(float(s), float(s), float(s));
        values.append(QVariant::fromValue(m));
    }
    spring.setValues(values);
    spring.setDuration(0.8);
    spring.setFillMode(Animation::FillMode::Forwards);
    spring.setRemovedOnCompletion(false);
    layer->addAnimation(spring);

    EXPECT_NEAR(layer->presentationTransform()(0, 0), 0.0, 1e-6);
    advance(0.8 * 40 / 99);
    EXPECT_NEAR(layer->presentationTransform()(0, 0), scales[40], 1e-4);
    EXPECT_GT(layer->presentationTransform()(1, 1), 1.0); // overshoot
    advance(1.0);
    EXPECT_NEAR(layer->presentationTransform()(0, 0), scales[99], 1e-4);
    EXPECT_TRUE(layer->transform().isIdentity());
}

TEST_F(AnimationTest, KeyTimesAndSegmentCurvesPlaceTheValues)
{
    auto layer = Layer::create();
    KeyframeAnimation shake(QStringLiteral("position"));
    shake.setValues({QPointF(0, 0), QPointF(10, 0), QPointF(10, 20)});
    shake.setKeyTimes({0, 0.8, 1.0});
    shake.setDuration(1.0);
    layer->addAnimation(shake, QStringLiteral("shake"));
    advance(0.4);
    EXPECT_NEAR(layer->presentationPosition().x(), 5, 1e-9);
    advance(0.5);
    EXPECT_NEAR(layer->presentationPosition().y(), 10, 1e-9);
}

TEST_F(AnimationTest, AutoreverseRepeatAndDelayedBegin)
{
    auto layer = Layer::create();
    BasicAnimation pulse = fade(1.0);
    pulse.setAutoreverses(true);
    pulse.setRepeatCount(2);
    pulse.setBeginTime(clock().now() + 1.0);
    pulse.setFillMode(Animation::FillMode::Both);
    bool stopped = false;
    pulse.setDidStop([&](bool finished) { stopped = finished; });
    layer->addAnimation(pulse);

    EXPECT_EQ(layer->presentationOpacity(), 1.0); // filled backwards before its begin
    advance(1.5);
    EXPECT_NEAR(layer->presentationOpacity(), 0.5, 1e-9);
    advance(1.0);
    EXPECT_NEAR(layer->presentationOpacity(), 0.5, 1e-9); // on its way back
    advance(2.0);
    EXPECT_FALSE(stopped);
    advance(0.5);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(layer->presentationOpacity(), 1.0);
}

TEST_F(AnimationTest, GroupRunsChildrenOnItsTimeLine)
{
    auto layer = platform::ShapeLayer::create();
    AnimationGroup group;
    auto start = std::make_shared<BasicAnimation>(QStringLiteral("strokeStart"));
    start->setToValue(1.0);
    start->setFillMode(Animation::FillMode::Forwards);
    auto end = std::make_shared<BasicAnimation>(QStringLiteral("strokeEnd"));
    end->setFromValue(0.35);
    end->setToValue(1.0);
    end->setDuration(0.2);
    end->setBeginTime(0.1);
    end->setFillMode(Animation::FillMode::Forwards);
    group.setAnimations({start, end});
    group.setDuration(0.4);
    group.setFillMode(Animation::FillMode::Forwards);
    group.setRemovedOnCompletion(false);
    bool done = false;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { done = true; });
    layer->addAnimation(group, QStringLiteral("click"));
    Transaction::commit();

    advance(0.2);
    EXPECT_NEAR(layer->presentationValue(QStringLiteral("strokeStart")).toDouble(), 0.5, 1e-9);
    EXPECT_NEAR(layer->presentationValue(QStringLiteral("strokeEnd")).toDouble(), 0.675, 1e-9);
    advance(0.3);
    EXPECT_TRUE(done);
    EXPECT_EQ(layer->presentationValue(QStringLiteral("strokeStart")).toDouble(), 1.0);
    EXPECT_EQ(layer->presentationValue(QStringLiteral("strokeEnd")).toDouble(), 1.0);
}

TEST_F(AnimationTest, FromValueDefaultsToTheValueBeneath)
{
    auto layer = Layer::create();
    layer->addAnimation(fade(1.0), QStringLiteral("fadeOut"));
    advance(0.5);
    BasicAnimation back(QStringLiteral("opacity"));
    back.setToValue(1.0);
    back.setDuration(1.0);
    layer->addAnimation(back, QStringLiteral("fadeIn"));
    EXPECT_NEAR(layer->presentationOpacity(), 0.5, 1e-9);
    advance(0.5);
    EXPECT_NEAR(layer->presentationOpacity(), 0.5 * 0.0 + 0.5 * 1.0, 1e-9); // the fade below has reached 0
}

TEST_F(AnimationTest, ImplicitAnimationOnlyWhenATransactionAsksForIt)
{
    auto layer = Layer::create();
    layer->setOpacity(0.0);
    EXPECT_FALSE(layer->hasAnimations());

    {
        platform::TransactionScope scope;
        Transaction::setAnimationDuration(0.04);
        Transaction::setAnimationTimingFunction(TimingFunction::named(TimingFunction::Linear));
        layer->setOpacity(1.0);
    }
    EXPECT_NE(layer->animationForKey(QStringLiteral("opacity")), nullptr);
    advance(0.02);
    EXPECT_NEAR(layer->presentationOpacity(), 0.5, 1e-6);

    {
        platform::TransactionScope scope(true);
        Transaction::setAnimationDuration(1.0);
        layer->setPosition({5, 5});
    }
    EXPECT_EQ(layer->animationForKey(QStringLiteral("position")), nullptr);
    EXPECT_EQ(layer->presentationPosition(), QPointF(5, 5));
}

TEST_F(AnimationTest, PresentationRenderShowsTheAnimatedOpacity)
{
    auto root = makeLayer({0, 0, 10, 10}, QColor(255, 255, 255));
    auto child = makeLayer({0, 0, 10, 10}, QColor(0, 0, 0));
    root->addSublayer(child);
    child->addAnimation(fade(1.0));
    advance(0.5);

    const QColor model = pixelAt(renderToImage(*root, {10, 10}), 5, 5);
    const QColor shown = pixelAt(renderToImage(*root, {10, 10}, 1, true), 5, 5);
    EXPECT_EQ(model, QColor(0, 0, 0));
    EXPECT_NEAR(shown.red(), 128, 2);
}

TEST_F(AnimationTest, DestroyedLayerStopsItsAnimationsAndCompletes)
{
    bool done = false;
    bool finished = true;
    {
        auto layer = Layer::create();
        auto animation = fade(1.0);
        animation.setDidStop([&](bool f) { finished = f; });
        Transaction::begin();
        Transaction::setCompletionBlock([&] { done = true; });
        layer->addAnimation(animation);
        Transaction::commit();
    }
    drainMainQueue();
    EXPECT_TRUE(done);
    EXPECT_FALSE(finished);
    advance(2); // the timer of the dead layer must not fire
}

} // namespace
