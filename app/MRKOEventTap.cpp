#include "app/MRKOEventTap.h"

#include "foundation/InkoraLog.h"
#include "platform/Services.h"

MRKOEventTap::MRKOEventTap(Handler handler) : m_handler(std::move(handler))
{
    initEventTap();
}

MRKOEventTap::~MRKOEventTap() = default;

void MRKOEventTap::initEventTap()
{
    m_monitor = platform::services().rawInput->addMonitor(kMask, [this](const platform::Event &event) {
        if (m_suspended || !(platform::eventMask(event.type) & kMask))
            return;
        if (m_handler)
            m_handler(event);
    });
    if (!m_monitor)
        qCWarning(lcApp) << "initEventTap: no raw input from the display; clicks of other programs are not heard";
}

void MRKOEventTap::suspend()
{
    if (m_monitor)
        m_monitor->suspend();
}

void MRKOEventTap::resume()
{
    if (m_monitor)
        m_monitor->resume();
}

bool MRKOEventTap::isActive() const
{
    return m_monitor && !m_monitor->isSuspended();
}
