#include "tools/MRKOButton.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Popover.h"
#include "tests/tools/ToolsFixture.h"
#include "tools/NSButton+ForceResetHighlight.h"
#include "tools/NSButtonCell+isMouseIn.h"

#include <QCursor>
#include <QLabel>

#include <functional>
#include <vector>

class MRKOButtonTest : public ToolsFixture
{
protected:
    std::unique_ptr<MRKOButton> makeButton()
    {
        auto button = std::make_unique<MRKOButton>(QStringLiteral("Undo"));
        QObject::connect(button.get(), &MRKOButton::actionSent, [this] { ++m_actions; });
        place(*button);
        return button;
    }
    /// The description popover when it is shown.
    static platform::Popover *shownPopover(MRKOButton &button)
    {
        platform::Popover &popover = button.descPopover();
        return popover.isShown() ? &popover : nullptr;
    }

    int m_actions = 0;
};

TEST_F(MRKOButtonTest, ReleaseInsideTogglesTheStateAndSendsTheActionOutsideOnlyClearsTheHighlight)
{
    auto button = makeButton();
    EXPECT_FALSE(button->mouseDownCanMoveWindow());

    press(*button);
    EXPECT_TRUE(button->isHighlighted());
    drag(*button, QPoint(80, 80)); // a drag does nothing
    release(*button, QPoint(45, 20));
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_EQ(button->state(), 0);
    EXPECT_EQ(m_actions, 0);

    click(*button);
    EXPECT_EQ(button->state(), 1);
    click(*button);
    EXPECT_EQ(button->state(), 0);
    button->setState(-1); // mixed
    click(*button);
    EXPECT_EQ(button->state(), 1);
    EXPECT_EQ(m_actions, 3);
}

TEST_F(MRKOButtonTest, DescriptionShowsASecondAfterEntryRightOfTheWidenedFrame)
{
    auto button = makeButton();
    enter(*button);
    EXPECT_TRUE(isMouseIn::isMouseIn(*button));

    advance(0.99);
    EXPECT_EQ(shownPopover(*button), nullptr);
    advance(0.02);

    platform::Popover *popover = shownPopover(*button);
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->behavior(), platform::Popover::ApplicationDefined);
    EXPECT_EQ(popover->shownEdge(), platform::RectEdge::MaxX);
    EXPECT_EQ(popover->window()->geometry().left(), button->mapToGlobal(QPoint(0, 0)).x() + button->width() + 40);
    const auto *text = popover->contentWidget()->findChild<QLabel *>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("Undo"));
    EXPECT_EQ(popover->contentSize(), QSizeF(text->width() + 16, text->height() + 16));

    leave(*button);
    EXPECT_FALSE(popover->isShown());
    EXPECT_FALSE(isMouseIn::isMouseIn(*button));
}

TEST_F(MRKOButtonTest, NoDescriptionWhenTurnedOffHiddenPressedOrLeft)
{
    struct Row
    {
        const char *name;
        std::function<void(MRKOButton &)> during; // what happens within the second after entry
        bool useToolTips = true;
    };
    const std::vector<Row> rows = {
        {"SettingOff", [](MRKOButton &) {}, false},
        {"PanelTransparent", [](MRKOButton &button) { button.window()->setWindowOpacity(0); }},
        {"Pressed", [this](MRKOButton &button) { click(button); }},
        {"PointerGone", [](MRKOButton &button) { QCursor::setPos(button.mapToGlobal(QPoint(-50, -50))); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        MRKOUtils::userDefaults().setInteger(row.useToolTips ? 1 : 0, QStringLiteral("UseToolTips"));
        m_delegate->updateUseToolTips();
        m_panel->setWindowOpacity(1);
        auto button = makeButton();
        enter(*button);
        row.during(*button);
        advance(1.5);
        EXPECT_EQ(shownPopover(*button), nullptr);
    }
}

TEST_F(MRKOButtonTest, OnlyTheLastEntrysDescriptionIsDue)
{
    auto button = makeButton();
    enter(*button);
    advance(0.6);
    leave(*button);
    enter(*button);
    advance(0.6); // the first entry's call would be due now
    EXPECT_EQ(shownPopover(*button), nullptr);
    advance(0.5);
    EXPECT_NE(shownPopover(*button), nullptr);
}

TEST_F(MRKOButtonTest, ForceResetHighlightForgetsThePointer)
{
    auto button = makeButton();
    enter(*button);
    ForceResetHighlight::forceResetHighlight(*button);
    EXPECT_FALSE(isMouseIn::isMouseIn(*button));
    leave(*button);
}
