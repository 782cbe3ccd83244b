#include "settings/MRKOPreferencesViewController.h"

#include "app/LiveSettings.h"
#include "app/MRKOAppLevel.h"
#include "app/MRKORecentTools.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "settings/PrefSlider.h"
#include "settings/PreferencesNeighbours.h"
#include "tests/settings/PreferencesFixture.h"
#include "tools/MRKOBackgroundColorButton.h"
#include "tools/MRKOToolColor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <vector>

using inkora::liveSettings;
using inkora::LiveSettings;
using inkora::PrefSlider;

namespace {
using Live = std::function<double()>;
#define LIVE(expression) [&]() -> double { return double(expression); }
} // namespace

class MRKOPreferencesViewControllerTest : public PreferencesFixture
{
};

TEST_F(MRKOPreferencesViewControllerTest, CheckBoxesWriteTheirKeySynchronisedAndTheLiveCopyFollows)
{
    struct Row
    {
        const char *outlet;
        const char *key;
        Live live; // null where the key is read on use
    };
    AppDelegate &app = delegate();
    const LiveSettings &live = liveSettings();
    const std::vector<Row> rows = {
        {"toggleFlashlightByShift", "FlashlightByShift", LIVE(app.flashlightByShift())},
        {"textOnClick", "TextOnClick", LIVE(live.textOnClick)},
        {"resetBadgeOnAppHides", "ResetBadgeCountWhenAppHides", LIVE(app.resetBadgeCountWhenAppHides())},
        {"resetBadgeOnClearScreen", "ResetBadgeCountWhenClearCanvas", LIVE(app.resetBadgeCountWhenClearCanvas())},
        {"removeTextTimersOnClearScreen", "RemoveTimersWhenClearCanvas", LIVE(live.removeTimersWhenClearCanvas)},
        {"useConstantTextColorButton", "UseConstantTextColor", LIVE(live.useConstantTextColor)},
        {"eraserPreserveTextButton", "EraserPreserveText", LIVE(live.eraserPreserveText)},
        {"eraserPreserveArrowLineButton", "EraserPreserveArrowLine", LIVE(live.eraserPreserveArrowLine)},
        {"eraserPreserveRectEllipseButton", "EraserPreserveRectEllipse", LIVE(live.eraserPreserveRectEllipse)},
        {"limitFPSButton", "MouseFPSLimit", LIVE(live.limitMouseFPS)},
        {"badgeAppearAnimatedButton", "BadgeAppearAnimated", LIVE(live.badgeAppearAnimated)},
        {"badgeCutOutBackground", "BadgeCutOutBackground", LIVE(live.badgeCutOutBackground)},
        {"textBackgroundSharp", "TextBackgroundSharpCorners", LIVE(live.textBackgroundSharpCorners)},
        {"useBadgeBackground", "UseBadgeBackground", LIVE(live.useBadgeBackground)},
        {"useTimerBackground", "UseTimerBackground", LIVE(live.useTimerBackground)},
        {"useTextBackground", "UseTextBackground", LIVE(live.useTextBackground)},
        {"lowerThirdOnAppearButton", "LowerThirdOnAppear", LIVE(live.lowerThirdOnAppear)},
        {"applySnapshotWithWhiteboard", "ApplySnapshotWithWhiteboard", LIVE(live.applySnapshotWithWhiteboard)},
        {"cleanUpRecentlyDeletedOnQuit", "CleanUpRecentlyDeletedOnQuit", LIVE(app.cleanUpRecentlyDeletedOnQuit())},
        {"cutOutFlashlightShape", "CutOutFlashlightShape", LIVE(live.cutOutFlashlightShape)},
        {"ellipticAreaSelection", "FlashlightCircleSelection", LIVE(live.flashLightCircleSelection)},
        {"quickGhostModeWithWhiteBoard", "QuickGhostModeWithWhiteBoard", LIVE(app.quickGhostModeWithWhiteBoard())},
        {"takeDazadUdizBySelecting", "TakeDazadUdizBySelecting", LIVE(live.takeDazadUdizBySelecting)},
        {"takeDazadUdizByClick", "TakeDazadUdizByClick", LIVE(live.takeDazadUdizByClick)},
        {"takeCopyDazadUdizToClipboard", "TakeCopyDazadUdizToClipboard", LIVE(live.takeCopyDazadUdizToClipboard)},
        {"showSnapshotNotification", "ShowSnapshotNotification", LIVE(app.snapshotNotification())},
        {"drawingDuringFlashlight", "DrawingDuringFlashlight", LIVE(live.drawingDuringFlashlight)},
        {"takeSnapshotWhenClearing", "TakeSnapshotOnClearCanvas", LIVE(live.takeSnapshotOnClearCanvas)},
        {"hueByScroll", "HueByScroll", LIVE(live.hueByScroll)},
        {"hidePointingDot", "HidePointingDot", LIVE(live.hidePointingDot)},
        {"hideCursorOnFlashlight", "HideCursorOnFlashlight", LIVE(live.flashlightHideCursor)},
        {"blinkingRepeat", "BlinkingRepeat", LIVE(live.blinkingRepeat)},
        {"wholeScreenToClipboard", "WholeScreenToClipboard", LIVE(app.wholeScreenToClipboard())},
        {"penPressure", "PenPressure", LIVE(live.penPressure)},
        {"clearScreenWithFade", "FadeClearScreenInFreezeMode", LIVE(live.fadeClearScreenInFreezeMode)},
        {"useToolTips", "UseToolTips", LIVE(app.useToolTips())},
        {"freezeModeHighlightingButton", "FreezeModeHighlighting", LIVE(live.freezeModeHighlighting)},
        {"useBrushCursorButton", "UseBrushCursor", LIVE(live.brushCursor)},
        {"useZoomByZKeyButton", "UseZoomByZKey", LIVE(app.zoomByZKey())},
        {"sharpRectangle", "SharpRectangle", LIVE(live.sharpRectangle)},
        {"simulateArrowKeys", "SimulateArrowKeys", LIVE(app.simulateArrowKeys())},
        {"forwardUnused", "ForwardUnusedKeys", LIVE(app.unusedKeysForwarding())},
        {"overallShadow", "OverallShadow", LIVE(live.overallShadow)},
        {"highlightClicks", "HighlightClicksGhostMode", LIVE(app.highlightClicksGhostMode())},
        {"playKeyboardPress", "PlayKeyboardSounds", LIVE(app.playKeyboardSounds())},
        {"playMouseClicks", "PlayMouseSounds", LIVE(app.playMouseClickSounds())},
        {"greenIndicator", "UseGreenStatus", nullptr},
        {"useConstantArrowHeadSize", "UseConstantArrowHeadSize", LIVE(live.useConstantArrowHeadSize)},
        {"invertArrowDrawing", "InvertArrowDrawing", LIVE(live.invertArrowDrawing)},
        {"constantArrowWidth", "ConstantArrowWidth", LIVE(live.constantArrowWidth)},
        {"roundedTipArrow", "ArrowRoundedTip", LIVE(live.arrowRoundedTip)},
        {"roundedEndsArrow", "ArrowRoundedEnds", LIVE(live.arrowRoundedEnds)},
        {"semiTransparent", "SemitransparentDrawingKey", LIVE(live.needSemitransparent)},
        {"rectangularShape", "FlashlightRectShape", LIVE(live.flashlightRectShape)},
        {"useMagnifyingFlashlight", "UseMagnifyingFlashlight", LIVE(live.useMagnifying)},
        {"runOnStartup", "runOnStartupKey", nullptr},
        {"clearScreen", "ClearScreenWhenHides", LIVE(app.clearScreenWhenHides())},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.outlet);
        auto *box = control<QCheckBox>(row.outlet);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->accessibleName(), box->text());
        for (int round = 0; round < 2; ++round) {
            click(*box);
            const qint64 state = box->isChecked() ? 1 : 0;
            EXPECT_EQ(stored(QLatin1String(row.key)), QVariant(state));
            if (row.live) {
                EXPECT_EQ(row.live(), double(state));
            }
        }
    }
    // A bool key of its own.
    auto *ghost = control<QCheckBox>("ghostModeAtLaunch");
    click(*ghost);
    EXPECT_EQ(stored(QStringLiteral("StartGhostModeAtLaunch")), QVariant(true));
    EXPECT_TRUE(MRKOUtils::shouldEnterGhostModeAtLaunch());
}

TEST_F(MRKOPreferencesViewControllerTest, SlidersWriteTheirKeyAndTheLiveCopyFollowsAtOnce)
{
    struct Row
    {
        const char *outlet;
        double value;
        const char *key;
        QVariant written;
        bool synchronised;
        Live live;
    };
    const LiveSettings &live = liveSettings();
    const std::vector<Row> rows = {
        {"eraserSizeSlider", 120, "EraserSize", qint64(120), true, LIVE(live.eraserSize)},
        {"limitFPSSlider", 60, "MouseFPSFreq", qint64(60), true, LIVE(live.mouseFPSRate)},
        {"constantArrowHeadSizeSlider", 80, "ConstantArrowHeadSize", qint64(80), true,
         LIVE(live.constantArrowHeadSize)},
        {"arrowHeadSlider", 0.5, "ArrowHeadRatio", 0.5, true, LIVE(live.arrowHeadRatio)},
        {"quickArrowSize", 1.5, "QuickArrowHeadSize", 1.5, true, LIVE(live.quickArrowHeadSize)},
        {"cursorHaloOpacitySlider", 0.3, "CursorHaloOpacity", 0.3, true, LIVE(live.cursorHaloOpacity)},
        {"cursorHaloSizeSlider", 150, "CursorHaloRadius", qint64(150), true, LIVE(live.cursorHaloSize)},
        {"flashlightSlider", 250, "FlashLightRadius", 250.0, true, LIVE(live.flashlightRadius)},
        {"smoothEdgesSlider", 10, "FlashLightEdgesSmoothness", 10.0, true, LIVE(live.flashlightEdgeSmoothness)},
        {"flashLightShape", 2.0, "FlashLightRatio", 2.0, false, LIVE(MRKOUtils::flashLightRatio())},
        {"magnifySlider", 3.0, "MagnifyScale", 3.0, false, LIVE(live.magnifyScale)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.outlet);
        auto *slider = control<PrefSlider>(row.outlet);
        ASSERT_NE(slider, nullptr);
        clickAt(*slider, row.value);
        const QString key = QLatin1String(row.key);
        const QVariant written = current(key);
        ASSERT_EQ(written.typeId(), row.written.typeId());
        EXPECT_NEAR(written.toDouble(), row.written.toDouble(), 1e-9);
        EXPECT_EQ(stored(key).isValid(), row.synchronised);
        EXPECT_NEAR(row.live(), row.written.toDouble(), 1e-9);
    }
    EXPECT_EQ(control<QLabel>("flashlightRadiusField")->text(), QStringLiteral("250 px"));
    EXPECT_EQ(control<QLabel>("magnifyField")->text(), QStringLiteral("3.0x"));
}

TEST_F(MRKOPreferencesViewControllerTest, RadioGroupsAndPopUpsWriteTheChosenValue)
{
    struct Row
    {
        const char *outlet;
        const char *key;
        qint64 value;
        Live live;
    };
    AppDelegate &app = delegate();
    const LiveSettings &live = liveSettings();
    const std::vector<Row> radios = {
        {"showNotificationsNever", "ShowNotificationsKey", 2, LIVE(app.notifications())},
        {"splashCircle", "SplashMethod", 1, LIVE(live.splashMethod)},
        {"toolSwitchTwoRecent", "ToolSwitchingMethod", 1, LIVE(MRKORecentTools::wantsRecentTools())},
        {"magnifyTypeCutThrough", "MagnifyMethod", 2, LIVE(live.magnifyMethod)},
        {"magnifyModeStatic", "MagnifyMode", 1, LIVE(live.magnifyMode)},
        {"whiteBoardColorBlack", "WhiteBoardColor", 2, LIVE(live.whiteBoardColorType)},
        {"whiteBoardColorCustom", "WhiteBoardColor", 3, LIVE(live.whiteBoardColorType)},
        {"rememberColorTool", "ToolColorFormat", 2, LIVE(MRKOToolColor::toolColor().toolColorFormat())},
        {"numeralBadgeFormatRoman", "BadgeNumeralFormat", 1, LIVE(inkora::badgeNumeralFormat())},
        {"staticNumeralBadgeFormatAlphabet", "BadgeStaticNumeralFormat", 2, LIVE(inkora::badgeStaticNumeralFormat())},
        {"activationWithToolbarShowOnly", "KeepTouchBarWithToolbarKey", 0, LIVE(app.keepTouchBarWToolbar())},
        {"activationWithoutToolbarShowOnly", "KeepTouchBarKey", 0, LIVE(app.keepTouchBarWOToolbar())},
    };
    for (const Row &row : radios) {
        SCOPED_TRACE(row.outlet);
        auto *button = control<QAbstractButton>(row.outlet);
        ASSERT_NE(button, nullptr);
        click(*button);
        // The colour model stores its format itself.
        const QString key = QLatin1String(row.key);
        EXPECT_EQ(key == QLatin1String("ToolColorFormat") ? current(key) : stored(key), QVariant(row.value));
        EXPECT_EQ(row.live(), double(row.value));
    }

    const std::vector<Row> popUps = {
        {"rightClickActionButton", "CloseOnRightClick", 5, LIVE(live.rightClickExtraAction)},
        {"rightClickControlActionButton", "RightClickControlAction", 8, LIVE(live.rightClickControlAction)},
        {"rightClickOptionActionButton", "RightClickOptionAction", 11, LIVE(live.rightClickOptionAction)},
        {"rightClickCommandActionButton", "RightClickCommandAction", 16, LIVE(live.rightClickCommandAction)},
        {"arrowStyleButton", "ArrowStyle", 2, LIVE(live.arrowStyle)},
        {"quickArrowHead", "QuickArrowHead", 1, LIVE(live.quickArrowHeadStyle)},
        {"snapshotExportFormat", "SnapshotExportFormat", 2, LIVE(app.snapshotExportFormat())},
        {"snapshotMultiExportFormat", "SnapshotMultiExportFormat", 6, LIVE(app.snapshotMultiExportFormat())},
        {"appLevelButton", "InkoraWindowLevel", 31, LIVE(MRKOAppLevel::appLevel().level())},
    };
    for (const Row &row : popUps) {
        SCOPED_TRACE(row.outlet);
        auto *popUp = control<QComboBox>(row.outlet);
        ASSERT_NE(popUp, nullptr);
        const int index = popUp->findData(row.value);
        ASSERT_GE(index, 0);
        popUp->setCurrentIndex(index);
        emit popUp->activated(index);
        EXPECT_EQ(current(QLatin1String(row.key)), QVariant(row.value));
        EXPECT_EQ(row.live(), double(row.value));
    }

    auto *sizes = control<QComboBox>("fontSizesButton");
    const int index = sizes->findText(QStringLiteral("32"));
    sizes->setCurrentIndex(index);
    emit sizes->activated(index);
    EXPECT_EQ(stored(QStringLiteral("DefaultFontSize")), QVariant(qint64(32)));
    EXPECT_EQ(liveSettings().fontSize, 32);
}

TEST_F(MRKOPreferencesViewControllerTest, FadeSliderStoresCodesByPositionAndShowsCodesBack)
{
    auto *fade = control<PrefSlider>("fadeTimeSlider");
    for (const auto &[position, code] : {std::pair{4, 0}, std::pair{0, 5}, std::pair{3, 1}, std::pair{8, 8}}) {
        SCOPED_TRACE(position);
        clickAt(*fade, position);
        EXPECT_EQ(stored(QStringLiteral("FadeOutTimeKey")), QVariant(qint64(code)));
        EXPECT_EQ(liveSettings().fadeTime, MRKOUtils::secondsWithFadeoutTime(code));
    }
    for (const auto &[code, position] : {std::pair{1, 3}, std::pair{9, 0}, std::pair{0, 4}, std::pair{2, 5}}) {
        SCOPED_TRACE(code);
        MRKOUtils::userDefaults().setInteger(code, QStringLiteral("FadeOutTimeKey"));
        pane().reloadAllPreferences();
        EXPECT_EQ(fade->integerValue(), position);
    }
}

TEST_F(MRKOPreferencesViewControllerTest, SaveBeforeQuitAndClearOnHideExcludeEachOther)
{
    auto *save = control<QCheckBox>("saveBeforeQuit");
    auto *clear = control<QCheckBox>("clearScreen");
    click(*clear);
    click(*save);
    EXPECT_TRUE(save->isChecked());
    EXPECT_FALSE(clear->isChecked());
    EXPECT_EQ(stored(QStringLiteral("SaveBeforeQuit")), QVariant(qint64(1)));
    EXPECT_EQ(stored(QStringLiteral("ClearScreenWhenHides")), QVariant(qint64(0)));
    EXPECT_FALSE(delegate().clearScreenWhenHides());

    click(*clear);
    EXPECT_FALSE(save->isChecked());
    EXPECT_EQ(stored(QStringLiteral("SaveBeforeQuit")), QVariant(qint64(0)));
    EXPECT_EQ(stored(QStringLiteral("ClearScreenWhenHides")), QVariant(qint64(1)));
    EXPECT_TRUE(delegate().clearScreenWhenHides());

    // Turning one off leaves the other alone.
    click(*clear);
    EXPECT_EQ(stored(QStringLiteral("SaveBeforeQuit")), QVariant(qint64(0)));
    MRKOUtils::userDefaults().setInteger(1, QStringLiteral("ClearScreenWhenHides"));
    click(*save);
    click(*save);
    EXPECT_EQ(current(QStringLiteral("ClearScreenWhenHides")), QVariant(qint64(1)));
    EXPECT_FALSE(save->isChecked());
}

TEST_F(MRKOPreferencesViewControllerTest, ExceptionBoxesMakeTheClearMask)
{
    const char *boxes[] = {"customClearPreserveBrush", "customClearPreserveArrow",  "customClearPreserveRect",
                           "customClearPreserveText",  "customClearPreserveBadges", "customClearPreserveTimer"};
    // The default 96 keeps badges and timers.
    EXPECT_TRUE(control<QCheckBox>("customClearPreserveBadges")->isChecked());
    for (const char *box : boxes) {
        if (control<QCheckBox>(box)->isChecked())
            click(*control<QCheckBox>(box));
    }
    EXPECT_EQ(stored(QStringLiteral("CustomClearScreenMask")), QVariant(qint64(0)));
    EXPECT_EQ(liveSettings().customClearScreenMask, 0);
    click(*control<QCheckBox>("customClearPreserveBrush"));
    click(*control<QCheckBox>("customClearPreserveText"));
    EXPECT_EQ(stored(QStringLiteral("CustomClearScreenMask")), QVariant(qint64(18)));
    EXPECT_EQ(liveSettings().customClearScreenMask, 18);
}

TEST_F(MRKOPreferencesViewControllerTest, OnlyAClickOnTheMagnifierSliderChoosesTheToggleScale)
{
    auto *magnify = control<PrefSlider>("magnifySlider");
    // A drag from 1.0 to 3.0.
    pressAt(*magnify, 1.0);
    dragTo(*magnify, 2.0);
    dragTo(*magnify, 3.0);
    release(*magnify);
    EXPECT_NEAR(current(QStringLiteral("MagnifyScale")).toDouble(), 3.0, 1e-9);
    EXPECT_FALSE(MRKOUtils::userDefaults().persistentDomain().contains(QStringLiteral("MagnifyToggleScale")));
    EXPECT_EQ(liveSettings().magnifyToggleScale, 2.0);

    clickAt(*magnify, 3.0);
    EXPECT_NEAR(current(QStringLiteral("MagnifyToggleScale")).toDouble(), 3.0, 1e-9);
    EXPECT_NEAR(liveSettings().magnifyToggleScale, 3.0, 1e-9);

    clickAt(*magnify, 1.0);
    EXPECT_NEAR(current(QStringLiteral("MagnifyToggleScale")).toDouble(), 3.0, 1e-9);
    EXPECT_EQ(liveSettings().magnifyScale, 1.0);

    // The keyboard moves the scale only.
    magnify->setFocus();
    QTest::keyClick(magnify, Qt::Key_Right);
    EXPECT_NEAR(liveSettings().magnifyScale, 1.1, 1e-9);
    EXPECT_NEAR(liveSettings().magnifyToggleScale, 3.0, 1e-9);
}

TEST_F(MRKOPreferencesViewControllerTest, FlashlightShapeLabelShowsTheKeptRatioSquared)
{
    auto *shape = control<PrefSlider>("flashLightShape");
    for (const auto &[ratio, text] :
         {std::pair{0.5, "1 : 1.90"}, std::pair{2.0, "4.00 : 1"}, std::pair{1.0, "1 : 1"}}) {
        SCOPED_TRACE(ratio);
        clickAt(*shape, ratio);
        EXPECT_EQ(control<QLabel>("flashLightShapeField")->text(), QLatin1String(text));
    }
}

TEST_F(MRKOPreferencesViewControllerTest, SetDefaultButtonsPutTheRegisteredValueBackWithoutSynchronising)
{
    clickAt(*control<PrefSlider>("flashlightSlider"), 300);
    clickAt(*control<PrefSlider>("arrowHeadSlider"), 0.5);
    control<QPushButton>("setDefaultFlashlightRadiusButton")->click();
    control<QPushButton>("setDefaultArrowHeadButton")->click();
    EXPECT_EQ(liveSettings().flashlightRadius, 100.0);
    EXPECT_EQ(liveSettings().arrowHeadRatio, double(0.33f));
    EXPECT_EQ(current(QStringLiteral("FlashLightRadius")).toDouble(), 100.0); // the registered value again
    EXPECT_EQ(control<QLabel>("flashlightRadiusField")->text(), QStringLiteral("100 px"));
    EXPECT_TRUE(stored(QStringLiteral("FlashLightRadius")).isValid()); // the file keeps it until the next write

    MRKOUtils::userDefaults().setInteger(0, QStringLiteral("DefaultFontSize"));
    pane().updateFontSizeMenu();
    EXPECT_EQ(control<QComboBox>("fontSizesButton")->currentText(), QStringLiteral("64"));
}

TEST_F(MRKOPreferencesViewControllerTest, ColourWellsReadTheirKeyOrTheirPurposesDefault)
{
    struct Row
    {
        const char *outlet;
        const char *key;
        qint64 purpose;
        std::function<inkora::SrgbColor()> read;
    };
    const std::vector<Row> rows = {
        {"constantTextColor", "ConstantTextColor", 1, [this] { return pane().colorTextForeground(); }},
        {"textBackgroundColor", "TextBackgroundColor", 0, [this] { return pane().colorTextBackground(); }},
        {"timerBackgroundColor", "TimerBackgroundColor", 0, [this] { return pane().colorTimerBackground(); }},
        {"badgeBackgroundColor", "BadgeBackgroundColor", 0, [this] { return pane().colorBadgeBackground(); }},
        {"flashlightBackgroundColor", "FlashlightBackgroundColor", 0,
         [this] { return pane().colorFlashlightBackground(); }},
    };
    const inkora::SrgbColor stored(0.25, 0.5, 0.75, 0.5);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.outlet);
        auto *well = control<MRKOBackgroundColorButton>(row.outlet);
        ASSERT_NE(well, nullptr);
        EXPECT_EQ(well->purpose(), row.purpose);
        // Nothing stored: opaque red for the text colour, half-transparent black for the backgrounds.
        EXPECT_EQ(row.read(),
                  row.purpose == 1 ? MRKOToolColor::defaultColor() : MRKOToolColor::defaultBackgroundColor());

        MRKOUtils::userDefaults().setObject(QStringLiteral("0.250000+0.500000+0.750000+0.500000"),
                                            QString::fromUtf8(row.key));
        pane().reloadAllPreferences();
        EXPECT_EQ(row.read(), stored);
    }
}

TEST_F(MRKOPreferencesViewControllerTest, RestoreDefaultsRemovesListedKeysOnly)
{
    platform::Defaults &store = MRKOUtils::userDefaults();
    store.setInteger(1, QStringLiteral("SaveBeforeQuit"));
    store.setInteger(150, QStringLiteral("EraserSize"));
    store.setInteger(2, QStringLiteral("QuickArrowHead"));
    store.setObject(QStringLiteral("x"), QStringLiteral("ShortcutUndo"));
    delegate().updateAllSettings();
    pane().reloadAllPreferences();
    EXPECT_EQ(control<PrefSlider>("eraserSizeSlider")->integerValue(), 150);

    control<QPushButton>("restoreDefaultsButton")->click();

    EXPECT_FALSE(stored(QStringLiteral("SaveBeforeQuit")).isValid());
    EXPECT_FALSE(stored(QStringLiteral("EraserSize")).isValid());
    EXPECT_EQ(stored(QStringLiteral("QuickArrowHead")), QVariant(qint64(2)));
    EXPECT_EQ(stored(QStringLiteral("ShortcutUndo")), QVariant(QStringLiteral("x")));
    EXPECT_EQ(liveSettings().eraserSize, 80);
    EXPECT_EQ(control<PrefSlider>("eraserSizeSlider")->integerValue(), 80);
    EXPECT_FALSE(control<QCheckBox>("saveBeforeQuit")->isChecked());
}

TEST_F(MRKOPreferencesViewControllerTest, NotificationsRefreshTheSlidersTheCanvasChanged)
{
    (void)pane();
    liveSettings().eraserSize = 200;
    liveSettings().flashlightRadius = 180;
    liveSettings().needSemitransparent = true;
    platform::NotificationCenter &center = platform::NotificationCenter::defaultCenter();
    center.post(kMRKOUpdateEraserSizeSliderNotification);
    center.post(kMRKOUpdateFlashlightSliderNotification);
    center.post(kMRKOUpdateSemiTransparentNotification);
    EXPECT_EQ(control<PrefSlider>("eraserSizeSlider")->integerValue(), 200);
    EXPECT_EQ(control<PrefSlider>("flashlightSlider")->integerValue(), 180);
    EXPECT_TRUE(control<QCheckBox>("semiTransparent")->isChecked());
}

TEST_F(MRKOPreferencesViewControllerTest, EveryControlIsNamedForItsOutletAndTitled)
{
    // Controls a user reaches by their title; value labels and the overlay carry no title.
    for (QWidget *widget : pane().containerView()->findChildren<QWidget *>()) {
        if (!qobject_cast<QAbstractButton *>(widget) && !qobject_cast<QComboBox *>(widget) &&
            !qobject_cast<QAbstractSlider *>(widget))
            continue;
        if (widget->parent() && qobject_cast<QComboBox *>(widget->parent()))
            continue;
        SCOPED_TRACE(widget->metaObject()->className());
        EXPECT_FALSE(widget->objectName().isEmpty());
        if (!widget->objectName().startsWith(QLatin1String("open"))) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
}
