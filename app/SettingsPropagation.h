#pragma once

namespace inkora {

/// The update methods of the application delegate that copy one setting each into the live settings: each reads
/// its key through the settings store, converts and bounds it by the rule of `boundedSetting`, and stores it.
/// The Preferences control of a setting calls its method after writing the key.
class SettingsPropagation
{
public:
    void updateDrawingOpacity();
    void updateAllowDrawBaseLayer();
    void updateDrawCroppedChunks();
    void updateUseConstantTextColor();
    void updateFPSLimiterAction();
    void updateDrawToScreenMethod();
    void updateCustomClearScreenMask();
    void updateRemoveTimersWhenClearCanvas();
    void updateFadeClearScreenInFreezeMode();
    void updateEraserSize();
    void updateEraserPreserveText();
    void updateEraserPreserveArrowLine();
    void updateEraserPreserveRectEllipse();
    void updateSharpRectangle();
    void updatePenPressure();
    void updateTakeSnapshotOnClearCanvas();
    void updateTakeDazadUdizBySelecting();
    void updateTakeDazadUdizByClick();
    void updateTakeCopyDazadUdizToClipboard();
    void updateOverallShadow();
    void updateCutOutFlashlightShape();
    void updateCursorHaloOpacity();
    void updateCursorHaloSize();
    void updateApplySnapshotWithWhiteboard();
    void updateFlashLightCircleSelection();
    void updateRightClickExtraAction();
    void updateRightClickControlAction();
    void updateRightClickOptionAction();
    void updateRightClickCommandAction();
    void updateArrowStyle();
    void updateQuickArrowHeadStyle();
    void updateQuickArrowHeadSize();
    void updateSplashMethod();
    void updateFadeTime();
    void updateDrawingDuringFlashlight();
    void updateHueByScroll();
    void updateFreezeModeHighlighting();
    void updateTextOnClick();
    void updateFontSize();
    void updateBadgeFontSize();
    void updateMagnifyScale();
    void updateMagnifyToggleScale();
    void updateUseMagnifying();
    void updateMagnifyMethod();
    void updateWhiteBoardColorType();
    void updateMagnifyMode();
    void updateBrushCursor();
    void updateNeedSemitransparent();
    void updateFlashlightRectShape();
    void updateFlashlightEdgeSmoothness();
    void updateFlashlightRatio();
    void updateConstantArrowWidth();
    void updateLowerThirdOnAppear();
    void updateUseConstantArrowHeadSize();
    void updateConstantArrowHeadSize();
    void updateUseTextBackground();
    void updateUseTimerBackground();
    void updateUseBadgeBackground();
    void updateBadgeCutOutBackground();
    void updateBadgeAppearAnimated();
    void updateFlashlightRadius();
    void updateTextBackgroundSharpCorners();
    void updateArrowRoundedTip();
    void updateArrowRoundedEnds();
    void updateInvertArrowDrawing();
    void updateBlinkingRepeat();
    void updateHidePointingDot();
    void updateFlashlightHideCursor();
    void updateLimitMouseFPS();
    void updateArrowHeadRatio();

protected:
    SettingsPropagation() = default;
    ~SettingsPropagation() = default;
};

} // namespace inkora
