#include "app/LiveSettings.h"
#include "app/MRKOPlaySound.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Popover.h"
#include "settings/MRKOPrefButton.h"
#include "settings/MRKOPrefOpacityButton.h"
#include "settings/MRKOPrefVolumeButton.h"
#include "tests/settings/PreferencesFixture.h"

#include <QLabel>
#include <QWidget>

using inkora::liveSettings;

namespace {

class HoverControlsTest : public PreferencesFixture
{
protected:
    void SetUp() override
    {
        PreferencesFixture::SetUp();
        log().expectWarning(QStringLiteral("This plugin does not support"));
        host.resize(200, 200);
        host.show();
    }

    void useToolTips(bool on)
    {
        MRKOUtils::userDefaults().setInteger(on ? 1 : 0, QStringLiteral("UseToolTips"));
        delegate().updateUseToolTips();
    }

    QWidget host;
};

TEST_F(HoverControlsTest, HelpShowsAfterRestingWhileToolTipsAreOn)
{
    MRKOPrefButton help(QStringLiteral("forwardUnusedKeysAction:"), &host);
    struct Case
    {
        bool toolTips;
        double restFor;
        bool shown;
    };
    for (const Case c : {Case{true, 0.3, true}, Case{true, 0.29, false}, Case{false, 0.3, false}}) {
        useToolTips(c.toolTips);
        help.mouseEntered();
        advance(c.restFor);
        EXPECT_EQ(help.isPopoverShown(), c.shown) << c.toolTips << " " << c.restFor;
        help.mouseExited();
        advance(1.0);
        EXPECT_FALSE(help.isPopoverShown());
    }
    // The description is the preference's own text.
    useToolTips(true);
    help.mouseEntered();
    advance(0.3);
    const auto *text = help.descPopover().contentWidget()->findChild<QLabel *>(QStringLiteral("descriptionField"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), MRKOPreferencesViewController::prefDescriptionWithSEL(help.selector()));
    EXPECT_EQ(help.descPopover().contentWidget()->width(), text->width() + 32);
}

TEST_F(HoverControlsTest, OpacityPopoverOpensOnlyWhileOnAndStaysWhileThePointerIsInIt)
{
    MRKOPrefOpacityButton button(&host);
    button.setState(0);
    button.mouseEntered();
    advance(0.5);
    EXPECT_FALSE(button.isPopoverShown());
    button.mouseExited();
    advance(1.0);

    button.setState(1);
    button.mouseEntered();
    advance(0.29);
    EXPECT_FALSE(button.isPopoverShown());
    advance(0.01);
    ASSERT_TRUE(button.isPopoverShown());
    EXPECT_EQ(button.volumePopover().contentSize(), QSizeF(240, 56));
    EXPECT_EQ(button.paramSlider()->geometry().size(), QSize(180, 20));
    EXPECT_EQ(button.paramSlider()->x(), 30);

    // Into the popover: it stays; out of it: it closes a second later.
    button.mouseExited();
    button.container()->mouseEntered();
    advance(2.0);
    EXPECT_TRUE(button.isPopoverShown());
    button.container()->mouseExited();
    advance(0.9);
    EXPECT_TRUE(button.isPopoverShown());
    advance(0.1);
    EXPECT_FALSE(button.isPopoverShown());
}

TEST_F(HoverControlsTest, AClickTurnsTheButtonAndItsPopoverOnOrOff)
{
    MRKOPrefOpacityButton button(&host);
    button.setState(0);
    button.click();
    EXPECT_EQ(button.state(), 1);
    advance(0.1);
    EXPECT_TRUE(button.isPopoverShown());
    button.click();
    advance(0.1);
    EXPECT_FALSE(button.isPopoverShown());
}

TEST_F(HoverControlsTest, OpacityIsStoredAsAFloatAndReachesTheLiveCopy)
{
    MRKOPrefOpacityButton button(&host);
    button.sliderAction(0.2);
    EXPECT_EQ(stored(QStringLiteral("DrawingOpacity")).toDouble(), 0.20000000298023224);
    EXPECT_DOUBLE_EQ(liveSettings().drawingOpacity, 0.2);
    for (const auto &[in, out] : {std::pair{std::nan(""), 0.05}, std::pair{0.0, 0.05}, std::pair{3.0, 1.0}}) {
        button.sliderAction(in);
        EXPECT_FLOAT_EQ(float(liveSettings().drawingOpacity), float(out)) << in;
    }
    button.resetValue();
    EXPECT_DOUBLE_EQ(button.paramSlider()->doubleValue(), 0.5);
    EXPECT_FLOAT_EQ(float(liveSettings().drawingOpacity), 1.0f); // the setting stays
}

TEST_F(HoverControlsTest, VolumeButtonsSetTheirSoundsVolumeWithSpeakers)
{
    MRKOPrefVolumeButton keyboard(0, &host);
    MRKOPrefVolumeButton mouse(1, &host);
    keyboard.sliderAction(0.25);
    mouse.sliderAction(0.75);
    EXPECT_FLOAT_EQ(MRKOPlaySound::sharedSounds().volumeWithPrefVolume(0), 0.25f);
    EXPECT_FLOAT_EQ(MRKOPlaySound::sharedSounds().volumeWithPrefVolume(1), 0.75f);
    EXPECT_NEAR(current(QStringLiteral("MouseSoundVolume")).toDouble(), 0.75, 1e-6);

    mouse.setState(1);
    mouse.mouseEntered();
    advance(0.3);
    ASSERT_TRUE(mouse.isPopoverShown());
    EXPECT_NEAR(mouse.paramSlider()->doubleValue(), 0.75, 0.01);
    const QWidget *content = mouse.volumePopover().contentWidget();
    const auto *down = content->findChild<QLabel *>(QStringLiteral("MRKOSpeakerDown"));
    const auto *up = content->findChild<QLabel *>(QStringLiteral("MRKOSpeakerUp"));
    ASSERT_TRUE(down && up);
    EXPECT_EQ(down->geometry(), QRect(13, mouse.paramSlider()->y() + 2, 17, 17));
    EXPECT_EQ(up->x(), 212);
}

} // namespace
