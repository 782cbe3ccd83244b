#include "canvas/MRKODraw.h"
#include "foundation/MRKOInkoraState.h"
#include "platform/Defaults.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeScreens.h"
#include "tests/tools/ToolBarFixture.h"
#include "tools/MRKOColorButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"

#include <cmath>
#include <limits>

// What the phone learns of the program's state, and the hue it sends.
class RemoteStateRecordTest : public ToolBarFixture
{
protected:
    void displays(int count)
    {
        QList<platform::ScreenInfo> screens;
        for (int i = 0; i < count; ++i)
            screens << platform::FakeScreens::makeScreen(quint32(i + 1), QRectF(1280.0 * i, 0, 1280, 800));
        fakes().screens->setScreens(screens);
    }
    [[nodiscard]] QString record()
    {
        return QString::fromLatin1(
            MRKOInkoraStateUtils::encodeInkoraState(delegate().inkoraState()).toHex(' ').toUpper());
    }
    static void registerUndoWithRedo()
    {
        static int target = 0;
        platform::UndoManager &manager = AppDelegate::undoManager();
        manager.beginUndoGrouping();
        manager.registerUndo(&target, [] { AppDelegate::undoManager().registerUndo(&target, [] {}); });
        manager.endUndoGrouping();
    }
};

TEST_F(RemoteStateRecordTest, RecordPacksTheStateInItsTwentyBytes)
{
    defaults().setInteger(5, QStringLiteral("ToolTypeKey"));
    defaults().setInteger(1, QStringLiteral("ColorTypeKey"));
    defaults().setInteger(3, QStringLiteral("AllToolsThicknessKey"));
    defaults().setInteger(1, QStringLiteral("DissolveModeKey"));
    defaults().setDouble(0.25, QStringLiteral("HueSavedKey"));
    displays(2);
    launchAndShow();
    MRKOToolColor::toolColor().setColor(inkora::SrgbColor(1, 0, 0, 0.5));
    registerUndoWithRedo();
    delegate().makeScreenActiveAtIndex(1);

    EXPECT_EQ(record(), QStringLiteral("05 01 03 01 FF 00 00 FF 00 00 80 3E 12 01 01 02 01 00 00 00"));
}

TEST_F(RemoteStateRecordTest, UndoMaskSumsWhatCanBeDone)
{
    defaults().setInteger(1, QStringLiteral("DissolveModeKey"));
    launchAndShow();
    AppDelegate::undoManager().setGroupsByEvent(false); // each registration is a step of its own
    EXPECT_EQ(delegate().undoMask(), 16) << "freeze, nothing to undo";

    toolBar()->changeDissolve(); // fade
    registerUndoWithRedo();
    registerUndoWithRedo();
    AppDelegate::undoManager().undo();
    EXPECT_EQ(delegate().undoMask(), 6);
}

TEST_F(RemoteStateRecordTest, NextScreenCyclesThroughTheDisplays)
{
    displays(3);
    launchAndShow();
    for (const qint64 expected : {1, 2, 0, 1}) {
        delegate().makeNextScreenActive();
        EXPECT_EQ(delegate().activeScreenIndex(), expected);
    }
    delegate().makeScreenActiveAtIndex(7);
    EXPECT_EQ(delegate().activeScreenIndex(), 0) << "beyond the displays: the first";
}

TEST_F(RemoteStateRecordTest, ASavedHueThatIsNoFractionIsSentAsZero)
{
    for (const double stored : {std::numeric_limits<double>::quiet_NaN(), 1.5, -0.1}) {
        defaults().setDouble(stored, QStringLiteral("HueSavedKey"));
        EXPECT_EQ(delegate().inkoraState().hue, 0.0f) << stored;
    }
    defaults().setDouble(1.0, QStringLiteral("HueSavedKey"));
    EXPECT_EQ(delegate().inkoraState().hue, 1.0f);
}

TEST_F(RemoteStateRecordTest, PhoneHueIsWrappedIntoTheUnitRangeOrDropped)
{
    launchAndShow();
    delegate().runInkora(nullptr); // hidden: the hue is stored
    struct Row
    {
        float sent;
        double kept;
    };
    for (const Row row : {Row{1.25f, 0.25}, Row{-0.25f, 0.75}, Row{1.0f, 1.0}, Row{0.5f, 0.5}}) {
        delegate().changeHue(row.sent);
        EXPECT_DOUBLE_EQ(defaults().doubleForKey(QStringLiteral("HueSavedKey")), row.kept) << row.sent;
        EXPECT_DOUBLE_EQ(MRKODraw::hue(), row.kept);
    }
    log().expectWarning(QStringLiteral("changeHue: the hue is not a number; the hue stays"));
    delegate().changeHue(std::numeric_limits<float>::infinity());
    delegate().changeHue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_DOUBLE_EQ(defaults().doubleForKey(QStringLiteral("HueSavedKey")), 0.5);
    EXPECT_EQ(log().count(QStringLiteral("changeHue: the hue is not a number; the hue stays")), 2);
}

TEST_F(RemoteStateRecordTest, PhoneHueWhileShownInRainbowIsNotStored)
{
    launchAndShow();
    defaults().setDouble(0.1, QStringLiteral("HueSavedKey"));
    delegate().changeHue(0.6f);
    EXPECT_NEAR(MRKODraw::hue(), 0.6, 1e-6);
    EXPECT_DOUBLE_EQ(defaults().doubleForKey(QStringLiteral("HueSavedKey")), 0.1);

    // Custom colour: the colour takes the hue and keeps its saturation and brightness.
    toolBar()->changeColorType(1);
    MRKOToolColor::toolColor().setColor(inkora::SrgbColor(1, 0, 0, 1));
    delegate().changeHue(1.0f / 3);
    EXPECT_EQ(toolBar()->customColorButton() != nullptr, true);
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
    inkora::srgbToHsb(MRKOToolColor::toolColor().color(), &hue, &saturation, &brightness);
    EXPECT_NEAR(hue, 1.0 / 3, 1e-6);
    EXPECT_NEAR(saturation, 1.0, 1e-6);
}
