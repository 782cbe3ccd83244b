#include "platform/fake/FakeReachability.h"

#include "platform/SocketAddress.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

namespace platform {

struct FakeReachability::Listener
{
    std::function<void()> changed;
};

class FakeReachability::FakeWatch final : public Watch
{
public:
    explicit FakeWatch(std::shared_ptr<Listener> listener) : m_listener(std::move(listener)) {}

private:
    std::shared_ptr<Listener> m_listener;
};

std::optional<quint32> FakeReachability::flagsForAddress(const QByteArray &address) const
{
    const QString host = socketAddressHostText(address);
    if (host.isNull())
        return std::nullopt;
    m_asked << host;
    const auto it = m_flags.constFind(host);
    return it == m_flags.constEnd() ? std::optional<quint32>(Reachable) : it.value();
}

std::unique_ptr<Reachability::Watch> FakeReachability::watchChanges(std::function<void()> changed)
{
    if (m_watchFails)
        return nullptr;
    auto listener = std::make_shared<Listener>(Listener{std::move(changed)});
    m_listeners.push_back(listener);
    return std::make_unique<FakeWatch>(std::move(listener));
}

void FakeReachability::setFlags(const QString &host, std::optional<quint32> flags)
{
    m_flags.insert(host, flags);
}

void FakeReachability::simulateChange()
{
    std::erase_if(m_listeners, [](const auto &weak) { return weak.expired(); });
    const auto listeners = m_listeners;
    for (const auto &weak : listeners) {
        if (const auto listener = weak.lock())
            listener->changed();
    }
}

int FakeReachability::runningWatches() const
{
    int n = 0;
    for (const auto &weak : m_listeners)
        n += weak.expired() ? 0 : 1;
    return n;
}

} // namespace platform
