#pragma once

#include "platform/Dispatch.h"

#include <QtGlobal>

#include <deque>
#include <memory>
#include <mutex>

namespace inkora {

/// Carries one socket's delegate events to the delegate queue, in the order they were posted. At most
/// kMaxPendingReceives received datagrams wait at a time: under a flood further ones are dropped and counted;
/// every other event is always carried.
class UdpDelegateChannel final : public std::enable_shared_from_this<UdpDelegateChannel>
{
public:
    static constexpr int kMaxPendingReceives = 1024;

    explicit UdpDelegateChannel(platform::DispatchQueue *queue);
    UdpDelegateChannel(const UdpDelegateChannel &) = delete;
    UdpDelegateChannel &operator=(const UdpDelegateChannel &) = delete;

    [[nodiscard]] platform::DispatchQueue *queue() const { return m_queue; }

    /// Any thread. The event runs on the delegate queue unless it is a received datagram and the queue is behind.
    void post(platform::Block event, bool isReceivedDatagram);
    /// Any thread. Drops what waits and delivers nothing more; for an owner that goes away.
    void shutDown();

    [[nodiscard]] quint64 droppedReceiveCount() const;
    [[nodiscard]] int pendingCount() const;

private:
    struct Event
    {
        platform::Block block;
        bool isReceivedDatagram = false;
    };

    void pump();

    platform::DispatchQueue *m_queue = nullptr; // not owned; queues live as long as their users
    mutable std::mutex m_mutex;
    std::deque<Event> m_events;
    int m_pendingReceives = 0;
    quint64 m_dropped = 0;
    bool m_dropping = false; // one log line per flood
    bool m_pumpQueued = false;
    bool m_shutDown = false;
};

} // namespace inkora
