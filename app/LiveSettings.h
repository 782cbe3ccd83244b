#pragma once

#include <QtGlobal>

#include <atomic>

namespace inkora {

/// The live copies of the settings that canvases, tools and drawn objects read while they work, so that they never
/// read the settings store mid-stroke. Each holds its initial value until its update method of the application
/// delegate first runs. Main thread only, except `penPressure`, which the pressure smoother's queue reads.
struct LiveSettings
{
    double drawingOpacity = 0.5;
    bool allowDrawBaseLayer = true;
    bool drawCroppedChunks = true;
    bool useConstantTextColor = false;
    qint64 fpsLimiterAction = 0;
    qint64 drawToScreenMethod = 0;
    qint64 customClearScreenMask = 32; // bit mask of tool groups
    bool removeTimersWhenClearCanvas = false;
    bool fadeClearScreenInFreezeMode = false;
    qint64 eraserSize = 80; // points
    bool eraserPreserveText = true;
    bool eraserPreserveArrowLine = false;
    bool eraserPreserveRectEllipse = false;
    bool sharpRectangle = false;
    std::atomic<bool> penPressure = false;
    bool takeSnapshotOnClearCanvas = false;
    bool takeDazadUdizBySelecting = true;
    bool takeDazadUdizByClick = false;
    bool takeCopyDazadUdizToClipboard = true;
    bool overallShadow = false;
    bool cutOutFlashlightShape = false;
    double cursorHaloOpacity = 0;
    qint64 cursorHaloSize = 100; // points
    bool applySnapshotWithWhiteboard = false;
    bool flashLightCircleSelection = false;
    qint64 rightClickExtraAction = 1;
    qint64 rightClickControlAction = 5;
    qint64 rightClickOptionAction = 21;
    qint64 rightClickCommandAction = 20;
    qint64 arrowStyle = 0;
    qint64 quickArrowHeadStyle = 0;
    double quickArrowHeadSize = 1.0;
    qint64 splashMethod = 0;
    double fadeTime = 1.5; // seconds
    bool drawingDuringFlashlight = false;
    bool hueByScroll = true;
    bool freezeModeHighlighting = true;
    bool textOnClick = true;
    double fontSize = 48; // points
    double badgeFontSize = 48;
    double magnifyScale = 1;
    double magnifyToggleScale = 2;
    bool useMagnifying = true;
    qint64 magnifyMethod = 0;
    qint64 whiteBoardColorType = 0;
    qint64 magnifyMode = 0;
    bool brushCursor = false;
    bool needSemitransparent = false;
    bool flashlightRectShape = false;
    double flashlightEdgeSmoothness = 0; // points
    bool constantArrowWidth = false;
    bool lowerThirdOnAppear = false;
    bool useConstantArrowHeadSize = false;
    double constantArrowHeadSize = 50; // points
    bool useTextBackground = false;
    bool useTimerBackground = true;
    bool useBadgeBackground = true;
    bool badgeCutOutBackground = false;
    bool badgeAppearAnimated = true;
    double flashlightRadius = 100; // points
    bool textBackgroundSharpCorners = false;
    bool arrowRoundedTip = true;
    bool arrowRoundedEnds = true;
    bool invertArrowDrawing = false;
    bool blinkingRepeat = false;
    bool hidePointingDot = false;
    bool flashlightHideCursor = false;
    bool limitMouseFPS = true;
    double mouseFPSRate = 125; // events per second
    double arrowHeadRatio = 0.33;

    // Read at launch and kept by the tool bar and the colour commands.
    double colorWheelSaturation = 1.0; // the last chromatic custom colour's, for hue and swatch colours
    double colorWheelBrightness = 1.0;
    qint64 blackAndWhite = 0; // 0 none yet, 1 white chosen last, 2 black chosen last
};

/// The process's live settings.
[[nodiscard]] LiveSettings &liveSettings();

} // namespace inkora
