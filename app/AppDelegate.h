#pragma once

#include "app/SettingsPropagation.h"
#include "foundation/ActionTarget.h"
#include "foundation/MRKOInkoraState.h"
#include "foundation/SrgbColor.h"
#include "platform/NotificationCenter.h"
#include "platform/RawInput.h"
#include "platform/Screens.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class KQShortCut;
class MRKODraw;
class MRKOEventTap;
class MRKOMenuPlaceholder;
class MRKOProxyDoc;
class MRKOSnapshot;
class MRKOToolPanel;
class MRKOTools;
class MRKOWindowController;
class QAction;
class QMenu;
class QScreen;
class QWidget;
namespace platform {
class UndoManager;
}

/// Posted after a canvas change that may alter what undo or redo can do.
inline const QString kMRKOUpdateUndoRedoNotification = QStringLiteral("MRKOUpdateUndoRedoNotification");

/// The main program's application delegate: the target of every command shortcut, the owner of the live
/// settings' update methods and of the overlay's shown state. Reachable from every class through one process-wide
/// pointer, set while a delegate exists.
class AppDelegate : public QObject, public inkora::ActionTarget, public inkora::SettingsPropagation
{
    Q_OBJECT
public:
    using ActionHandler = std::function<void(const platform::Event *event)>;

    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    /// The process's delegate; null while none exists.
    [[nodiscard]] static AppDelegate *shared();

    /// Registers the default settings in the store's registered domain; nothing is written to the file. Runs once
    /// at every launch, before the first setting is read.
    void prepareUserDefaults();

    /// The launch's completion, run once: links to the helper (which registers it as the log-in item). The overlay
    /// windows are built later, at the first activation.
    void applicationDidFinishLaunching();
    /// At quit, once: removes the helper's log-in item unless the user asked to run at start-up.
    void applicationWillTerminate();
    [[nodiscard]] bool didFinishLaunching() const { return m_didFinishLaunching; }

    /// Whether the overlay is shown.
    [[nodiscard]] virtual bool isActiveAndShown() const;
    /// Hides the overlay.
    virtual void closeAllDrawableScreens();
    /// Whether a text view of the key overlay window has the keyboard.
    [[nodiscard]] virtual bool isFirstResponderTextInput() const;

    /// Copies "KeepTouchBarKey" into `keepTouchBarWOToolbar`.
    void updateKeepTouchBar();
    [[nodiscard]] bool keepTouchBarWOToolbar() const { return m_keepTouchBarWOToolbar; }
    /// Copies the flag "UseToolTips" into `useToolTips`: whether tool-bar buttons describe themselves on hover.
    void updateUseToolTips();
    [[nodiscard]] bool useToolTips() const { return m_useToolTips; }
    /// Runs every update method once, in the fixed order, then the updates of the classes that keep their own.
    void updateAllSettings();

    // ---- The colour ball and the right button's actions (AppDelegate+Pointer.cpp) ----
    /// Not while Shift and Command are held; in ghost mode only while the Function key is.
    [[nodiscard]] bool shouldShowColorBall() const;
    /// A halo is configured, clicks are highlighted in ghost mode and the event tap runs.
    [[nodiscard]] bool wantsCursorHaloToShowInGhostMode() const;
    /// Selects the tool on the active tool bar as if its button were used.
    void changeToolForcedOnActiveToolBar(quint64 toolType, bool forced);

    // ---- Settings the delegate holds itself (AppDelegate+Settings.cpp) ----
    /// `MRKOToolNotificationMode`: 0 only without the tool bar, 1 always, 2 never.
    [[nodiscard]] qint64 notifications() const { return m_notifications; }
    void setNotifications(qint64 mode) { m_notifications = mode; }
    void updateClearScreenWhenHides();
    [[nodiscard]] bool clearScreenWhenHides() const { return m_clearScreenWhenHides; }
    void updateKeepTouchBarWithToolbar();
    [[nodiscard]] bool keepTouchBarWToolbar() const { return m_keepTouchBarWToolbar; }
    void updateFlashlightByShift();
    [[nodiscard]] bool flashlightByShift() const { return m_flashlightByShift; }
    void updateHighlightClicksGhostMode();
    [[nodiscard]] bool highlightClicksGhostMode() const { return m_highlightClicksGhostMode; }
    void updateSaveBeforeQuit();
    void updateSimulateArrowKeys();
    [[nodiscard]] bool simulateArrowKeys() const { return m_simulateArrowKeys; }
    void updateForwardUnusedKeys();
    [[nodiscard]] bool unusedKeysForwarding() const { return m_unusedKeysForwarding; }
    void updateWholeScreenToClipboard();
    [[nodiscard]] bool wholeScreenToClipboard() const { return m_wholeScreenToClipboard; }
    void updateZoomByZKey();
    [[nodiscard]] bool zoomByZKey() const { return m_zoomByZKey; }
    void updatePlayKeyboardSounds();
    [[nodiscard]] bool playKeyboardSounds() const { return m_playKeyboardSounds; }
    void updatePlayMouseSounds();
    [[nodiscard]] bool playMouseClickSounds() const { return m_playMouseClickSounds; }
    void updateSnapshotExportFormat();
    [[nodiscard]] qint64 snapshotExportFormat() const { return m_snapshotExportFormat; }
    void updateSnapshotMultiExportFormat();
    [[nodiscard]] qint64 snapshotMultiExportFormat() const { return m_snapshotMultiExportFormat; }
    void updateShowSnapshotNotification();
    [[nodiscard]] bool snapshotNotification() const { return m_snapshotNotification; }
    void updateCleanUpRecentlyDeletedOnQuit();
    [[nodiscard]] bool cleanUpRecentlyDeletedOnQuit() const { return m_cleanUpRecentlyDeletedOnQuit; }
    void updateResetBadgeCountWhenClearCanvas();
    [[nodiscard]] bool resetBadgeCountWhenClearCanvas() const { return m_resetBadgeCountWhenClearCanvas; }
    void updateResetBadgeCountWhenAppHides();
    [[nodiscard]] bool resetBadgeCountWhenAppHides() const { return m_resetBadgeCountWhenAppHides; }
    void updateQuickGhostModeWithWhiteBoard();
    [[nodiscard]] bool quickGhostModeWithWhiteBoard() const { return m_quickGhostModeWithWhiteBoard; }
    /// Whether the listen-only tap is needed: click highlights in ghost mode or either click sound.
    [[nodiscard]] bool wantsEventTapMonitor() const;

    /// Whether a canvas stroke is in progress; every canvas sets it at the start and end of a press.
    [[nodiscard]] bool drawingInProgress() const { return m_drawingInProgress; }
    void setDrawingInProgress(bool inProgress) { m_drawingInProgress = inProgress; }
    /// Whether Shift was held during the current drawing gesture.
    [[nodiscard]] bool shiftWasPressdDuringDraw() const { return m_shiftWasPressdDuringDraw; }
    void setShiftWasPressdDuringDraw(bool pressed) { m_shiftWasPressdDuringDraw = pressed; }
    /// The DazadUdiz command's shortcut; null until the shortcuts are registered. A press unbinds it meanwhile.
    [[nodiscard]] std::shared_ptr<KQShortCut> dazadUdizShortCut() const;
    void setDazadUdizShortCut(std::shared_ptr<KQShortCut> shortCut);
    /// Passes the current event to the modifier-change handling; a press calls it once when modifiers changed.
    virtual void handleFlagsChangedWithCurrentEvent();

    // ---- Command bindings (AppDelegate+Shortcuts.cpp) and command handlers (AppDelegate+Commands.cpp) ----
    static constexpr int kShortCutCount = 63;

    /// The shortcut of a command by its property name ("undoShortCut"); null until the command is first bound.
    [[nodiscard]] std::shared_ptr<KQShortCut> shortCutForProperty(const QString &property) const;
    void setShortCutForProperty(const QString &property, std::shared_ptr<KQShortCut> shortCut);
    [[nodiscard]] std::shared_ptr<KQShortCut> activateShortCut() const;
    [[nodiscard]] std::shared_ptr<KQShortCut> activateWithoutShortCut() const;
    [[nodiscard]] std::shared_ptr<KQShortCut> quitShortCut() const;
    [[nodiscard]] std::shared_ptr<KQShortCut> clearCanvasShortCut() const;
    [[nodiscard]] std::shared_ptr<KQShortCut> flashlightShortCut() const;
    [[nodiscard]] std::shared_ptr<KQShortCut> pinOnTopShortCut() const;

    /// The two activation commands: bound for the whole run.
    /// Binds the two activation shortcuts; when the desktop or another program holds one, the status item tells
    /// the user once which combination is taken and where to choose another.
    void registerCommonShortCuts();
    void unregisterCommonShortCuts();
    /// The 61 in-overlay commands: bound only while the overlay is shown.
    void registerApplicationShortCuts();
    void unregisterApplicationShortCuts();
    void registerQuitShortCut();
    void unregisterQuitShortCut();
    void registerDeleteIfNeeded();
    void unregisterDeleteIfNeeded();
    void registerFlashlightIfNeeded();
    void unregisterFlashlightIfNeeded();
    void registerFnContainigShortCuts();
    void unregisterFnContainigShortCuts();
    void registerEscape() {}
    void unregisterEscape() {}
    [[nodiscard]] bool deleteBinded() const { return m_deleteBinded; }
    [[nodiscard]] bool flashlightBinded() const { return m_flashlightBinded; }
    /// The focus widget of the program's active window; null when none of its windows is active.
    [[nodiscard]] QWidget *inkoraFirstResponder() const;

    [[nodiscard]] static bool isUndoManagerUndoingOrRedoing();
    static void invokeUndoByDisablingUndoRegistration();
    void clearUndo();
    [[nodiscard]] bool shouldRegisterUndoForAction(const QString &actionName) const;
    /// Flashes the status icon for 0.2 s when a key event triggered the command (not a menu or a direct call).
    [[nodiscard]] bool isStatusBarButtonHighlighted() const { return m_statusBarButtonHighlighted; }
    [[nodiscard]] bool shouldInvokeShortcutWithEvent(const platform::Event *) const { return true; }

    void closeWithEvent(const platform::Event *sender);
    void quitWithEvent(const platform::Event *sender);
    void undoWithEvent(const platform::Event *sender);
    void redoWithEvent(const platform::Event *sender);
    void dissolveModeWithEvent(const platform::Event *sender);
    void clearCanvasWithEvent(const platform::Event *sender);
    void colorWheelWithEvent(const platform::Event *sender);
    void colorPickerWithEvent(const platform::Event *sender);
    /// Replays the settings window's preview while it is open; otherwise every canvas shows its lower third.
    void lowerThirdWithEvent(const platform::Event *sender);
    void clearCanvasExlusionWithEvent(const platform::Event *sender);
    /// A snapshot of the canvas under the pointer into the roll; a beep when it has no drawings or is disabled.
    void takeASnapshotWithEvent(const platform::Event *sender);
    /// A DazadUdiz of the canvas under the pointer into the roll; a beep without a canvas there.
    void takeADazadUdizWithEvent(const platform::Event *sender);
    /// The canvas of the snapshot's display loads it; the active canvas when that display is gone.
    void applySnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot);
    /// Whether the quick tour is showing; it never is until the tour exists.
    [[nodiscard]] static bool quickTourIsShown() { return false; }
    /// Sets freeze (1) or fade (0) on every canvas; fade forgets the undo history.
    void changeDissolveMode(qint64 mode);
    [[nodiscard]] bool needToShowNotification() const;

    // Seams to the overlay and the canvas, overridden where those are built.
    /// Shows the overlay on every display, with or without the tool bar.
    virtual void activateInkoraNoToolbar(bool noToolbar);
    [[nodiscard]] virtual bool isPinOnTop() const { return isPinnedOnTop(); }
    /// The canvas of every display.
    [[nodiscard]] virtual std::vector<MRKODraw *> drawViews() const;
    /// Clears every canvas, with or without the kept kinds of drawings.
    virtual void clearDrawViews(bool exclusion);
    // ---- end of command bindings and handlers ----

    // ---- Selection commands and the hand and scissors switches (AppDelegate+Selection.cpp) ----
    /// The canvas under the pointer gathers all its drawings into a multiple move, or ends the one under way.
    void selectAllWithEvent(const platform::Event *sender);
    /// The drawing under the pointer becomes the static selection.
    void selectLayerWithEvent(const platform::Event *sender);
    /// The drawings of the multiple move become one.
    void groupWithEvent(const platform::Event *sender);
    void scissorsCutWithEvent(const platform::Event *sender);
    void handWithEvent(const platform::Event *sender);
    /// Every canvas switches between the scissors (or the hand) and drawing.
    void toggleScissors();
    void toggleHand();
    void removeAuxAction();
    // ---- end of selection commands ----

    [[nodiscard]] bool respondsToAction(const QString &action) const override;
    void performAction(const QString &action, const platform::Event *event) override;

    // ---- Canvas services: undo, change counting, autosave (AppDelegate+Canvas.cpp) ----
    /// The one undo manager of the process, made on first use.
    [[nodiscard]] static platform::UndoManager &undoManager();
    /// Tells undo and redo controls and the remote to refresh.
    static void postUpdateUndoRedo();
    /// Counts changes on the shared undo manager and asks for autosave 15 s after the last one.
    [[nodiscard]] MRKOProxyDoc &proxyDoc() const { return *m_proxyDoc; }
    void resetCounterOnProxyDoc();
    /// Saves the canvases when there is something to save; the proxy document's timer calls it.
    virtual void autosaveIfNeeded();
    // ---- end of canvas services ----

protected:
    /// Puts the command handlers into the action table.
    void registerCommandActions();
    void registerSelectionActions();
    /// Adds an entry to the action table: the command run for the selector text; an empty handler takes it out.
    void setActionHandler(const QString &action, ActionHandler handler);
    void setActiveAndShown(bool shown) { m_shown = shown; }

private:
    QHash<QString, ActionHandler> m_actions;
    bool m_shown = false;
    bool m_didFinishLaunching = false;
    bool m_didTerminate = false;
    bool m_keepTouchBarWOToolbar = false;
    qint64 m_notifications = 0;
    qint64 m_snapshotExportFormat = 1;
    qint64 m_snapshotMultiExportFormat = 1;
    bool m_clearScreenWhenHides = false;
    bool m_keepTouchBarWToolbar = false;
    bool m_flashlightByShift = false;
    bool m_highlightClicksGhostMode = false;
    bool m_saveBeforeQuit = false;
    bool m_simulateArrowKeys = false;
    bool m_unusedKeysForwarding = false;
    bool m_wholeScreenToClipboard = false;
    bool m_zoomByZKey = false;
    bool m_playKeyboardSounds = false;
    bool m_playMouseClickSounds = false;
    bool m_snapshotNotification = false;
    bool m_cleanUpRecentlyDeletedOnQuit = false;
    bool m_resetBadgeCountWhenClearCanvas = false;
    bool m_resetBadgeCountWhenAppHides = false;
    bool m_quickGhostModeWithWhiteBoard = false;
    bool m_useToolTips = false;
    bool m_drawingInProgress = false;
    bool m_shiftWasPressdDuringDraw = false;
    std::unique_ptr<MRKOProxyDoc> m_proxyDoc;                            // canvas services
    std::array<std::shared_ptr<KQShortCut>, kShortCutCount> m_shortCuts; // by row of the binding table
    bool m_deleteBinded = false;
    bool m_flashlightBinded = false;
    bool m_activationRefusalTold = false;
    bool m_statusBarButtonHighlighted = false;
    bool m_currentNoToolbar = false;
    // ---- Launch, quit, activation, overlay windows and ghost mode (AppDelegate+Launch.cpp,
    // AppDelegate+Activation.cpp; seams to later work in AppDelegate+Seams.cpp) ----
public:
    /// What the quit sequence answers before it runs.
    enum class TerminateReply { Cancel, Now };

    // Launch
    [[nodiscard]] bool launchCompleted() const { return m_launchCompleted; }
    void makeInitialFlagMonitor();
    void setUpInitialMonitors();
    void removeInitialMonitorsIfNeeded();
    [[nodiscard]] bool hasInitialMonitors() const { return m_initialGlobalMonitor || m_initialLocalMonitor; }
    void initialHandleChangeFlag(const platform::Event &event);
    void prepareToLaunchIfNeeded();
    void finishAppLaunching();
    void applicationWillFinishLaunchingINKRA();
    void applicationDidFinishLaunchingINKRA();
    void loadUDPController();
    [[nodiscard]] bool showWelcomeWindowIfNeeded();
    void showWelcomeWindow();
    [[nodiscard]] static bool isStartedByHelper();
    void setBecomeActiveAppNotifications();
    void removeBecomeActiveAppNotifications();
    void setUnhideAppNotifications();
    void removeUnhideAppNotifications();
    [[nodiscard]] bool observesBecomeActive() const { return m_becomeActiveObserved; }
    [[nodiscard]] bool observesUnhide() const { return m_unhideObserved; }
    void inkoraAppBecomeActive();
    void inkoraAppDidUnhide();
    // Drawings kept across quits
    [[nodiscard]] bool wantsToSaveAndLoad() const;
    void updateProxyDocIfNeeded();
    void markProxyDocAsEditedIfNeeded();
    void undoManagerDidSomeAction();
    // Quit
    [[nodiscard]] TerminateReply applicationShouldTerminate();
    /// The framework's terminate: asks, then quits through the event loop's end, where the quit sequence runs.
    void terminate();

    // Showing and hiding
    /// Hides the overlay when shown, else shows it with its tool bar.
    void runInkora(const platform::Event *sender);
    void runInkoraWithoutToolbar(const platform::Event *sender);
    void activateInkora();
    void activateInkoraWithToolbarIfNeeded();
    void activateWithGhostMode();
    void forceRemoveAllWindowControllers();
    void setIsShownToYES();
    void setIsShownToNO();
    /// Builds the window, controller and canvas of one display.
    void makeScreenDrawableShow(const platform::ScreenInfo &screen, bool show);
    /// Hides every window of the program (freeze mode keeps them for the next showing).
    void hideApplication();
    /// The displays in building order.
    [[nodiscard]] virtual QList<platform::ScreenInfo> overlayScreens() const;

    // Ghost mode, whiteboard, per-display switches
    void setPinOnTop(bool pinOnTop);
    void togglePinOnTop();
    void startPinOnTop();
    void endPinOnTop();
    void inkraApplicationDidBecomeActive();
    void inkraApplicationDidResignActive();
    void setWhiteboard(bool whiteboard);
    void startWhiteboard();
    void endWhiteboard();
    void useScreenToDraw(qint64 index);
    void enableDrawingOnAllScreens();
    void setScreenDisabledAtIndex(bool disabled, qint64 index);
    void validateDisabledScreens();
    void useScreenForWhiteboard(qint64 index);
    void updateDrawBaseLayerInAllControllers();

    // Queries
    [[nodiscard]] bool wasActiveAndShown() const { return m_wasShown; }
    [[nodiscard]] bool canReceiveMouseActions() const;
    [[nodiscard]] virtual bool isPinnedOnTop() const { return m_isPinOnTop; }
    [[nodiscard]] bool isWhiteboardOn() const { return m_isWhiteboard; }
    [[nodiscard]] bool currentNoToolbar() const { return m_currentNoToolbar; }
    [[nodiscard]] QList<MRKOWindowController *> windowControllersArray() const;
    [[nodiscard]] MRKOWindowController *activeWindowController() const;
    [[nodiscard]] MRKODraw *activeDrawView() const;
    [[nodiscard]] QList<MRKOWindowController *> windowControllersWithoutWhiteboards() const;
    /// `point` in global points, y up.
    [[nodiscard]] MRKOWindowController *windowControllerForPoint(QPointF point) const;
    [[nodiscard]] MRKOWindowController *windowControllerForMouseLocation() const;
    [[nodiscard]] MRKOWindowController *windowControllerForView(const QWidget *view) const;
    [[nodiscard]] MRKODraw *drawViewForMouseLocation() const;
    [[nodiscard]] MRKODraw *drawViewWithDrawingInProgress() const;
    /// The first canvas, in controller order, that holds a statically selected drawing.
    [[nodiscard]] MRKODraw *drawViewWithStaticSelection() const;
    [[nodiscard]] bool shouldRemoveAllWindowsToPerformScreenChanges() const;
    /// The pointer in global points, y up.
    [[nodiscard]] static QPointF mouseLocation();

    // Work of other parts of the shell that showing, hiding and quitting call
    void stopDrawingIfNeeded();
    void removeAuxActionIfNeeded();
    /// The active tool bar's hand and scissors buttons after a switch from `oldAction` to `newAction`.
    void showAuxActionOnToolbar(quint64 oldAction, quint64 newAction);
    /// Whether the canvas under the pointer has an auxiliary action (the hand, the scissors) on.
    [[nodiscard]] virtual bool hasAuxActions() const;
    void setColorType(quint64 colorType);
    void showHideToolbar(const platform::Event *sender);
    void makeScreenActiveAtIndex(qint64 index);
    void changeActivateTools(bool activate);

protected:
    /// Puts showing, hiding, ghost mode and quitting into the action table.
    void registerActivationActions();

private:
    std::vector<std::unique_ptr<MRKOWindowController>> m_windowControllers; // one per display, in screen order
    std::unique_ptr<QObject> m_initialGlobalMonitor; // while the launch waits for a modifier change
    std::unique_ptr<QObject> m_initialLocalMonitor;
    std::unique_ptr<QObject> m_appStateObserver;
    std::unique_ptr<QObject> m_ghostModeObserver;
    mutable qint64 m_lastActiveScreen = 0; // the air pointer's display, kept by the query that finds it
    quint64 m_colorType = 0;
    int m_savedNotifications = 0;
    bool m_launchCompleted = false;
    bool m_wasShown = false;
    bool m_isPinOnTop = false;
    bool m_isWhiteboard = false;
    bool m_currentActivateTools = false;
    bool m_becomeActiveObserved = false;
    bool m_unhideObserved = false;
    bool m_ghostModePopoverDisabled = false;
    bool m_quitSequenceRan = false;
    // ---- end of launch, quit and activation block ----

    // ---- Status item, screen changes and the hand-over from a second start (AppDelegate+StatusItem.cpp,
    // AppDelegate+Screens.cpp) ----
public:
    /// The status icon's phases: 0 hidden, 1 shown, 2 shown with ghost mode or the Function key, 3 with both,
    /// 4 remote connected while hidden, 5 remote connected while shown. Odd phases carry the dot.
    static constexpr quint64 kStatusBarPhaseUnset = quint64(INT64_MAX); // so that the first phase counts as a change

    /// Puts the item into the tray with the icon of the current state; its presses open the menus.
    void makeStatusBarItem();
    [[nodiscard]] quint64 statusBarPhase() const { return m_statusBarPhase; }
    /// Nothing when unchanged; otherwise the dot follows the low bit and phases 0 to 5 get their icon.
    void setStatusBarPhase(quint64 phase);
    /// Sets the phase from the shown state, ghost mode, the Function key and the remote link.
    void updateStatusBarPhase();
    /// Flashes the item when `sender` is a key event (the command came from a shortcut); menus pass null.
    void highlightStatusBarButtonWithEvent(const platform::Event *sender);
    /// Highlights the item at once and clears the highlight 0.2 s later.
    void highlightStatusBarButton();

    /// The item's press until the launch has completed: completes it, then opens the menu.
    void statusBarButtonActionFirstTime();
    /// Opens the status menu while the overlay is hidden, else the overlay menu.
    void statusBarButtonAction();
    void showAdditionalMenuAfterDelay();
    /// Builds and pops up the menu of the hidden overlay.
    void showMenuForView();
    /// Shows the overlay when hidden, then runs the tool command of the item's tag (0 brush ... 3 text).
    void toolMenuSelected(int tag);
    /// Every menu's closing.
    void menuDidClose();
    /// Brings the Preferences pane up, in a window of its own until the options window exists.
    void openPreferences(const platform::Event *sender);
    [[nodiscard]] bool externalAppMenu() const { return m_externalAppMenu; }
    /// The menu open or last opened; null before the first.
    [[nodiscard]] QMenu *statusMenu() const { return m_menu.get(); }

    /// Inputs of the status phase that the overlay, the modifier monitors and the remote link keep.
    [[nodiscard]] virtual bool fnPressed() const { return m_fnPressed; }
    /// Whether the global event tap exists and is not suspended.
    [[nodiscard]] virtual bool eventTapActive() const;
    [[nodiscard]] virtual bool isRemoteConnected() const { return m_connectedWithDevice; }

    /// Rebuilds the overlay on the new display arrangement; the screens controller calls it once the changes have
    /// settled.
    virtual void didChangeScreenParameters();

private:
    /// An item that runs the command; it shows the shortcut of `shortCutProperty` ("undoShortCut") when given.
    [[nodiscard]] QAction *addCommandItem(QMenu &menu, const QString &title, const QString &action,
                                          const QString &shortCutProperty = QString());
    void addPinOnTopToMenu(QMenu &menu);
    void addAdditionalItemsForMenu(QMenu &menu);
    /// `view`: the canvas the menu belongs to; null for the status menu.
    void addBottomPartToMenu(QMenu &menu, MRKODraw *view);
    void addDisplaySubmenu(QMenu &menu, MRKODraw *view);
    void registerMenuActions();
    /// Completes a postponed launch; then shows the overlay and starts the tour.
    void quickTour();
    /// At the status item.
    void popUpMenu(std::unique_ptr<QMenu> menu);
    /// The new menu replaces the last one; its closing runs `menuDidClose`.
    void takeMenu(std::unique_ptr<QMenu> menu);
    /// Under a new placeholder on the canvas's display at the custom frame (null: at the status item), `point`
    /// in the placeholder's points; both shortcut sets are unbound until the menu closes.
    void popUpMenuUnderPlaceholder(std::unique_ptr<QMenu> menu, MRKODraw *view, const QRectF &customFrame,
                                   QPointF point, int level, bool ignoresMouseEvents);

    quint64 m_statusBarPhase = kStatusBarPhaseUnset;
    bool m_externalAppMenu = false;
    std::unique_ptr<QMenu> m_menu; // the menu built at the last opening
    std::unique_ptr<MRKOMenuPlaceholder> m_menuPlaceholder;

public:
    /// The window the open overlay or whiteboard menu belongs to; null otherwise.
    [[nodiscard]] MRKOMenuPlaceholder *menuPlaceholder() const { return m_menuPlaceholder.get(); }
    // ---- end of status item block ----

    // ---- Flashlight, magnifier and whiteboard commands (AppDelegate+Flashlight.cpp) ----
public:
    /// Every canvas that has the flashlight on switches it off; the tool bar's light goes off.
    void removeAllDarkOverlaysIfNeeded();
    /// Off everywhere when on anywhere, else on under the pointer.
    void toggleDarkOverlay();
    [[nodiscard]] bool darkOverlayIsActive() const { return drawViewWithDarkOverlay() != nullptr; }
    [[nodiscard]] MRKODraw *drawViewWithDarkOverlay() const;
    /// The canvas with the flashlight; without one, switches it on and answers the canvas under the pointer.
    MRKODraw *drawViewWithDarkOverlayForceEnableIfNeeded();
    /// The magnifier toggle of the command, Option during a selective flashlight and smart zoom: answers whether
    /// it acted.
    virtual bool toggleMagnifyGIfNeeded();
    [[nodiscard]] bool magFlashlightEnabledByShortcut() const { return m_magFlashlightEnabledByShortcut; }
    void setMagFlashlightEnabledByShortcut(bool enabled) { m_magFlashlightEnabledByShortcut = enabled; }
    void flashlightWithEvent(const platform::Event *sender);
    void magnifyGWithEvent(const platform::Event *sender);
    void whiteboardWithEvent(const platform::Event *sender);
    void toggleWhiteboard(const platform::Event *sender);
    void nextThickness(const platform::Event *sender);
    void prevThickness(const platform::Event *sender);
    /// At least one display shows its whiteboard.
    void validateAllWhiteboards();
    /// Every display shows its whiteboard again, and whiteboard mode starts.
    void enableAllWhiteboards();
    /// The application's menu at a canvas's control (`frame` in the canvas's points; zero: under the status item).
    void showAdditionalMenuForView(MRKODraw *view, const QRectF &frame);
    void showWhiteboardLayoutMenuForView(MRKODraw *view, const QRectF &frame);

protected:
    void registerFlashlightActions();

private:
    bool m_magFlashlightEnabledByShortcut = false;
    bool m_magFlashlightHasMagnification = false;
    // ---- end of flashlight block ----

    // ---- Remote link state: the phone's view of the program, and the program's of the phone
    // (AppDelegate+Remote.cpp) ----
public:
    /// Hides the overlay when it is shown, else shows it.
    void toggleInkora();
    [[nodiscard]] quint64 colorType() const { return m_colorType; }
    /// A hue from the phone, 0...1.
    void changeHue(float hue);
    [[nodiscard]] MRKOInkoraState inkoraState() const;
    /// 2 can undo, 4 can redo, 8 a drawing can be repeated, 16 the active canvas is in freeze mode.
    [[nodiscard]] quint8 undoMask() const;
    /// The display whose canvas the air pointer drives.
    [[nodiscard]] qint64 activeScreenIndex() const;
    void makeNextScreenActive();
    /// Tells a connected phone that the overlay was shown (with its tool, colour type, freeze mode and hue) or
    /// hidden.
    void sendOverlayStateToRemoteIfConnected(bool shown);
    /// The connection part of the menus: disconnect the current phone, or connect the last one found.
    void addConnectionPartForMenu(QMenu &menu);
    void connectMenuItemSelected(const QString &deviceName);
    void disconnectMenuItemSelected();

private:
    void didFindDevice(const QVariantMap &userInfo);
    void didConnectWithDevice();
    void didDisconnectWithDevice();

    bool m_connectedWithDevice = false;
    std::vector<platform::ObserverToken> m_remoteObservers;
    // ---- end of remote link state

    // ---- Tool and colour state changes (AppDelegate+ToolState.cpp) ----
public:
    /// The active display's tool bar and its panel; null while there is none.
    [[nodiscard]] MRKOTools *activeToolBar() const;
    [[nodiscard]] MRKOToolPanel *activeToolPanel() const;
    /// Whether the tool bar is out of sight: the overlay runs without it or it is minimised.
    [[nodiscard]] virtual bool isToolbarHidden() const;

    /// A tool bar's choices, applied to the canvas of every display.
    void changeToolType(quint64 toolType);
    void changeToolThickness(quint64 thickness);
    void changeColorType(quint64 colorType);
    /// A picked custom colour: the tool colour takes it, and the text being edited or the selected drawing.
    void changeColor(const inkora::SrgbColor &color);
    void toolColorFormatChanged();
    void updateColorBallColorInAllDrawViews();
    void updateColorInUIElementsIfNeeded();
    /// "HueSavedKey"; 0 when it is not a number from 0 to 1.
    [[nodiscard]] static double savedHue();
    /// The command's numbered action (0-49; above does nothing): YES when the number was handled.
    bool invokeExtraAction(quint64 action);

    // Commands (AppDelegate+ToolCommands.cpp); each takes the key event that triggered it, or null.
    void registerToolCommandActions();
    [[nodiscard]] MRKODraw *drawViewForMouseLocationRespectingQuickTour() const;
    /// Brush, Arrow, Rectangle, Text; then again Brush. With recent-tool switching, the group used before.
    void nextTool(const platform::Event *sender);
    /// The group's tool, or its other tool when the group's tool is the current one.
    void brushToolWithEvent(const platform::Event *sender);
    void arrowToolWithEvent(const platform::Event *sender);
    void rectangleToolWithEvent(const platform::Event *sender);
    void textToolWithEvent(const platform::Event *sender);
    /// Brush, arrow, rectangle or text command by `index & 3`.
    void selectToolWithSectionIndex(quint64 index);
    void nextColorType(const platform::Event *sender);
    /// The swatch's hue for the canvas under the pointer; a grey custom colour becomes that hue.
    void colorByShortCutWithColorHueIndex(quint64 index);
    /// Black, then white, then black: the other of the two, or black after a colour.
    void blackAndWhiteWithEvent(const platform::Event *sender);
    void repeatLastAction(const platform::Event *sender);
    /// The held drawing again on its canvas; a beep when none is held.
    void repeatLayer();
    void levelUpWithEvent(const platform::Event *sender);
    void levelDownWithEvent(const platform::Event *sender);
    /// Flips semi-transparent drawing, stores it and tells the tool bars.
    void semiTansparentWithEvent(const platform::Event *sender);

private:
    void selectToolFromGroup(quint64 plain, quint64 other, const platform::Event *sender);
    void moveSelectedLayer(bool up, const platform::Event *sender);
    /// The custom colour of the canvas's tool, through the tool bar when it shows it.
    void applyColor(MRKODraw &canvas, const inkora::SrgbColor &color);
    /// Rainbow: the shared hue; a custom colour takes the hue and keeps its saturation and brightness.
    void applyHue(MRKODraw &canvas, double hue);

    platform::ObserverToken m_toolColorFormatObserver;
    // ---- end of tool and colour state changes ----

    // ---- Modifier keys and the event tap (AppDelegate+Modifiers.cpp) ----
public:
    /// A modifier monitor on every keyboard and one on our windows where the display reports no raw input.
    void setUpFlagMonitors();
    void removeFlagMonitorsIfNeeded();
    [[nodiscard]] bool hasFlagMonitors() const;
    /// The Function (Menu) key, Shift, Ctrl and Super outside ghost mode; in ghost mode `handlePinnedFlagsChanged`.
    void handleFlagsChanged(const platform::Event &event);
    void handlePinnedFlagsChanged(const platform::Event &event);
    /// The flashlight by Shift: held, it shows while held; tapped within 0.3 s, it stays until the next press.
    void validateShiftWithEvent(const platform::Event &event);
    void validateDrawingInProgressWithEvent(const platform::Event &event);
    /// Every overlay window takes the mouse again; whiteboards turn opaque.
    void enableMouseEventsIfNeeded();
    /// Every overlay window lets clicks through; whiteboards turn semi-transparent.
    void disableMouseEventsIfNeeded();
    /// Made once when wanted and trusted; resumed at each showing.
    void setUpEventTapMonitor();
    /// Suspends the tap unless click sounds are on.
    void suspendEventTapMonitorIfNeeded();
    [[nodiscard]] const MRKOEventTap *eventTap() const { return m_eventTap.get(); }
    void handleGlobalMouseEvent(const platform::Event &event);
    void handleGlobalSoundEvent(const platform::Event &event);
    [[nodiscard]] bool cmdPressed() const { return m_cmdPressed; }
    [[nodiscard]] bool shftPressed() const { return m_shftPressed; }

private:
    /// Ctrl previews the hand and Super the scissors on the tool bar; otherwise the canvas's own action shows.
    void showAuxButtonsForFlags(quint64 flags, MRKODraw *canvas);
    void eventTapReceived(const platform::Event &event);

    bool m_shftPressed = false;
    bool m_cmdPressed = false;
    bool m_fnPressed = false;
    double m_shftPressingTime = -1e300; // the distant past
    std::unique_ptr<MRKOEventTap> m_eventTap;
    std::unique_ptr<platform::RawInput::Monitor> m_flagsChangedGlobalMonitor;
    std::unique_ptr<QObject> m_flagsChangedLocalMonitor;
    // ---- end of modifier keys and the event tap ----
};
