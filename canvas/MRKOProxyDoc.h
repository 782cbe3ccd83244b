#pragma once

#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"

#include <QString>

#include <functional>
#include <memory>

namespace platform {
class UndoManager;
}

inline const QString kMRKONotificationTextEditingDidStart = QStringLiteral("MRKONotificationTextEditingDidStart");
inline const QString kMRKONotificationTextEditingDidEnd = QStringLiteral("MRKONotificationTextEditingDidEnd");

/// Counts the changes on the shared undo manager and asks for an autosave 15 s after the last one. The counts
/// made while a text is being edited are kept apart and dropped when editing ends. Main thread only.
class MRKOProxyDoc final
{
public:
    enum ChangeType : int { ChangeDone = 0, ChangeUndone = 1, ChangeCleared = 2, ChangeRedone = 5 };
    static constexpr double kAutoSaveDelay = 15.0;

    /// `autosave` saves the canvases; `breakTextCoalescing` ends typing coalescing of the shared text view.
    explicit MRKOProxyDoc(platform::UndoManager *undoManager, std::function<void()> autosave,
                          std::function<void()> breakTextCoalescing = {});
    ~MRKOProxyDoc();
    MRKOProxyDoc(const MRKOProxyDoc &) = delete;
    MRKOProxyDoc &operator=(const MRKOProxyDoc &) = delete;

    [[nodiscard]] platform::UndoManager *undoManager() const { return m_undoManager; }
    void setUndoManager(platform::UndoManager *undoManager);

    [[nodiscard]] qint64 changeCount() const { return m_textEditing ? m_textChangesCount : m_changesCount; }
    void setChangeCount(qint64 count);
    [[nodiscard]] bool hasUnautosavedChanges() const { return changeCount() != 0; }
    [[nodiscard]] bool textEditing() const { return m_textEditing; }
    void updateChangeCount(int changeType);

    void updateAutoSaveTimer();
    void invalidateAutoSaveTimer();
    void autoSaveTimerFire();
    void close();

private:
    void updateNotifications();
    void countChange(qint64 delta);

    platform::UndoManager *m_undoManager = nullptr;
    std::function<void()> m_autosave;
    std::function<void()> m_breakTextCoalescing;
    std::vector<platform::ObserverToken> m_observers;
    platform::RunLoop::TimerId m_autoSaveTimer = 0;
    qint64 m_changesCount = 0;
    qint64 m_textChangesCount = 0;
    bool m_textEditing = false;
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0); // lets queued blocks see that we are gone
};
