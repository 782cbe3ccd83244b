#include "platform/fake/FakeWindowSystem.h"

#include <algorithm>

namespace platform {

struct FakeWindowSystem::Entry
{
    FlagsHandler handler;
};

class FakeWindowSystem::FakeMonitor final : public Monitor
{
public:
    FakeMonitor(std::weak_ptr<std::vector<std::shared_ptr<Entry>>> list, std::shared_ptr<Entry> entry)
        : m_list(std::move(list)), m_entry(std::move(entry))
    {}
    ~FakeMonitor() override
    {
        if (const auto list = m_list.lock())
            std::erase(*list, m_entry);
    }

private:
    std::weak_ptr<std::vector<std::shared_ptr<Entry>>> m_list;
    std::shared_ptr<Entry> m_entry;
};

FakeWindowSystem::FakeWindowSystem() : m_monitors(std::make_shared<std::vector<std::shared_ptr<Entry>>>()) {}

FakeWindowSystem::~FakeWindowSystem() = default;

std::unique_ptr<WindowSystem::Monitor> FakeWindowSystem::addGlobalFlagsChangedMonitor(FlagsHandler handler)
{
    auto entry = std::make_shared<Entry>(Entry{std::move(handler)});
    m_monitors->push_back(entry);
    return std::make_unique<FakeMonitor>(m_monitors, entry);
}

void FakeWindowSystem::sendFlagsChanged(quint64 flags)
{
    Event event;
    event.type = EventType::FlagsChanged;
    event.modifierFlags = flags;
    const auto entries = *m_monitors; // a handler may remove monitors
    for (const auto &entry : entries) {
        if (std::find(m_monitors->begin(), m_monitors->end(), entry) != m_monitors->end())
            entry->handler(event);
    }
}

int FakeWindowSystem::monitorCount() const
{
    return int(m_monitors->size());
}

} // namespace platform
