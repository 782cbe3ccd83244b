#pragma once

#include <QObject>

/// Takes back the step on top of the shared undo stack so that it can be neither undone nor redone: used when an
/// operation registered a step and then turned out to change nothing. One shared instance. Main thread only.
class MRKOTopUndoActionCutter final : public QObject
{
    Q_OBJECT
public:
    [[nodiscard]] static MRKOTopUndoActionCutter &cutter();

    /// Undoes the top step and empties the redo stack with a placeholder that goes once the current event is over.
    void cutAction();
    /// The placeholder's action; does nothing.
    void undoAction() {}

private:
    MRKOTopUndoActionCutter() = default;
};
