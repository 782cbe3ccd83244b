#include "objects/MRKOLowerThirdSettings.h"

#include "app/RegisteredDefaults.h"
#include "foundation/MRKOUtils.h"
#include "objects/MRKOLowerThirdColorButton.h"
#include "platform/Defaults.h"
#include "settings/PrefSlider.h"
#include "tests/support/InkoraFixture.h"
#include "tools/KVPopover.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

class MRKOLowerThirdSettingsTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        MRKOUtils::userDefaults().registerDefaults(inkora::registeredDefaultSettings());
        // The offscreen platform says so of every window laid out by a layout.
        log().expectWarning(QStringLiteral("This plugin does not support propagateSizeHints()"));
    }
    void TearDown() override
    {
        MRKOLowerThirdSettings::releaseSharedController();
        InkoraFixture::TearDown();
    }

    static platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
};

TEST_F(MRKOLowerThirdSettingsTest, IsShownDoesNotMakeTheController)
{
    EXPECT_FALSE(MRKOLowerThirdSettings::isShown());
    MRKOLowerThirdSettings &settings = MRKOLowerThirdSettings::sharedController();
    EXPECT_FALSE(MRKOLowerThirdSettings::isShown());
    settings.showWindow();
    EXPECT_TRUE(MRKOLowerThirdSettings::isShown());
    EXPECT_EQ(MRKOLowerThirdSettings::lowerThirdSettingsKeys().size(), 11);
    EXPECT_EQ(settings.animationPresetsButton()->count(), 11);
    EXPECT_EQ(settings.animationPresetsButton()->itemData(10).toLongLong(), 10);
    EXPECT_EQ(settings.subtitleBackgroundColorButton()->identifier(),
              QStringLiteral("LowerThirdSubTitleBackgroundColor"));
}

TEST_F(MRKOLowerThirdSettingsTest, ControlsStoreTheirKeysAndUpdateThePreview)
{
    MRKOLowerThirdSettings &settings = MRKOLowerThirdSettings::sharedController();
    settings.showWindow();
    // No application, so no active canvas: the preview stands on no display and its bars have no size.
    MRKOLowerThird *preview = settings.lowerThird();
    ASSERT_TRUE(preview && preview->lowerThirdTitleContainer());
    EXPECT_FALSE(preview->lowerThirdWindow()->isVisible());

    settings.subtitleWidthSlider()->setDoubleValue(1.5);
    settings.subtitleWidthSliderAction();
    EXPECT_EQ(defaults().doubleForKey(QStringLiteral("LowerThirdSubTitleWidth")), 1.5);
    EXPECT_EQ(preview->subtitleWidth(), 1.5);
    EXPECT_EQ(preview->titleWidth(), 1.0);

    settings.titleField()->setText(QStringLiteral("Ada"));
    settings.titleFieldChanged();
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("LowerThirdTitle")), QStringLiteral("Ada"));

    settings.animationPresetsButton()->setCurrentIndex(5);
    settings.animationPresetButtonAction();
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("LowerThirdAnimationPreset")), 5);
    EXPECT_TRUE(preview->lowerThirdTitleContainer()->animationForKey(QStringLiteral("lowerThirdAppear")));
    EXPECT_EQ(preview->animationPreset(), 5);

    // When the show is over the preview rests again, still shown.
    advance(8);
    EXPECT_EQ(settings.lowerThird(), preview);
    EXPECT_FALSE(preview->lowerThirdTitleContainer()->hasAnimations());
    EXPECT_TRUE(preview->lowerThirdTitleContainer()->transform().isIdentity());
}

TEST_F(MRKOLowerThirdSettingsTest, ResetRemovesTheKeysAndShowsTheDefaults)
{
    for (const QString &key : MRKOLowerThirdSettings::lowerThirdSettingsKeys())
        defaults().setObject(QStringLiteral("0.3"), key);
    MRKOLowerThirdSettings &settings = MRKOLowerThirdSettings::sharedController();
    settings.showWindow();
    const MRKOLowerThird *before = settings.lowerThird();
    settings.resetLowerThirdSettings();
    for (const QString &key : MRKOLowerThirdSettings::lowerThirdSettingsKeys())
        EXPECT_FALSE(defaults().persistentDomain().contains(key)) << key.toStdString();
    EXPECT_EQ(settings.titleField()->text(), QStringLiteral("Your Name"));
    EXPECT_EQ(settings.subtitleField()->text(), QStringLiteral("Great Tutorial"));
    EXPECT_EQ(settings.sizeScaleSlider()->doubleValue(), 1.0);
    EXPECT_EQ(settings.cornerRadiusSlider()->doubleValue(), 0.5);
    EXPECT_NE(settings.lowerThird(), nullptr);
    Q_UNUSED(before)
}

TEST_F(MRKOLowerThirdSettingsTest, PickedColourIsStoredUnderTheButtonsKey)
{
    MRKOLowerThirdSettings &settings = MRKOLowerThirdSettings::sharedController();
    settings.showWindow();
    MRKOLowerThirdColorButton *button = settings.titleBackgroundColorButton();
    button->prepareColorPopover();
    KVPopover::sharedPopover().setColor(inkora::SrgbColor(1, 0, 0, 1));
    button->colorPopoverColorChange();
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("LowerThirdTitleBackgroundColor")),
              QStringLiteral("1.000000+0.000000+0.000000+1.000000"));
    EXPECT_EQ(button->color(), inkora::SrgbColor(1, 0, 0, 1));
    EXPECT_EQ(settings.lowerThird()->lowerThirdTitleContainer()->backgroundColor(), QColor(255, 0, 0));
    EXPECT_EQ(button->colorSwatchImage().size(), QSize(21, 21));
}

TEST_F(MRKOLowerThirdSettingsTest, ClosingWritesTheSettingsAndRemovesThePreview)
{
    MRKOLowerThirdSettings &settings = MRKOLowerThirdSettings::sharedController();
    settings.showWindow();
    settings.titleField()->setText(QStringLiteral("Closing"));
    settings.titleFieldChanged();
    settings.doneFinishEditing();
    EXPECT_FALSE(MRKOLowerThirdSettings::isShown());
    EXPECT_EQ(settings.lowerThird(), nullptr);
    const QString file = QDir(qEnvironmentVariable("XDG_CONFIG_HOME"))
                             .filePath(QStringLiteral("com.Inkora.Inkora/com.Inkora.Inkora.plist"));
    EXPECT_TRUE(QFileInfo::exists(file));
}

} // namespace
