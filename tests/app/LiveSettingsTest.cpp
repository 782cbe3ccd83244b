#include "app/LiveSettings.h"

#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/PropertyList.h"
#include "tests/support/InkoraFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

using inkora::liveSettings;
using inkora::LiveSettings;
using Update = void (inkora::SettingsPropagation::*)();
using Live = std::function<double()>;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");
const double kFloat033 = 0.33000001311302185; // 0.33 as a float, widened

#define LIVE(field) [] { return double(liveSettings().field); }

} // namespace

class LiveSettingsTest : public InkoraFixture
{
protected:
    void store(const QString &key, const QVariant &value) { MRKOUtils::userDefaults().setObject(value, key); }
    void run(Update update) { (delegate.*update)(); }

    AppDelegate delegate;
};

TEST_F(LiveSettingsTest, EveryValueBeforeTheFirstUpdateIsTheTables)
{
    const LiveSettings &live = liveSettings();
    struct Row
    {
        const char *name;
        double value;
        double expected;
    };
    const std::vector<Row> rows = {
        {"drawingOpacity", live.drawingOpacity, 0.5},
        {"allowDrawBaseLayer", double(live.allowDrawBaseLayer), 1},
        {"drawCroppedChunks", double(live.drawCroppedChunks), 1},
        {"useConstantTextColor", double(live.useConstantTextColor), 0},
        {"fpsLimiterAction", double(live.fpsLimiterAction), 0},
        {"drawToScreenMethod", double(live.drawToScreenMethod), 0},
        {"customClearScreenMask", double(live.customClearScreenMask), 32},
        {"removeTimersWhenClearCanvas", double(live.removeTimersWhenClearCanvas), 0},
        {"fadeClearScreenInFreezeMode", double(live.fadeClearScreenInFreezeMode), 0},
        {"eraserSize", double(live.eraserSize), 80},
        {"eraserPreserveText", double(live.eraserPreserveText), 1},
        {"eraserPreserveArrowLine", double(live.eraserPreserveArrowLine), 0},
        {"eraserPreserveRectEllipse", double(live.eraserPreserveRectEllipse), 0},
        {"sharpRectangle", double(live.sharpRectangle), 0},
        {"penPressure", double(live.penPressure.load()), 0},
        {"takeSnapshotOnClearCanvas", double(live.takeSnapshotOnClearCanvas), 0},
        {"takeDazadUdizBySelecting", double(live.takeDazadUdizBySelecting), 1},
        {"takeDazadUdizByClick", double(live.takeDazadUdizByClick), 0},
        {"takeCopyDazadUdizToClipboard", double(live.takeCopyDazadUdizToClipboard), 1},
        {"overallShadow", double(live.overallShadow), 0},
        {"cutOutFlashlightShape", double(live.cutOutFlashlightShape), 0},
        {"cursorHaloOpacity", live.cursorHaloOpacity, 0},
        {"cursorHaloSize", double(live.cursorHaloSize), 100},
        {"applySnapshotWithWhiteboard", double(live.applySnapshotWithWhiteboard), 0},
        {"flashLightCircleSelection", double(live.flashLightCircleSelection), 0},
        {"rightClickExtraAction", double(live.rightClickExtraAction), 1},
        {"rightClickControlAction", double(live.rightClickControlAction), 5},
        {"rightClickOptionAction", double(live.rightClickOptionAction), 21},
        {"rightClickCommandAction", double(live.rightClickCommandAction), 20},
        {"arrowStyle", double(live.arrowStyle), 0},
        {"quickArrowHeadStyle", double(live.quickArrowHeadStyle), 0},
        {"quickArrowHeadSize", live.quickArrowHeadSize, 1.0},
        {"splashMethod", double(live.splashMethod), 0},
        {"fadeTime", live.fadeTime, 1.5},
        {"drawingDuringFlashlight", double(live.drawingDuringFlashlight), 0},
        {"hueByScroll", double(live.hueByScroll), 1},
        {"freezeModeHighlighting", double(live.freezeModeHighlighting), 1},
        {"textOnClick", double(live.textOnClick), 1},
        {"fontSize", live.fontSize, 48},
        {"badgeFontSize", live.badgeFontSize, 48},
        {"magnifyScale", live.magnifyScale, 1},
        {"magnifyToggleScale", live.magnifyToggleScale, 2},
        {"useMagnifying", double(live.useMagnifying), 1},
        {"magnifyMethod", double(live.magnifyMethod), 0},
        {"whiteBoardColorType", double(live.whiteBoardColorType), 0},
        {"magnifyMode", double(live.magnifyMode), 0},
        {"brushCursor", double(live.brushCursor), 0},
        {"needSemitransparent", double(live.needSemitransparent), 0},
        {"flashlightRectShape", double(live.flashlightRectShape), 0},
        {"flashlightEdgeSmoothness", live.flashlightEdgeSmoothness, 0},
        {"flashLightRatio", MRKOUtils::flashLightRatio(), 1},
        {"constantArrowWidth", double(live.constantArrowWidth), 0},
        {"lowerThirdOnAppear", double(live.lowerThirdOnAppear), 0},
        {"useConstantArrowHeadSize", double(live.useConstantArrowHeadSize), 0},
        {"constantArrowHeadSize", live.constantArrowHeadSize, 50},
        {"useTextBackground", double(live.useTextBackground), 0},
        {"useTimerBackground", double(live.useTimerBackground), 1},
        {"useBadgeBackground", double(live.useBadgeBackground), 1},
        {"badgeCutOutBackground", double(live.badgeCutOutBackground), 0},
        {"badgeAppearAnimated", double(live.badgeAppearAnimated), 1},
        {"flashlightRadius", live.flashlightRadius, 100},
        {"textBackgroundSharpCorners", double(live.textBackgroundSharpCorners), 0},
        {"arrowRoundedTip", double(live.arrowRoundedTip), 1},
        {"arrowRoundedEnds", double(live.arrowRoundedEnds), 1},
        {"invertArrowDrawing", double(live.invertArrowDrawing), 0},
        {"blinkingRepeat", double(live.blinkingRepeat), 0},
        {"hidePointingDot", double(live.hidePointingDot), 0},
        {"flashlightHideCursor", double(live.flashlightHideCursor), 0},
        {"limitMouseFPS", double(live.limitMouseFPS), 1},
        {"mouseFPSRate", live.mouseFPSRate, 125},
        {"arrowHeadRatio", live.arrowHeadRatio, 0.33},
    };
    for (const Row &row : rows)
        EXPECT_EQ(row.value, row.expected) << row.name;
}

struct ConversionRow
{
    const char *name;
    const char *key;
    QVariant stored;
    Update update;
    Live live;
    double expected;
};

class LiveSettingsConversionTest : public LiveSettingsTest, public testing::WithParamInterface<ConversionRow>
{
};

TEST_P(LiveSettingsConversionTest, StoredValueIsConvertedAndBounded)
{
    const ConversionRow &row = GetParam();
    store(QLatin1String(row.key), row.stored);

    run(row.update);

    EXPECT_EQ(row.live(), row.expected);
}

using P = inkora::SettingsPropagation;

INSTANTIATE_TEST_SUITE_P(
    All, LiveSettingsConversionTest,
    testing::ValuesIn(std::vector<ConversionRow>{
        {"EraserOne", "EraserSize", qint64(1), &P::updateEraserSize, LIVE(eraserSize), 2},
        {"EraserZero", "EraserSize", qint64(0), &P::updateEraserSize, LIVE(eraserSize), 2},
        {"EraserNegative", "EraserSize", qint64(-5), &P::updateEraserSize, LIVE(eraserSize), 2},
        {"EraserThree", "EraserSize", qint64(3), &P::updateEraserSize, LIVE(eraserSize), 3},
        {"Eraser401", "EraserSize", qint64(401), &P::updateEraserSize, LIVE(eraserSize), 400},
        {"MouseFreq10", "MouseFPSFreq", qint64(10), &P::updateLimitMouseFPS, LIVE(mouseFPSRate), 30},
        {"MouseFreq0", "MouseFPSFreq", qint64(0), &P::updateLimitMouseFPS, LIVE(mouseFPSRate), 30},
        {"MouseFreq31", "MouseFPSFreq", qint64(31), &P::updateLimitMouseFPS, LIVE(mouseFPSRate), 31},
        {"MouseFreq300", "MouseFPSFreq", qint64(300), &P::updateLimitMouseFPS, LIVE(mouseFPSRate), 250},
        {"MouseLimitOff", "MouseFPSLimit", qint64(2), &P::updateLimitMouseFPS, LIVE(limitMouseFPS), 0},
        {"OpacityNaN", "DrawingOpacity", kNaN, &P::updateDrawingOpacity, LIVE(drawingOpacity), 0.05},
        {"OpacityLow", "DrawingOpacity", 0.01, &P::updateDrawingOpacity, LIVE(drawingOpacity), 0.05},
        {"OpacityHigh", "DrawingOpacity", 3.0, &P::updateDrawingOpacity, LIVE(drawingOpacity), 1.0},
        {"OpacityFloat", "DrawingOpacity", 0.7, &P::updateDrawingOpacity, LIVE(drawingOpacity), double(0.7f)},
        {"ToggleScaleHalf", "MagnifyToggleScale", 0.5, &P::updateMagnifyToggleScale, LIVE(magnifyToggleScale), 1.1},
        {"ToggleScaleOne", "MagnifyToggleScale", 1.0, &P::updateMagnifyToggleScale, LIVE(magnifyToggleScale), 1.1},
        {"ToggleScale20", "MagnifyToggleScale", 20.0, &P::updateMagnifyToggleScale, LIVE(magnifyToggleScale), 16},
        {"MagnifyLow", "MagnifyScale", 0.5, &P::updateMagnifyScale, LIVE(magnifyScale), 1},
        {"MagnifyHigh", "MagnifyScale", 17.0, &P::updateMagnifyScale, LIVE(magnifyScale), 16},
        {"HaloOpacityHigh", "CursorHaloOpacity", 0.7, &P::updateCursorHaloOpacity, LIVE(cursorHaloOpacity), 0.5},
        {"HaloOpacityNegative", "CursorHaloOpacity", -0.1, &P::updateCursorHaloOpacity, LIVE(cursorHaloOpacity), 0},
        {"HaloRadiusLow", "CursorHaloRadius", qint64(10), &P::updateCursorHaloSize, LIVE(cursorHaloSize), 30},
        {"HaloRadiusHigh", "CursorHaloRadius", qint64(500), &P::updateCursorHaloSize, LIVE(cursorHaloSize), 200},
        {"RatioOne", "ArrowHeadRatio", 1.0, &P::updateArrowHeadRatio, LIVE(arrowHeadRatio), kFloat033},
        {"RatioLow", "ArrowHeadRatio", 0.03, &P::updateArrowHeadRatio, LIVE(arrowHeadRatio), kFloat033},
        {"RatioInside", "ArrowHeadRatio", 0.031, &P::updateArrowHeadRatio, LIVE(arrowHeadRatio), 0.031},
        {"EdgeBelowThree", "FlashLightEdgesSmoothness", 2.9, &P::updateFlashlightEdgeSmoothness,
         LIVE(flashlightEdgeSmoothness), 0},
        {"EdgeThree", "FlashLightEdgesSmoothness", 3.0, &P::updateFlashlightEdgeSmoothness,
         LIVE(flashlightEdgeSmoothness), 3},
        {"EdgeHigh", "FlashLightEdgesSmoothness", 75.0, &P::updateFlashlightEdgeSmoothness,
         LIVE(flashlightEdgeSmoothness), 50},
        {"EdgeNegative", "FlashLightEdgesSmoothness", -4.0, &P::updateFlashlightEdgeSmoothness,
         LIVE(flashlightEdgeSmoothness), 0},
        {"ArrowHeadLow", "ConstantArrowHeadSize", qint64(20), &P::updateConstantArrowHeadSize,
         LIVE(constantArrowHeadSize), 20},
        {"ArrowHead21", "ConstantArrowHeadSize", qint64(21), &P::updateConstantArrowHeadSize,
         LIVE(constantArrowHeadSize), 21},
        {"ArrowHeadHigh", "ConstantArrowHeadSize", qint64(900), &P::updateConstantArrowHeadSize,
         LIVE(constantArrowHeadSize), 400},
        {"FadeUnset", "FadeOutTimeKey", QVariant(), &P::updateFadeTime, LIVE(fadeTime), 1.5},
        {"FadeSix", "FadeOutTimeKey", qint64(6), &P::updateFadeTime, LIVE(fadeTime), 0.25},
        {"FlagTwoIsOff", "HueByScroll", qint64(2), &P::updateHueByScroll, LIVE(hueByScroll), 0},
        {"FlagOneIsOn", "SharpRectangle", qint64(1), &P::updateSharpRectangle, LIVE(sharpRectangle), 1},
        {"FontSize", "DefaultFontSize", qint64(64), &P::updateFontSize, LIVE(fontSize), 64},
        {"RightClick", "CloseOnRightClick", qint64(7), &P::updateRightClickExtraAction, LIVE(rightClickExtraAction), 7},
        {"Radius", "FlashLightRadius", 250.5, &P::updateFlashlightRadius, LIVE(flashlightRadius), 250.5},
        {"FlashlightRatio", "FlashLightRatio", 0.5, &P::updateFlashlightRatio,
         [] { return MRKOUtils::flashLightRatio(); }, 0.725},
        {"PenPressure", "PenPressure", qint64(1), &P::updatePenPressure, LIVE(penPressure.load()), 1},
    }),
    [](const auto &info) { return std::string(info.param.name); });

struct NonFiniteRow
{
    const char *key;
    QVariant finite; // stored and applied first, so that "keeps the previous value" can be seen
    Update update;
    Live live;
    double previous; // what the finite value gives
    double nan, plusInfinity, minusInfinity;
};

class LiveSettingsNonFiniteTest : public LiveSettingsTest, public testing::WithParamInterface<NonFiniteRow>
{
};

TEST_P(LiveSettingsNonFiniteTest, NaNAndInfinitiesFollowTheOneRule)
{
    const NonFiniteRow &row = GetParam();
    const QString key = QLatin1String(row.key);
    struct Case
    {
        double stored;
        double expected;
    };
    for (const Case c : {Case{kNaN, row.nan}, Case{kInf, row.plusInfinity}, Case{-kInf, row.minusInfinity}}) {
        SCOPED_TRACE(c.stored);
        store(key, row.finite);
        run(row.update);
        ASSERT_EQ(row.live(), row.previous);

        store(key, c.stored);
        run(row.update);

        const double live = row.live();
        EXPECT_TRUE(std::isfinite(live));
        EXPECT_EQ(live, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, LiveSettingsNonFiniteTest,
    testing::ValuesIn(std::vector<NonFiniteRow>{
        {"DrawingOpacity", 0.5, &P::updateDrawingOpacity, LIVE(drawingOpacity), 0.5, 0.05, 1.0, 0.05},
        {"CursorHaloOpacity", 0.25, &P::updateCursorHaloOpacity, LIVE(cursorHaloOpacity), 0.25, 0, 0.5, 0},
        {"ArrowHeadRatio", 0.5, &P::updateArrowHeadRatio, LIVE(arrowHeadRatio), 0.5, kFloat033, kFloat033, kFloat033},
        {"QuickArrowHeadSize", 1.5, &P::updateQuickArrowHeadSize, LIVE(quickArrowHeadSize), 1.5, 1.5, 1.5, 1.5},
        {"MagnifyScale", 4.0, &P::updateMagnifyScale, LIVE(magnifyScale), 4, 4, 16, 1},
        {"MagnifyToggleScale", 3.0, &P::updateMagnifyToggleScale, LIVE(magnifyToggleScale), 3, 3, 16, 1.1},
        {"FlashLightEdgesSmoothness", 10.0, &P::updateFlashlightEdgeSmoothness, LIVE(flashlightEdgeSmoothness), 10, 10,
         50, 0},
        {"FlashLightRadius", 150.0, &P::updateFlashlightRadius, LIVE(flashlightRadius), 150, 150, 150, 150},
        {"FlashLightRatio", 2.0, &P::updateFlashlightRatio, [] { return MRKOUtils::flashLightRatio(); }, 2, 2, 2, 2},
        // Integer settings: a real that is not finite reads 0, which then meets the bounds.
        {"EraserSize", qint64(100), &P::updateEraserSize, LIVE(eraserSize), 100, 2, 2, 2},
        {"MouseFPSFreq", qint64(60), &P::updateLimitMouseFPS, LIVE(mouseFPSRate), 60, 30, 30, 30},
        {"CursorHaloRadius", qint64(50), &P::updateCursorHaloSize, LIVE(cursorHaloSize), 50, 30, 30, 30},
        {"ConstantArrowHeadSize", qint64(60), &P::updateConstantArrowHeadSize, LIVE(constantArrowHeadSize), 60, 20, 20,
         20},
        {"DefaultFontSize", qint64(30), &P::updateFontSize, LIVE(fontSize), 30, 0, 0, 0},
        {"FadeOutTimeKey", qint64(3), &P::updateFadeTime, LIVE(fadeTime), 3, 1.5, 1.5, 1.5},
    }),
    [](const auto &info) { return std::string(info.param.key); });

TEST_F(LiveSettingsTest, OutOfRangeValuesAfterEarlierOnes)
{
    // The arrow-head ratio falls back to 0.33 rather than keeping the earlier ratio.
    store(QStringLiteral("ArrowHeadRatio"), 0.5);
    delegate.updateArrowHeadRatio();
    store(QStringLiteral("ArrowHeadRatio"), 1.0);
    delegate.updateArrowHeadRatio();
    EXPECT_EQ(liveSettings().arrowHeadRatio, 0.33000001311302185);

    // The quick-arrow head keeps the earlier size.
    store(QStringLiteral("QuickArrowHeadSize"), 1.5);
    delegate.updateQuickArrowHeadSize();
    store(QStringLiteral("QuickArrowHeadSize"), 3.0);
    delegate.updateQuickArrowHeadSize();
    EXPECT_EQ(liveSettings().quickArrowHeadSize, 1.5);
}

TEST_F(LiveSettingsTest, UpdatingAllSettingsReadsRegisteredDefaultsUnderStoredValues)
{
    MRKOUtils::userDefaults().registerDefaults({{QStringLiteral("EraserSize"), qint64(80)},
                                                {QStringLiteral("ArrowHeadRatio"), double(0.33f)},
                                                {QStringLiteral("HueByScroll"), qint64(1)},
                                                {QStringLiteral("KeepTouchBarKey"), qint64(1)}});
    store(QStringLiteral("EraserSize"), qint64(120));

    delegate.updateAllSettings();

    const LiveSettings &live = liveSettings();
    EXPECT_EQ(live.eraserSize, 120);
    EXPECT_EQ(live.arrowHeadRatio, kFloat033);
    EXPECT_TRUE(live.hueByScroll);
    EXPECT_TRUE(delegate.keepTouchBarWOToolbar());
    // Keys with neither a value nor a default read 0 and then meet their bounds.
    EXPECT_FALSE(live.textOnClick);
    EXPECT_EQ(live.mouseFPSRate, 30);
    EXPECT_EQ(live.magnifyToggleScale, 1.1);
    EXPECT_EQ(live.drawingOpacity, 0.05);
    EXPECT_EQ(live.fadeTime, 1.5);
}

TEST_F(LiveSettingsTest, NonFiniteRealsInTheSettingsFileNeverReachLiveState)
{
    // Every key the propagation reads, with a real that is not finite where a number belongs.
    const QStringList keys = {
        QStringLiteral("DrawingOpacity"),        QStringLiteral("CursorHaloOpacity"),
        QStringLiteral("QuickArrowHeadSize"),    QStringLiteral("MagnifyScale"),
        QStringLiteral("MagnifyToggleScale"),    QStringLiteral("FlashLightEdgesSmoothness"),
        QStringLiteral("FlashLightRatio"),       QStringLiteral("FlashLightRadius"),
        QStringLiteral("ArrowHeadRatio"),        QStringLiteral("EraserSize"),
        QStringLiteral("MouseFPSFreq"),          QStringLiteral("CursorHaloRadius"),
        QStringLiteral("ConstantArrowHeadSize"), QStringLiteral("DefaultFontSize"),
        QStringLiteral("DefaultBadgeFontSize"),  QStringLiteral("FadeOutTimeKey"),
    };
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    delegate.prepareUserDefaults();
    for (const double stored : {kNaN, kInf, -kInf}) {
        SCOPED_TRACE(stored);
        QVariantMap file;
        for (const QString &key : keys)
            file.insert(key, stored);
        const std::optional<QByteArray> bytes = platform::PropertyList::toBinary(file);
        ASSERT_TRUE(bytes);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(defaults.filePath()).absolutePath()));
        QFile out(defaults.filePath());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(*bytes);
        out.close();
        defaults.reload();
        // The file really delivers the value; the propagation must stop it.
        ASSERT_EQ(std::isnan(defaults.doubleForKey(QStringLiteral("DrawingOpacity"))), std::isnan(stored));

        delegate.updateAllSettings();

        const LiveSettings &live = liveSettings();
        for (const double value : {live.drawingOpacity, live.cursorHaloOpacity, live.quickArrowHeadSize, live.fadeTime,
                                   live.fontSize, live.badgeFontSize, live.magnifyScale, live.magnifyToggleScale,
                                   live.flashlightEdgeSmoothness, live.constantArrowHeadSize, live.flashlightRadius,
                                   live.mouseFPSRate, live.arrowHeadRatio, MRKOUtils::flashLightRatio()})
            EXPECT_TRUE(std::isfinite(value)) << value;
    }
}
