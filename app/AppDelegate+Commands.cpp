#include "app/AppDelegate.h"
#include "app/MRKOXPCController.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/UndoManager.h"

#include <QApplication>
#include <QPointer>

namespace {

constexpr auto kDissolveModeKey = "DissolveModeKey";

} // namespace

void AppDelegate::registerCommandActions()
{
    const auto bind = [this](const char *action, void (AppDelegate::*handler)(const platform::Event *)) {
        setActionHandler(QLatin1String(action),
                         [this, handler](const platform::Event *event) { (this->*handler)(event); });
    };
    bind("runInkora:", &AppDelegate::runInkora);
    bind("openPreferences:", &AppDelegate::openPreferences);
    bind("runInkoraWithoutToolbar:", &AppDelegate::runInkoraWithoutToolbar);
    bind("closeWithEvent:", &AppDelegate::closeWithEvent);
    bind("quitWithEvent:", &AppDelegate::quitWithEvent);
    bind("undoWithEvent:", &AppDelegate::undoWithEvent);
    bind("redoWithEvent:", &AppDelegate::redoWithEvent);
    bind("dissolveModeWithEvent:", &AppDelegate::dissolveModeWithEvent);
    bind("clearCanvasWithEvent:", &AppDelegate::clearCanvasWithEvent);
    bind("clearCanvasExlusionWithEvent:", &AppDelegate::clearCanvasExlusionWithEvent);
    bind("colorWheelWithEvent:", &AppDelegate::colorWheelWithEvent);
    bind("colorPickerWithEvent:", &AppDelegate::colorPickerWithEvent);
}

// Undo

bool AppDelegate::isUndoManagerUndoingOrRedoing()
{
    return undoManager().isUndoing() || undoManager().isRedoing();
}

void AppDelegate::invokeUndoByDisablingUndoRegistration()
{
    auto &manager = undoManager();
    if (!manager.canUndo() || manager.isUndoing())
        return;
    manager.disableUndoRegistration();
    manager.undo();
    manager.enableUndoRegistration();
    postUpdateUndoRedo();
}

void AppDelegate::clearUndo()
{
    undoManager().removeAllActions();
    postUpdateUndoRedo();
}

bool AppDelegate::shouldRegisterUndoForAction(const QString &actionName) const
{
    // Adding a drawing is always undoable until the text editor, which can take that step back itself, exists.
    Q_UNUSED(actionName)
    return true;
}

void AppDelegate::undoWithEvent(const platform::Event *sender)
{
    if (MRKODraw::cancelMultipleMoveIfNeeded())
        return; // undo during a multiple move only ends it
    auto &manager = undoManager();
    if (!manager.canUndo()) {
        QApplication::beep();
    } else {
        if (!shouldRegisterUndoForAction(manager.undoActionName()))
            manager.disableUndoRegistration();
        manager.undo();
        if (!manager.isUndoRegistrationEnabled())
            manager.enableUndoRegistration();
        highlightStatusBarButtonWithEvent(sender);
    }
    postUpdateUndoRedo();
}

void AppDelegate::redoWithEvent(const platform::Event *sender)
{
    auto &manager = undoManager();
    if (manager.canRedo()) {
        manager.redo();
        highlightStatusBarButtonWithEvent(sender);
    } else {
        QApplication::beep();
    }
    postUpdateUndoRedo();
}

// Status highlight

// Showing, hiding and quitting

void AppDelegate::closeWithEvent(const platform::Event *sender)
{
    if (isActiveAndShown())
        closeAllDrawableScreens();
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::quitWithEvent(const platform::Event *)
{
    // After the key event that asked for it has been handled.
    QPointer<AppDelegate> self(this);
    platform::DispatchQueue::main().async([self] {
        if (self)
            self->terminate();
    });
}

// Freeze and fade, clearing

void AppDelegate::dissolveModeWithEvent(const platform::Event *sender)
{
    // The tool bar's freeze/fade switch: flip the stored mode and pass it on.
    auto &defaults = MRKOUtils::userDefaults();
    const qint64 mode = defaults.integerForKey(QLatin1String(kDissolveModeKey)) == MRKODissolveModeFade
                            ? MRKODissolveModeFreeze
                            : MRKODissolveModeFade;
    defaults.setInteger(mode, QLatin1String(kDissolveModeKey));
    defaults.synchronize();
    changeDissolveMode(mode);
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::changeDissolveMode(qint64 mode)
{
    if (mode == MRKODissolveModeFade)
        undoManager().removeAllActions();
    for (MRKODraw *draw : drawViews())
        draw->setDissolveMode(mode);
    if (needToShowNotification())
        MRKOXPCController::sharedXPCController()->showDissolveMode(std::uint64_t(mode));
}

bool AppDelegate::needToShowNotification() const
{
    if (m_notifications == 2)
        return false;
    if (m_notifications == 0)
        return m_currentNoToolbar; // the tool bar is hidden: only then does the indicator say what changed
    return true;
}

void AppDelegate::clearCanvasWithEvent(const platform::Event *sender)
{
    MRKODraw::removeTextViewAndUndoActionsIfNeeded();
    clearDrawViews(false);
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::clearCanvasExlusionWithEvent(const platform::Event *sender)
{
    MRKODraw::removeTextViewAndUndoActionsIfNeeded();
    clearDrawViews(true);
    highlightStatusBarButtonWithEvent(sender);
}
