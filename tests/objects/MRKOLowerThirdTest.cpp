#include "objects/MRKOLowerThird.h"

#include "app/RegisteredDefaults.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Animation.h"
#include "platform/Defaults.h"
#include "platform/LayerWidget.h"
#include "platform/TextLayer.h"
#include "tests/support/InkoraFixture.h"

#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace {

struct RecordingDelegate : MRKOLowerThirdDelegate
{
    int started = 0;
    int finished = 0;
    std::function<void(MRKOLowerThird *)> onFinish;
    void lowerThirdAnimationWillStart(MRKOLowerThird *) override { ++started; }
    void lowerThirdAnimationDidFinished(MRKOLowerThird *lowerThird) override
    {
        ++finished;
        if (onFinish)
            onFinish(lowerThird);
    }
};

class MRKOLowerThirdTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        MRKOUtils::userDefaults().registerDefaults(inkora::registeredDefaultSettings());
        m_view = std::make_unique<QWidget>();
        m_view->resize(1440, 900);
        m_canvas = new MRKODraw(QRectF(0, 0, 1440, 900), 1.0, m_view.get()); // child of the view
    }
    void TearDown() override
    {
        m_view.reset();
        InkoraFixture::TearDown();
    }

    std::unique_ptr<MRKOLowerThird> makeLowerThird()
    {
        auto lowerThird = MRKOLowerThird::lowerThirdWithDrawView(m_canvas);
        lowerThird->setDelegate(&m_delegate);
        return lowerThird;
    }

    static void store(const QString &key, const QVariant &value) { MRKOUtils::userDefaults().setObject(value, key); }

    // The turn about y of a bar's transform, in degrees.
    static double yTurn(const QMatrix4x4 &m) { return std::atan2(m(0, 2), m(0, 0)) * 180 / std::numbers::pi; }

    std::unique_ptr<QWidget> m_view;
    MRKODraw *m_canvas = nullptr; // child of the view
    RecordingDelegate m_delegate;
};

TEST_F(MRKOLowerThirdTest, BarsAreLaidOutFromTheDisplaySize)
{
    const auto lowerThird = makeLowerThird();
    lowerThird->showIfNeeded();
    ASSERT_TRUE(lowerThird->lowerThirdTitleContainer());
    EXPECT_EQ(lowerThird->lowerThirdWindow()->size(), QSize(1440, 900));
    EXPECT_EQ(lowerThird->lowerThirdTitleContainer()->frame(), QRectF(72, 180, 778, 128));
    EXPECT_EQ(lowerThird->lowerThirdTitleContainer()->cornerRadius(), 32);
    EXPECT_EQ(lowerThird->titleLayer()->frame(), QRectF(64, 25, 650, 78));
    EXPECT_EQ(lowerThird->titleLayer()->fontSize(), 64);
    EXPECT_EQ(lowerThird->titleLayer()->string(), QStringLiteral("Your Name"));
    EXPECT_EQ(lowerThird->lowerThirdSubtitleContainer()->frame(), QRectF(72, 92, 548, 82));
    EXPECT_EQ(lowerThird->lowerThirdSubtitleContainer()->cornerRadius(), 20);
    EXPECT_EQ(lowerThird->lowerThirdSubtitleContainer()->zPosition(), 1000);
    EXPECT_EQ(lowerThird->subTitleLayer()->frame(), QRectF(64, 15, 420, 52));
    EXPECT_EQ(lowerThird->subTitleLayer()->fontSize(), 42);
    EXPECT_EQ(lowerThird->subTitleLayer()->string(), QStringLiteral("Great Tutorial"));
    EXPECT_EQ(lowerThird->relative200(), 200);
    EXPECT_EQ(lowerThird->titleContainerWidth(), 778);
    // A still display shows both bars at once.
    EXPECT_EQ(lowerThird->contentViewLayer()->sublayers().size(), 2u);

    store(QStringLiteral("kLowerThirdCornerRadius"), 1.0);
    lowerThird->liveUpdateLowerThird();
    EXPECT_EQ(lowerThird->lowerThirdTitleContainer()->cornerRadius(), 64);
    EXPECT_EQ(lowerThird->lowerThirdSubtitleContainer()->cornerRadius(), 41);
}

TEST_F(MRKOLowerThirdTest, StoredNumbersAreClamped)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        double stored, sizeScale, cornerRadius;
    } const cases[] = {{3, 1.5, 1}, {0.1, 0.5, 0.1}, {nan, 0.5, 0}, {inf, 1.5, 1}, {-inf, 0.5, 0}};
    for (const Case &c : cases) {
        store(QStringLiteral("kLowerThirdSizeScale"), c.stored);
        store(QStringLiteral("kLowerThirdCornerRadius"), c.stored);
        store(QStringLiteral("LowerThirdTitleWidth"), c.stored);
        const MRKOLowerThird::Settings s = MRKOLowerThird::storedSettings();
        EXPECT_EQ(s.sizeScale, c.sizeScale) << c.stored;
        EXPECT_EQ(s.titleWidth, c.sizeScale) << c.stored;
        EXPECT_EQ(s.cornerRadius, c.cornerRadius) << c.stored;
    }
}

TEST_F(MRKOLowerThirdTest, BadTextsFallBackAndLongTitlesAreTruncated)
{
    store(QStringLiteral("LowerThirdTitleBackgroundColor"), QStringLiteral("0.1+0.2+0.3"));
    store(QStringLiteral("LowerThirdSubTitleForegroundColor"), QStringLiteral("1.000000+0.000000+0.000000+1.000000"));
    store(QStringLiteral("LowerThirdTitle"), QString(300, QLatin1Char('W')));
    const MRKOLowerThird::Settings s = MRKOLowerThird::storedSettings();
    EXPECT_EQ(s.titleBackgroundColor, inkora::SrgbColor(OnOffColor::iconOnColor()));
    EXPECT_EQ(s.subtitleForegroundColor, inkora::SrgbColor(1, 0, 0, 1));

    const auto lowerThird = makeLowerThird();
    lowerThird->showIfNeeded();
    const QString shown = lowerThird->titleLayer()->displayedString();
    EXPECT_LT(shown.size(), 300);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
}

TEST_F(MRKOLowerThirdTest, PresetsMoveTheBarOffStageEdgeOn)
{
    const double r = 200, w = 778;
    struct Case
    {
        qint64 preset;
        MRKOLowerThird::Offset offset;
    } const cases[] = {{0, {r, 0, -w}},  {1, {r, 0, w}},       {2, {2000, 1000, 778}},    {3, {-w, w, w}},
                       {4, {0, w, 0}},   {5, {r, -5 * r, w}},  {6, {-10 * r, -5 * r, w}}, {7, {0, -778, 0}},
                       {8, {w, -w, -w}}, {9, {-6 * r, 0, -w}}, {42, {200, 0, -778}},      {-1, {r, 0, -w}}};
    const auto lowerThird = makeLowerThird();
    lowerThird->showIfNeeded();
    for (const Case &c : cases) {
        const MRKOLowerThird::Offset o = MRKOLowerThird::presetOffset(c.preset, r, w);
        EXPECT_EQ(o.x, c.offset.x) << c.preset;
        EXPECT_EQ(o.y, c.offset.y) << c.preset;
        EXPECT_EQ(o.z, c.offset.z) << c.preset;
        lowerThird->setAnimationPreset(c.preset);
        lowerThird->loadTransform();
        const platform::Transform3D s = MRKOLowerThird::perspectiveTransform();
        EXPECT_EQ(lowerThird->startTransform(), s) << c.preset;
        EXPECT_EQ(lowerThird->endTransform(), s.rotated(std::numbers::pi / 2, 0, 1, 0).translated(o.x, o.y, o.z))
            << c.preset;
    }
    EXPECT_EQ(MRKOLowerThird::perspectiveTransform()(3, 2), 0.0014285714285714286);
    // A point of the bar's plane ends edge-on: its x becomes the depth.
    const platform::Transform3D end = MRKOLowerThird::perspectiveTransform().rotated(std::numbers::pi / 2, 0, 1, 0);
    EXPECT_NEAR(end(2, 0), -1, 1e-12);

    lowerThird->setAnimationPreset(MRKOLowerThirdAnimationFade);
    lowerThird->loadTransform();
    EXPECT_TRUE(lowerThird->startTransform().isIdentity());
    EXPECT_TRUE(lowerThird->endTransform().isIdentity());
}

TEST_F(MRKOLowerThirdTest, ShowRunsItsStagesOnTime)
{
    const auto lowerThird = makeLowerThird();
    lowerThird->animateIfNeeded();
    const platform::LayerPtr title = lowerThird->lowerThirdTitleContainer();
    const platform::LayerPtr subtitle = lowerThird->lowerThirdSubtitleContainer();
    EXPECT_EQ(m_delegate.started, 1);
    EXPECT_TRUE(title->animationForKey(QStringLiteral("lowerThirdAppear")));
    EXPECT_EQ(lowerThird->appearAnimationGroup()->duration(), 2.2);
    EXPECT_EQ(subtitle->superlayer(), nullptr);

    advance(0.1);
    const double turn = yTurn(title->presentationTransform());
    EXPECT_GT(turn, 0);
    EXPECT_LT(turn, 90);
    EXPECT_LT(title->presentationOpacity(), 1);

    advance(0.149);
    EXPECT_FALSE(subtitle->animationForKey(QStringLiteral("lowerThirdAppear")));
    advance(0.002);
    EXPECT_TRUE(subtitle->animationForKey(QStringLiteral("lowerThirdAppear")));
    EXPECT_EQ(subtitle->superlayer(), lowerThird->contentViewLayer());

    advance(2.5); // about 2.75 s: resting, facing the viewer
    EXPECT_NEAR(yTurn(title->presentationTransform()), 0, 1e-3);
    EXPECT_EQ(title->presentationOpacity(), 1);

    advance(5.0 - 2.751 - 0.001);
    EXPECT_FALSE(title->animationForKey(QStringLiteral("lowerThirdHide")));
    advance(0.002);
    ASSERT_TRUE(title->animationForKey(QStringLiteral("lowerThirdHide")));
    EXPECT_EQ(lowerThird->hideAnimationGroup()->duration(), 2.2);

    advance(7.44 - 5.001);
    EXPECT_EQ(m_delegate.finished, 0);
    advance(0.02);
    EXPECT_EQ(m_delegate.finished, 1);
    EXPECT_EQ(title->presentationOpacity(), 0);
    advance(10);
    EXPECT_EQ(m_delegate.finished, 1);
}

TEST_F(MRKOLowerThirdTest, FadeOnlyFades)
{
    store(QStringLiteral("LowerThirdAnimationPreset"), 10);
    const auto lowerThird = makeLowerThird();
    lowerThird->animateIfNeeded();
    const platform::LayerPtr title = lowerThird->lowerThirdTitleContainer();
    advance(0.4);
    EXPECT_NEAR(title->presentationOpacity(), 0.5, 1e-9);
    EXPECT_TRUE(title->presentationTransform().isIdentity());
    advance(5.0 - 0.4 + 1.4);
    EXPECT_NEAR(title->presentationOpacity(), 0.5, 1e-9);
}

TEST_F(MRKOLowerThirdTest, ReplayStartsAfreshAndRepeatsAreIgnored)
{
    const auto lowerThird = makeLowerThird();
    lowerThird->animateIfNeeded();
    advance(4.0);
    lowerThird->animateIfNeeded(); // showing: nothing new
    EXPECT_EQ(m_delegate.started, 1);
    lowerThird->forceAnimate();
    EXPECT_EQ(m_delegate.started, 2);
    advance(1.5);
    EXPECT_FALSE(lowerThird->lowerThirdTitleContainer()->animationForKey(QStringLiteral("lowerThirdHide")));
    advance(3.6);
    EXPECT_TRUE(lowerThird->lowerThirdTitleContainer()->animationForKey(QStringLiteral("lowerThirdHide")));

    // A live update rests the bars; no hide follows.
    lowerThird->liveUpdateLowerThird();
    EXPECT_FALSE(lowerThird->lowerThirdTitleContainer()->hasAnimations());
    advance(20);
    EXPECT_EQ(m_delegate.finished, 0);
    EXPECT_TRUE(lowerThird->lowerThirdTitleContainer()->transform().isIdentity());
}

TEST_F(MRKOLowerThirdTest, CanvasDropsItsLowerThirdWhenTheShowEnds)
{
    m_canvas->showLowerThird();
    QPointer<MRKOLowerThird> shown(m_canvas->lowerThird());
    ASSERT_TRUE(shown);
    QPointer<QWidget> window(shown->lowerThirdWindow());
    EXPECT_TRUE(window->isVisible());
    m_canvas->showLowerThird(); // already showing
    EXPECT_EQ(m_canvas->lowerThird(), shown.data());
    advance(7.5);
    EXPECT_EQ(m_canvas->lowerThird(), nullptr);
    EXPECT_FALSE(shown);
    EXPECT_FALSE(window);
}

TEST_F(MRKOLowerThirdTest, WithoutACanvasThePreviewIsEmpty)
{
    MRKOLowerThird lowerThird(nullptr);
    lowerThird.showIfNeeded();
    EXPECT_FALSE(lowerThird.lowerThirdWindow()->isVisible());
    EXPECT_EQ(lowerThird.lowerThirdTitleContainer()->frame().size(), QSizeF(0, 0));
    EXPECT_EQ(lowerThird.relative200(), 0);
    lowerThird.cleanUp();
    EXPECT_EQ(lowerThird.lowerThirdWindow(), nullptr);
}

} // namespace
