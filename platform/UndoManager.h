#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

namespace platform {

// Posted on the default notification centre with the manager as sender:
/// after a group that holds actions is closed outside undo and redo (one new undo step);
inline const QString kUndoManagerDidCloseUndoGroupNotification = QStringLiteral("UndoManagerDidCloseUndoGroup");
/// after undo() has performed a step;
inline const QString kUndoManagerDidUndoChangeNotification = QStringLiteral("UndoManagerDidUndoChange");
/// after redo() has performed a step.
inline const QString kUndoManagerDidRedoChangeNotification = QStringLiteral("UndoManagerDidRedoChange");

/// Undo and redo stacks of steps; a step is a group of actions performed last-first, nested groups included.
/// States: Idle (no group open), Grouping (groupingLevel() > 0), Undoing and Redoing. Idle and Grouping change by
/// begin and end of a group, or, while grouping by event, by the first registration of a pass of the main event
/// loop and the main-queue block that closes that group. undo() and redo() start from Idle (they close a single
/// open group first) and return to Idle; what they register goes to the opposite stack. Main thread only.
class UndoManager final
{
public:
    using Action = std::function<void()>;

    UndoManager();
    ~UndoManager();
    UndoManager(const UndoManager &) = delete;
    UndoManager &operator=(const UndoManager &) = delete;

    /// Registers the inverse of a change. A QObject or shared target is held weakly: once it is gone the action
    /// does nothing and is dropped. A plain pointer target is never checked; its owner removes its actions
    /// (removeAllActionsWithTarget) before it goes. The action itself is kept, with all it captures, until it
    /// has run or been removed.
    void registerUndo(QObject *target, Action action);
    void registerUndo(const std::weak_ptr<const void> &target, Action action);
    void registerUndo(const void *target, Action action);

    void beginUndoGrouping();
    void endUndoGrouping();
    [[nodiscard]] int groupingLevel() const { return static_cast<int>(m_openGroups.size()); }
    [[nodiscard]] bool groupsByEvent() const { return m_groupsByEvent; }
    void setGroupsByEvent(bool groupsByEvent) { m_groupsByEvent = groupsByEvent; }

    /// Names the step being built: the open group, the redo step while undoing, the undo step while redoing,
    /// or, with nothing open, the top undo step.
    void setActionName(const QString &name);
    [[nodiscard]] QString undoActionName() const;
    [[nodiscard]] QString redoActionName() const;

    [[nodiscard]] bool canUndo() const;
    [[nodiscard]] bool canRedo() const;
    void undo();
    void redo();
    [[nodiscard]] bool isUndoing() const { return m_state == State::Undoing; }
    [[nodiscard]] bool isRedoing() const { return m_state == State::Redoing; }

    /// Steps kept on each stack, 0 for no limit; the oldest steps go first. A negative value counts as 0.
    [[nodiscard]] int levelsOfUndo() const { return m_levelsOfUndo; }
    void setLevelsOfUndo(int levels);

    /// Counted: registration resumes after as many enables as disables.
    void disableUndoRegistration();
    void enableUndoRegistration();
    [[nodiscard]] bool isUndoRegistrationEnabled() const { return m_disableCount == 0; }

    /// Empties both stacks and every open group; open groups stay open, so their ends still balance.
    void removeAllActions();
    void removeAllActionsWithTarget(const QObject *target);
    void removeAllActionsWithTarget(const void *target);

    /// Names steps, so that one can be found again while others come and go: the step a registration made now
    /// joins (the outermost open group), or with none open the top undo step; 0 when there is neither.
    [[nodiscard]] quint64 currentStepId() const;
    /// Takes the step off whichever stack holds it without performing it; false when it is on neither.
    bool removeStep(quint64 id);

private:
    enum class State : int { Idle, Grouping, Undoing, Redoing };

    struct Entry
    {
        const void *target = nullptr; // identity for removal
        std::variant<std::monostate, QPointer<QObject>, std::weak_ptr<const void>> guard;
        Action action;
        [[nodiscard]] bool isAlive() const;
    };
    struct Group
    {
        QString name;
        quint64 id = 0;
        std::vector<Entry> entries; // in registration order; nested groups are spliced in
        [[nodiscard]] bool hasLiveEntry() const;
    };

    void record(Entry entry);
    void openGroup(bool byEvent);
    void scheduleEventGroupClose();
    void closeEventGroup();
    void perform(bool undoing);
    void push(std::deque<Group> &stack, Group group);
    void purgeDeadEntries();
    void post(const QString &name);
    [[nodiscard]] State idleOrGrouping() const { return m_openGroups.empty() ? State::Idle : State::Grouping; }
    [[nodiscard]] static const Group *topLiveGroup(const std::deque<Group> &stack);

    std::deque<Group> m_undoStack; // back is the top
    std::deque<Group> m_redoStack;
    std::vector<Group> m_openGroups; // front is the outermost; while undoing or redoing it collects the new step
    State m_state = State::Idle;
    bool m_groupsByEvent = true;
    bool m_eventGroupOpen = false; // the outermost open group was opened by a registration
    bool m_eventGroupClosePending = false;
    int m_levelsOfUndo = 0;
    int m_disableCount = 0;
    quint64 m_lastStepId = 0;
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0); // lets queued blocks see that we are gone
};

} // namespace platform
