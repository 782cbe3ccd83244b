#include "app/AppDelegate.h"
#include "app/MRKOGreenStatusImageView.h"
#include "app/StatusBarImages.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Event.h"
#include "platform/fake/FakeStatusItem.h"
#include "shortcuts/KQShortCut.h"
#include "tests/support/InkoraFixture.h"

#include <QMenu>

namespace {

// A delegate whose only commands are stand-ins that count their calls, and whose ghost mode, Function key and
// remote link a test sets.
class StandInDelegate final : public AppDelegate
{
public:
    explicit StandInDelegate(const QStringList &commands = {}) : m_commands(commands) {}
    [[nodiscard]] bool respondsToAction(const QString &action) const override { return m_commands.contains(action); }
    void performAction(const QString &action, const platform::Event *event) override
    {
        ASSERT_TRUE(respondsToAction(action)) << action.toStdString();
        calls.append(action);
        events.append(event);
        if (action == QLatin1String("runInkora:"))
            setActiveAndShown(!isActiveAndShown());
    }
    void setShown(bool shown) { setActiveAndShown(shown); }
    [[nodiscard]] bool isPinnedOnTop() const override { return ghost; }
    [[nodiscard]] bool fnPressed() const override { return fn; }
    [[nodiscard]] bool isRemoteConnected() const override { return remote; }
    [[nodiscard]] bool isToolbarHidden() const override { return false; }

    bool ghost = false;
    bool fn = false;
    bool remote = false;
    QStringList calls;
    QList<const platform::Event *> events;

private:
    QStringList m_commands;
};

QStringList titles(const QMenu *menu)
{
    QStringList list;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            list.append(action->text());
    }
    return list;
}

QAction *item(const QMenu *menu, const QString &title)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

} // namespace

class StatusItemTest : public InkoraFixture
{
protected:
    platform::FakeStatusItem &tray() { return *fakes().statusItem; }
    void setSetting(const QString &key, const QVariant &value) { MRKOUtils::userDefaults().setObject(value, key); }
    void expectIcon(const char *name)
    {
        EXPECT_EQ(tray().image(), inkora::statusBarImage(QLatin1String(name))) << name;
    }
};

TEST_F(StatusItemTest, PhaseFollowsShownGhostFunctionKeyAndRemote)
{
    StandInDelegate app;
    EXPECT_EQ(app.statusBarPhase(), AppDelegate::kStatusBarPhaseUnset);
    app.makeStatusBarItem();
    EXPECT_TRUE(tray().isVisible());
    EXPECT_EQ(app.statusBarPhase(), 0u);
    expectIcon("MRKOStatusBar");

    struct Row
    {
        bool shown, ghost, fn, remote;
        quint64 phase;
        const char *image;
    };
    // The remote wins over ghost mode and the Function key.
    const Row rows[] = {
        {true, false, false, false, 1, "MRKOStatusBarActive"},
        {true, true, false, false, 2, "MRKOStatusBarInactivePin"},
        {true, false, true, false, 2, "MRKOStatusBarInactivePin"},
        {true, true, true, false, 3, "MRKOStatusBarActivePin"},
        {false, true, true, true, 4, "MRKOStatusBarAir"},
        {true, true, true, true, 5, "MRKOStatusBarAirActive"},
        {false, true, true, false, 0, "MRKOStatusBar"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.image);
        app.setShown(row.shown);
        app.ghost = row.ghost;
        app.fn = row.fn;
        app.remote = row.remote;
        app.updateStatusBarPhase();
        EXPECT_EQ(app.statusBarPhase(), row.phase);
        expectIcon(row.image);
    }
}

TEST_F(StatusItemTest, SamePhaseTwiceLeavesTheIconAlone)
{
    StandInDelegate app;
    app.makeStatusBarItem();
    const int changes = tray().imageChanges();
    EXPECT_EQ(changes, 1); // the first phase always sets the icon

    app.setStatusBarPhase(0);
    app.updateStatusBarPhase();
    EXPECT_EQ(tray().imageChanges(), changes);

    // Unknown phases are stored but keep the icon.
    app.setStatusBarPhase(7);
    EXPECT_EQ(app.statusBarPhase(), 7u);
    EXPECT_EQ(tray().imageChanges(), changes);
}

TEST_F(StatusItemTest, GhostModeAtLaunchShowsBeforeTheOverlayExists)
{
    setSetting(QStringLiteral("StartGhostModeAtLaunch"), qint64(1));
    StandInDelegate app;
    app.makeStatusBarItem();
    EXPECT_EQ(app.statusBarPhase(), 2u);
    expectIcon("MRKOStatusBarInactivePin");
}

TEST_F(StatusItemTest, DotFollowsOddPhasesOnlyWhenWanted)
{
    StandInDelegate app;
    app.makeStatusBarItem();

    // Not wanted: never added.
    MRKOGreenStatusImageView::updateWantsGreenStatus();
    app.setStatusBarPhase(1);
    EXPECT_FALSE(MRKOGreenStatusImageView::isShown());
    EXPECT_TRUE(tray().badge().isNull());

    setSetting(QStringLiteral("UseGreenStatus"), qint64(1));
    MRKOGreenStatusImageView::updateWantsGreenStatus();
    MRKOGreenStatusImageView::updateGreenForCurrentPhase();
    EXPECT_TRUE(MRKOGreenStatusImageView::isShown());
    EXPECT_EQ(tray().badge(), inkora::statusBarImage(QStringLiteral("MRKOStatusBarActiveGreen")));

    // The remote's colour replaces the dot on show.
    MRKOGreenStatusImageView::statusAir();
    EXPECT_EQ(tray().badge(), inkora::statusBarImage(QStringLiteral("MRKOStatusBarAirActiveGreen")));
    MRKOGreenStatusImageView::statusNormal();

    // Switched off while shown: a change between odd phases leaves it, an even phase removes it.
    setSetting(QStringLiteral("UseGreenStatus"), qint64(2));
    MRKOGreenStatusImageView::updateWantsGreenStatus();
    app.setStatusBarPhase(3);
    EXPECT_TRUE(MRKOGreenStatusImageView::isShown());
    app.setStatusBarPhase(2);
    EXPECT_FALSE(MRKOGreenStatusImageView::isShown());
    EXPECT_TRUE(tray().badge().isNull());
}

TEST_F(StatusItemTest, OnlyAShortcutsCommandFlashesTheItem)
{
    StandInDelegate app;
    app.makeStatusBarItem();

    app.highlightStatusBarButtonWithEvent(nullptr); // a menu or the tool bar
    drainMainQueue();
    EXPECT_FALSE(tray().isHighlighted());

    const platform::Event key{};
    app.highlightStatusBarButtonWithEvent(&key);
    EXPECT_FALSE(tray().isHighlighted()); // queued on the main queue
    drainMainQueue();
    EXPECT_TRUE(tray().isHighlighted());
    advance(0.19);
    EXPECT_TRUE(tray().isHighlighted());
    advance(0.02);
    EXPECT_FALSE(tray().isHighlighted());
}

TEST_F(StatusItemTest, PressWhileHiddenOpensTheStatusMenuWhoseItemsRunTheCommands)
{
    StandInDelegate app({QStringLiteral("runInkora:"), QStringLiteral("togglePinOnTop:")});
    app.makeStatusBarItem();
    app.applicationDidFinishLaunching();

    tray().press();
    ASSERT_NE(tray().menu(), nullptr);
    EXPECT_TRUE(app.externalAppMenu());
    EXPECT_EQ(
        titles(tray().menu()),
        (QStringList{QStringLiteral("Show Inkora"), QStringLiteral("Show Without Toolbar"),
                     QStringLiteral("Quick Tour\u2026"), QStringLiteral("Preferences\u2026"),
                     QStringLiteral("Shortcuts\u2026"), QStringLiteral("Feedback\u2026"),
                     QStringLiteral("Remote\u2026"), QStringLiteral("Welcome\u2026"), QStringLiteral("Quit Inkora")}));
    // A command nobody handles yet is offered disabled.
    EXPECT_TRUE(item(tray().menu(), QStringLiteral("Show Inkora"))->isEnabled());
    EXPECT_FALSE(item(tray().menu(), QStringLiteral("Show Without Toolbar"))->isEnabled());

    item(tray().menu(), QStringLiteral("Show Inkora"))->trigger();
    EXPECT_EQ(app.calls, QStringList{QStringLiteral("runInkora:")});
    EXPECT_EQ(app.events.value(0), nullptr); // a menu's command carries no event
    tray().closeMenu();
    EXPECT_FALSE(tray().isHighlighted());

    // The ghost-mode item shows in the status menu only while ghost mode is on.
    app.setShown(false);
    app.ghost = true;
    tray().press();
    QAction *ghost = item(tray().menu(), QStringLiteral("Exit Ghost Mode"));
    ASSERT_NE(ghost, nullptr);
    EXPECT_TRUE(ghost->isChecked());
    ghost->trigger();
    EXPECT_EQ(app.calls.last(), QStringLiteral("togglePinOnTop:"));
}

TEST_F(StatusItemTest, PressWhileShownOpensTheOverlayMenuAndKeepsTheItemPressed)
{
    StandInDelegate app({QStringLiteral("runInkora:"), QStringLiteral("showHideToolbar:"),
                         QStringLiteral("togglePinOnTop:"), QStringLiteral("arrowToolWithEvent:")});
    app.makeStatusBarItem();
    app.applicationDidFinishLaunching();
    app.setShown(true);
    setSetting(QStringLiteral("Arrow"), qint64(5));

    tray().press();
    ASSERT_NE(tray().menu(), nullptr);
    EXPECT_FALSE(app.externalAppMenu());
    EXPECT_TRUE(tray().isHighlighted());
    const QStringList shown = titles(tray().menu());
    EXPECT_EQ(shown.mid(0, 7), (QStringList{QStringLiteral("Hide Inkora"), QStringLiteral("Hide Toolbar"),
                                            QStringLiteral("Enter Ghost Mode"), QStringLiteral("Brush Tool"),
                                            QStringLiteral("Line Tool"), QStringLiteral("Rectangle Tool"),
                                            QStringLiteral("Text Tool")}));
    EXPECT_EQ(shown.last(), QStringLiteral("Quit Inkora"));

    // The arrow group's item keeps its tag whatever variant it names.
    QAction *arrow = item(tray().menu(), QStringLiteral("Line Tool"));
    EXPECT_EQ(arrow->data().toInt(), 1);
    arrow->trigger();
    EXPECT_EQ(app.calls, QStringList{QStringLiteral("arrowToolWithEvent:")});

    tray().closeMenu();
    EXPECT_FALSE(tray().isHighlighted());
}

TEST_F(StatusItemTest, MenuItemsShowTheirCommandsShortcuts)
{
    StandInDelegate app(
        {QStringLiteral("runInkora:"), QStringLiteral("runInkoraWithoutToolbar:"), QStringLiteral("undoWithEvent:")});
    app.makeStatusBarItem();
    app.applicationDidFinishLaunching();
    app.registerCommonShortCuts();
    app.activateWithoutShortCut()->setDisabled(true);

    tray().press();
    ASSERT_NE(tray().menu(), nullptr);
    EXPECT_EQ(item(tray().menu(), QStringLiteral("Show Inkora"))->shortcut().toString(QKeySequence::NativeText),
              QStringLiteral("Super+Alt+D"));
    EXPECT_TRUE(item(tray().menu(), QStringLiteral("Show Without Toolbar"))->shortcut().isEmpty());
    tray().closeMenu();

    app.setShown(true);
    app.registerApplicationShortCuts();
    tray().press();
    EXPECT_EQ(item(tray().menu(), QStringLiteral("Undo"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(item(tray().menu(), QStringLiteral("Hide Inkora"))->shortcut(),
              QKeySequence(QStringLiteral("Meta+Alt+D")));
    tray().closeMenu();
}

TEST_F(StatusItemTest, ToolItemShowsTheOverlayFirst)
{
    StandInDelegate app({QStringLiteral("runInkora:"), QStringLiteral("textToolWithEvent:")});
    app.toolMenuSelected(3);
    EXPECT_EQ(app.calls, (QStringList{QStringLiteral("runInkora:"), QStringLiteral("textToolWithEvent:")}));
    EXPECT_TRUE(app.isActiveAndShown());

    // Shown already, and an unknown tag: nothing more.
    app.toolMenuSelected(9);
    EXPECT_EQ(app.calls.size(), 2);
}

TEST_F(StatusItemTest, FirstPressCompletesTheLaunch)
{
    StandInDelegate app({QStringLiteral("runInkora:")});
    app.makeStatusBarItem();
    EXPECT_FALSE(app.didFinishLaunching());

    tray().press();
    EXPECT_TRUE(app.didFinishLaunching());
    ASSERT_NE(tray().menu(), nullptr);
    EXPECT_EQ(tray().menusPoppedUp(), 1);
}
