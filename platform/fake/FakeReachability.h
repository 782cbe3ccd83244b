#pragma once

#include "platform/Reachability.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace platform {

/// Answers scripted flags per numeric host text (every other address is reachable) and records what was asked.
class FakeReachability final : public Reachability
{
public:
    [[nodiscard]] std::optional<quint32> flagsForAddress(const QByteArray &address) const override;
    [[nodiscard]] std::unique_ptr<Watch> watchChanges(std::function<void()> changed) override;

    /// Nothing for `flags` makes the flags of that host unreadable.
    void setFlags(const QString &host, std::optional<quint32> flags);
    void setWatchFails(bool fails) { m_watchFails = fails; }
    /// Reports a change to every running watch.
    void simulateChange();

    [[nodiscard]] QStringList askedHosts() const { return m_asked; }
    [[nodiscard]] int runningWatches() const;

private:
    struct Listener;
    class FakeWatch;

    QHash<QString, std::optional<quint32>> m_flags;
    mutable QStringList m_asked;
    bool m_watchFails = false;
    std::vector<std::weak_ptr<Listener>> m_listeners;
};

} // namespace platform
