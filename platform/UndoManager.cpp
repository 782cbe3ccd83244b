#include "platform/UndoManager.h"

#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/PlatformLog.h"

#include <algorithm>
#include <iterator>

namespace platform {

namespace {

// Entries removed from the stacks are destroyed only after the stacks are consistent again: an action's
// captures may run code that calls back into the manager when they die.
template <typename Container> void eraseEntriesIf(Container &entries, Container &removed, const auto &predicate)
{
    auto keep = std::stable_partition(entries.begin(), entries.end(), [&](const auto &e) { return !predicate(e); });
    std::move(keep, entries.end(), std::back_inserter(removed));
    entries.erase(keep, entries.end());
}

} // namespace

bool UndoManager::Entry::isAlive() const
{
    if (const auto *object = std::get_if<QPointer<QObject>>(&guard))
        return !object->isNull();
    if (const auto *shared = std::get_if<std::weak_ptr<const void>>(&guard))
        return !shared->expired();
    return true;
}

bool UndoManager::Group::hasLiveEntry() const
{
    return std::any_of(entries.begin(), entries.end(), [](const Entry &e) { return e.isAlive(); });
}

UndoManager::UndoManager() = default;

UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(QObject *target, Action action)
{
    if (!target) {
        qCWarning(lcPlatform) << "registerUndo: the target is gone; action dropped";
        return;
    }
    record(Entry{target, QPointer<QObject>(target), std::move(action)});
}

void UndoManager::registerUndo(const std::weak_ptr<const void> &target, Action action)
{
    const std::shared_ptr<const void> strong = target.lock();
    if (!strong) {
        qCWarning(lcPlatform) << "registerUndo: the target is gone; action dropped";
        return;
    }
    record(Entry{strong.get(), target, std::move(action)});
}

void UndoManager::registerUndo(const void *target, Action action)
{
    record(Entry{target, std::monostate(), std::move(action)});
}

void UndoManager::record(Entry entry)
{
    Q_ASSERT(isMainThread());
    if (m_disableCount > 0)
        return;
    std::deque<Group> clearedRedo;
    if (m_state == State::Idle || m_state == State::Grouping)
        std::swap(clearedRedo, m_redoStack); // a new change makes the undone steps unreachable

    bool ownStep = false;
    if (m_state == State::Idle) {
        if (m_groupsByEvent) {
            openGroup(true);
        } else {
            qCWarning(lcPlatform) << "registerUndo: no undo group is open and grouping by event is off; the action "
                                     "becomes a step of its own";
            openGroup(false);
            ownStep = true;
        }
    }
    m_openGroups.back().entries.push_back(std::move(entry));
    if (ownStep)
        endUndoGrouping();
}

void UndoManager::beginUndoGrouping()
{
    Q_ASSERT(isMainThread());
    openGroup(false);
}

void UndoManager::openGroup(bool byEvent)
{
    Q_ASSERT(m_state != State::Idle || m_openGroups.empty());
    m_openGroups.push_back(Group{});
    if (m_openGroups.size() == 1)
        m_openGroups.back().id = ++m_lastStepId;
    if (m_state == State::Idle) {
        m_state = State::Grouping; // Idle -> Grouping
        m_eventGroupOpen = byEvent;
        if (byEvent)
            scheduleEventGroupClose();
    }
}

void UndoManager::endUndoGrouping()
{
    Q_ASSERT(isMainThread());
    // While undoing or redoing, the outermost group collects the new step and is closed by undo() or redo().
    const std::size_t base = (m_state == State::Undoing || m_state == State::Redoing) ? 1 : 0;
    if (m_openGroups.size() <= base) {
        qCWarning(lcPlatform) << "endUndoGrouping: no undo group is open; ignored";
        return;
    }
    Group group = std::move(m_openGroups.back());
    m_openGroups.pop_back();

    if (!m_openGroups.empty()) {
        // A nested group becomes part of its parent's step.
        auto &parent = m_openGroups.back().entries;
        std::move(group.entries.begin(), group.entries.end(), std::back_inserter(parent));
        if (m_eventGroupOpen && m_openGroups.size() == 1)
            scheduleEventGroupClose(); // the event's close may have come while a nested group was open
        return;
    }

    Q_ASSERT(m_state == State::Grouping);
    m_state = State::Idle; // Grouping -> Idle
    m_eventGroupOpen = false;
    if (group.entries.empty())
        return;
    push(m_undoStack, std::move(group));
    post(kUndoManagerDidCloseUndoGroupNotification);
}

void UndoManager::scheduleEventGroupClose()
{
    if (m_eventGroupClosePending)
        return;
    m_eventGroupClosePending = true;
    DispatchQueue::main().async([this, lifetime = std::weak_ptr<int>(m_lifetime)] {
        if (lifetime.expired())
            return;
        m_eventGroupClosePending = false;
        closeEventGroup();
    });
}

void UndoManager::closeEventGroup()
{
    // A group begun by the caller inside the event's group keeps it open until that group ends.
    if (m_eventGroupOpen && m_state == State::Grouping && m_openGroups.size() == 1)
        endUndoGrouping();
}

void UndoManager::setActionName(const QString &name)
{
    if (!m_openGroups.empty())
        m_openGroups.front().name = name;
    else if (!m_undoStack.empty())
        m_undoStack.back().name = name;
}

const UndoManager::Group *UndoManager::topLiveGroup(const std::deque<Group> &stack)
{
    const auto it = std::find_if(stack.rbegin(), stack.rend(), [](const Group &g) { return g.hasLiveEntry(); });
    return it == stack.rend() ? nullptr : &*it;
}

bool UndoManager::canUndo() const
{
    if (m_state == State::Grouping &&
        std::any_of(m_openGroups.begin(), m_openGroups.end(), [](const Group &g) { return g.hasLiveEntry(); }))
        return true;
    return topLiveGroup(m_undoStack) != nullptr;
}

bool UndoManager::canRedo() const
{
    return topLiveGroup(m_redoStack) != nullptr;
}

QString UndoManager::undoActionName() const
{
    if (m_state == State::Grouping &&
        std::any_of(m_openGroups.begin(), m_openGroups.end(), [](const Group &g) { return g.hasLiveEntry(); }))
        return m_openGroups.front().name;
    const Group *top = topLiveGroup(m_undoStack);
    return top ? top->name : QString();
}

QString UndoManager::redoActionName() const
{
    const Group *top = topLiveGroup(m_redoStack);
    return top ? top->name : QString();
}

void UndoManager::undo()
{
    perform(true);
}

void UndoManager::redo()
{
    perform(false);
}

void UndoManager::perform(bool undoing)
{
    Q_ASSERT(isMainThread());
    const char *operation = undoing ? "undo" : "redo";
    if (m_state == State::Undoing || m_state == State::Redoing) {
        qCWarning(lcPlatform).nospace() << operation << ": called while undoing or redoing; ignored";
        return;
    }
    if (m_openGroups.size() > 1) {
        qCWarning(lcPlatform).nospace() << operation << ": " << m_openGroups.size()
                                        << " undo groups are open; nothing undone or redone";
        return;
    }
    if (m_openGroups.size() == 1)
        endUndoGrouping();
    Q_ASSERT(m_state == State::Idle);

    purgeDeadEntries();
    std::deque<Group> &from = undoing ? m_undoStack : m_redoStack;
    if (from.empty())
        return;
    const Group step = std::move(from.back());
    from.pop_back();

    m_state = undoing ? State::Undoing : State::Redoing; // Idle -> Undoing or Redoing
    m_openGroups.push_back(Group{step.name, ++m_lastStepId, {}});
    for (auto it = step.entries.rbegin(); it != step.entries.rend(); ++it) {
        if (it->isAlive())
            it->action();
    }
    if (m_openGroups.size() > 1) {
        qCWarning(lcPlatform).nospace() << operation << ": an action left " << m_openGroups.size() - 1
                                        << " undo groups open; they end with the step";
        while (m_openGroups.size() > 1)
            endUndoGrouping();
    }
    Q_ASSERT(m_openGroups.size() == 1);
    Group collected = std::move(m_openGroups.front());
    m_openGroups.clear();
    m_state = State::Idle; // Undoing or Redoing -> Idle

    if (!collected.entries.empty())
        push(undoing ? m_redoStack : m_undoStack, std::move(collected));
    post(undoing ? kUndoManagerDidUndoChangeNotification : kUndoManagerDidRedoChangeNotification);
}

void UndoManager::push(std::deque<Group> &stack, Group group)
{
    stack.push_back(std::move(group));
    std::deque<Group> dropped;
    while (m_levelsOfUndo > 0 && stack.size() > static_cast<std::size_t>(m_levelsOfUndo)) {
        dropped.push_back(std::move(stack.front()));
        stack.pop_front();
    }
}

void UndoManager::setLevelsOfUndo(int levels)
{
    m_levelsOfUndo = std::max(0, levels);
    std::deque<Group> dropped;
    for (std::deque<Group> *stack : {&m_undoStack, &m_redoStack}) {
        while (m_levelsOfUndo > 0 && stack->size() > static_cast<std::size_t>(m_levelsOfUndo)) {
            dropped.push_back(std::move(stack->front()));
            stack->pop_front();
        }
    }
}

void UndoManager::disableUndoRegistration()
{
    ++m_disableCount;
}

void UndoManager::enableUndoRegistration()
{
    if (m_disableCount == 0) {
        qCWarning(lcPlatform) << "enableUndoRegistration: registration is not disabled; ignored";
        return;
    }
    --m_disableCount;
}

void UndoManager::removeAllActions()
{
    std::deque<Group> undone;
    std::deque<Group> redone;
    std::swap(undone, m_undoStack);
    std::swap(redone, m_redoStack);
    std::vector<Entry> open;
    for (Group &group : m_openGroups)
        eraseEntriesIf(group.entries, open, [](const Entry &) { return true; });
}

void UndoManager::removeAllActionsWithTarget(const QObject *target)
{
    removeAllActionsWithTarget(static_cast<const void *>(target));
}

void UndoManager::removeAllActionsWithTarget(const void *target)
{
    std::vector<Entry> removed;
    const auto matches = [target](const Entry &e) { return e.target == target; };
    for (std::deque<Group> *stack : {&m_undoStack, &m_redoStack}) {
        for (Group &group : *stack)
            eraseEntriesIf(group.entries, removed, matches);
        std::erase_if(*stack, [](const Group &g) { return g.entries.empty(); });
    }
    for (Group &group : m_openGroups)
        eraseEntriesIf(group.entries, removed, matches);
}

quint64 UndoManager::currentStepId() const
{
    if (!m_openGroups.empty())
        return m_openGroups.front().id;
    return m_undoStack.empty() ? 0 : m_undoStack.back().id;
}

bool UndoManager::removeStep(quint64 id)
{
    std::deque<Group> removed;
    for (std::deque<Group> *stack : {&m_undoStack, &m_redoStack}) {
        const auto it = std::find_if(stack->begin(), stack->end(), [id](const Group &g) { return g.id == id; });
        if (it != stack->end()) {
            removed.push_back(std::move(*it));
            stack->erase(it);
            return true;
        }
    }
    return false;
}

void UndoManager::purgeDeadEntries()
{
    std::vector<Entry> removed;
    const auto dead = [](const Entry &e) { return !e.isAlive(); };
    for (std::deque<Group> *stack : {&m_undoStack, &m_redoStack}) {
        for (Group &group : *stack)
            eraseEntriesIf(group.entries, removed, dead);
        std::erase_if(*stack, [](const Group &g) { return g.entries.empty(); });
    }
}

void UndoManager::post(const QString &name)
{
    NotificationCenter::defaultCenter().post(name, this);
}

} // namespace platform
