#include "canvas/MRKOTopUndoActionCutter.h"

#include "app/AppDelegate.h"
#include "platform/Dispatch.h"
#include "platform/UndoManager.h"

MRKOTopUndoActionCutter &MRKOTopUndoActionCutter::cutter()
{
    static MRKOTopUndoActionCutter instance;
    return instance;
}

void MRKOTopUndoActionCutter::cutAction()
{
    platform::UndoManager &manager = AppDelegate::undoManager();
    if (manager.groupingLevel() != 0)
        manager.endUndoGrouping();
    manager.undo();
    // A fresh registration outside undo empties the redo stack, so the step just undone cannot come back.
    manager.registerUndo(this, [this] { undoAction(); });
    platform::RunLoop::main().performAfterDelay(this, QStringLiteral("removeAllActionsWithTarget"), 0, [this] {
        AppDelegate::undoManager().removeAllActionsWithTarget(this);
    });
}
