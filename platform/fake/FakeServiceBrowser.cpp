#include "platform/fake/FakeServiceBrowser.h"

#include "platform/Dispatch.h"

namespace platform {

struct FakeServiceBrowser::Pending
{
    QString name;
    ResolveHandler handler;
};

namespace {

class FakeResolution final : public ServiceBrowser::Resolution
{
public:
    explicit FakeResolution(std::shared_ptr<FakeServiceBrowser::Pending> pending) : m_pending(std::move(pending)) {}

private:
    std::shared_ptr<FakeServiceBrowser::Pending> m_pending;
};

} // namespace

FakeServiceBrowser::FakeServiceBrowser() = default;

FakeServiceBrowser::~FakeServiceBrowser() = default;

void FakeServiceBrowser::browse(const QString &type, const QString &domain, Handlers handlers)
{
    m_handlers = std::move(handlers);
    m_type = type;
    m_domain = domain;
    m_browsing = true;
}

void FakeServiceBrowser::stop()
{
    m_browsing = false;
}

std::unique_ptr<ServiceBrowser::Resolution> FakeServiceBrowser::resolve(const QString &name, double,
                                                                        ResolveHandler handler)
{
    m_resolved << name;
    auto pending = std::make_shared<Pending>(Pending{name, std::move(handler)});
    m_pending.push_back(pending);
    if (m_resolvesAtOnce) {
        // Answers come from the network, never inside the call that asks.
        DispatchQueue::main().async([this, weak = std::weak_ptr<Pending>(pending)] {
            if (weak.lock())
                answerResolutions(weak.lock()->name);
        });
    }
    return std::make_unique<FakeResolution>(std::move(pending));
}

void FakeServiceBrowser::addService(const QString &name, const QList<QByteArray> &addresses)
{
    const bool known = m_services.contains(name);
    m_services.insert(name, addresses);
    if (!known && m_browsing && m_handlers.found)
        m_handlers.found(name);
}

void FakeServiceBrowser::removeService(const QString &name)
{
    if (!m_services.remove(name))
        return;
    if (m_browsing && m_handlers.removed)
        m_handlers.removed(name);
}

void FakeServiceBrowser::fail(const QString &error)
{
    const QStringList names = m_services.keys();
    m_services.clear();
    if (!m_browsing)
        return;
    m_browsing = false;
    for (const QString &name : names) {
        if (m_handlers.removed)
            m_handlers.removed(name);
    }
    if (m_handlers.stopped)
        m_handlers.stopped(error);
}

bool FakeServiceBrowser::answerResolutions(const QString &name)
{
    bool answered = false;
    std::vector<std::shared_ptr<Pending>> due;
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        const auto pending = it->lock();
        if (!pending) {
            it = m_pending.erase(it);
            continue;
        }
        if (pending->name == name) {
            due.push_back(pending);
            it = m_pending.erase(it);
            continue;
        }
        ++it;
    }
    for (const auto &pending : due) {
        answered = true;
        const QList<QByteArray> addresses = m_services.value(name);
        pending->handler(addresses, addresses.isEmpty() ? QStringLiteral("not found") : QString());
    }
    return answered;
}

int FakeServiceBrowser::runningResolutions(const QString &name) const
{
    int count = 0;
    for (const auto &weak : m_pending) {
        if (const auto pending = weak.lock(); pending && pending->name == name)
            ++count;
    }
    return count;
}

} // namespace platform
