#include "platform/RawInput.h"

#include <algorithm>

namespace platform {

struct RawInput::Monitor::Entry
{
    quint64 mask = 0;
    Handler handler;
    bool suspended = false;
    std::weak_ptr<RawInput::Shared> shared;
};

struct RawInput::Shared
{
    RawInput *owner = nullptr; // cleared when the stream goes first
    std::vector<std::shared_ptr<Monitor::Entry>> entries;

    void changed() const
    {
        if (owner)
            owner->wantedMaskChanged();
    }
};

RawInput::Monitor::Monitor(std::shared_ptr<Entry> entry) : m_entry(std::move(entry)) {}

RawInput::Monitor::~Monitor()
{
    if (const auto shared = m_entry->shared.lock()) {
        std::erase(shared->entries, m_entry);
        shared->changed();
    }
}

void RawInput::Monitor::suspend()
{
    if (m_entry->suspended)
        return;
    m_entry->suspended = true;
    if (const auto shared = m_entry->shared.lock())
        shared->changed();
}

void RawInput::Monitor::resume()
{
    if (!m_entry->suspended)
        return;
    m_entry->suspended = false;
    if (const auto shared = m_entry->shared.lock())
        shared->changed();
}

bool RawInput::Monitor::isSuspended() const
{
    return m_entry->suspended;
}

RawInput::RawInput() : m_shared(std::make_shared<Shared>())
{
    m_shared->owner = this;
}

RawInput::~RawInput()
{
    m_shared->owner = nullptr;
}

std::unique_ptr<RawInput::Monitor> RawInput::addMonitor(quint64 mask, Handler handler)
{
    if (!isAvailable() || !handler)
        return nullptr;
    auto entry = std::make_shared<Monitor::Entry>();
    entry->mask = mask & kRawInputTypes;
    entry->handler = std::move(handler);
    entry->shared = m_shared;
    m_shared->entries.push_back(entry);
    wantedMaskChanged();
    return std::unique_ptr<Monitor>(new Monitor(std::move(entry)));
}

quint64 RawInput::wantedMask() const
{
    quint64 mask = 0;
    for (const auto &entry : m_shared->entries) {
        if (!entry->suspended)
            mask |= entry->mask;
    }
    return mask;
}

int RawInput::monitorCount() const
{
    return int(m_shared->entries.size());
}

void RawInput::deliver(const Event &event)
{
    const quint64 bit = eventMask(event.type);
    // A handler may add or remove monitors, this one included.
    const auto entries = m_shared->entries;
    for (const auto &entry : entries) {
        if (entry->suspended || !(entry->mask & bit))
            continue;
        if (std::find(m_shared->entries.begin(), m_shared->entries.end(), entry) == m_shared->entries.end())
            continue;
        const Handler handler = entry->handler; // kept alive should the monitor go inside the call
        handler(event);
    }
}

} // namespace platform
