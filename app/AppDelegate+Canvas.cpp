#include "app/AppDelegate.h"
#include "canvas/MRKOProxyDoc.h"
#include "foundation/InkoraLog.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/UndoManager.h"
#include "snapshots/MRKOSnapshotManager.h"

platform::UndoManager &AppDelegate::undoManager()
{
    // The queues must outlive the manager: layers its actions keep may post to them as they go at exit.
    (void)platform::DispatchQueue::main();
    (void)platform::RunLoop::main();
    static platform::UndoManager manager;
    return manager;
}

void AppDelegate::postUpdateUndoRedo()
{
    platform::NotificationCenter::defaultCenter().post(kMRKOUpdateUndoRedoNotification);
}

void AppDelegate::resetCounterOnProxyDoc()
{
    m_proxyDoc->updateChangeCount(MRKOProxyDoc::ChangeCleared);
    m_proxyDoc->updateAutoSaveTimer();
}

void AppDelegate::autosaveIfNeeded()
{
    MRKOSnapshotManager::saveCanvasToDocumentsIfNeededMainThread(false);
}
