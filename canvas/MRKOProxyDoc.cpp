#include "canvas/MRKOProxyDoc.h"

#include "platform/UndoManager.h"

MRKOProxyDoc::MRKOProxyDoc(platform::UndoManager *undoManager, std::function<void()> autosave,
                           std::function<void()> breakTextCoalescing)
    : m_autosave(std::move(autosave)), m_breakTextCoalescing(std::move(breakTextCoalescing))
{
    setUndoManager(undoManager);
}

MRKOProxyDoc::~MRKOProxyDoc()
{
    close();
}

void MRKOProxyDoc::setUndoManager(platform::UndoManager *undoManager)
{
    m_undoManager = undoManager;
    updateNotifications();
}

void MRKOProxyDoc::updateNotifications()
{
    m_observers.clear();
    if (!m_undoManager)
        return;
    auto &center = platform::NotificationCenter::defaultCenter();
    const void *manager = m_undoManager;
    m_observers.push_back(center.addObserver(platform::kUndoManagerDidCloseUndoGroupNotification, manager,
                                             [this](const platform::Notification &) { countChange(+1); }));
    m_observers.push_back(center.addObserver(platform::kUndoManagerDidUndoChangeNotification, manager,
                                             [this](const platform::Notification &) { countChange(-1); }));
    m_observers.push_back(center.addObserver(platform::kUndoManagerDidRedoChangeNotification, manager,
                                             [this](const platform::Notification &) { countChange(+1); }));
    m_observers.push_back(center.addObserver(kMRKONotificationTextEditingDidStart, nullptr, [this](const auto &) {
        std::weak_ptr<int> alive = m_lifetime;
        platform::DispatchQueue::main().after(0.1, [this, alive] {
            if (alive.expired())
                return;
            m_textEditing = true;
            m_textChangesCount = 0;
        });
    }));
    m_observers.push_back(center.addObserver(kMRKONotificationTextEditingDidEnd, nullptr, [this](const auto &) {
        m_textChangesCount = 0;
        m_textEditing = false;
    }));
}

void MRKOProxyDoc::countChange(qint64 delta)
{
    setChangeCount(changeCount() + delta);
    updateAutoSaveTimer();
}

void MRKOProxyDoc::setChangeCount(qint64 count)
{
    if (m_textEditing)
        m_textChangesCount = count;
    else
        m_changesCount = count;
}

void MRKOProxyDoc::updateChangeCount(int changeType)
{
    switch (changeType) {
    case ChangeDone:
    case ChangeRedone:
        ++m_changesCount;
        break;
    case ChangeUndone:
        --m_changesCount;
        break;
    case ChangeCleared:
        setChangeCount(0);
        break;
    default:
        break;
    }
}

void MRKOProxyDoc::invalidateAutoSaveTimer()
{
    if (m_autoSaveTimer)
        platform::RunLoop::main().cancel(m_autoSaveTimer);
    m_autoSaveTimer = 0;
}

void MRKOProxyDoc::updateAutoSaveTimer()
{
    invalidateAutoSaveTimer();
    if (!hasUnautosavedChanges())
        return;
    std::weak_ptr<int> alive = m_lifetime;
    m_autoSaveTimer = platform::RunLoop::main().schedule(
        kAutoSaveDelay,
        [this, alive] {
            if (alive.expired())
                return;
            m_autoSaveTimer = 0;
            autoSaveTimerFire();
        },
        platform::RunLoop::DefaultMode);
}

void MRKOProxyDoc::autoSaveTimerFire()
{
    if (!hasUnautosavedChanges())
        return;
    if (m_autosave)
        m_autosave();
    if (m_breakTextCoalescing)
        m_breakTextCoalescing();
    updateChangeCount(ChangeCleared);
}

void MRKOProxyDoc::close()
{
    invalidateAutoSaveTimer();
    setUndoManager(nullptr);
}
