#include "app/RegisteredDefaults.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"

#include <QFile>

class RegisteredDefaultsTest : public InkoraFixture
{
protected:
    platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
    AppDelegate delegate;
};

TEST_F(RegisteredDefaultsTest, AFreshUserReadsTheRegisteredValuesAndNothingIsWritten)
{
    delegate.prepareUserDefaults();
    EXPECT_EQ(defaults().registeredDefaults().size(), 62);
    EXPECT_TRUE(defaults().persistentDomain().isEmpty());
    EXPECT_FALSE(QFile::exists(defaults().filePath()));

    struct Row
    {
        const char *key;
        double expected;
    };
    const Row integers[] = {{"UndoSteps", 150},
                            {"EraserSize", 80},
                            {"InkoraWindowLevel", 29},
                            {"MouseFPSFreq", 125},
                            {"CustomClearScreenMask", 96},
                            {"RightClickOptionAction", 21},
                            {"AllToolsThicknessKey", 2},
                            {"runOnStartupKey", 0},
                            {"ConnectAutomatically", 1}};
    for (const Row &row : integers)
        EXPECT_EQ(defaults().integerForKey(QString::fromUtf8(row.key)), qint64(row.expected)) << row.key;
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("activateToolsKey")));
    EXPECT_EQ(defaults().doubleForKey(QStringLiteral("DrawingOpacity")), 0.5);
    EXPECT_EQ(defaults().doubleForKey(QStringLiteral("kLowerThirdCornerRadius")), 0.5);
    EXPECT_EQ(defaults().floatForKey(QStringLiteral("FlashLightRadius")), 100.0f);
}

TEST_F(RegisteredDefaultsTest, FloatDefaultsReadBackWidenedThroughTheDoubleAccessor)
{
    delegate.prepareUserDefaults();
    EXPECT_EQ(defaults().doubleForKey(QStringLiteral("ArrowHeadRatio")), 0.33000001311302185);
    delegate.updateArrowHeadRatio();
    EXPECT_EQ(inkora::liveSettings().arrowHeadRatio, 0.33000001311302185);
}

TEST_F(RegisteredDefaultsTest, RemovingAWrittenKeyBringsTheRegisteredValueBack)
{
    delegate.prepareUserDefaults();
    defaults().setInteger(12, QStringLiteral("UndoSteps"));
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("UndoSteps")), 12);
    defaults().removeObjectForKey(QStringLiteral("UndoSteps"));
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("UndoSteps")), 150);
}

TEST_F(RegisteredDefaultsTest, KeysOutsideTheTableReadZero)
{
    delegate.prepareUserDefaults();
    for (const char *key :
         {"FadeOutTimeKey", "ShowNotificationsKey", "ToolTypeKey", "DissolveModeKey", "SplashMethod", "PenPressure"}) {
        EXPECT_FALSE(defaults().registeredDefaults().contains(QString::fromUtf8(key))) << key;
        EXPECT_EQ(defaults().integerForKey(QString::fromUtf8(key)), 0) << key;
    }
}
