#include "shortcuts/MRKOSingleKeyActionController.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"

using Slots = MRKOSingleKeyActionController;

class MRKOSingleKeyActionControllerTest : public InkoraFixture
{
};

TEST_F(MRKOSingleKeyActionControllerTest, SlotsReadTheirStoredActionOnceElseTheDefault)
{
    MRKOUtils::userDefaults().setInteger(0, QStringLiteral("SingleKeyActionSlot0"));
    MRKOUtils::userDefaults().setInteger(27, QStringLiteral("SingleKeyActionSlot29"));

    EXPECT_EQ(Slots::actionForSlot(0), 0u);
    EXPECT_EQ(Slots::actionForSlot(11), 37u); // B: the brush
    EXPECT_EQ(Slots::actionForSlot(29), 27u);
    // Colour 1 now sits on P only; the lowest slot holding an action gives the key.
    EXPECT_EQ(Slots::keyCodeOfAction(27), 35);
    Slots::sharedActionController().setExtraActionForSingleKeyActionSlot(27, 4);
    EXPECT_EQ(Slots::keyCodeOfAction(27), 23);
    EXPECT_EQ(Slots::keyCodeOfAction(99), 65535);

    MRKOUtils::userDefaults().setInteger(5, QStringLiteral("SingleKeyActionSlot11"));
    EXPECT_EQ(Slots::actionForSlot(11), 37u); // read once, when the controller was made
}

TEST_F(MRKOSingleKeyActionControllerTest, TablesAndSlotsOutOfRange)
{
    EXPECT_EQ(Slots::keyStringWithSlot(7), QStringLiteral("SingleKeyActionSlot7"));
    EXPECT_EQ(Slots::slotForKeyCode(51), 18);
    EXPECT_EQ(Slots::slotForKeyCode(6), 25);
    EXPECT_EQ(Slots::slotForKeyCode(2), -1);
    EXPECT_EQ(Slots::slotForKeyCode(122), -1);
    EXPECT_EQ(Slots::defaultActionWithSlot(30), 0u);
    EXPECT_EQ(Slots::keyCodeForSlot(30), 0);

    log().expectWarning("Slot count exceeded");
    EXPECT_EQ(Slots::actionForSlot(30), 0u);
    Slots::sharedActionController().setExtraActionForSingleKeyActionSlot(5, 30);
    EXPECT_EQ(log().count(QStringLiteral("setExtraAction:forSingleKeyActionSlot: Slot count exceeded")), 1);
}
