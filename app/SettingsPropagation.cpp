#include "app/SettingsPropagation.h"

#include "app/LiveSettings.h"
#include "canvas/MRKOLowpassFilter.h"
#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"
#include "platform/Defaults.h"

#include <algorithm>
#include <cmath>

namespace inkora {

void SettingsPropagation::updateDrawingOpacity()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    // A float setting; NaN counts as the least opacity.
    live.drawingOpacity = boundedSetting(double(defaults.floatForKey(QStringLiteral("DrawingOpacity"))),
                                         live.drawingOpacity, 0.05, 1.0, 0.05);
}

void SettingsPropagation::updateAllowDrawBaseLayer()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.allowDrawBaseLayer = flagSetting(defaults, QStringLiteral("AllowDrawBaseLayer"));
}

void SettingsPropagation::updateDrawCroppedChunks()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.drawCroppedChunks = flagSetting(defaults, QStringLiteral("DrawCroppedChunks"));
}

void SettingsPropagation::updateUseConstantTextColor()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.useConstantTextColor = flagSetting(defaults, QStringLiteral("UseConstantTextColor"));
}

void SettingsPropagation::updateFPSLimiterAction()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.fpsLimiterAction = defaults.integerForKey(QStringLiteral("FPSLimiterAction"));
}

void SettingsPropagation::updateDrawToScreenMethod()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.drawToScreenMethod = defaults.integerForKey(QStringLiteral("DrawToScreenMethod"));
}

void SettingsPropagation::updateCustomClearScreenMask()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.customClearScreenMask = defaults.integerForKey(QStringLiteral("CustomClearScreenMask"));
}

void SettingsPropagation::updateRemoveTimersWhenClearCanvas()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.removeTimersWhenClearCanvas = flagSetting(defaults, QStringLiteral("RemoveTimersWhenClearCanvas"));
}

void SettingsPropagation::updateFadeClearScreenInFreezeMode()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.fadeClearScreenInFreezeMode = flagSetting(defaults, QStringLiteral("FadeClearScreenInFreezeMode"));
}

void SettingsPropagation::updateEraserSize()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.eraserSize = boundedIntegerSetting(defaults, QStringLiteral("EraserSize"), 3, 2, 400);
}

void SettingsPropagation::updateEraserPreserveText()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.eraserPreserveText = flagSetting(defaults, QStringLiteral("EraserPreserveText"));
}

void SettingsPropagation::updateEraserPreserveArrowLine()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.eraserPreserveArrowLine = flagSetting(defaults, QStringLiteral("EraserPreserveArrowLine"));
}

void SettingsPropagation::updateEraserPreserveRectEllipse()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.eraserPreserveRectEllipse = flagSetting(defaults, QStringLiteral("EraserPreserveRectEllipse"));
}

void SettingsPropagation::updateSharpRectangle()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.sharpRectangle = flagSetting(defaults, QStringLiteral("SharpRectangle"));
}

void SettingsPropagation::updatePenPressure()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.penPressure = flagSetting(defaults, QStringLiteral("PenPressure"));
    // The smoother's timer exists only while pen pressure is on.
    if (live.penPressure)
        MRKOLowpassFilter::sharedFilter().makeFilter();
    else
        MRKOLowpassFilter::sharedFilter().removeFilter();
}

void SettingsPropagation::updateTakeSnapshotOnClearCanvas()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.takeSnapshotOnClearCanvas = flagSetting(defaults, QStringLiteral("TakeSnapshotOnClearCanvas"));
}

void SettingsPropagation::updateTakeDazadUdizBySelecting()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.takeDazadUdizBySelecting = flagSetting(defaults, QStringLiteral("TakeDazadUdizBySelecting"));
}

void SettingsPropagation::updateTakeDazadUdizByClick()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.takeDazadUdizByClick = flagSetting(defaults, QStringLiteral("TakeDazadUdizByClick"));
}

void SettingsPropagation::updateTakeCopyDazadUdizToClipboard()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.takeCopyDazadUdizToClipboard = flagSetting(defaults, QStringLiteral("TakeCopyDazadUdizToClipboard"));
}

void SettingsPropagation::updateOverallShadow()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.overallShadow = flagSetting(defaults, QStringLiteral("OverallShadow"));
}

void SettingsPropagation::updateCutOutFlashlightShape()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.cutOutFlashlightShape = flagSetting(defaults, QStringLiteral("CutOutFlashlightShape"));
}

void SettingsPropagation::updateCursorHaloOpacity()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.cursorHaloOpacity = boundedSetting(defaults.doubleForKey(QStringLiteral("CursorHaloOpacity")),
                                            live.cursorHaloOpacity, 0.0, 0.5, 0.0);
}

void SettingsPropagation::updateCursorHaloSize()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.cursorHaloSize = boundedIntegerSetting(defaults, QStringLiteral("CursorHaloRadius"), 30, 30, 200);
}

void SettingsPropagation::updateApplySnapshotWithWhiteboard()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.applySnapshotWithWhiteboard = flagSetting(defaults, QStringLiteral("ApplySnapshotWithWhiteboard"));
}

void SettingsPropagation::updateFlashLightCircleSelection()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.flashLightCircleSelection = flagSetting(defaults, QStringLiteral("FlashlightCircleSelection"));
}

void SettingsPropagation::updateRightClickExtraAction()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.rightClickExtraAction = defaults.integerForKey(QStringLiteral("CloseOnRightClick"));
}

void SettingsPropagation::updateRightClickControlAction()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.rightClickControlAction = defaults.integerForKey(QStringLiteral("RightClickControlAction"));
}

void SettingsPropagation::updateRightClickOptionAction()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.rightClickOptionAction = defaults.integerForKey(QStringLiteral("RightClickOptionAction"));
}

void SettingsPropagation::updateRightClickCommandAction()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.rightClickCommandAction = defaults.integerForKey(QStringLiteral("RightClickCommandAction"));
}

void SettingsPropagation::updateArrowStyle()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.arrowStyle = defaults.integerForKey(QStringLiteral("ArrowStyle"));
}

void SettingsPropagation::updateQuickArrowHeadStyle()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.quickArrowHeadStyle = defaults.integerForKey(QStringLiteral("QuickArrowHead"));
}

void SettingsPropagation::updateQuickArrowHeadSize()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    // Taken only within 0.5 ... 2.0; anything else (NaN included) leaves the live value alone.
    const double size = defaults.doubleForKey(QStringLiteral("QuickArrowHeadSize"));
    if (size >= 0.5 && size <= 2.0)
        live.quickArrowHeadSize = size;
}

void SettingsPropagation::updateSplashMethod()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.splashMethod = defaults.integerForKey(QStringLiteral("SplashMethod"));
}

void SettingsPropagation::updateFadeTime()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.fadeTime = MRKOUtils::secondsWithFadeoutTime(defaults.integerForKey(QStringLiteral("FadeOutTimeKey")));
}

void SettingsPropagation::updateDrawingDuringFlashlight()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.drawingDuringFlashlight = flagSetting(defaults, QStringLiteral("DrawingDuringFlashlight"));
}

void SettingsPropagation::updateHueByScroll()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.hueByScroll = flagSetting(defaults, QStringLiteral("HueByScroll"));
}

void SettingsPropagation::updateFreezeModeHighlighting()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.freezeModeHighlighting = flagSetting(defaults, QStringLiteral("FreezeModeHighlighting"));
}

void SettingsPropagation::updateTextOnClick()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.textOnClick = flagSetting(defaults, QStringLiteral("TextOnClick"));
}

void SettingsPropagation::updateFontSize()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.fontSize = double(defaults.integerForKey(QStringLiteral("DefaultFontSize")));
}

void SettingsPropagation::updateBadgeFontSize()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.badgeFontSize = double(defaults.integerForKey(QStringLiteral("DefaultBadgeFontSize")));
}

void SettingsPropagation::updateMagnifyScale()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.magnifyScale =
        boundedSetting(defaults.doubleForKey(QStringLiteral("MagnifyScale")), live.magnifyScale, 1.0, 16.0);
}

void SettingsPropagation::updateMagnifyToggleScale()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    // A scale that would not magnify becomes 1.1.
    const double scale = defaults.doubleForKey(QStringLiteral("MagnifyToggleScale"));
    if (std::isnan(scale))
        return;
    live.magnifyToggleScale = scale <= 1.0 ? 1.1 : std::min(scale, 16.0);
}

void SettingsPropagation::updateUseMagnifying()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.useMagnifying = flagSetting(defaults, QStringLiteral("UseMagnifyingFlashlight"));
}

void SettingsPropagation::updateMagnifyMethod()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.magnifyMethod = defaults.integerForKey(QStringLiteral("MagnifyMethod"));
}

void SettingsPropagation::updateWhiteBoardColorType()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.whiteBoardColorType = defaults.integerForKey(QStringLiteral("WhiteBoardColor"));
}

void SettingsPropagation::updateMagnifyMode()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.magnifyMode = defaults.integerForKey(QStringLiteral("MagnifyMode"));
}

void SettingsPropagation::updateBrushCursor()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.brushCursor = flagSetting(defaults, QStringLiteral("UseBrushCursor"));
}

void SettingsPropagation::updateNeedSemitransparent()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.needSemitransparent = flagSetting(defaults, QStringLiteral("SemitransparentDrawingKey"));
}

void SettingsPropagation::updateFlashlightRectShape()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.flashlightRectShape = flagSetting(defaults, QStringLiteral("FlashlightRectShape"));
}

void SettingsPropagation::updateFlashlightEdgeSmoothness()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    // Edges below 3 points cannot be seen as soft: they count as none.
    const double smoothness = boundedSetting(defaults.doubleForKey(QStringLiteral("FlashLightEdgesSmoothness")),
                                             live.flashlightEdgeSmoothness, 0.0, 50.0);
    live.flashlightEdgeSmoothness = smoothness > 0 && smoothness < 3 ? 0.0 : smoothness;
}

void SettingsPropagation::updateFlashlightRatio()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    MRKOUtils::setFlashLightRatio(defaults.doubleForKey(QStringLiteral("FlashLightRatio")));
}

void SettingsPropagation::updateConstantArrowWidth()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.constantArrowWidth = flagSetting(defaults, QStringLiteral("ConstantArrowWidth"));
}

void SettingsPropagation::updateLowerThirdOnAppear()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.lowerThirdOnAppear = flagSetting(defaults, QStringLiteral("LowerThirdOnAppear"));
}

void SettingsPropagation::updateUseConstantArrowHeadSize()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.useConstantArrowHeadSize = flagSetting(defaults, QStringLiteral("UseConstantArrowHeadSize"));
}

void SettingsPropagation::updateConstantArrowHeadSize()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.constantArrowHeadSize =
        double(boundedIntegerSetting(defaults, QStringLiteral("ConstantArrowHeadSize"), 21, 20, 400));
}

void SettingsPropagation::updateUseTextBackground()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.useTextBackground = flagSetting(defaults, QStringLiteral("UseTextBackground"));
}

void SettingsPropagation::updateUseTimerBackground()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.useTimerBackground = flagSetting(defaults, QStringLiteral("UseTimerBackground"));
}

void SettingsPropagation::updateUseBadgeBackground()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.useBadgeBackground = flagSetting(defaults, QStringLiteral("UseBadgeBackground"));
}

void SettingsPropagation::updateBadgeCutOutBackground()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.badgeCutOutBackground = flagSetting(defaults, QStringLiteral("BadgeCutOutBackground"));
}

void SettingsPropagation::updateBadgeAppearAnimated()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.badgeAppearAnimated = flagSetting(defaults, QStringLiteral("BadgeAppearAnimated"));
}

void SettingsPropagation::updateFlashlightRadius()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.flashlightRadius = boundedSetting(defaults.doubleForKey(QStringLiteral("FlashLightRadius")),
                                           live.flashlightRadius, std::nullopt, std::nullopt);
}

void SettingsPropagation::updateTextBackgroundSharpCorners()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.textBackgroundSharpCorners = flagSetting(defaults, QStringLiteral("TextBackgroundSharpCorners"));
}

void SettingsPropagation::updateArrowRoundedTip()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.arrowRoundedTip = flagSetting(defaults, QStringLiteral("ArrowRoundedTip"));
}

void SettingsPropagation::updateArrowRoundedEnds()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.arrowRoundedEnds = flagSetting(defaults, QStringLiteral("ArrowRoundedEnds"));
}

void SettingsPropagation::updateInvertArrowDrawing()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.invertArrowDrawing = flagSetting(defaults, QStringLiteral("InvertArrowDrawing"));
}

void SettingsPropagation::updateBlinkingRepeat()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.blinkingRepeat = flagSetting(defaults, QStringLiteral("BlinkingRepeat"));
}

void SettingsPropagation::updateHidePointingDot()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.hidePointingDot = flagSetting(defaults, QStringLiteral("HidePointingDot"));
}

void SettingsPropagation::updateFlashlightHideCursor()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.flashlightHideCursor = flagSetting(defaults, QStringLiteral("HideCursorOnFlashlight"));
}

void SettingsPropagation::updateLimitMouseFPS()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    live.limitMouseFPS = flagSetting(defaults, QStringLiteral("MouseFPSLimit"));
    live.mouseFPSRate = double(boundedIntegerSetting(defaults, QStringLiteral("MouseFPSFreq"), 31, 30, 250));
}

void SettingsPropagation::updateArrowHeadRatio()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    LiveSettings &live = liveSettings();
    // Kept only strictly inside 0.03 ... 1.0; anything else (NaN and infinities included) is 0.33 as a float.
    const double ratio = defaults.doubleForKey(QStringLiteral("ArrowHeadRatio"));
    live.arrowHeadRatio = ratio > 0.03 && ratio < 1.0 ? ratio : double(0.33f);
}

} // namespace inkora
