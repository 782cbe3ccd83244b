#pragma once

#include "app/SettingsPropagation.h"
#include "foundation/ActionTarget.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class KQShortCut;
class QAction;
class QMenu;

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
    /// Runs every update method once, in the fixed order.
    void updateAllSettings();

    /// Whether a canvas stroke is in progress; every canvas sets it at the start and end of a press.
    [[nodiscard]] bool drawingInProgress() const { return m_drawingInProgress; }
    void setDrawingInProgress(bool inProgress) { m_drawingInProgress = inProgress; }
    /// Whether Shift was held during the current drawing gesture.
    [[nodiscard]] bool shiftWasPressdDuringDraw() const { return m_shiftWasPressdDuringDraw; }
    void setShiftWasPressdDuringDraw(bool pressed) { m_shiftWasPressdDuringDraw = pressed; }
    /// The DazadUdiz command's shortcut; null until the shortcuts are registered. A press unbinds it meanwhile.
    [[nodiscard]] std::shared_ptr<KQShortCut> dazadUdizShortCut() const { return m_dazadUdizShortCut; }
    void setDazadUdizShortCut(std::shared_ptr<KQShortCut> shortCut) { m_dazadUdizShortCut = std::move(shortCut); }
    /// Whether an Option press during the selective flashlight toggled the magnifier; no flashlight, no toggle.
    [[nodiscard]] virtual bool toggleMagnifyGIfNeeded() { return false; }
    /// Passes the current event to the modifier-change handling; a press calls it once when modifiers changed.
    virtual void handleFlagsChangedWithCurrentEvent() {}

    [[nodiscard]] bool respondsToAction(const QString &action) const override;
    void performAction(const QString &action, const platform::Event *event) override;

protected:
    /// Adds an entry to the action table: the command run for the selector text.
    void setActionHandler(const QString &action, ActionHandler handler);
    void setActiveAndShown(bool shown) { m_shown = shown; }

private:
    QHash<QString, ActionHandler> m_actions;
    bool m_shown = false;
    bool m_didFinishLaunching = false;
    bool m_didTerminate = false;
    bool m_keepTouchBarWOToolbar = false;
    bool m_drawingInProgress = false;
    bool m_shiftWasPressdDuringDraw = false;
    std::shared_ptr<KQShortCut> m_dazadUdizShortCut; // main thread only

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
    /// Builds and pops up the menu of the shown overlay.
    void showAdditionalMenuForView();
    /// Shows the overlay when hidden, then runs the tool command of the item's tag (0 brush ... 3 text).
    void toolMenuSelected(int tag);
    /// Every menu's closing.
    void menuDidClose();
    [[nodiscard]] bool externalAppMenu() const { return m_externalAppMenu; }
    /// The menu open or last opened; null before the first.
    [[nodiscard]] QMenu *statusMenu() const { return m_menu.get(); }

    /// Inputs of the status phase that the overlay, the modifier monitors and the remote link keep.
    [[nodiscard]] virtual bool isPinnedOnTop() const { return false; }
    [[nodiscard]] virtual bool fnPressed() const { return false; }
    [[nodiscard]] virtual bool isRemoteConnected() const { return false; }
    [[nodiscard]] virtual bool isToolbarHidden() const { return false; }

    /// Rebuilds the overlay on the new display arrangement; the screens controller calls it once the changes have
    /// settled.
    virtual void didChangeScreenParameters();
    /// The program was started again while running, or made active: shows the overlay if it is hidden, after
    /// completing the launch.
    void inkoraAppBecomeActive();

private:
    [[nodiscard]] QAction *addCommandItem(QMenu &menu, const QString &title, const QString &action);
    void addPinOnTopToMenu(QMenu &menu);
    void addAdditionalItemsForMenu(QMenu &menu);
    void addBottomPartToMenu(QMenu &menu);
    void popUpMenu(std::unique_ptr<QMenu> menu);

    quint64 m_statusBarPhase = kStatusBarPhaseUnset;
    bool m_externalAppMenu = false;
    std::unique_ptr<QMenu> m_menu; // the menu built at the last opening
    // ---- end of status item block ----
};
