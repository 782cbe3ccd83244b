#pragma once

#include <QString>

namespace platform {
struct Event;
}

namespace inkora {

/// A receiver of actions named by their selector text ("undoWithEvent:"), the names that stored shortcuts, menu
/// items and links keep; each receiver maps its names to calls in one action table.
class ActionTarget
{
public:
    virtual ~ActionTarget() = default;

    [[nodiscard]] virtual bool respondsToAction(const QString &action) const = 0;
    /// Runs the action with its one argument, the triggering event (null when there is none).
    virtual void performAction(const QString &action, const platform::Event *event) = 0;
};

} // namespace inkora
