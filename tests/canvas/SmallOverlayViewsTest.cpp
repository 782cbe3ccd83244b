#include "canvas/MRKODarkOverlayWindow.h"
#include "canvas/MRKOModalOverlayView.h"
#include "canvas/MRKOOverlay.h"
#include "canvas/MRKORoundCornerWindow.h"
#include "foundation/ActionTarget.h"
#include "platform/WindowStack.h"
#include "tests/support/InkoraFixture.h"

#include <QTest>

namespace {

class CountingTarget final : public inkora::ActionTarget
{
public:
    explicit CountingTarget(QString action) : m_action(std::move(action)) {}
    [[nodiscard]] bool respondsToAction(const QString &action) const override { return action == m_action; }
    void performAction(const QString &, const platform::Event *) override { ++calls; }
    int calls = 0;

private:
    QString m_action;
};

} // namespace

class SmallOverlayViewsTest : public InkoraFixture
{
};

TEST_F(SmallOverlayViewsTest, ADarkOverlayTakesEveryClickOnceAndSendsOnlyPresses)
{
    QWidget below;
    below.setGeometry(50, 60, 300, 200);
    const auto dark = MRKODarkOverlayWindow::darkOverlayWindowWithWindow(below);
    EXPECT_EQ(dark->geometry(), below.frameGeometry());
    EXPECT_TRUE(dark->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_FALSE(MRKODarkOverlayWindow::canBecomeKeyWindow());
    EXPECT_EQ(platform::WindowStack::shared().level(*dark), 1) << "one above the overlay level (0 before settings)";
    CountingTarget target(QStringLiteral("dismiss:"));
    MRKOModalOverlayView *view = dark->modalOverlayView();
    view->setTarget(&target);
    view->setAction(QStringLiteral("dismiss:"));
    auto *inside = new QWidget(view); // child; never takes the pointer
    EXPECT_TRUE(inside->testAttribute(Qt::WA_TransparentForMouseEvents));

    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(view, QPoint(40, 40));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(target.calls, 1);

    view->setAction(QStringLiteral("other:")); // the target lacks it: ignored silently
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(target.calls, 1);
}

TEST_F(SmallOverlayViewsTest, TheBlackControlNeedsBothTargetAndAction)
{
    MRKOOverlay control;
    control.resize(50, 50);
    CountingTarget target(QStringLiteral("close:"));
    control.setTarget(&target);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(target.calls, 0);
    control.setAction(QStringLiteral("close:"));
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(target.calls, 1);
}

TEST_F(SmallOverlayViewsTest, RoundCornersCutTheCornersOnly)
{
    MRKORoundCornerWindow window;
    window.resize(100, 80);
    const QImage mask = window.cornerMask();
    EXPECT_EQ(qAlpha(mask.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(mask.pixel(99, 79)), 0);
    EXPECT_EQ(qAlpha(mask.pixel(50, 0)), 255);
    EXPECT_EQ(qAlpha(mask.pixel(50, 40)), 255);
    EXPECT_TRUE(MRKORoundCornerWindow::canBecomeKeyWindow());
}
