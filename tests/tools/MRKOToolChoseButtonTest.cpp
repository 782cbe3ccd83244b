#include "tools/MRKOToolChoseButton.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/tools/ToolsFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <functional>
#include <vector>

class MRKOToolChoseButtonTest : public ToolsFixture
{
protected:
    platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }

    /// A group button on the panel that counts the actions it sends.
    std::unique_ptr<MRKOToolChoseButton> makeButton(const QString &identifier, qint64 interfaceTag)
    {
        auto button = std::make_unique<MRKOToolChoseButton>(identifier, interfaceTag);
        QObject::connect(button.get(), &MRKOButton::actionSent, [this](MRKOButton *sender) {
            ++m_actions;
            m_lastTag = sender->tag();
        });
        place(*button);
        return button;
    }

    int m_actions = 0;
    qint64 m_lastTag = -1;
};

TEST_F(MRKOToolChoseButtonTest, ClickOnTheSelectedButtonSwitchesToTheOtherToolAndRemembersIt)
{
    auto brush = makeButton(QStringLiteral("Brush"), 0);
    brush->setState(1);

    click(*brush);
    EXPECT_EQ(brush->tag(), 4);
    EXPECT_EQ(m_lastTag, 4);
    EXPECT_EQ(brush->descIdentifier(), QStringLiteral("Quick Arrow"));
    EXPECT_EQ(brush->imageName(), QStringLiteral("QuickArrowMedium"));
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("Brush")), QStringLiteral("4"));

    click(*brush);
    EXPECT_EQ(brush->tag(), 0);
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("Brush")), QStringLiteral("0"));
    EXPECT_EQ(m_actions, 2);

    // The choice survives a restart.
    defaults().setObject(QStringLiteral("4"), QStringLiteral("Brush"));
    ASSERT_TRUE(defaults().synchronize());
    defaults().reload();
    EXPECT_EQ(MRKOToolChoseButton(QStringLiteral("Brush"), 0).tag(), 4);
}

TEST_F(MRKOToolChoseButtonTest, UnselectedButtonKeepsItsToolAndOnlySendsTheAction)
{
    auto arrow = makeButton(QStringLiteral("Arrow"), 1);

    click(*arrow);

    EXPECT_EQ(arrow->tag(), 1);
    EXPECT_EQ(m_actions, 1);
    EXPECT_FALSE(defaults().objectForKey(QStringLiteral("Arrow")).isValid());
}

TEST_F(MRKOToolChoseButtonTest, WhileTheHandIsOnTheToolStaysAndTheActionIsSent)
{
    auto rectangle = makeButton(QStringLiteral("Rectangle"), 2);
    rectangle->setState(1);
    m_delegate->auxAction = true;

    click(*rectangle);

    EXPECT_EQ(rectangle->tag(), 2);
    EXPECT_EQ(m_actions, 1);
}

TEST_F(MRKOToolChoseButtonTest, OnlyTheGroupsOwnRememberedToolIsTaken)
{
    struct Row
    {
        const char *name;
        QVariant stored;
        qint64 tag;
    };
    const std::vector<Row> rows = {
        {"Line", QStringLiteral("5"), 5},           {"LineAsNumber", qint64(5), 5},
        {"NoRelatedTypes", QStringLiteral("9"), 1}, {"TextHasNoGroupButton", QStringLiteral("3"), 1},
        {"BrushGroup", QStringLiteral("0"), 1},     {"NotANumber", QStringLiteral("abc"), 1},
        {"Negative", QStringLiteral("-3"), 1},      {"Fraction", 5.5, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        defaults().setObject(row.stored, QStringLiteral("Arrow"));
        MRKOToolChoseButton arrow(QStringLiteral("Arrow"), 1);
        EXPECT_EQ(arrow.tag(), row.tag);
        EXPECT_EQ(arrow.toolTypes(), (QList<quint64>{1, 5}));
        EXPECT_EQ(defaults().objectForKey(QStringLiteral("Arrow")), row.stored); // left as it was
        // Cycling and the menu work from the group's own tools.
        arrow.setState(1);
        place(arrow);
        click(arrow);
        EXPECT_EQ(arrow.tag(), row.tag == 1 ? 5 : 1);
    }
}

TEST_F(MRKOToolChoseButtonTest, LongPressOpensTheGroupsMenuAndTheReleaseSendsNothing)
{
    auto brush = makeButton(QStringLiteral("Brush"), 4);
    brush->setState(1);

    press(*brush);
    advance(0.24);
    EXPECT_EQ(brush->openMenu(), nullptr);
    advance(0.02);

    QMenu *menu = brush->openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(brush->menuWasShownForLastMouseDown());
    const QList<QAction *> items = menu->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Brush"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Quick Arrow"));
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(items[0]->icon().isNull());
    // Anchored 16 points in from the button's lower left corner and 4 below it.
    EXPECT_EQ(menu->pos(), brush->mapToGlobal(QPoint(16, 44)));

    release(*brush);
    EXPECT_EQ(m_actions, 0);
    EXPECT_EQ(brush->tag(), 4);

    menu->setActiveAction(items[0]);
    QTest::keyClick(menu, Qt::Key_Return); // choosing closes the menu and sends the action with the chosen tool
    EXPECT_EQ(brush->openMenu(), nullptr);
    EXPECT_EQ(m_actions, 1);
    EXPECT_EQ(m_lastTag, 0);
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("Brush")), QStringLiteral("0"));
    EXPECT_FALSE(brush->isHighlighted());
}

TEST_F(MRKOToolChoseButtonTest, EveryWayTheMenuClosesEndsThePress)
{
    auto arrow = makeButton(QStringLiteral("Arrow"), 1);
    const std::vector<std::pair<const char *, std::function<void(QMenu &)>>> ways = {
        {"Escape", [](QMenu &menu) { QTest::keyClick(&menu, Qt::Key_Escape); }},
        {"ClickOutside", [](QMenu &menu) { QTest::mouseClick(&menu, Qt::LeftButton, {}, QPoint(-20, -20)); }},
        {"ItemChosen",
         [](QMenu &menu) {
             menu.setActiveAction(menu.actions().constLast());
             QTest::keyClick(&menu, Qt::Key_Return);
         }},
    };
    for (const auto &[name, close] : ways) {
        SCOPED_TRACE(name);
        press(*arrow);
        advance(0.25);
        QMenu *menu = arrow->openMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(arrow->isHighlighted());

        close(*menu);

        EXPECT_EQ(arrow->openMenu(), nullptr);
        EXPECT_FALSE(arrow->isHighlighted());
        EXPECT_FALSE(arrow->mouseIsDown());
        release(*arrow); // had the menu not taken it
    }
    EXPECT_EQ(m_actions, 1);
    EXPECT_EQ(arrow->tag(), 5);
}

TEST_F(MRKOToolChoseButtonTest, DragBeforeTheLongPressOpensNoMenuAndTheReleaseStillActs)
{
    auto arrow = makeButton(QStringLiteral("Arrow"), 1);

    press(*arrow, QPoint(20, 20));
    drag(*arrow, QPoint(30, 20)); // 10 points: still a press
    EXPECT_FALSE(arrow->mouseIsDragged());
    drag(*arrow, QPoint(31, 20));
    EXPECT_TRUE(arrow->mouseIsDragged());
    advance(0.5);
    EXPECT_EQ(arrow->openMenu(), nullptr);

    release(*arrow, QPoint(31, 20));
    EXPECT_EQ(m_actions, 1);
}

TEST_F(MRKOToolChoseButtonTest, CheckOfAnEarlierPressDoesNothing)
{
    auto arrow = makeButton(QStringLiteral("Arrow"), 1);

    press(*arrow);
    advance(0.1);
    release(*arrow);
    advance(0.1);
    press(*arrow); // the first press's check falls due while this one is down
    advance(0.1);
    EXPECT_EQ(arrow->openMenu(), nullptr);
    advance(0.2);
    ASSERT_NE(arrow->openMenu(), nullptr); // this press's own check

    arrow->openMenu()->close();
}

TEST_F(MRKOToolChoseButtonTest, ReleaseOutsideOnlyClearsTheHighlight)
{
    auto arrow = makeButton(QStringLiteral("Arrow"), 1);
    arrow->setState(1);

    press(*arrow);
    EXPECT_TRUE(arrow->isHighlighted());
    release(*arrow, QPoint(60, 20));

    EXPECT_FALSE(arrow->isHighlighted());
    EXPECT_EQ(arrow->tag(), 1);
    EXPECT_EQ(m_actions, 0);
}
