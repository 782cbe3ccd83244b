#include "helper/MRKOShowController.h"

#include "helper/MRKOShowWindow.h"
#include "tests/helper/XcbWindowProbe.h"
#include "tests/support/InkoraFixture.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>

class MRKOShowControllerTest : public InkoraFixture
{
protected:
    MRKOShowController &show() { return *MRKOShowController::sharedShow(); }
    [[nodiscard]] double opacity() { return show().window()->windowOpacity(); }
    [[nodiscard]] bool visible() { return show().window()->isVisible(); }
};

TEST_F(MRKOShowControllerTest, ShowsEachToolAndModeAndKeepsTheLastForUnknownValues)
{
    enum Kind { Tool, Mode };
    struct Step
    {
        Kind kind;
        std::uint64_t value;
        const char *image;
        const char *label;
    };
    // The first request shows the window's own (empty) content; unknown values keep what was shown last.
    const Step steps[] = {
        {Tool, 7, "", ""},
        {Tool, 0, "BrushMedium", "Brush Tool"},
        {Tool, 1, "ArrowMedium", "Arrow Tool"},
        {Tool, 7, "ArrowMedium", "Arrow Tool"},
        {Tool, 0xFFFFFFFFFFFFFFFF, "ArrowMedium", "Arrow Tool"},
        {Tool, 2, "RectangleMedium", "Rectangle Tool"},
        {Tool, 3, "TextMedium", "Text Tool"},
        {Tool, 4, "QuickArrowMedium", "Quick Arrow Tool"},
        {Tool, 5, "LineMedium", "Line Tool"},
        {Tool, 6, "EllipseMedium", "Ellipse Tool"},
        {Mode, 1, "DissolveOffMedium", "Freeze Mode On"},
        {Mode, 2, "DissolveOffMedium", "Freeze Mode On"},
        {Mode, 0, "DissolveMedium", "Freeze Mode Off"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(testing::Message() << (step.kind == Tool ? "tool " : "mode ") << step.value);
        if (step.kind == Tool)
            show().showToolForToolType(step.value);
        else
            show().showDissolveMode(step.value);
        EXPECT_EQ(show().imageName(), QString::fromLatin1(step.image));
        EXPECT_EQ(show().showLabel()->text(), QString::fromLatin1(step.label));
        EXPECT_EQ(show().showTool()->icon().isNull(), *step.image == '\0');
        EXPECT_TRUE(visible());
        EXPECT_EQ(opacity(), 1.0);
    }
}

TEST_F(MRKOShowControllerTest, StaysOpaqueThenFadesAndCloses)
{
    EXPECT_EQ(opacity(), 0.0); // invisible until first shown
    show().showToolForToolType(1);

    advance(0.84);
    EXPECT_EQ(show().state(), MRKOShowController::State::Shown);
    EXPECT_EQ(opacity(), 1.0);
    advance(0.02); // 0.86: the fade has begun
    EXPECT_EQ(show().state(), MRKOShowController::State::Fading);
    advance(0.115); // 0.975: half of the fade
    EXPECT_NEAR(opacity(), 0.5, 0.07);
    advance(0.175); // 1.15: faded out, not yet closed
    EXPECT_EQ(opacity(), 0.0);
    EXPECT_TRUE(visible());
    advance(0.04);
    EXPECT_TRUE(visible());
    advance(0.02); // 1.21: closed 0.1 s after the fade ended
    EXPECT_FALSE(visible());
    EXPECT_EQ(show().state(), MRKOShowController::State::Hidden);
}

TEST_F(MRKOShowControllerTest, SecondRequestKeepsTheWindowUpForAFullPeriod)
{
    show().showToolForToolType(1);
    advance(0.5);
    show().showToolForToolType(2);
    advance(0.8); // 1.3 after the first request, 0.8 after the second
    EXPECT_EQ(show().state(), MRKOShowController::State::Shown);
    EXPECT_EQ(opacity(), 1.0);
    EXPECT_EQ(show().showLabel()->text(), QStringLiteral("Rectangle Tool"));
    advance(0.06);
    EXPECT_EQ(show().state(), MRKOShowController::State::Fading);
    advance(0.4);
    EXPECT_FALSE(visible());
}

TEST_F(MRKOShowControllerTest, RequestWhileFadingRestoresTheWindowAndCancelsTheClose)
{
    show().showToolForToolType(1);
    advance(1.0);
    ASSERT_EQ(show().state(), MRKOShowController::State::Fading);
    ASSERT_LT(opacity(), 1.0);

    show().showDissolveMode(1);
    EXPECT_EQ(opacity(), 1.0);
    advance(0.3); // past the close the fade had scheduled, and past its last opacity step
    EXPECT_TRUE(visible());
    EXPECT_EQ(opacity(), 1.0);
    EXPECT_EQ(show().state(), MRKOShowController::State::Shown);
}

TEST_F(MRKOShowControllerTest, IndicatorSitsLowAndCentredAboveOtherWindowsAndTakesNoClicks)
{
    XcbWindowProbe probe;
    ASSERT_TRUE(probe.isConnected());
    QWidget other;
    other.setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    other.setGeometry(100, 100, 1200, 700);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));

    show().showToolForToolType(1);
    const auto id = static_cast<std::uint32_t>(show().window()->winId());
    std::optional<XcbWindowProbe::Window> indicator;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (indicator = probe.window(id)) && indicator->mapped; }, 10000));
    const auto below = probe.window(static_cast<std::uint32_t>(other.winId()));
    ASSERT_TRUE(below.has_value());

    // The display under the pointer; the test display has one.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect expected(screen.x() + screen.width() / 2 - 100, screen.y() + qRound(screen.height() * 0.7) - 100,
                         MRKOShowWindow::kSide, MRKOShowWindow::kSide);
    EXPECT_EQ(indicator->geometry, expected);
    EXPECT_TRUE(indicator->overrideRedirect);
    EXPECT_EQ(indicator->inputRects, 0);
    EXPECT_GT(indicator->stackIndex, below->stackIndex);
}
