#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"
#include "platform/Defaults.h"

namespace {

bool flag(const char *key)
{
    return inkora::flagSetting(MRKOUtils::userDefaults(), QLatin1String(key));
}

bool byteFlag(const char *key)
{
    return inkora::byteSetting(MRKOUtils::userDefaults(), QLatin1String(key));
}

} // namespace

void AppDelegate::updateClearScreenWhenHides()
{
    m_clearScreenWhenHides = flag("ClearScreenWhenHides");
}

void AppDelegate::updateKeepTouchBarWithToolbar()
{
    m_keepTouchBarWToolbar = flag("KeepTouchBarWithToolbarKey");
}

void AppDelegate::updateFlashlightByShift()
{
    m_flashlightByShift = flag("FlashlightByShift");
}

void AppDelegate::updateHighlightClicksGhostMode()
{
    m_highlightClicksGhostMode = byteFlag("HighlightClicksGhostMode");
}

void AppDelegate::updateSaveBeforeQuit()
{
    m_saveBeforeQuit = flag("SaveBeforeQuit");
}

void AppDelegate::updateSimulateArrowKeys()
{
    m_simulateArrowKeys = flag("SimulateArrowKeys");
}

void AppDelegate::updateForwardUnusedKeys()
{
    m_unusedKeysForwarding = flag("ForwardUnusedKeys");
}

void AppDelegate::updateWholeScreenToClipboard()
{
    m_wholeScreenToClipboard = flag("WholeScreenToClipboard");
}

void AppDelegate::updateZoomByZKey()
{
    m_zoomByZKey = flag("UseZoomByZKey");
}

void AppDelegate::updatePlayKeyboardSounds()
{
    m_playKeyboardSounds = byteFlag("PlayKeyboardSounds");
}

void AppDelegate::updatePlayMouseSounds()
{
    m_playMouseClickSounds = byteFlag("PlayMouseSounds");
}

void AppDelegate::updateSnapshotExportFormat()
{
    m_snapshotExportFormat = MRKOUtils::userDefaults().integerForKey(QStringLiteral("SnapshotExportFormat"));
}

void AppDelegate::updateSnapshotMultiExportFormat()
{
    m_snapshotMultiExportFormat = MRKOUtils::userDefaults().integerForKey(QStringLiteral("SnapshotMultiExportFormat"));
}

void AppDelegate::updateShowSnapshotNotification()
{
    m_snapshotNotification = flag("ShowSnapshotNotification");
}

void AppDelegate::updateCleanUpRecentlyDeletedOnQuit()
{
    m_cleanUpRecentlyDeletedOnQuit = flag("CleanUpRecentlyDeletedOnQuit");
}

void AppDelegate::updateResetBadgeCountWhenClearCanvas()
{
    m_resetBadgeCountWhenClearCanvas = flag("ResetBadgeCountWhenClearCanvas");
}

void AppDelegate::updateResetBadgeCountWhenAppHides()
{
    m_resetBadgeCountWhenAppHides = flag("ResetBadgeCountWhenAppHides");
}

void AppDelegate::updateQuickGhostModeWithWhiteBoard()
{
    m_quickGhostModeWithWhiteBoard = flag("QuickGhostModeWithWhiteBoard");
}

bool AppDelegate::wantsEventTapMonitor() const
{
    return m_highlightClicksGhostMode || m_playKeyboardSounds || m_playMouseClickSounds;
}
