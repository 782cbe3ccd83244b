#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "app/MRKOMenuPlaceholder.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeStatusItem.h"
#include "tests/support/InkoraFixture.h"

#include <QMenu>

namespace {

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

QStringList checked(const QMenu *menu)
{
    QStringList list;
    for (const QAction *action : menu->actions()) {
        if (action->isChecked())
            list.append(action->text());
    }
    return list;
}

} // namespace

class OverlayMenusTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        // A menu that pops up asks for the keyboard, which the offscreen platform cannot give.
        log().expectWarning(QStringLiteral("This plugin does not support grabbing the keyboard"));
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->prepareUserDefaults();
        defaults().setBool(true, QStringLiteral("FirstTimeRun")); // no welcome window
    }
    void TearDown() override
    {
        m_delegate.reset();
        InkoraFixture::TearDown();
    }

    void twoDisplays()
    {
        fakes().screens->setScreens({platform::FakeScreens::makeScreen(1, QRectF(0, 0, 1600, 1000)),
                                     platform::FakeScreens::makeScreen(2, QRectF(1600, 0, 1280, 800))});
    }
    void show()
    {
        m_delegate->makeStatusBarItem();
        m_delegate->applicationDidFinishLaunching();
        drainMainQueue();
        m_delegate->performAction(QStringLiteral("runInkora:"), nullptr);
        drainMainQueue();
        ASSERT_TRUE(m_delegate->isActiveAndShown());
    }
    static platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
    AppDelegate &delegate() { return *m_delegate; }
    MRKODraw &canvas(int i = 0) { return *delegate().windowControllersArray().at(i)->drawView(); }
    platform::FakeStatusItem &tray() { return *fakes().statusItem; }
    QMenu *menu() { return delegate().statusMenu(); }
    void closeMenu()
    {
        emit menu()->aboutToHide();
        drainMainQueue();
    }

private:
    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(OverlayMenusTest, OverlayMenuItemsFollowTheStateAndTheShortcutsComeBackAfterClosing)
{
    show();
    defaults().setObject(QStringLiteral("5"), QStringLiteral("Arrow"));
    defaults().setInteger(2, QStringLiteral("Rectangle"));
    defaults().setInteger(1, QStringLiteral("Brush")); // another group's type counts as none
    const size_t grabs = fakes().hotKeys->grabs().size();

    tray().press();
    ASSERT_NE(menu(), nullptr);
    EXPECT_LT(fakes().hotKeys->grabs().size(), grabs) << "keys typed into the menu reach it";
    EXPECT_TRUE(tray().isHighlighted());
    const QStringList shown = titles(menu());
    EXPECT_EQ(shown.mid(0, 9),
              (QStringList{QStringLiteral("Hide Inkora"), QStringLiteral("Hide Toolbar"),
                           QStringLiteral("Enter Ghost Mode"), QStringLiteral("Brush Tool"),
                           QStringLiteral("Line Tool"), QStringLiteral("Rectangle Tool"), QStringLiteral("Text Tool"),
                           QStringLiteral("Switch Color Mode"), QStringLiteral("Freeze - Stop Fade")}));
    EXPECT_EQ(item(menu(), QStringLiteral("Undo"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(item(menu(), QStringLiteral("Redo"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    EXPECT_FALSE(item(menu(), QStringLiteral("Undo"))->isEnabled()) << "nothing to undo";
    EXPECT_FALSE(item(menu(), QStringLiteral("Redo"))->isEnabled());
    EXPECT_EQ(item(menu(), QStringLiteral("This Screen")), nullptr) << "one display: no display submenu";
    EXPECT_EQ(shown.last(), QStringLiteral("Quit Inkora"));
    ASSERT_NE(delegate().menuPlaceholder(), nullptr);
    EXPECT_EQ(delegate().menuPlaceholder()->level(), MRKOAppLevel::appLevel().level() + 1);
    EXPECT_TRUE(delegate().menuPlaceholder()->ignoresMouseEvents());

    closeMenu();
    EXPECT_EQ(fakes().hotKeys->grabs().size(), grabs);
    EXPECT_FALSE(tray().isHighlighted());
    EXPECT_EQ(delegate().menuPlaceholder(), nullptr);

    // Something to undo enables the item.
    AppDelegate::undoManager().registerUndo(this, [] {});
    tray().press();
    EXPECT_TRUE(item(menu(), QStringLiteral("Undo"))->isEnabled());
    closeMenu();
}

TEST_F(OverlayMenusTest, PlaceholderStaysAboveTheOverlayAndNeverBelowLevelTwentyFive)
{
    const struct
    {
        qint64 overlayLevel;
        int placeholderLevel;
    } rows[] = {{29, 30}, {20, 25}, {24, 25}};
    show();
    for (const auto &row : rows) {
        defaults().setInteger(row.overlayLevel, QStringLiteral("InkoraWindowLevel"));
        MRKOAppLevel::appLevel().updateLevel();
        canvas().showMenuWithCustomFrame(QRectF(10, 10, 20, 20));
        ASSERT_NE(delegate().menuPlaceholder(), nullptr);
        EXPECT_EQ(delegate().menuPlaceholder()->level(), row.placeholderLevel) << row.overlayLevel;
        EXPECT_EQ(delegate().menuPlaceholder()->frame(), QRectF(10, 10, 20, 20));
        closeMenu();
    }
}

TEST_F(OverlayMenusTest, DisplaySubmenuBelongsToTheCanvasTheMenuCameFrom)
{
    twoDisplays();
    show();
    canvas(1).showMenuWithCustomFrame(QRectF(5, 5, 10, 10));
    QAction *display = item(menu(), QStringLiteral("This Screen"));
    ASSERT_NE(display, nullptr);
    const QList<QAction *> items = display->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items.at(0)->data().toLongLong(), canvas(1).index());
    EXPECT_TRUE(items.at(0)->isChecked()) << "drawing is on";
    EXPECT_TRUE(items.at(1)->isEnabled());
    closeMenu();
}

TEST_F(OverlayMenusTest, WhiteboardMenuOffersLayoutsColoursAndPerDisplayChoices)
{
    show();
    canvas().showWhiteboardMenuWithCustomFrame(QRectF(100, 100, 20, 20));
    ASSERT_NE(menu(), nullptr);
    const QStringList shown = titles(menu());
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Whiteboard Layout"), QStringLiteral("Fullscreen"),
                                  QStringLiteral("Left Half"), QStringLiteral("Right Half"), QStringLiteral("Top Half"),
                                  QStringLiteral("Bottom Half"), QStringLiteral("Top Left Corner"),
                                  QStringLiteral("Top Right Corner"), QStringLiteral("Bottom Left Corner"),
                                  QStringLiteral("Bottom Right Corner"), QStringLiteral("Whiteboards Color")}));
    EXPECT_EQ(menu()->actions().first()->data().toInt(), -1);
    EXPECT_EQ(checked(menu()), QStringList{QStringLiteral("Fullscreen")}) << "layout 0, the title unmarked";
    QMenu *colors = item(menu(), QStringLiteral("Whiteboards Color"))->menu();
    EXPECT_EQ(titles(colors), (QStringList{QStringLiteral("White"), QStringLiteral("Dark Gray"),
                                           QStringLiteral("Black"), QStringLiteral("Custom")}));
    EXPECT_EQ(delegate().menuPlaceholder()->level(), MRKOAppLevel::appLevel().level() + 1);
    EXPECT_FALSE(delegate().menuPlaceholder()->ignoresMouseEvents());
    closeMenu();
}

TEST_F(OverlayMenusTest, WhiteboardMenuOfTwoDisplaysOffersOneWayBackAndAnUnknownColourChecksNothing)
{
    twoDisplays();
    defaults().setInteger(7, QStringLiteral("WhiteBoardColor"));
    show();
    delegate().updateWhiteBoardColorType();
    canvas(0).showWhiteboardMenuWithCustomFrame(QRectF(100, 100, 20, 20));
    EXPECT_NE(item(menu(), QStringLiteral("This Screen")), nullptr);
    EXPECT_NE(item(menu(), QStringLiteral("Hide Whiteboard for This Screen")), nullptr);
    EXPECT_EQ(item(menu(), QStringLiteral("Show All Whiteboards")), nullptr);
    EXPECT_TRUE(checked(item(menu(), QStringLiteral("Whiteboards Color"))->menu()).isEmpty());
    closeMenu();

    // A disabled display outranks a hidden whiteboard.
    delegate().useScreenToDraw(1);
    canvas(0).hideWhiteBoardSelected();
    canvas(0).showWhiteboardMenuWithCustomFrame(QRectF(100, 100, 20, 20));
    EXPECT_NE(item(menu(), QStringLiteral("Allow Drawing on All Screens")), nullptr);
    EXPECT_EQ(item(menu(), QStringLiteral("Show All Whiteboards")), nullptr);
    closeMenu();
}
