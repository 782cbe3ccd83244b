#pragma once

#include "app/SettingsPropagation.h"
#include "foundation/ActionTarget.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class KQShortCut;
class MRKOProxyDoc;
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
    [[nodiscard]] std::shared_ptr<KQShortCut> dazadUdizShortCut() const { return m_dazadUdizShortCut; }
    void setDazadUdizShortCut(std::shared_ptr<KQShortCut> shortCut) { m_dazadUdizShortCut = std::move(shortCut); }
    /// Whether an Option press during the selective flashlight toggled the magnifier; no flashlight, no toggle.
    [[nodiscard]] virtual bool toggleMagnifyGIfNeeded() { return false; }
    /// Passes the current event to the modifier-change handling; a press calls it once when modifiers changed.
    virtual void handleFlagsChangedWithCurrentEvent() {}

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
    std::unique_ptr<MRKOProxyDoc> m_proxyDoc;        // canvas services
};
