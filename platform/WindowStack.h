#pragma once

#include "platform/WindowSystem.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace platform {

/// Keeps our own floating windows in level order: a window with a higher level is never below one with a lower
/// level. Restacks whenever one of them is shown or changes level; equal levels keep the order they had. No window
/// manager keeps our override-redirect windows on top, so while one is shown another program's window that is
/// mapped or raised puts them back above it.
class WindowStack final
{
public:
    static WindowStack &shared();

    void setLevel(QWidget &window, int level);
    [[nodiscard]] int level(const QWidget &window) const;
    void remove(const QWidget &window);
    /// Puts a shown window above the others of its level, then restacks.
    void orderFront(QWidget &window);
    /// Raises every visible registered window, lowest level first, so the highest ends on top.
    void restack();
    /// Runs after every restack while `context` lives: for what must stay next to a window in the stack.
    void addRestackObserver(QObject *context, std::function<void()> observer);
    /// The visible registered windows, bottom first, as the last restack left them.
    [[nodiscard]] QList<QWidget *> stackingOrder() const;

private:
    struct Entry
    {
        QPointer<QWidget> window;
        int level = 0;
    };
    void purge();
    /// Watches other programs' windows while one of ours is shown.
    void followForeignStacking(bool follow);

    QList<Entry> m_entries; // in the order they were last raised
    std::unique_ptr<WindowSystem::Monitor> m_foreignMonitor;
    QList<QPair<QPointer<QObject>, std::function<void()>>> m_restackObservers;
    bool m_restackPending = false;
};

} // namespace platform
