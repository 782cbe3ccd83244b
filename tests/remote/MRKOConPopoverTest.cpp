#include "remote/MRKOConPopover.h"

#include "platform/fake/FakeServiceBrowser.h"
#include "remote/MRKOPopConnectViewController.h"
#include "remote/MRKOPopView.h"
#include "remote/MRKOUDPController.h"
#include "tests/remote/UDPControllerFixture.h"

#include <QPushButton>
#include <QTest>

namespace {

using MRKOConPopoverTest = UDPControllerFixture;

TEST_F(MRKOConPopoverTest, ReturnConnectsAndSevenSecondsCloseItAnyway)
{
    advertise();
    MRKOConPopover &popover = MRKOConPopover::sharedPopover();
    popover.setName(QStringLiteral("Test Phone"));
    popover.showRelativeToScreenRectPreferredEdge(QRectF(1000, 880, 24, 20), platform::RectEdge::MaxY);
    ASSERT_TRUE(popover.isShown());

    QTest::keyClick(popover.vController()->view(), Qt::Key_Return);
    EXPECT_TRUE(controller().isConnectingProcess());
    EXPECT_FALSE(popover.vController()->connectButton()->isEnabled());

    advance(6.9);
    EXPECT_TRUE(popover.isShown());
    advance(0.1);
    EXPECT_FALSE(popover.isShown());
    EXPECT_TRUE(controller().isConnectingProcess()) << "closing leaves the attempt running";
    EXPECT_TRUE(popover.vController()->connectButton()->isEnabled());
    EXPECT_FALSE(popover.hasTimer());
}

TEST_F(MRKOConPopoverTest, AnUnknownDeviceClosesItAtOnce)
{
    MRKOConPopover &popover = MRKOConPopover::sharedPopover();
    popover.setName(QStringLiteral("Gone Phone"));
    popover.showRelativeToScreenRectPreferredEdge(QRectF(), platform::RectEdge::MaxY);
    popover.vController()->connectButton()->click();
    EXPECT_FALSE(popover.isShown());
    EXPECT_TRUE(popover.vController()->connectButton()->isEnabled());
}

TEST_F(MRKOConPopoverTest, ItClosesWhenThePhoneGoesAway)
{
    advertise();
    MRKOConPopover &popover = MRKOConPopover::sharedPopover();
    popover.setName(QStringLiteral("Test Phone"));
    popover.showRelativeToScreenRectPreferredEdge(QRectF(), platform::RectEdge::MaxY);
    fakes().serviceBrowser->removeService(QStringLiteral("Test Phone"));
    EXPECT_FALSE(popover.isShown());
}

TEST_F(MRKOConPopoverTest, TouchBarModelHasConnectAndCancel)
{
    const MRKOPopConnectViewController &content = *MRKOConPopover::sharedPopover().vController();
    const inkora::TouchBarModel bar = content.makeTouchBar();
    EXPECT_EQ(bar.principalItemIdentifier, QStringLiteral("com.Inkora.okCancelGroup"));
    EXPECT_EQ(bar.defaultItemIdentifiers.first(), QStringLiteral("com.Inkora.okCancelGroup"));
    const auto group = content.touchBarMakeItemForIdentifier(QStringLiteral("com.Inkora.okCancelGroup"));
    ASSERT_TRUE(group);
    ASSERT_EQ(group->items.size(), 2);
    EXPECT_EQ(group->items.at(0).identifier, QStringLiteral("com.Inkora.okButton"));
    EXPECT_EQ(group->items.at(0).title, QStringLiteral("Connect"));
    EXPECT_EQ(group->items.at(1).title, QStringLiteral("Cancel"));
    EXPECT_FALSE(content.touchBarMakeItemForIdentifier(QStringLiteral("com.Inkora.okButton")));
}

} // namespace
