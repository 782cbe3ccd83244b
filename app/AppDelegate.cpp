#include "app/AppDelegate.h"

#include "app/MRKOAppLevel.h"
#include "app/MRKOEventTap.h"
#include "app/MRKOGreenStatusImageView.h"
#include "app/MRKOMenuPlaceholder.h"
#include "app/MRKORecentTools.h"
#include "app/MRKOXPCController.h"
#include "app/RegisteredDefaults.h"
#include "canvas/MRKOProxyDoc.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"
#include "platform/Defaults.h"
#include "settings/MRKOGhostModePopover.h"
#include "settings/PreferencesNeighbours.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "tools/MRKOToolColor.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <atomic>

namespace {

std::atomic<AppDelegate *> s_shared = nullptr;

} // namespace

AppDelegate::AppDelegate(QObject *parent) : QObject(parent)
{
    AppDelegate *expected = nullptr;
    if (!s_shared.compare_exchange_strong(expected, this))
        qCWarning(lcApp) << "AppDelegate: a delegate exists already; the first stays the process's delegate";
    m_proxyDoc = std::make_unique<MRKOProxyDoc>(&undoManager(), [this] { autosaveIfNeeded(); });
    registerCommandActions();
    registerSelectionActions();
    registerActivationActions();
    registerFlashlightActions();
    registerToolCommandActions();
    registerMenuActions();
}

AppDelegate::~AppDelegate()
{
    AppDelegate *self = this;
    s_shared.compare_exchange_strong(self, nullptr);
    MRKOGhostModePopover::releaseSharedPopover();
}

AppDelegate *AppDelegate::shared()
{
    return s_shared.load();
}

void AppDelegate::prepareUserDefaults()
{
    MRKOUtils::userDefaults().registerDefaults(inkora::registeredDefaultSettings());
}

bool AppDelegate::isActiveAndShown() const
{
    return m_shown;
}

bool AppDelegate::isFirstResponderTextInput() const
{
    const QWidget *responder = inkoraFirstResponder();
    return qobject_cast<const QTextEdit *>(responder) || qobject_cast<const QPlainTextEdit *>(responder) ||
           qobject_cast<const QLineEdit *>(responder);
}

void AppDelegate::updateKeepTouchBar()
{
    m_keepTouchBarWOToolbar = inkora::flagSetting(MRKOUtils::userDefaults(), QStringLiteral("KeepTouchBarKey"));
}

void AppDelegate::updateUseToolTips()
{
    m_useToolTips = inkora::flagSetting(MRKOUtils::userDefaults(), QStringLiteral("UseToolTips"));
}

void AppDelegate::updateAllSettings()
{
    setNotifications(MRKOUtils::userDefaults().integerForKey(QStringLiteral("ShowNotificationsKey")));
    updateDrawingOpacity();
    updateAllowDrawBaseLayer();
    updateDrawCroppedChunks();
    updateFadeTime();
    updateSplashMethod();
    updateInvertArrowDrawing();
    updateBlinkingRepeat();
    updateClearScreenWhenHides();
    updatePenPressure();
    updateConstantArrowWidth();
    updateKeepTouchBar();
    updateKeepTouchBarWithToolbar();
    updateFlashlightByShift();
    updateHueByScroll();
    updateHidePointingDot();
    updateUseToolTips();
    updateNeedSemitransparent();
    updateLimitMouseFPS();
    updateArrowHeadRatio();
    updateHighlightClicksGhostMode();
    updateDrawingDuringFlashlight();
    updateTextOnClick();
    updateFontSize();
    updateMagnifyScale();
    updateMagnifyToggleScale();
    updateUseMagnifying();
    updateMagnifyMethod();
    updateMagnifyMode();
    updateSharpRectangle();
    updateWhiteBoardColorType();
    updateSaveBeforeQuit();
    updateSimulateArrowKeys();
    updateFreezeModeHighlighting();
    updateFlashlightRectShape();
    updateFlashlightRatio();
    updateForwardUnusedKeys();
    updateWholeScreenToClipboard();
    updateRightClickExtraAction();
    updateRightClickControlAction();
    updateRightClickOptionAction();
    updateRightClickCommandAction();
    updateArrowStyle();
    updateQuickArrowHeadStyle();
    updateQuickArrowHeadSize();
    updateBrushCursor();
    updateZoomByZKey();
    updateArrowRoundedTip();
    updateArrowRoundedEnds();
    updateFlashlightEdgeSmoothness();
    updateFlashlightHideCursor();
    updatePlayKeyboardSounds();
    updatePlayMouseSounds();
    updateSnapshotExportFormat();
    updateSnapshotMultiExportFormat();
    updateTakeSnapshotOnClearCanvas();
    updateTakeDazadUdizBySelecting();
    updateTakeDazadUdizByClick();
    updateTakeCopyDazadUdizToClipboard();
    updateShowSnapshotNotification();
    updateOverallShadow();
    updateCutOutFlashlightShape();
    updateFlashLightCircleSelection();
    updateCursorHaloOpacity();
    updateCursorHaloSize();
    updateCleanUpRecentlyDeletedOnQuit();
    updateApplySnapshotWithWhiteboard();
    updateLowerThirdOnAppear();
    updateUseTextBackground();
    updateUseTimerBackground();
    updateUseBadgeBackground();
    updateTextBackgroundSharpCorners();
    updateFlashlightRadius();
    updateUseConstantArrowHeadSize();
    updateConstantArrowHeadSize();
    updateBadgeCutOutBackground();
    updateBadgeAppearAnimated();
    updateEraserSize();
    updateEraserPreserveText();
    updateEraserPreserveArrowLine();
    updateEraserPreserveRectEllipse();
    updateDrawToScreenMethod();
    updateFPSLimiterAction();
    updateUseConstantTextColor();
    updateBadgeFontSize();
    updateCustomClearScreenMask();
    updateRemoveTimersWhenClearCanvas();
    updateResetBadgeCountWhenClearCanvas();
    updateResetBadgeCountWhenAppHides();
    updateFadeClearScreenInFreezeMode();
    updateQuickGhostModeWithWhiteBoard();
    MRKORecentTools::updateWantsRecentTools();
    MRKOGreenStatusImageView::updateWantsGreenStatus();
    MRKOAppLevel::appLevel().updateLevel();
    MRKOToolColor::toolColor().updateToolColorFormat();
    inkora::updateBadgeNumeralFormat();
}

bool AppDelegate::respondsToAction(const QString &action) const
{
    return m_actions.contains(action);
}

void AppDelegate::performAction(const QString &action, const platform::Event *event)
{
    const auto handler = m_actions.constFind(action);
    if (handler == m_actions.constEnd()) {
        qCWarning(lcApp).noquote() << QStringLiteral("performAction: no command for %1; nothing runs").arg(action);
        return;
    }
    (*handler)(event);
}

void AppDelegate::setActionHandler(const QString &action, ActionHandler handler)
{
    if (!handler) {
        m_actions.remove(action);
        return;
    }
    m_actions.insert(action, std::move(handler));
}
