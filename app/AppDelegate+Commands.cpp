#include "app/AppDelegate.h"
#include "app/MRKOXPCController.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/SettingValues.h"
#include "objects/MRKOLowerThirdSettings.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/UndoManager.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tools/MRKOTools.h"

#include <QApplication>
#include <QPointer>

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
    bind("takeASnapshotWithEvent:", &AppDelegate::takeASnapshotWithEvent);
    bind("takeADazadUdizWithEvent:", &AppDelegate::takeADazadUdizWithEvent);
    bind("colorWheelWithEvent:", &AppDelegate::colorWheelWithEvent);
    bind("colorPickerWithEvent:", &AppDelegate::colorPickerWithEvent);
    bind("lowerThirdWithEvent:", &AppDelegate::lowerThirdWithEvent);
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
    // The tool bar's freeze/fade switch flips, stores and passes on the mode.
    if (MRKOTools *toolBar = activeToolBar())
        toolBar->changeDissolve();
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
        return isToolbarHidden(); // only then does the indicator say what changed
    return true;
}

void AppDelegate::clearCanvasWithEvent(const platform::Event *sender)
{
    if (MRKOSnapshotManager::wantsToRemoveSnapshot()) {
        MRKOSnapshotManager::sharedSnapshotManager().removeSelectedSnapshots();
        highlightStatusBarButtonWithEvent(sender);
        return;
    }
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

// Snapshots

void AppDelegate::takeASnapshotWithEvent(const platform::Event *sender)
{
    MRKODraw *canvas = drawViewForMouseLocation();
    if (!canvas || !canvas->layerContainerHasLayers() || canvas->screenDisabled()) {
        QApplication::beep();
        return;
    }
    MRKOSnapshotManager::sharedSnapshotManager().addSnapshot(canvas->snapshot());
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::takeADazadUdizWithEvent(const platform::Event *sender)
{
    MRKODraw *canvas = drawViewForMouseLocation();
    if (!canvas) {
        QApplication::beep();
        return;
    }
    if (std::shared_ptr<MRKOSnapshot> shot = canvas->dazadUdiz())
        MRKOSnapshotManager::sharedSnapshotManager().addDazadUdiz(shot);
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::applySnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot)
{
    if (!snapshot)
        return;
    for (MRKODraw *canvas : drawViews()) {
        if (canvas->index() == snapshot->screenIndex()) {
            canvas->loadSnapshot(snapshot);
            return;
        }
    }
    MRKODraw *active = activeDrawView();
    if (!active)
        return;
    // Taken on a display that is gone: the active canvas takes it as its own, since a canvas loads only shots of
    // its display.
    std::shared_ptr<MRKOSnapshot> moved = MRKOSnapshot::snapshotWithLayers(snapshot->layers(), snapshot->screenBitmap(),
                                                                           snapshot->bounds(), active->index());
    moved->setName(snapshot->name());
    moved->setWhiteboard(snapshot->whiteboard());
    moved->setWhiteboardColorType(snapshot->whiteboardColorType());
    moved->setWhiteboardLayout(snapshot->whiteboardLayout());
    moved->setWhiteboardCustomColor(snapshot->whiteboardCustomColor());
    moved->setOverallShadow(snapshot->overallShadow());
    active->loadSnapshot(moved);
}

// Lower third

void AppDelegate::lowerThirdWithEvent(const platform::Event *)
{
    if (MRKOLowerThirdSettings::isShown()) {
        MRKOLowerThirdSettings::sharedController().playAnimation();
        return;
    }
    for (const auto &controller : m_windowControllers) {
        if (MRKODraw *canvas = controller->drawView())
            canvas->showLowerThird();
    }
}
