#pragma once

#include "platform/WindowSystem.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace platform {

/// Records prepared windows and answers the frontmost application as scripted.
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

    void setFrontmost(const QString &applicationId, qint64 pid)
    {
        m_frontmostId = applicationId;
        m_frontmostPid = pid;
    }
    void setCompositing(bool on) { m_compositing = on; }
    [[nodiscard]] bool isPrepared(const QWidget *window) const { return m_prepared.contains(window); }
    [[nodiscard]] const QList<QPointer<QWidget>> &activated() const { return m_activated; }

private:
    QList<QPointer<QWidget>> m_prepared;
    QList<QPointer<QWidget>> m_activated;
    QString m_frontmostId;
    qint64 m_frontmostPid = 0;
    bool m_compositing = true;
};

} // namespace platform
