#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace platform {

/// Keeps our own floating windows in level order: a window with a higher level is never below one with a lower
/// level. Restacks whenever one of them is shown or changes level; equal levels keep the order they had.
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
    /// The visible registered windows, bottom first, as the last restack left them.
    [[nodiscard]] QList<QWidget *> stackingOrder() const;

private:
    struct Entry
    {
        QPointer<QWidget> window;
        int level = 0;
    };
    void purge();
    QList<Entry> m_entries; // in the order they were last raised
};

} // namespace platform
