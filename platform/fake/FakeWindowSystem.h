#pragma once

#include "platform/WindowSystem.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace platform {

/// Records prepared windows, answers the frontmost application as scripted and lets tests send modifier changes.
class FakeWindowSystem final : public WindowSystem
{
public:
    FakeWindowSystem();
    ~FakeWindowSystem() override;

    void prepareFloatingWindow(QWidget &window) override { m_prepared.append(&window); }
    [[nodiscard]] QString frontmostApplicationId() override { return m_frontmostId; }
    [[nodiscard]] qint64 frontmostProcessId() override { return m_frontmostPid; }
    void activateWindow(QWidget &window) override { m_activated.append(&window); }
    [[nodiscard]] bool hasCompositingManager() override { return m_compositing; }
    [[nodiscard]] std::unique_ptr<Monitor> addGlobalFlagsChangedMonitor(FlagsHandler handler) override;

    void setFrontmost(const QString &applicationId, qint64 pid)
    {
        m_frontmostId = applicationId;
        m_frontmostPid = pid;
    }
    void setCompositing(bool on) { m_compositing = on; }
    /// Delivers a flags-changed event with the flags to every global monitor.
    void sendFlagsChanged(quint64 flags);
    [[nodiscard]] int monitorCount() const;
    [[nodiscard]] bool isPrepared(const QWidget *window) const { return m_prepared.contains(window); }
    [[nodiscard]] const QList<QPointer<QWidget>> &activated() const { return m_activated; }

private:
    struct Entry;
    class FakeMonitor;
    std::shared_ptr<std::vector<std::shared_ptr<Entry>>> m_monitors;
    QList<QPointer<QWidget>> m_prepared;
    QList<QPointer<QWidget>> m_activated;
    QString m_frontmostId;
    qint64 m_frontmostPid = 0;
    bool m_compositing = true;
};

} // namespace platform
