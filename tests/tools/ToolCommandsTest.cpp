#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Defaults.h"
#include "tests/tools/ToolBarFixture.h"
#include "tools/MRKOColorButton.h"
#include "tools/MRKOThicknessButton.h"
#include "tools/MRKOToolButton.h"
#include "tools/MRKOToolChoseButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"

// The commands that shortcuts, menus, the remote and single keys end in, on a shown overlay with its tool bar.
class ToolCommandsTest : public ToolBarFixture
{
protected:
    void perform(const char *action) { delegate().performAction(QLatin1String(action), nullptr); }
    [[nodiscard]] qint64 stored(const char *key) { return defaults().integerForKey(QLatin1String(key)); }
};

TEST_F(ToolCommandsTest, ThicknessCommandsWrapAroundThroughTheToolBar)
{
    defaults().setInteger(5, QStringLiteral("AllToolsThicknessKey"));
    launchAndShow();

    perform("nextThickness:");
    EXPECT_EQ(canvas(0)->thickness(), 0u);
    EXPECT_EQ(stored("AllToolsThicknessKey"), 0);
    EXPECT_EQ(toolBar()->thicknessButton()->thickness(), 0u);

    perform("prevThickness:");
    EXPECT_EQ(canvas(0)->thickness(), 5u);
    EXPECT_EQ(stored("AllToolsThicknessKey"), 5);
}

TEST_F(ToolCommandsTest, GroupCommandsAlternateTheGroupsTwoTools)
{
    launchAndShow();
    struct Step
    {
        const char *command;
        quint64 tool;
    };
    const Step steps[] = {
        {"brushToolWithEvent:", 4},     {"brushToolWithEvent:", 0},     {"rectangleToolWithEvent:", 2},
        {"rectangleToolWithEvent:", 6}, {"rectangleToolWithEvent:", 2}, {"arrowToolWithEvent:", 1},
        {"arrowToolWithEvent:", 5},     {"textToolWithEvent:", 3},      {"arrowToolWithEvent:", 5},
    };
    for (const Step &step : steps) {
        perform(step.command);
        EXPECT_EQ(canvas(0)->toolType(), step.tool) << step.command;
        EXPECT_EQ(stored("ToolTypeKey"), qint64(step.tool));
    }
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("Rectangle")), QStringLiteral("2"));
}

TEST_F(ToolCommandsTest, NextToolStepsThroughTheGroupsOrReturnsToTheRecentOne)
{
    launchAndShow();
    for (const quint64 expected : {1, 2, 3, 0}) {
        perform("nextTool:");
        EXPECT_EQ(canvas(0)->toolType(), expected);
    }

    defaults().setInteger(1, QStringLiteral("ToolSwitchingMethod"));
    delegate().updateAllSettings();
    toolBar()->changeToolForced(2, false); // from Brush, pick Rectangle
    for (const quint64 expected : {0, 2, 0}) {
        perform("nextTool:");
        EXPECT_EQ(canvas(0)->toolType(), expected);
    }
}

TEST_F(ToolCommandsTest, BlackAndWhiteAlternatesFromAColour)
{
    defaults().setInteger(1, QStringLiteral("ColorTypeKey"));
    launchAndShow();
    ASSERT_EQ(OnOffColor::monochromeType(MRKOToolColor::toolColor().color()), 0) << "fresh red";

    for (const qint64 state : {2, 1, 2}) {
        perform("blackAndWhiteWithEvent:");
        EXPECT_EQ(stored("BlackAndWhite"), state);
        EXPECT_EQ(OnOffColor::monochromeType(MRKOToolColor::toolColor().color()), state == 2 ? 2 : 1);
        EXPECT_EQ(toolBar()->customColorButton()->color(), MRKOToolColor::toolColor().color());
    }
}

TEST_F(ToolCommandsTest, BlackAndWhiteOnTheRainbowSwitchesToTheCustomColour)
{
    launchAndShow();
    ASSERT_EQ(canvas(0)->colorType(), 0);

    perform("blackAndWhiteWithEvent:");
    EXPECT_EQ(canvas(0)->colorType(), 1);
    EXPECT_EQ(stored("ColorTypeKey"), 1);
    EXPECT_EQ(OnOffColor::monochromeType(MRKOToolColor::toolColor().color()), 2) << "black";
}

TEST_F(ToolCommandsTest, ColourShortcutsGiveTheSwatchHue)
{
    launchAndShow();
    perform("color5WithEvent:"); // turquoise
    EXPECT_DOUBLE_EQ(MRKODraw::hue(), 0.45);

    // A grey custom colour becomes the swatch's hue.
    perform("nextColorType:");
    ASSERT_EQ(canvas(0)->colorType(), 1);
    MRKOToolColor::toolColor().setColor(inkora::SrgbColor(1, 1, 1, 1));
    perform("color7WithEvent:");
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
    inkora::srgbToHsb(MRKOToolColor::toolColor().color(), &hue, &saturation, &brightness);
    EXPECT_NEAR(hue, 0.65, 1e-6);
}

TEST_F(ToolCommandsTest, FreezeCommandFlipsTheButtonAndTheStoredMode)
{
    launchAndShow();
    perform("dissolveModeWithEvent:");
    EXPECT_EQ(toolBar()->dissolveButton()->state(), 1);
    EXPECT_EQ(stored("DissolveModeKey"), 1);
    perform("dissolveModeWithEvent:");
    EXPECT_EQ(toolBar()->dissolveButton()->state(), 0);
    EXPECT_EQ(stored("DissolveModeKey"), 0);
}

TEST_F(ToolCommandsTest, ExtraActionsAnswerWhetherTheyWereHandled)
{
    launchAndShow();
    const quint64 tool = canvas(0)->toolType();
    struct Row
    {
        quint64 action;
        bool handled;
    };
    for (const Row row :
         {Row{0, false}, Row{20, true}, Row{21, true}, Row{50, true}, Row{4000, true}, Row{48, false}}) {
        EXPECT_EQ(delegate().invokeExtraAction(row.action), row.handled) << row.action;
        EXPECT_EQ(canvas(0)->toolType(), tool);
        EXPECT_TRUE(delegate().isActiveAndShown());
    }

    EXPECT_TRUE(delegate().invokeExtraAction(42)); // Ellipse, forced
    EXPECT_EQ(canvas(0)->toolType(), 6u);
    EXPECT_TRUE(delegate().invokeExtraAction(4)); // next thickness
    EXPECT_TRUE(delegate().invokeExtraAction(1)); // hide
    EXPECT_FALSE(delegate().isActiveAndShown());
}

TEST_F(ToolCommandsTest, TheDotActionLeavesADrawingUnderTheBall)
{
    launchAndShow();
    MRKODraw &drawing = *canvas(0);
    drawing.setDissolveMode(1); // freeze: the dot stays
    platform::Event enter;
    enter.type = platform::EventType::MouseMoved;
    enter.locationInWindow = QPointF(300, 300);
    drawing.mouseEntered(enter); // the pointer over the canvas carries the ball
    drawing.simulateUpdateColorBall();
    const qsizetype before = drawing.layers().size();
    ASSERT_EQ(delegate().drawViewForMouseLocation(), &drawing);
    EXPECT_TRUE(delegate().invokeExtraAction(22));
    ASSERT_EQ(drawing.layers().size(), before + 1);
    EXPECT_FALSE(drawing.layers().back()->frame().isEmpty());
}

TEST_F(ToolCommandsTest, SemiTransparencyTwiceLeavesTheSettingAsItWas)
{
    launchAndShow();
    const bool before = inkora::liveSettings().needSemitransparent;
    perform("semiTansparentWithEvent:");
    EXPECT_NE(inkora::liveSettings().needSemitransparent, before);
    EXPECT_EQ(toolBar()->prefOpacityButton() != nullptr, !before);
    perform("semiTansparentWithEvent:");
    EXPECT_EQ(inkora::liveSettings().needSemitransparent, before);
    EXPECT_EQ(stored("SemitransparentDrawingKey"), before ? 1 : 0);
}
