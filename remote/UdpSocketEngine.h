#pragma once

#include "platform/Dispatch.h"
#include "remote/GCDAsyncUdpSocket.h"
#include "remote/SocketError.h"
#include "remote/SocketQueue.h"
#include "remote/UdpDelegateChannel.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <deque>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

class GCDAsyncUdpSocketDelegate;
struct GCDAsyncUdpPacket;
struct GCDAsyncUdpSendPacket;
struct GCDAsyncUdpSpecialPacket;

namespace inkora {

/// Everything one UDP socket is and does on its socket queue: the descriptors and their readiness, the send queue,
/// connecting, reading, closing and the hand-over of events. GCDAsyncUdpSocket forwards to it; blocks still queued
/// keep it alive after its owner is gone. Every member is touched on the socket queue only.
struct UdpSocketEngine final : std::enable_shared_from_this<UdpSocketEngine>
{
    // State bits.
    enum Flag : quint32 {
        kDidCreateSockets = 1 << 0,
        kDidBind = 1 << 1, // also set by the first send, which binds implicitly
        kConnecting = 1 << 2,
        kDidConnect = 1 << 3,
        kReceiveOnce = 1 << 4,
        kReceiveContinuous = 1 << 5,
        kIPv4Deactivated = 1 << 6, // closed because the socket was bound or connected to IPv6
        kIPv6Deactivated = 1 << 7,
        kSend4SourceSuspended = 1 << 8,
        kSend6SourceSuspended = 1 << 9,
        kReceive4SourceSuspended = 1 << 10,
        kReceive6SourceSuspended = 1 << 11,
        kSock4CanAcceptBytes = 1 << 12,
        kSock6CanAcceptBytes = 1 << 13,
        kCloseAfterSends = 1 << 15,
        kFlipFlop = 1 << 16, // alternates reading between the two sockets
    };

    // Configuration bits.
    enum Config : quint16 {
        kIPv4Disabled = 1 << 0,
        kIPv6Disabled = 1 << 1,
        kPreferIPv4 = 1 << 2,
        kPreferIPv6 = 1 << 3,
    };

    using ReceiveFilterBlock = GCDAsyncUdpSocket::ReceiveFilterBlock;
    using SendFilterBlock = GCDAsyncUdpSocket::SendFilterBlock;
    using ResolveCompletionBlock = GCDAsyncUdpSocket::ResolveCompletionBlock;

    GCDAsyncUdpSocket *q = nullptr; // the owner, handed to the delegate; null once the owner is gone
    bool ownerGone = false;

    GCDAsyncUdpSocketDelegate *delegate = nullptr; // not owned; weak through delegateAlive
    std::weak_ptr<char> delegateAlive;
    platform::DispatchQueue *delegateQueue = nullptr; // not owned
    std::shared_ptr<UdpDelegateChannel> channel;
    std::vector<std::weak_ptr<UdpDelegateChannel>> oldChannels; // of earlier delegate queues
    quint64 droppedInOldChannels = 0;

    ReceiveFilterBlock receiveFilterBlock;
    platform::DispatchQueue *receiveFilterQueue = nullptr; // not owned
    bool receiveFilterAsync = false;
    SendFilterBlock sendFilterBlock;
    platform::DispatchQueue *sendFilterQueue = nullptr; // not owned
    bool sendFilterAsync = false;

    quint32 flags = 0;
    quint16 config = 0;
    quint16 max4ReceiveSize = 65535; // bytes
    quint32 max6ReceiveSize = 65535; // bytes
    quint16 maxSendSize = 65535;     // bytes; also the receive buffer size of new sockets

    int socket4FD = -1;
    int socket6FD = -1;
    std::shared_ptr<SocketQueue> socketQueue;
    SocketQueue::WatchId watch4 = 0; // the read and write sources of each descriptor
    SocketQueue::WatchId watch6 = 0;

    platform::RunLoop::TimerId sendTimer = 0;
    std::shared_ptr<GCDAsyncUdpPacket> currentSend;
    std::deque<std::shared_ptr<GCDAsyncUdpPacket>> sendQueue;
    bool dequeueing = false;
    bool dequeueAgain = false;

    quint64 socket4FDBytesAvailable = 0;
    quint64 socket6FDBytesAvailable = 0;
    quint32 pendingFilterOperations = 0;
    quint64 generation = 0; // counts closes, so late answers for an earlier life are ignored

    QByteArray cachedLocalAddress4;
    QString cachedLocalHost4;
    quint16 cachedLocalPort4 = 0;
    QByteArray cachedLocalAddress6;
    QString cachedLocalHost6;
    quint16 cachedLocalPort6 = 0;
    QByteArray cachedConnectedAddress;
    QString cachedConnectedHost;
    quint16 cachedConnectedPort = 0;
    int cachedConnectedFamily = 0;

    QVariant userData;
    std::vector<char> receiveBuffer;

    // --- queue helpers -------------------------------------------------------------------------------------------

    template <typename F> auto onQueue(F f) -> decltype(f())
    {
        if (socketQueue->isCurrent())
            return f();
        if constexpr (std::is_void_v<decltype(f())>) {
            socketQueue->sync(f);
        } else {
            decltype(f()) result{};
            socketQueue->sync([&] { result = f(); });
            return result;
        }
    }

    template <typename F> void onQueueAsync(F f)
    {
        if (socketQueue->isCurrent()) {
            f();
            return;
        }
        socketQueue->async([self = shared_from_this(), f = std::move(f)] {
            if (!self->ownerGone)
                f();
        });
    }

    // --- delegate ------------------------------------------------------------------------------------------------

    [[nodiscard]] bool hasDelegate() const { return delegate && !delegateAlive.expired(); }

    void setDelegateQueue(platform::DispatchQueue *queue);

    template <typename Call> void notify(Call call, bool isReceivedDatagram = false)
    {
        if (!hasDelegate() || !channel)
            return;
        channel->post(
            [alive = delegateAlive, target = delegate, sock = q, call = std::move(call)] {
                if (!alive.expired())
                    call(target, sock);
            },
            isReceivedDatagram);
    }

    void notifyDidConnect(const QByteArray &address);
    void notifyDidNotConnect(const SocketError &error);
    void notifyDidSend(qint64 tag);
    void notifyDidNotSend(qint64 tag, const SocketError &error);
    void notifyDidReceive(const QByteArray &data, const QByteArray &address, const QVariant &context);
    void notifyDidClose(const std::optional<SocketError> &error);

    // --- checks --------------------------------------------------------------------------------------------------

    bool preOp(SocketError *error) const;

    bool preBind(SocketError *error) const;

    bool preConnect(SocketError *error) const;

    // --- descriptors and their sources ---------------------------------------------------------------------------

    [[nodiscard]] int fdOf(int family) const;

    void applyInterest(int family);

    void setSourceSuspended(int family, bool send, bool suspended);

    void suspendSendSources();

    void suspendReceiveSources();

    // Resumes the read sources of the sockets that have no bytes waiting to be read.
    void resumeReceiveSourcesWithoutBytes();

    SocketQueue::WatchId setupSources(int fd, int family);

    bool createSockets(bool useIPv4, bool useIPv6, SocketError *error);

    void closeSocket4();

    void closeSocket6();

    void closeSockets();

    // --- binding -------------------------------------------------------------------------------------------------

    bool bindAddresses(const QByteArray &address4, const QByteArray &address6, SocketError *error);

    bool bindToPortInterface(quint16 port, const QString &interface, SocketError *error);

    bool bindToAddress(const QByteArray &localAddr, SocketError *error);

    // --- connecting ----------------------------------------------------------------------------------------------

    bool enqueueConnect(const std::shared_ptr<GCDAsyncUdpSpecialPacket> &packet, SocketError *error);

    bool connectToAddress(const QByteArray &remoteAddr, SocketError *error);

    bool connectToHost(const QString &host, quint16 port, SocketError *error);

    // Reduces a list to one usable address: the first IPv4 or the first IPv6 one, by preference and order.
    bool chooseAddress(const QList<QByteArray> &addresses, QByteArray *address, int *family, SocketError *error) const;

    void maybeConnect();

    bool connectWithAddress(const QByteArray &address, int family, SocketError *error);

    // --- sending -------------------------------------------------------------------------------------------------

    std::shared_ptr<GCDAsyncUdpSendPacket> currentSendPacket() const;

    void enqueueSend(const std::shared_ptr<GCDAsyncUdpSendPacket> &packet);

    // Serving the queue goes on from wherever an operation ends; the loop keeps that from nesting.
    void maybeDequeueSend();

    void dequeueOnce();

    void failCurrentSend(const SocketError &error);

    void doPreSend();

    void doSend();

    void writeSourceFired(int family);

    void setupSendTimer(double timeout);

    void endCurrentSend();

    // --- receiving -----------------------------------------------------------------------------------------------

    bool startReceiving(quint32 mode, SocketError *error);

    void readSourceFired(int family);

    void doReceive();

    void filterAsynchronously(const QByteArray &data, const QByteArray &address);

    // --- closing -------------------------------------------------------------------------------------------------

    void closeWithError(const std::optional<SocketError> &error);

    void closeAfterSending();

    // --- options -------------------------------------------------------------------------------------------------

    bool performMulticastRequest(bool join, const QString &group, const QString &interface, SocketError *error);

    bool setSocketOption(int option, bool on, bool ipv4Only, SocketError *error);

    // --- lookups and properties ----------------------------------------------------------------------------------

    void asyncResolve(const QString &host, quint16 port, ResolveCompletionBlock completion);

    void cacheLocalAddress(int family);
};

} // namespace inkora
