#pragma once

#include "app/SettingsPropagation.h"
#include "foundation/ActionTarget.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class KQShortCut;
class MRKODraw;
class MRKOProxyDoc;
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
    /// Runs every update method once, in the fixed order.
    void updateAllSettings();

    /// Whether a canvas stroke is in progress; every canvas sets it at the start and end of a press.
    [[nodiscard]] bool drawingInProgress() const { return m_drawingInProgress; }
    void setDrawingInProgress(bool inProgress) { m_drawingInProgress = inProgress; }
    /// Whether Shift was held during the current drawing gesture.
    [[nodiscard]] bool shiftWasPressdDuringDraw() const { return m_shiftWasPressdDuringDraw; }
    void setShiftWasPressdDuringDraw(bool pressed) { m_shiftWasPressdDuringDraw = pressed; }
    /// The DazadUdiz command's shortcut; null until the shortcuts are registered. A press unbinds it meanwhile.
    [[nodiscard]] std::shared_ptr<KQShortCut> dazadUdizShortCut() const;
    void setDazadUdizShortCut(std::shared_ptr<KQShortCut> shortCut);
    /// Whether an Option press during the selective flashlight toggled the magnifier; no flashlight, no toggle.
    [[nodiscard]] virtual bool toggleMagnifyGIfNeeded() { return false; }
    /// Passes the current event to the modifier-change handling; a press calls it once when modifiers changed.
    virtual void handleFlagsChangedWithCurrentEvent() {}

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
    void highlightStatusBarButtonWithEvent(const platform::Event *sender);
    void highlightStatusBarButton();
    [[nodiscard]] bool isStatusBarButtonHighlighted() const { return m_statusBarButtonHighlighted; }
    [[nodiscard]] bool shouldInvokeShortcutWithEvent(const platform::Event *) const { return true; }

    void runInkora(const platform::Event *sender);
    void runInkoraWithoutToolbar(const platform::Event *sender);
    void closeWithEvent(const platform::Event *sender);
    void quitWithEvent(const platform::Event *sender);
    void undoWithEvent(const platform::Event *sender);
    void redoWithEvent(const platform::Event *sender);
    void dissolveModeWithEvent(const platform::Event *sender);
    void clearCanvasWithEvent(const platform::Event *sender);
    void clearCanvasExlusionWithEvent(const platform::Event *sender);
    /// Sets freeze (1) or fade (0) on every canvas; fade forgets the undo history.
    void changeDissolveMode(qint64 mode);
    [[nodiscard]] bool needToShowNotification() const;

    // Seams to the overlay and the canvas, overridden where those are built.
    /// Shows the overlay; this one only marks it shown and binds the in-overlay shortcuts.
    virtual void activateInkoraNoToolbar(bool noToolbar);
    [[nodiscard]] virtual bool isPinOnTop() const { return false; }
    /// The canvas of every display.
    [[nodiscard]] virtual std::vector<MRKODraw *> drawViews() const { return {}; }
    /// Clears every canvas, with or without the kept kinds of drawings.
    virtual void clearDrawViews(bool exclusion) { Q_UNUSED(exclusion) }
    // ---- end of command bindings and handlers ----

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
    /// No tool bar is shown until one exists.
    [[nodiscard]] virtual bool isToolbarHidden() const { return true; }
    // ---- end of canvas services ----

protected:
    /// Puts the command handlers into the action table.
    void registerCommandActions();
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
    std::unique_ptr<MRKOProxyDoc> m_proxyDoc;        // canvas services
    std::array<std::shared_ptr<KQShortCut>, kShortCutCount> m_shortCuts; // by row of the binding table
    bool m_deleteBinded = false;
    bool m_flashlightBinded = false;
    bool m_statusBarButtonHighlighted = false;
    bool m_currentNoToolbar = false;
};
