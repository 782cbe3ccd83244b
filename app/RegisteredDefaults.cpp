#include "app/RegisteredDefaults.h"

#include <QString>
#include <QVariant>

namespace inkora {

QVariantMap registeredDefaultSettings()
{
    // Floats stay floats: readers through the double accessor see the float widened, as they always did.
    return QVariantMap{
        {QStringLiteral("activateToolsKey"), QVariant(true)},
        {QStringLiteral("AllToolsThicknessKey"), QVariant(qint64(2))},
        {QStringLiteral("ColorTypeKey"), QVariant(qint64(0))},
        {QStringLiteral("runOnStartupKey"), QVariant(qint64(0))},
        {QStringLiteral("ConnectAutomatically"), QVariant(qint64(1))},
        {QStringLiteral("FlashLightRadius"), QVariant(100.0f)},
        {QStringLiteral("ConstantArrowWidth"), QVariant(qint64(1))},
        {QStringLiteral("CloseOnRightClick"), QVariant(qint64(1))},
        {QStringLiteral("RightClickControlAction"), QVariant(qint64(5))},
        {QStringLiteral("RightClickOptionAction"), QVariant(qint64(21))},
        {QStringLiteral("RightClickCommandAction"), QVariant(qint64(20))},
        {QStringLiteral("KeepTouchBarKey"), QVariant(qint64(1))},
        {QStringLiteral("KeepTouchBarWithToolbarKey"), QVariant(qint64(1))},
        {QStringLiteral("FlashlightByShift"), QVariant(qint64(1))},
        {QStringLiteral("HueByScroll"), QVariant(qint64(1))},
        {QStringLiteral("UseToolTips"), QVariant(qint64(1))},
        {QStringLiteral("WantsMouseTracking"), QVariant(qint64(1))},
        {QStringLiteral("MouseFPSLimit"), QVariant(qint64(1))},
        {QStringLiteral("MouseFPSFreq"), QVariant(qint64(125))},
        {QStringLiteral("ArrowHeadRatio"), QVariant(0.33f)},
        {QStringLiteral("TextOnClick"), QVariant(qint64(1))},
        {QStringLiteral("DefaultFontSize"), QVariant(qint64(64))},
        {QStringLiteral("DefaultBadgeFontSize"), QVariant(qint64(64))},
        {QStringLiteral("UseMagnifyingFlashlight"), QVariant(qint64(1))},
        {QStringLiteral("MagnifyScale"), QVariant(1.0f)},
        {QStringLiteral("MagnifyToggleScale"), QVariant(2.0f)},
        {QStringLiteral("SaveBeforeQuit"), QVariant(qint64(0))},
        {QStringLiteral("ColorWheelSaturation"), QVariant(1.0f)},
        {QStringLiteral("ColorWheelBrightness"), QVariant(1.0f)},
        {QStringLiteral("InkoraWindowLevel"), QVariant(qint64(29))},
        {QStringLiteral("FreezeModeHighlighting"), QVariant(qint64(1))},
        {QStringLiteral("FlashLightRatio"), QVariant(1.0f)},
        {QStringLiteral("QuickArrowHeadSize"), QVariant(1.0f)},
        {QStringLiteral("UseZoomByZKey"), QVariant(qint64(1))},
        {QStringLiteral("ArrowRoundedTip"), QVariant(qint64(1))},
        {QStringLiteral("ArrowRoundedEnds"), QVariant(qint64(1))},
        {QStringLiteral("SnapshotExportFormat"), QVariant(qint64(1))},
        {QStringLiteral("SnapshotMultiExportFormat"), QVariant(qint64(1))},
        {QStringLiteral("KeyboardSoundVolume"), QVariant(1.0)},
        {QStringLiteral("MouseSoundVolume"), QVariant(1.0)},
        {QStringLiteral("ToolColorFormat"), QVariant(qint64(0))},
        {QStringLiteral("TakeDazadUdizBySelecting"), QVariant(qint64(1))},
        {QStringLiteral("TakeCopyDazadUdizToClipboard"), QVariant(qint64(1))},
        {QStringLiteral("ShowSnapshotNotification"), QVariant(qint64(1))},
        {QStringLiteral("CursorHaloRadius"), QVariant(qint64(100))},
        {QStringLiteral("UndoSteps"), QVariant(qint64(150))},
        {QStringLiteral("kLowerThirdSizeScale"), QVariant(1.0)},
        {QStringLiteral("kLowerThirdCornerRadius"), QVariant(0.5)},
        {QStringLiteral("LowerThirdTitleWidth"), QVariant(1.0)},
        {QStringLiteral("LowerThirdSubTitleWidth"), QVariant(1.0)},
        {QStringLiteral("UseTimerBackground"), QVariant(qint64(1))},
        {QStringLiteral("UseBadgeBackground"), QVariant(qint64(1))},
        {QStringLiteral("ConstantArrowHeadSize"), QVariant(qint64(50))},
        {QStringLiteral("EraserSize"), QVariant(qint64(80))},
        {QStringLiteral("EraserPreserveText"), QVariant(qint64(1))},
        {QStringLiteral("BadgeAppearAnimated"), QVariant(qint64(1))},
        {QStringLiteral("DrawToScreenMethod"), QVariant(qint64(1))},
        {QStringLiteral("CustomClearScreenMask"), QVariant(qint64(96))},
        {QStringLiteral("AllowDrawBaseLayer"), QVariant(qint64(1))},
        {QStringLiteral("DrawCroppedChunks"), QVariant(qint64(1))},
        {QStringLiteral("DrawingOpacity"), QVariant(0.5)},
        {QStringLiteral("AllowFnShortcutsInGhostMode"), QVariant(qint64(1))},
    };
}

} // namespace inkora
