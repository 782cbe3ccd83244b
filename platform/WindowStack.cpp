#include "platform/WindowStack.h"

#include "platform/Services.h"

#include <QGuiApplication>
#include <QTimer>

#include <algorithm>

namespace platform {

WindowStack &WindowStack::shared()
{
    static WindowStack stack;
    return stack;
}

void WindowStack::setLevel(QWidget &window, int level)
{
    purge();
    const auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.window == &window; });
    if (it == m_entries.end())
        m_entries.append(Entry{&window, level});
    else if (it->level == level)
        return;
    else
        it->level = level;
    if (window.isVisible())
        restack();
}

int WindowStack::level(const QWidget &window) const
{
    for (const Entry &e : m_entries) {
        if (e.window == &window)
            return e.level;
    }
    return 0;
}

void WindowStack::remove(const QWidget &window)
{
    m_entries.removeIf([&](const Entry &e) { return e.window.isNull() || e.window == &window; });
    if (m_entries.isEmpty())
        followForeignStacking(false);
}

void WindowStack::orderFront(QWidget &window)
{
    purge();
    const auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.window == &window; });
    if (it == m_entries.end())
        return;
    const Entry entry = *it;
    m_entries.erase(it);
    m_entries.append(entry);
    restack();
}

void WindowStack::restack()
{
    purge();
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const Entry &a, const Entry &b) { return a.level < b.level; });
    // The offscreen platform of headless runs has no stacking to change.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    bool anyVisible = false;
    for (const Entry &e : m_entries) {
        if (e.window->isVisible()) {
            e.window->raise();
            anyVisible = true;
        }
    }
    followForeignStacking(anyVisible);
    m_restackObservers.removeIf([](const auto &entry) { return entry.first.isNull(); });
    for (const auto &entry : QList(m_restackObservers))
        entry.second();
}

void WindowStack::addRestackObserver(QObject *context, std::function<void()> observer)
{
    m_restackObservers.append({QPointer<QObject>(context), std::move(observer)});
}

void WindowStack::followForeignStacking(bool follow)
{
    if (!follow) {
        m_foreignMonitor.reset();
        return;
    }
    if (m_foreignMonitor)
        return;
    auto &windowSystem = services().windowSystem;
    if (!windowSystem)
        return;
    // A burst of changes (a window mapped with its frame) restacks once.
    m_foreignMonitor = windowSystem->addForeignStackingMonitor([this] {
        if (m_restackPending)
            return;
        m_restackPending = true;
        QTimer::singleShot(0, [this] {
            m_restackPending = false;
            restack();
        });
    });
}

QList<QWidget *> WindowStack::stackingOrder() const
{
    QList<QWidget *> order;
    for (const Entry &e : m_entries) {
        if (e.window && e.window->isVisible())
            order.append(e.window.data());
    }
    return order;
}

void WindowStack::purge()
{
    m_entries.removeIf([](const Entry &e) { return e.window.isNull(); });
}

} // namespace platform
