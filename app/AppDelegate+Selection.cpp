// The commands that select, group and cut drawings, and the hand and scissors switches every canvas shares.
#include "app/AppDelegate.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODraw.h"
#include "platform/EventQueue.h"
#include "snapshots/MRKOSnapshotManager.h"

#include <QApplication>

void AppDelegate::registerSelectionActions()
{
    const auto bind = [this](const char *action, void (AppDelegate::*handler)(const platform::Event *)) {
        setActionHandler(QLatin1String(action),
                         [this, handler](const platform::Event *event) { (this->*handler)(event); });
    };
    bind("selectAllWithEvent:", &AppDelegate::selectAllWithEvent);
    bind("selectLayerWithEvent:", &AppDelegate::selectLayerWithEvent);
    bind("groupWithEvent:", &AppDelegate::groupWithEvent);
    bind("scissorsCutWithEvent:", &AppDelegate::scissorsCutWithEvent);
    bind("handWithEvent:", &AppDelegate::handWithEvent);
}

void AppDelegate::selectAllWithEvent(const platform::Event *sender)
{
    if (MRKOSnapshotManager::wantsToSelectAllSnapshots()) {
        MRKOSnapshotManager::sharedSnapshotManager().selectAll();
        highlightStatusBarButtonWithEvent(sender);
        return;
    }
    MRKODraw *canvas = drawViewForMouseLocation();
    if (!canvas || !canvas->hasLayers()) {
        QApplication::beep();
        return;
    }
    canvas->selectAllLayers();
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::selectLayerWithEvent(const platform::Event *sender)
{
    MRKODraw *canvas = drawViewForMouseLocationRespectingQuickTour();
    if (!canvas || !canvas->tryToMakeStaticSelection()) {
        QApplication::beep();
        return;
    }
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::groupWithEvent(const platform::Event *sender)
{
    if (!MRKODraw::canGlueLayers() || !MRKODraw::createGlueLayer()) {
        QApplication::beep();
        return;
    }
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::scissorsCutWithEvent(const platform::Event *sender)
{
    toggleScissors();
    highlightStatusBarButtonWithEvent(sender);
}

void AppDelegate::handWithEvent(const platform::Event *sender)
{
    toggleHand();
    highlightStatusBarButtonWithEvent(sender);
}

namespace {

void switchAuxAction(AppDelegate &delegate, quint64 action)
{
    MRKODraw *pointed = delegate.drawViewForMouseLocation();
    const quint64 old = pointed ? pointed->auxAction() : MRKOAuxActionNone;
    const quint64 next = old == action ? MRKOAuxActionNone : action;
    for (MRKODraw *canvas : delegate.drawViews())
        canvas->setAuxAction(next);
    if (const platform::Event *current = platform::EventQueue::shared().currentEvent(); pointed && current)
        pointed->selectWithEvent(*current);
    delegate.showAuxActionOnToolbar(old, next);
}

} // namespace

void AppDelegate::toggleScissors()
{
    switchAuxAction(*this, MRKOAuxActionScissors);
}

void AppDelegate::toggleHand()
{
    switchAuxAction(*this, MRKOAuxActionMove);
}

void AppDelegate::removeAuxAction()
{
    const MRKODraw *canvas = drawViewForMouseLocation();
    if (!canvas)
        return;
    if (canvas->auxAction() == MRKOAuxActionScissors)
        toggleScissors();
    else if (canvas->auxAction() == MRKOAuxActionMove)
        toggleHand();
}

void AppDelegate::removeAuxActionIfNeeded()
{
    if (hasAuxActions())
        removeAuxAction();
}
