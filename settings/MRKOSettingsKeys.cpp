#include "settings/MRKOSettingsKeys.h"

#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "app/MRKOGreenStatusImageView.h"
#include "app/MRKORecentTools.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "settings/PreferencesNeighbours.h"
#include "tools/MRKOToolColor.h"

#include <array>

namespace inkora {
namespace {

template <auto Update> void onDelegate()
{
    if (AppDelegate *delegate = AppDelegate::shared())
        (delegate->*Update)();
}

void notificationsFromStore()
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->setNotifications(MRKOUtils::userDefaults().integerForKey(QStringLiteral("ShowNotificationsKey")));
}

void greenStatusFromStore()
{
    MRKOGreenStatusImageView::updateWantsGreenStatus();
    MRKOGreenStatusImageView::updateGreenForCurrentPhase();
}

void appLevelFromStore()
{
    MRKOAppLevel::appLevel().updateLevel();
}

void toolColorFormatFromStore()
{
    MRKOToolColor::toolColor().updateToolColorFormat();
}

// Floats registered as floats read back widened, so the table keeps the widened value.
const std::array<SettingsKeyRow, 104> kRows = {{
    {"FadeOutTimeKey", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateFadeTime>},
    {"ShowNotificationsKey", SettingKind::Integer, std::nullopt, &notificationsFromStore},
    {"SplashMethod", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateSplashMethod>},
    {"MagnifyMethod", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateMagnifyMethod>},
    {"MagnifyMode", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateMagnifyMode>},
    {"WhiteBoardColor", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateWhiteBoardColorType>},
    {"StartGhostModeAtLaunch", SettingKind::Bool, std::nullopt, nullptr},
    {"ClearScreenWhenHides", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateClearScreenWhenHides>},
    {"InvertArrowDrawing", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateInvertArrowDrawing>},
    {"BlinkingRepeat", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateBlinkingRepeat>},
    {"runOnStartupKey", SettingKind::Integer, 0.0, nullptr},
    {"PenPressure", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updatePenPressure>},
    {"HidePointingDot", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateHidePointingDot>},
    {"ToolSwitchingMethod", SettingKind::Integer, std::nullopt, &MRKORecentTools::updateWantsRecentTools},
    {"UseGreenStatus", SettingKind::Integer, std::nullopt, &greenStatusFromStore},
    {"HighlightClicksGhostMode", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateHighlightClicksGhostMode>},
    {"DrawingDuringFlashlight", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateDrawingDuringFlashlight>},
    {"SharpRectangle", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateSharpRectangle>},
    {"SemitransparentDrawingKey", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateNeedSemitransparent>},
    {"SaveBeforeQuit", SettingKind::Integer, 0.0, &onDelegate<&AppDelegate::updateSaveBeforeQuit>},
    {"SimulateArrowKeys", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateSimulateArrowKeys>},
    {"FlashlightRectShape", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateFlashlightRectShape>},
    {"ForwardUnusedKeys", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateForwardUnusedKeys>},
    {"WholeScreenToClipboard", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateWholeScreenToClipboard>},
    {"UseBrushCursor", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateBrushCursor>},
    {"HideCursorOnFlashlight", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateFlashlightHideCursor>},
    {"PlayKeyboardSounds", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updatePlayKeyboardSounds>},
    {"PlayMouseSounds", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updatePlayMouseSounds>},
    {"CloseOnRightClick", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateRightClickExtraAction>},
    {"ConstantArrowWidth", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateConstantArrowWidth>},
    {"KeepTouchBarKey", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateKeepTouchBar>},
    {"KeepTouchBarWithToolbarKey", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateKeepTouchBarWithToolbar>},
    {"FlashlightByShift", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateFlashlightByShift>},
    {"HueByScroll", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateHueByScroll>},
    {"UseToolTips", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateUseToolTips>},
    {"TextOnClick", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateTextOnClick>},
    {"UseMagnifyingFlashlight", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateUseMagnifying>},
    {"FreezeModeHighlighting", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateFreezeModeHighlighting>},
    {"UseZoomByZKey", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateZoomByZKey>},
    {"ArrowRoundedTip", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateArrowRoundedTip>},
    {"ArrowRoundedEnds", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateArrowRoundedEnds>},
    {"QuickArrowHeadSize", SettingKind::Double, 1.0, &onDelegate<&AppDelegate::updateQuickArrowHeadSize>},
    {"FlashLightRatio", SettingKind::Double, 1.0, &onDelegate<&AppDelegate::updateFlashlightRatio>},
    {"FlashLightRadius", SettingKind::Double, 100.0, &onDelegate<&AppDelegate::updateFlashlightRadius>},
    {"ArrowHeadRatio", SettingKind::Double, double(0.33f), &onDelegate<&AppDelegate::updateArrowHeadRatio>},
    {"DefaultFont", SettingKind::FontName, std::nullopt, nullptr},
    {"DefaultFontSize", SettingKind::Integer, 64.0, &onDelegate<&AppDelegate::updateFontSize>},
    {"MagnifyScale", SettingKind::Double, 1.0, &onDelegate<&AppDelegate::updateMagnifyScale>},
    {"FlashLightEdgesSmoothness", SettingKind::Double, std::nullopt,
     &onDelegate<&AppDelegate::updateFlashlightEdgeSmoothness>},
    {"InkoraWindowLevel", SettingKind::Integer, 29.0, &appLevelFromStore},
    {"KeyboardSoundVolume", SettingKind::Double, 1.0, nullptr},
    {"MouseSoundVolume", SettingKind::Double, 1.0, nullptr},
    {"RightClickCommandAction", SettingKind::Integer, 20.0, &onDelegate<&AppDelegate::updateRightClickCommandAction>},
    {"RightClickOptionAction", SettingKind::Integer, 21.0, &onDelegate<&AppDelegate::updateRightClickOptionAction>},
    {"RightClickControlAction", SettingKind::Integer, 5.0, &onDelegate<&AppDelegate::updateRightClickControlAction>},
    {"ArrowStyle", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateArrowStyle>},
    {"SnapshotExportFormat", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateSnapshotExportFormat>},
    {"SnapshotMultiExportFormat", SettingKind::Integer, 1.0,
     &onDelegate<&AppDelegate::updateSnapshotMultiExportFormat>},
    {"ToolColorFormat", SettingKind::Integer, 0.0, &toolColorFormatFromStore},
    {"TakeSnapshotOnClearCanvas", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateTakeSnapshotOnClearCanvas>},
    {"TakeDazadUdizBySelecting", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateTakeDazadUdizBySelecting>},
    {"TakeDazadUdizByClick", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateTakeDazadUdizByClick>},
    {"TakeCopyDazadUdizToClipboard", SettingKind::Integer, 1.0,
     &onDelegate<&AppDelegate::updateTakeCopyDazadUdizToClipboard>},
    {"ShowSnapshotNotification", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateShowSnapshotNotification>},
    {"OverallShadow", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateOverallShadow>},
    {"WhiteBoardCustomColor", SettingKind::ColourString, std::nullopt, nullptr},
    {"CutOutFlashlightShape", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateCutOutFlashlightShape>},
    {"FlashlightCircleSelection", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateFlashLightCircleSelection>},
    {"CursorHaloOpacity", SettingKind::Double, std::nullopt, &onDelegate<&AppDelegate::updateCursorHaloOpacity>},
    {"CursorHaloRadius", SettingKind::Integer, 100.0, &onDelegate<&AppDelegate::updateCursorHaloSize>},
    {"CleanUpRecentlyDeletedOnQuit", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateCleanUpRecentlyDeletedOnQuit>},
    {"ApplySnapshotWithWhiteboard", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateApplySnapshotWithWhiteboard>},
    {"LowerThirdOnAppear", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateLowerThirdOnAppear>},
    {"UseTextBackground", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateUseTextBackground>},
    {"UseTimerBackground", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateUseTimerBackground>},
    {"UseBadgeBackground", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateUseBadgeBackground>},
    {"TextBackgroundSharpCorners", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateTextBackgroundSharpCorners>},
    {"TextBackgroundColor", SettingKind::ColourString, std::nullopt, nullptr},
    {"TimerBackgroundColor", SettingKind::ColourString, std::nullopt, nullptr},
    {"BadgeBackgroundColor", SettingKind::ColourString, std::nullopt, nullptr},
    {"BadgeNumeralFormat", SettingKind::Integer, std::nullopt, &updateBadgeNumeralFormat},
    {"BadgeStaticNumeralFormat", SettingKind::Integer, std::nullopt, &updateBadgeNumeralFormat},
    {"UseConstantArrowHeadSize", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateUseConstantArrowHeadSize>},
    {"ConstantArrowHeadSize", SettingKind::Integer, 50.0, &onDelegate<&AppDelegate::updateConstantArrowHeadSize>},
    {"BadgeCutOutBackground", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateBadgeCutOutBackground>},
    {"FlashlightBackgroundColor", SettingKind::ColourString, std::nullopt, nullptr},
    {"MouseFPSLimit", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateLimitMouseFPS>},
    {"MouseFPSFreq", SettingKind::Integer, 125.0, &onDelegate<&AppDelegate::updateLimitMouseFPS>},
    {"EraserSize", SettingKind::Integer, 80.0, &onDelegate<&AppDelegate::updateEraserSize>},
    {"EraserPreserveText", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateEraserPreserveText>},
    {"EraserPreserveArrowLine", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateEraserPreserveArrowLine>},
    {"EraserPreserveRectEllipse", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateEraserPreserveRectEllipse>},
    {"UseConstantTextColor", SettingKind::Integer, std::nullopt, &onDelegate<&AppDelegate::updateUseConstantTextColor>},
    {"ConstantTextColor", SettingKind::ColourString, std::nullopt, nullptr},
    {"BadgeAppearAnimated", SettingKind::Integer, 1.0, &onDelegate<&AppDelegate::updateBadgeAppearAnimated>},
    {"DefaultBadgeFontSize", SettingKind::Integer, 64.0, &onDelegate<&AppDelegate::updateBadgeFontSize>},
    {"CustomClearScreenMask", SettingKind::Integer, 96.0, &onDelegate<&AppDelegate::updateCustomClearScreenMask>},
    {"RemoveTimersWhenClearCanvas", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateRemoveTimersWhenClearCanvas>},
    {"ResetBadgeCountWhenClearCanvas", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateResetBadgeCountWhenClearCanvas>},
    {"ResetBadgeCountWhenAppHides", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateResetBadgeCountWhenAppHides>},
    {"FadeClearScreenInFreezeMode", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateFadeClearScreenInFreezeMode>},
    {"DrawingOpacity", SettingKind::Double, 0.5, &onDelegate<&AppDelegate::updateDrawingOpacity>},
    {"ShortcutRemovedPopover", SettingKind::Bool, std::nullopt, nullptr},
    {"QuickGhostModeWithWhiteBoard", SettingKind::Integer, std::nullopt,
     &onDelegate<&AppDelegate::updateQuickGhostModeWithWhiteBoard>},
}};

} // namespace

std::span<const SettingsKeyRow> settingsKeyTable()
{
    return kRows;
}

const SettingsKeyRow *settingsKeyRow(const QString &key)
{
    for (const SettingsKeyRow &row : kRows) {
        if (key == QLatin1String(row.key))
            return &row;
    }
    return nullptr;
}

QStringList settingsKeysForCanvasIndexes(std::span<const qint64> indexes)
{
    QStringList keys;
    keys.reserve(qsizetype(kRows.size() + 2 * indexes.size()));
    for (const SettingsKeyRow &row : kRows)
        keys.append(QLatin1String(row.key));
    for (const qint64 index : indexes) {
        keys.append(QStringLiteral("wb_%1").arg(index));
        keys.append(QStringLiteral("wbHidden_%1").arg(index));
    }
    return keys;
}

} // namespace inkora
