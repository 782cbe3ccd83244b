#include "remote/UdpDelegateChannel.h"

#include "foundation/InkoraLog.h"

namespace inkora {

UdpDelegateChannel::UdpDelegateChannel(platform::DispatchQueue *queue) : m_queue(queue) {}

void UdpDelegateChannel::post(platform::Block event, bool isReceivedDatagram)
{
    bool schedule = false;
    bool logDrop = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_shutDown)
            return;
        if (isReceivedDatagram && m_pendingReceives >= kMaxPendingReceives) {
            ++m_dropped;
            logDrop = !m_dropping;
            m_dropping = true;
        } else {
            m_events.push_back({std::move(event), isReceivedDatagram});
            if (isReceivedDatagram)
                ++m_pendingReceives;
            schedule = !m_pumpQueued;
            m_pumpQueued = true;
        }
    }
    if (logDrop)
        qCWarning(lcRemote).nospace() << "udpSocket: the delegate queue is " << kMaxPendingReceives
                                      << " datagrams behind; dropping received datagrams until it catches up";
    if (schedule)
        m_queue->async([self = shared_from_this()] { self->pump(); });
}

void UdpDelegateChannel::pump()
{
    // Deliver what is there now and come back for the rest, so that a flood cannot starve the queue's other work.
    std::size_t budget = 0;
    {
        std::lock_guard lock(m_mutex);
        budget = m_events.size();
    }
    for (; budget > 0; --budget) {
        Event event;
        {
            std::lock_guard lock(m_mutex);
            if (m_events.empty())
                break;
            event = std::move(m_events.front());
            m_events.pop_front();
            if (event.isReceivedDatagram && --m_pendingReceives == 0)
                m_dropping = false;
        }
        event.block();
    }
    std::lock_guard lock(m_mutex);
    if (m_events.empty()) {
        m_pumpQueued = false;
        return;
    }
    m_queue->async([self = shared_from_this()] { self->pump(); });
}

void UdpDelegateChannel::shutDown()
{
    std::deque<Event> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_shutDown = true;
        dropped.swap(m_events);
        m_pendingReceives = 0;
    }
}

quint64 UdpDelegateChannel::droppedReceiveCount() const
{
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

int UdpDelegateChannel::pendingCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_events.size());
}

} // namespace inkora
