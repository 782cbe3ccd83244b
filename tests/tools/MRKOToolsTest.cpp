#include "tools/MRKOTools.h"

#include "app/MRKORecentTools.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "platform/Defaults.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeHelperLink.h"
#include "platform/fake/FakeScreens.h"
#include "tests/tools/ToolBarFixture.h"
#include "tools/KVPopover.h"
#include "tools/MRKOColorButton.h"
#include "tools/MRKOSmallButton.h"
#include "tools/MRKOSmallToggleButton.h"
#include "tools/MRKOThicknessButton.h"
#include "tools/MRKOToolButton.h"
#include "tools/MRKOToolChoseButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolPanel.h"

class MRKOToolsTest : public ToolBarFixture
{
protected:
    void twoDisplays()
    {
        fakes().screens->setScreens({platform::FakeScreens::makeScreen(1, QRectF(0, 0, 1600, 1000)),
                                     platform::FakeScreens::makeScreen(2, QRectF(1600, 0, 1280, 800))});
    }
    [[nodiscard]] qint64 stored(const char *key) { return defaults().integerForKey(QLatin1String(key)); }
    QList<MRKOWindowController *> m_controllers() { return delegate().windowControllersArray(); }
    [[nodiscard]] std::vector<quint64> canvasTools()
    {
        std::vector<quint64> tools;
        for (MRKOWindowController *controller : m_controllers())
            tools.push_back(controller->drawView()->toolType());
        return tools;
    }
};

TEST_F(MRKOToolsTest, OnlyTheFirstDisplayGetsAPanelAtTheDefaultFrame)
{
    twoDisplays();
    launchAndShow();

    const auto controllers = delegate().windowControllersArray();
    ASSERT_EQ(controllers.size(), 2);
    ASSERT_NE(controllers.at(0)->toolPanel(), nullptr);
    EXPECT_EQ(controllers.at(1)->toolPanel(), nullptr);
    EXPECT_EQ(controllers.at(0)->toolPanel()->frame(), QRectF(0, 429, 60, 446)) << "60 x 446 at y 429 (y up)";
    EXPECT_EQ(controllers.at(0)->toolPanel()->parentWidget(), static_cast<QWidget *>(controllers.at(0)->window()))
        << "a child window";
    EXPECT_EQ(toolBar()->drawView(), canvas(0));
    EXPECT_DOUBLE_EQ(panel()->alphaValue(), 1.0);
}

TEST_F(MRKOToolsTest, ADamagedOrForeignSavedFrameGivesTheDefaultFrame)
{
    launchAndShow();
    delegate().runInkora(nullptr); // hide
    for (const QVariant &stored : {QVariant(QStringLiteral("{{x, 3}, {60, 446}}")), QVariant(42)}) {
        SCOPED_TRACE(stored.toString().toStdString());
        defaults().setObject(stored, QStringLiteral("ToolPanelFrameKey"));
        delegate().runInkora(nullptr);
        drainMainQueue();
        ASSERT_NE(panel(), nullptr);
        EXPECT_EQ(panel()->frame(), QRectF(0, 900 - 559, 60, 446));
        delegate().runInkora(nullptr);
        drainMainQueue();
    }
}

TEST_F(MRKOToolsTest, AClickedToolReachesEveryDisplayTheSettingsAndThePhone)
{
    twoDisplays();
    launchAndShow();
    remote->connected = true;

    click(*toolBar()->rectangleButton());

    EXPECT_EQ(stored("ToolTypeKey"), 2);
    EXPECT_EQ(canvasTools(), (std::vector<quint64>{2, 2}));
    EXPECT_EQ(toolBar()->toolType(), 2u);
    EXPECT_EQ(toolBar()->currentToolSelected(), toolBar()->rectangleButton());
    EXPECT_EQ(toolBar()->brushButton()->state(), 0);
    EXPECT_EQ(remote->sent, QStringList{QStringLiteral("tool 2")});

    // The selected group button steps to its other tool and remembers it.
    click(*toolBar()->rectangleButton());
    EXPECT_EQ(stored("ToolTypeKey"), 6);
    EXPECT_EQ(canvasTools(), (std::vector<quint64>{6, 6}));
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("Rectangle")), QStringLiteral("6"));
    EXPECT_EQ(toolBar()->rectangleButton()->state(), 1);
}

TEST_F(MRKOToolsTest, HelperIndicatorFollowsTheNotificationMode)
{
    launchAndShow();
    delegate().runInkora(nullptr); // hide
    struct Row
    {
        qint64 mode;
        bool withoutToolbar;
        bool shown;
    };
    for (const Row row : {Row{0, false, false}, Row{0, true, true}, Row{1, false, true}, Row{2, true, false}}) {
        SCOPED_TRACE(testing::Message() << "mode " << row.mode << " without tool bar " << row.withoutToolbar);
        defaults().setInteger(row.mode, QStringLiteral("ShowNotificationsKey"));
        delegate().updateAllSettings();
        delegate().activateInkoraNoToolbar(row.withoutToolbar);
        advance(0.2);
        fakes().helperLink->calls.clear();

        delegate().changeToolType(2);

        EXPECT_EQ(!fakes().helperLink->calls.empty(), row.shown);
        delegate().closeAllDrawableScreens();
        drainMainQueue();
    }
}

TEST_F(MRKOToolsTest, ForcedSwitchesPickTheVariantAndCancelAnAuxiliaryActionFirst)
{
    launchAndShow();
    MRKOTools &tools = *toolBar();

    tools.changeToolForced(5, false);
    EXPECT_EQ(tools.toolType(), 1u) << "not forced: the arrow group with the variant it remembers";

    tools.changeToolForced(5, true);
    EXPECT_EQ(tools.toolType(), 5u);
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("Arrow")), QStringLiteral("5"));

    tools.changeToolForced(7, true);
    tools.changeToolForced(99, false);
    EXPECT_EQ(tools.toolType(), 5u) << "types above 6 do nothing";
    EXPECT_EQ(stored("ToolTypeKey"), 5);
}

TEST_F(MRKOToolsTest, DissolveButtonStoresTheModeAndFadeEmptiesTheUndoHistory)
{
    launchAndShow();
    remote->connected = true;
    MRKOTools &tools = *toolBar();
    ASSERT_EQ(tools.dissolveMode(), 0u);

    tools.changeDissolve();
    EXPECT_EQ(stored("DissolveModeKey"), 1);
    EXPECT_EQ(tools.dissolveButton()->state(), 1);
    EXPECT_EQ(canvas(0)->dissolveMode(), 1);

    AppDelegate::undoManager().registerUndo(static_cast<const void *>(this), [] {});
    ASSERT_TRUE(AppDelegate::undoManager().canUndo());
    click(*tools.dissolveButton());
    EXPECT_EQ(stored("DissolveModeKey"), 0);
    EXPECT_EQ(canvas(0)->dissolveMode(), 0);
    EXPECT_FALSE(AppDelegate::undoManager().canUndo());
    EXPECT_TRUE(remote->sent.contains(QStringLiteral("dissolve 1")));
    EXPECT_TRUE(remote->sent.contains(QStringLiteral("dissolve 0")));
}

TEST_F(MRKOToolsTest, ColourTypeAndThicknessReachEveryCanvas)
{
    twoDisplays();
    launchAndShow();
    remote->connected = true;
    MRKOTools &tools = *toolBar();

    click(*tools.customColorButton());
    EXPECT_EQ(stored("ColorTypeKey"), 1);
    EXPECT_EQ(canvas(1)->colorType(), 1);
    EXPECT_EQ(tools.currentColorTypeSelected(), tools.customColorButton());
    EXPECT_EQ(remote->sent, (QStringList{QStringLiteral("colorType 1"), QStringLiteral("hue")}));

    tools.changeColorType(0);
    EXPECT_EQ(stored("ColorTypeKey"), 0);
    EXPECT_EQ(canvas(1)->colorType(), 0);
    EXPECT_EQ(tools.rainbowButton()->state(), 1);
    EXPECT_EQ(tools.customColorButton()->state(), 0);

    tools.changeThickness(4);
    EXPECT_EQ(stored("AllToolsThicknessKey"), 4);
    EXPECT_EQ(canvas(0)->thickness(), 4u);
    EXPECT_EQ(canvas(1)->thickness(), 4u);
}

TEST_F(MRKOToolsTest, BadStoredValuesShowSafeStates)
{
    defaults().setInteger(9, QStringLiteral("ToolTypeKey"));
    defaults().setInteger(7, QStringLiteral("ColorTypeKey"));
    defaults().setInteger(9, QStringLiteral("AllToolsThicknessKey"));
    launchAndShow();
    MRKOTools &tools = *toolBar();

    EXPECT_EQ(tools.currentToolSelected(), nullptr) << "no button checked";
    EXPECT_EQ(tools.currentColorTypeSelected(), nullptr);
    for (MRKOButton *button :
         {static_cast<MRKOButton *>(tools.brushButton()), static_cast<MRKOButton *>(tools.arrowButton()),
          static_cast<MRKOButton *>(tools.rectangleButton()), static_cast<MRKOButton *>(tools.lineButton())})
        EXPECT_EQ(button->state(), 0);
    EXPECT_EQ(tools.selectedToolButton(), tools.brushButton());
}

TEST_F(MRKOToolsTest, UndoRedoAndRepeatFollowTheHistoryAfterTheNotification)
{
    launchAndShow();
    MRKOTools &tools = *toolBar();
    EXPECT_FALSE(tools.undoButton()->isEnabled());
    EXPECT_FALSE(tools.repeatButton()->isEnabled());

    const void *target = this;
    // Undoing registers the redo, as every drawing step does.
    AppDelegate::undoManager().registerUndo(target,
                                            [target] { AppDelegate::undoManager().registerUndo(target, [] {}); });
    AppDelegate::postUpdateUndoRedo();
    EXPECT_FALSE(tools.undoButton()->isEnabled()) << "refreshed after the current event";
    drainMainQueue();
    EXPECT_TRUE(tools.undoButton()->isEnabled());
    EXPECT_FALSE(tools.redoButton()->isEnabled());

    click(*tools.undoButton());
    drainMainQueue();
    EXPECT_FALSE(tools.undoButton()->isEnabled());
    EXPECT_TRUE(tools.redoButton()->isEnabled());
}

TEST_F(MRKOToolsTest, SidePanelClosesBackToExactlyTheToolWidth)
{
    launchAndShow();
    MRKOTools &tools = *toolBar();
    const QRectF closed = panel()->frame();

    click(*tools.openMenuButton());
    EXPECT_TRUE(tools.menuIsOpen());
    EXPECT_GT(panel()->frame().width(), 60);
    EXPECT_EQ(panel()->frame().x(), closed.x());
    EXPECT_EQ(tools.openMenuButton()->state(), 1);

    tools.additionalMenu();
    EXPECT_FALSE(tools.menuIsOpen());
    EXPECT_EQ(panel()->frame(), closed);
    EXPECT_EQ(tools.openMenuButton()->state(), 0);
}

TEST_F(MRKOToolsTest, RecentToolsRememberTheLastTwoGroups)
{
    MRKORecentTools &recent = MRKORecentTools::recentTools();
    recent.setToolType(0);
    recent.setToolType(6); // Ellipse: the rectangle group
    recent.setToolType(2); // the same group changes nothing
    EXPECT_EQ(recent.recentTool(), 0u);
    EXPECT_EQ(recent.recentTool(), 2u);
    EXPECT_EQ(recent.recentTool(), 0u);
}

TEST_F(MRKOToolsTest, CustomColourButtonOpensThePopoverWhosePickReachesTheToolColour)
{
    launchAndShow();
    MRKOTools &tools = *toolBar();
    KVPopover &popover = KVPopover::sharedPopover();

    click(*tools.customColorButton());
    drainMainQueue();
    ASSERT_TRUE(popover.isShown());
    EXPECT_EQ(popover.target(), &tools);
    EXPECT_EQ(canvas(0)->colorType(), 1);

    const inkora::SrgbColor green(0.2, 0.8, 0.3, 1);
    popover.setColor(green);
    popover.didSelectColor();
    EXPECT_EQ(MRKOToolColor::toolColor().color(), green);
    EXPECT_EQ(tools.customColorButton()->color(), green);

    click(*tools.customColorButton());
    EXPECT_FALSE(popover.isShown()) << "a second click closes it";
    EXPECT_EQ(tools.customColorButton()->state(), 1);
}

TEST_F(MRKOToolsTest, HandAndScissorsButtonsShowTheAuxiliaryActionOfEveryCanvas)
{
    launchAndShow();
    MRKOTools &tools = *toolBar();

    delegate().toggleScissors();
    EXPECT_EQ(tools.scissorsButton()->state(), 1);
    EXPECT_EQ(tools.handButton()->state(), 0);

    delegate().toggleHand();
    EXPECT_EQ(tools.scissorsButton()->state(), 0) << "the hand replaces the scissors";
    EXPECT_EQ(tools.handButton()->state(), 1);

    delegate().toggleHand();
    EXPECT_EQ(tools.handButton()->state(), 0);
    EXPECT_EQ(canvas(0)->auxAction(), 0u);
}

TEST_F(MRKOToolsTest, APanelDraggedOverACanvasKeepsTheBallAwayUntilItIsDropped)
{
    launchAndShow();
    MRKODraw &drawing = *canvas(0);
    platform::Event enter;
    enter.type = platform::EventType::MouseMoved;
    enter.locationInWindow = QPointF(300, 300);
    drawing.hideBall();

    const QPointF grab = panel()->frame().center();
    panel()->mouseDown(QPointF(10, 10), grab, true);
    panel()->mouseDragged(grab + QPointF(60, 0));
    ASSERT_TRUE(panel()->isMouseDragging());
    drawing.mouseEntered(enter);
    EXPECT_TRUE(drawing.ballIsHidden()) << "entered under a dragged panel";

    panel()->cleanUpMouseUp();
    drawing.mouseEntered(enter);
    EXPECT_FALSE(drawing.ballIsHidden());
}
