#include "tools/MRKOSmallButton.h"

#include "foundation/NSColor+OnOffColor.h"
#include "platform/Popover.h"
#include "tests/tools/ToolsFixture.h"
#include "tools/MRKOSmallToggleButton.h"
#include "tools/NSButtonCell+isMouseIn.h"

#include <QCursor>

class MRKOSmallButtonTest : public ToolsFixture
{
protected:
    std::unique_ptr<MRKOSmallButton> makeButton(const QString &identifier)
    {
        auto button = std::make_unique<MRKOSmallButton>(identifier);
        button->setImageName(QStringLiteral("MRKORepeat"));
        QObject::connect(button.get(), &MRKOSmallButton::actionSent, [this] { ++m_actions; });
        place(*button, QPoint(10, 20), QSize(24, 24));
        return button;
    }

    int m_actions = 0;
};

TEST_F(MRKOSmallButtonTest, DescriptionShowsBelowAndNotForTheTextDescription)
{
    auto repeat = makeButton(QStringLiteral("Repeat"));
    enter(*repeat);
    advance(1.01);
    platform::Popover *popover = repeat->descPopover();
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(popover->isShown());
    EXPECT_EQ(popover->shownEdge(), platform::RectEdge::MinY);
    EXPECT_EQ(popover->window()->geometry().top(), repeat->mapToGlobal(QPoint(0, 24)).y());
    leave(*repeat);
    EXPECT_FALSE(popover->isShown());

    auto nameless = makeButton(QStringLiteral("NoSuchControl"));
    enter(*nameless);
    advance(1.5);
    EXPECT_EQ(nameless->descPopover(), nullptr);
}

TEST_F(MRKOSmallButtonTest, PressClosesTheDescriptionAndDropsTheDueOne)
{
    auto undo = makeButton(QStringLiteral("Undo"));
    enter(*undo);
    advance(1.01);
    ASSERT_TRUE(undo->descPopover()->isShown());
    press(*undo);
    EXPECT_FALSE(undo->descPopover()->isShown());
    release(*undo);
    EXPECT_EQ(m_actions, 1);
    EXPECT_EQ(undo->state(), 1);

    leave(*undo);
    enter(*undo);
    advance(0.5);
    press(*undo);
    release(*undo);
    advance(1.0); // the press dropped the description due from the entry
    EXPECT_FALSE(undo->descPopover()->isShown());
}

TEST_F(MRKOSmallButtonTest, DisabledButtonIgnoresTheReleaseAndDrawsDimmed)
{
    auto redo = makeButton(QStringLiteral("Redo"));
    press(*redo);
    redo->setEnabled(false);
    release(*redo);
    EXPECT_EQ(m_actions, 0);
    EXPECT_EQ(redo->state(), 0);

    const QImage disabled = rendered(*redo);
    enter(*redo);
    EXPECT_EQ(rendered(*redo), disabled); // whatever the pointer does
    leave(*redo);
}

TEST_F(MRKOSmallButtonTest, ButtonMovedUnderARestingPointerHighlights)
{
    auto repeat = makeButton(QStringLiteral("Repeat"));
    QCursor::setPos(m_panel->mapToGlobal(QPoint(30, 112)));
    EXPECT_FALSE(isMouseIn::isMouseIn(*repeat));

    repeat->move(20, 100);
    EXPECT_TRUE(isMouseIn::isMouseIn(*repeat));
    EXPECT_TRUE(repeat->wantsToolTip());
    repeat->move(20, 200);
    EXPECT_FALSE(isMouseIn::isMouseIn(*repeat));
}

TEST_F(MRKOSmallButtonTest, ColoursUnderThePointerFollowTheControl)
{
    auto remove = makeButton(QStringLiteral("RemoveSnapshot"));
    EXPECT_EQ(remove->highlightColor(), inkora::SrgbColor(0.92, 0.78, 0.2, 1).toQColor());
    EXPECT_EQ(remove->highlightPressedColor(), MRKOSmallButton::pressedColorWithColor(remove->highlightColor()));
    EXPECT_NE(remove->highlightPressedColor(), remove->highlightColor());
    auto undo = makeButton(QStringLiteral("Undo"));
    EXPECT_EQ(undo->highlightColor(), OnOffColor::iconOnColor());
}

TEST_F(MRKOSmallButtonTest, ToggleShowsItsAlternateIconWhileOn)
{
    MRKOSmallToggleButton hand(QStringLiteral("Hand"));
    hand.setImageName(QStringLiteral("LineMedium"));
    hand.setAlternateImageName(QStringLiteral("EllipseMedium"));
    place(hand, QPoint(10, 20), QSize(24, 24));
    const QImage off = rendered(hand);

    click(hand);
    EXPECT_EQ(hand.state(), 1);
    const QImage on = rendered(hand);
    EXPECT_NE(on, off);
    hand.setAlternateImageName(QStringLiteral("LineMedium"));
    const QImage onWithSameIcon = rendered(hand);
    EXPECT_NE(onWithSameIcon, off); // on draws in the icon-on colour, off in the icon-off colour
}
