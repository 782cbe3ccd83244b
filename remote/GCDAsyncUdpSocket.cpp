#include "remote/GCDAsyncUdpSocket.h"

#include "platform/Dispatch.h"
#include "remote/GCDAsyncUdpSocketDelegate.h"
#include "remote/SocketQueue.h"
#include "remote/UdpDelegateChannel.h"
#include "remote/UdpSocketAddresses.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <type_traits>
#include <unistd.h>
#include <vector>

using inkora::SocketError;
using inkora::SocketQueue;

namespace {

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

struct GCDAsyncUdpPacket
{
    virtual ~GCDAsyncUdpPacket() = default;
};

/// One datagram to send.
struct GCDAsyncUdpSendPacket final : GCDAsyncUdpPacket
{
    QByteArray buffer;
    double timeout = -1; // seconds; negative: none
    qint64 tag = 0;
    bool resolveInProgress = false;
    bool filterInProgress = false;
    bool hostGiven = false; // the destination comes from a name lookup
    QList<QByteArray> resolvedAddresses;
    std::optional<SocketError> resolveError;
    QByteArray address;
    int addressFamily = 0;
};

/// A queued connect.
struct GCDAsyncUdpSpecialPacket final : GCDAsyncUdpPacket
{
    bool resolveInProgress = false;
    QList<QByteArray> addresses;
    std::optional<SocketError> error;
};

constexpr char kMsgNoDelegate[] = "Attempting to use socket without a delegate. Set a delegate first.";
constexpr char kMsgNoDelegateQueue[] = "Attempting to use socket without a delegate queue. Set a delegate queue first.";
constexpr char kMsgBothDisabled[] = "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.";
constexpr char kMsgUnknownInterface[] =
    "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.";
constexpr char kMsgNilHost[] = "The host param is nil. Should be domain name or IP address string.";
constexpr char kMsgInvalidAddress[] = "A valid IPv4 or IPv6 address was not given";

QString text(const char *message)
{
    return QString::fromLatin1(message);
}

void setError(SocketError *out, const SocketError &error)
{
    if (out)
        *out = error;
}

const sockaddr *asSockaddr(const QByteArray &address)
{
    return reinterpret_cast<const sockaddr *>(address.constData());
}

// Same address and port; the scope of an IPv6 address is not part of who sent a datagram.
bool isSamePeer(const QByteArray &a, const QByteArray &b)
{
    const int family = inkora::socketAddressFamily(a);
    if (family == 0 || family != inkora::socketAddressFamily(b))
        return false;
    if (family == AF_INET) {
        sockaddr_in x{}, y{};
        std::memcpy(&x, a.constData(), sizeof(x));
        std::memcpy(&y, b.constData(), sizeof(y));
        return x.sin_port == y.sin_port && x.sin_addr.s_addr == y.sin_addr.s_addr;
    }
    sockaddr_in6 x{}, y{};
    std::memcpy(&x, a.constData(), sizeof(x));
    std::memcpy(&y, b.constData(), sizeof(y));
    return x.sin6_port == y.sin6_port && std::memcmp(&x.sin6_addr, &y.sin6_addr, sizeof(in6_addr)) == 0;
}

} // namespace

struct GCDAsyncUdpSocket::Private : std::enable_shared_from_this<Private>
{
    GCDAsyncUdpSocket *q = nullptr; // the owner, handed to the delegate; null once the owner is gone
    bool ownerGone = false;

    GCDAsyncUdpSocketDelegate *delegate = nullptr; // not owned; weak through delegateAlive
    std::weak_ptr<char> delegateAlive;
    platform::DispatchQueue *delegateQueue = nullptr; // not owned
    std::shared_ptr<inkora::UdpDelegateChannel> channel;
    std::vector<std::weak_ptr<inkora::UdpDelegateChannel>> oldChannels; // of earlier delegate queues
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

    void setDelegateQueue(platform::DispatchQueue *queue)
    {
        if (queue == delegateQueue)
            return;
        if (channel) {
            droppedInOldChannels += channel->droppedReceiveCount();
            oldChannels.push_back(channel);
        }
        delegateQueue = queue;
        channel = queue ? std::make_shared<inkora::UdpDelegateChannel>(queue) : nullptr;
    }

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

    void notifyDidConnect(const QByteArray &address)
    {
        notify([address](auto *target, auto *sock) { target->udpSocketDidConnectToAddress(sock, address); });
    }
    void notifyDidNotConnect(const SocketError &error)
    {
        notify([error](auto *target, auto *sock) { target->udpSocketDidNotConnect(sock, error); });
    }
    void notifyDidSend(qint64 tag)
    {
        notify([tag](auto *target, auto *sock) { target->udpSocketDidSendDataWithTag(sock, tag); });
    }
    void notifyDidNotSend(qint64 tag, const SocketError &error)
    {
        notify([tag, error](auto *target, auto *sock) {
            target->udpSocketDidNotSendDataWithTagDueToError(sock, tag, error);
        });
    }
    void notifyDidReceive(const QByteArray &data, const QByteArray &address, const QVariant &context)
    {
        notify(
            [data, address, context](auto *target, auto *sock) {
                target->udpSocketDidReceiveDataFromAddressWithFilterContext(sock, data, address, context);
            },
            true);
    }
    void notifyDidClose(const std::optional<SocketError> &error)
    {
        notify([error](auto *target, auto *sock) { target->udpSocketDidCloseWithError(sock, error); });
    }

    // --- checks --------------------------------------------------------------------------------------------------

    bool preOp(SocketError *error) const
    {
        if (!hasDelegate()) {
            setError(error, SocketError::badConfig(text(kMsgNoDelegate)));
            return false;
        }
        if (!delegateQueue) {
            setError(error, SocketError::badConfig(text(kMsgNoDelegateQueue)));
            return false;
        }
        return true;
    }

    bool preBind(SocketError *error) const
    {
        if (!preOp(error))
            return false;
        if (flags & kDidBind) {
            setError(error, SocketError::badConfig(QStringLiteral("Cannot bind a socket more than once.")));
            return false;
        }
        if (flags & (kConnecting | kDidConnect)) {
            setError(error, SocketError::badConfig(
                                QStringLiteral("Cannot bind after connecting. If needed, bind first, then connect.")));
            return false;
        }
        if ((config & kIPv4Disabled) && (config & kIPv6Disabled)) {
            setError(error, SocketError::badConfig(text(kMsgBothDisabled)));
            return false;
        }
        return true;
    }

    bool preConnect(SocketError *error) const
    {
        if (!preOp(error))
            return false;
        if (flags & (kConnecting | kDidConnect)) {
            setError(error, SocketError::badConfig(QStringLiteral("Cannot connect a socket more than once.")));
            return false;
        }
        if ((config & kIPv4Disabled) && (config & kIPv6Disabled)) {
            setError(error, SocketError::badConfig(text(kMsgBothDisabled)));
            return false;
        }
        return true;
    }

    // --- descriptors and their sources ---------------------------------------------------------------------------

    int fdOf(int family) const { return family == AF_INET ? socket4FD : socket6FD; }

    void applyInterest(int family)
    {
        const bool v4 = family == AF_INET;
        const SocketQueue::WatchId watch = v4 ? watch4 : watch6;
        if (watch == 0)
            return;
        int interest = 0;
        if (!(flags & (v4 ? kReceive4SourceSuspended : kReceive6SourceSuspended)))
            interest |= SocketQueue::Readable;
        if (!(flags & (v4 ? kSend4SourceSuspended : kSend6SourceSuspended)))
            interest |= SocketQueue::Writable;
        socketQueue->setInterest(watch, interest);
    }

    void setSourceSuspended(int family, bool send, bool suspended)
    {
        const quint32 bit = family == AF_INET ? (send ? kSend4SourceSuspended : kReceive4SourceSuspended)
                                              : (send ? kSend6SourceSuspended : kReceive6SourceSuspended);
        if (((flags & bit) != 0) == suspended)
            return;
        flags = suspended ? (flags | bit) : (flags & ~bit);
        applyInterest(family);
    }

    void suspendSendSources()
    {
        setSourceSuspended(AF_INET, true, true);
        setSourceSuspended(AF_INET6, true, true);
    }

    void suspendReceiveSources()
    {
        setSourceSuspended(AF_INET, false, true);
        setSourceSuspended(AF_INET6, false, true);
    }

    // Resumes the read sources of the sockets that have no bytes waiting to be read.
    void resumeReceiveSourcesWithoutBytes()
    {
        if (socket4FD != -1 && socket4FDBytesAvailable == 0)
            setSourceSuspended(AF_INET, false, false);
        if (socket6FD != -1 && socket6FDBytesAvailable == 0)
            setSourceSuspended(AF_INET6, false, false);
    }

    int createSocket(int domain, SocketError *error) const
    {
        const int fd = ::socket(domain, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            setError(error, SocketError::fromErrno(QStringLiteral("Error in socket() function")));
            return -1;
        }
        const auto fail = [&](const char *reason) {
            setError(error, SocketError::fromErrno(QString::fromLatin1(reason)));
            ::close(fd);
            return -1;
        };
        const int flagsNow = fcntl(fd, F_GETFL, 0);
        if (flagsNow < 0 || fcntl(fd, F_SETFL, flagsNow | O_NONBLOCK) < 0)
            return fail("Error enabling non-blocking IO on socket (fcntl)");
        const int on = 1;
        if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) < 0)
            return fail("Error enabling address reuse (setsockopt)");
        // Linux has no per-socket switch for SIGPIPE; every send passes MSG_NOSIGNAL instead.
        // An IPv6 socket that also took IPv4 traffic would report IPv4 peers as mapped IPv6 addresses.
        if (domain == AF_INET6 && setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof(on)) < 0)
            return fail("Error restricting the IPv6 socket to IPv6 (setsockopt)");
        const int size = maxSendSize;
        if (setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof(size)) < 0)
            return fail("Error setting send buffer size (setsockopt)");
        if (setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size)) < 0)
            return fail("Error setting receive buffer size (setsockopt)");
        return fd;
    }

    SocketQueue::WatchId setupSources(int fd, int family)
    {
        std::weak_ptr<Private> weak = weak_from_this();
        return socketQueue->watch(fd, [weak, family](int ready) {
            const auto self = weak.lock();
            if (!self)
                return;
            const SocketQueue::WatchId watch = family == AF_INET ? self->watch4 : self->watch6;
            if (ready & SocketQueue::Readable)
                self->readSourceFired(family);
            // Reading may have closed the socket.
            if ((ready & SocketQueue::Writable) && watch == (family == AF_INET ? self->watch4 : self->watch6))
                self->writeSourceFired(family);
        });
    }

    bool createSockets(bool useIPv4, bool useIPv6, SocketError *error)
    {
        if (useIPv4) {
            socket4FD = createSocket(AF_INET, error);
            if (socket4FD == -1)
                return false;
        }
        if (useIPv6) {
            socket6FD = createSocket(AF_INET6, error);
            if (socket6FD == -1) {
                if (socket4FD != -1) {
                    ::close(socket4FD);
                    socket4FD = -1;
                }
                return false;
            }
        }
        flags |= kSend4SourceSuspended | kReceive4SourceSuspended | kSend6SourceSuspended | kReceive6SourceSuspended;
        if (socket4FD != -1) {
            watch4 = setupSources(socket4FD, AF_INET);
            flags |= kSock4CanAcceptBytes;
        }
        if (socket6FD != -1) {
            watch6 = setupSources(socket6FD, AF_INET6);
            flags |= kSock6CanAcceptBytes;
        }
        flags |= kDidCreateSockets;
        return true;
    }

    void closeSocket4()
    {
        if (socket4FD == -1)
            return;
        socketQueue->unwatch(watch4);
        watch4 = 0;
        ::close(socket4FD);
        socket4FD = -1;
        socket4FDBytesAvailable = 0;
        flags &= ~(kSock4CanAcceptBytes | kSend4SourceSuspended | kReceive4SourceSuspended);
        cachedLocalAddress4.clear();
        cachedLocalHost4.clear();
        cachedLocalPort4 = 0;
    }

    void closeSocket6()
    {
        if (socket6FD == -1)
            return;
        socketQueue->unwatch(watch6);
        watch6 = 0;
        ::close(socket6FD);
        socket6FD = -1;
        socket6FDBytesAvailable = 0;
        flags &= ~(kSock6CanAcceptBytes | kSend6SourceSuspended | kReceive6SourceSuspended);
        cachedLocalAddress6.clear();
        cachedLocalHost6.clear();
        cachedLocalPort6 = 0;
    }

    void closeSockets()
    {
        closeSocket4();
        closeSocket6();
        // Without this, a bind that failed would leave the socket believing its descriptors exist.
        flags &= ~kDidCreateSockets;
    }

    // --- binding -------------------------------------------------------------------------------------------------

    bool bindAddresses(const QByteArray &address4, const QByteArray &address6, SocketError *error)
    {
        const bool useIPv4 = !(config & kIPv4Disabled) && !address4.isEmpty();
        const bool useIPv6 = !(config & kIPv6Disabled) && !address6.isEmpty();
        if (!(flags & kDidCreateSockets) && !createSockets(useIPv4, useIPv6, error))
            return false;
        if (useIPv4 && ::bind(socket4FD, asSockaddr(address4), sizeof(sockaddr_in)) != 0) {
            setError(error, SocketError::fromErrno(QStringLiteral("Error in bind() function")));
            closeSockets();
            return false;
        }
        if (useIPv6 && ::bind(socket6FD, asSockaddr(address6), sizeof(sockaddr_in6)) != 0) {
            setError(error, SocketError::fromErrno(QStringLiteral("Error in bind() function")));
            closeSockets();
            return false;
        }
        flags |= kDidBind;
        if (!useIPv4)
            flags |= kIPv4Deactivated;
        if (!useIPv6)
            flags |= kIPv6Deactivated;
        return true;
    }

    bool bindToPortInterface(quint16 port, const QString &interface, SocketError *error)
    {
        if (!preBind(error))
            return false;
        const inkora::InterfaceAddresses addresses = inkora::convertInterfaceDescription(interface, port);
        if (addresses.address4.isEmpty() && addresses.address6.isEmpty()) {
            setError(error, SocketError::badParam(text(kMsgUnknownInterface)));
            return false;
        }
        if (addresses.address6.isEmpty() && (config & kIPv4Disabled)) {
            setError(error, SocketError::badParam(QStringLiteral(
                                "IPv4 has been disabled and specified interface doesn't support IPv6.")));
            return false;
        }
        if (addresses.address4.isEmpty() && (config & kIPv6Disabled)) {
            setError(error, SocketError::badParam(QStringLiteral(
                                "IPv6 has been disabled and specified interface doesn't support IPv4.")));
            return false;
        }
        return bindAddresses(addresses.address4, addresses.address6, error);
    }

    bool bindToAddress(const QByteArray &localAddr, SocketError *error)
    {
        if (!preBind(error))
            return false;
        const int family = inkora::socketAddressFamily(localAddr);
        if (family == 0) {
            setError(error, SocketError::badParam(text(kMsgInvalidAddress)));
            return false;
        }
        if (family == AF_INET && (config & kIPv4Disabled)) {
            setError(error,
                     SocketError::badParam(QStringLiteral("IPv4 has been disabled and an IPv4 address was passed.")));
            return false;
        }
        if (family == AF_INET6 && (config & kIPv6Disabled)) {
            setError(error,
                     SocketError::badParam(QStringLiteral("IPv6 has been disabled and an IPv6 address was passed.")));
            return false;
        }
        const QByteArray exact = localAddr.left(family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));
        return bindAddresses(family == AF_INET ? exact : QByteArray(), family == AF_INET6 ? exact : QByteArray(),
                             error);
    }

    // --- connecting ----------------------------------------------------------------------------------------------

    bool enqueueConnect(const std::shared_ptr<GCDAsyncUdpSpecialPacket> &packet, SocketError *error)
    {
        if (!(flags & kDidCreateSockets) && !createSockets(!(config & kIPv4Disabled), !(config & kIPv6Disabled), error))
            return false;
        sendQueue.push_back(packet);
        flags |= kConnecting;
        return true;
    }

    bool connectToAddress(const QByteArray &remoteAddr, SocketError *error)
    {
        if (!preConnect(error))
            return false;
        if (remoteAddr.isEmpty()) {
            setError(error,
                     SocketError::badParam(QStringLiteral("The address param is nil. Should be a valid address.")));
            return false;
        }
        auto packet = std::make_shared<GCDAsyncUdpSpecialPacket>();
        packet->addresses = {remoteAddr};
        if (!enqueueConnect(packet, error))
            return false;
        maybeDequeueSend();
        return true;
    }

    bool connectToHost(const QString &host, quint16 port, SocketError *error)
    {
        if (!preConnect(error))
            return false;
        if (host.isEmpty()) {
            setError(error, SocketError::badParam(text(kMsgNilHost)));
            return false;
        }
        auto packet = std::make_shared<GCDAsyncUdpSpecialPacket>();
        packet->resolveInProgress = true;
        if (!enqueueConnect(packet, error))
            return false;
        std::weak_ptr<Private> weak = weak_from_this();
        asyncResolve(host, port,
                     [weak, packet](const QList<QByteArray> &addresses, const std::optional<SocketError> &lookupError) {
                         const auto self = weak.lock();
                         if (!self)
                             return;
                         packet->resolveInProgress = false;
                         packet->addresses = addresses;
                         packet->error = lookupError;
                         if (self->currentSend == packet)
                             self->maybeConnect();
                     });
        maybeDequeueSend();
        return true;
    }

    // Reduces a list to one usable address: the first IPv4 or the first IPv6 one, by preference and order.
    bool chooseAddress(const QList<QByteArray> &addresses, QByteArray *address, int *family, SocketError *error) const
    {
        qsizetype index4 = -1;
        qsizetype index6 = -1;
        for (qsizetype i = 0; i < addresses.size(); ++i) {
            const int f = inkora::socketAddressFamily(addresses[i]);
            if (f == AF_INET && index4 < 0)
                index4 = i;
            else if (f == AF_INET6 && index6 < 0)
                index6 = i;
        }
        const bool v4Disabled = config & kIPv4Disabled;
        const bool v6Disabled = config & kIPv6Disabled;
        const bool v4Deactivated = flags & kIPv4Deactivated;
        const bool v6Deactivated = flags & kIPv6Deactivated;
        const auto fail = [&](const char *message) {
            setError(error, SocketError::other(QString::fromLatin1(message)));
            return false;
        };
        if (v4Disabled && index6 < 0)
            return fail("IPv4 has been disabled and DNS lookup found no IPv6 address(es).");
        if (v6Disabled && index4 < 0)
            return fail("IPv6 has been disabled and DNS lookup found no IPv4 address(es).");
        if (v4Deactivated && index6 < 0)
            return fail("IPv4 has been deactivated due to bind/connect, and DNS lookup found no IPv6 address(es).");
        if (v6Deactivated && index4 < 0)
            return fail("IPv6 has been deactivated due to bind/connect, and DNS lookup found no IPv4 address(es).");
        // A family without a usable socket is no choice at all.
        if (v4Disabled || v4Deactivated || socket4FD == -1)
            index4 = -1;
        if (v6Disabled || v6Deactivated || socket6FD == -1)
            index6 = -1;
        if (index4 < 0 && index6 < 0)
            return fail(kMsgInvalidAddress);
        bool useIPv4 = false;
        if (((config & kPreferIPv4) && index4 >= 0) || index6 < 0)
            useIPv4 = true;
        else if ((config & kPreferIPv6) || index4 < 0 || index6 < index4)
            useIPv4 = false;
        else
            useIPv4 = true;
        const QByteArray &chosen = addresses[useIPv4 ? index4 : index6];
        *address = chosen.left(useIPv4 ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));
        *family = useIPv4 ? AF_INET : AF_INET6;
        return true;
    }

    void maybeConnect()
    {
        const auto packet = std::dynamic_pointer_cast<GCDAsyncUdpSpecialPacket>(currentSend);
        if (!packet || packet->resolveInProgress)
            return; // the lookup's answer comes back here
        if (packet->error) {
            notifyDidNotConnect(*packet->error);
        } else {
            QByteArray address;
            int family = 0;
            SocketError error;
            if (chooseAddress(packet->addresses, &address, &family, &error) &&
                connectWithAddress(address, family, &error))
                notifyDidConnect(address);
            else
                notifyDidNotConnect(error);
        }
        flags &= ~kConnecting;
        endCurrentSend();
        maybeDequeueSend();
    }

    bool connectWithAddress(const QByteArray &address, int family, SocketError *error)
    {
        const socklen_t length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
        if (::connect(fdOf(family), asSockaddr(address), length) != 0) {
            setError(error, SocketError::fromErrno(QStringLiteral("Error in connect() function")));
            return false;
        }
        if (family == AF_INET) {
            closeSocket6();
            flags |= kIPv6Deactivated;
        } else {
            closeSocket4();
            flags |= kIPv4Deactivated;
        }
        flags |= kDidBind | kDidConnect;
        cachedConnectedAddress = address;
        cachedConnectedHost = GCDAsyncUdpSocket::hostFromAddress(address);
        cachedConnectedPort = GCDAsyncUdpSocket::portFromAddress(address);
        cachedConnectedFamily = family;
        return true;
    }

    // --- sending -------------------------------------------------------------------------------------------------

    std::shared_ptr<GCDAsyncUdpSendPacket> currentSendPacket() const
    {
        return std::dynamic_pointer_cast<GCDAsyncUdpSendPacket>(currentSend);
    }

    void enqueueSend(const std::shared_ptr<GCDAsyncUdpSendPacket> &packet)
    {
        sendQueue.push_back(packet);
        maybeDequeueSend();
    }

    // Serving the queue goes on from wherever an operation ends; the loop keeps that from nesting.
    void maybeDequeueSend()
    {
        if (dequeueing) {
            dequeueAgain = true;
            return;
        }
        dequeueing = true;
        do {
            dequeueAgain = false;
            dequeueOnce();
        } while (dequeueAgain);
        dequeueing = false;
    }

    void dequeueOnce()
    {
        if (currentSend)
            return;
        if (!sendQueue.empty() && !(flags & kDidCreateSockets)) {
            SocketError error;
            if (!createSockets(!(config & kIPv4Disabled), !(config & kIPv6Disabled), &error)) {
                closeWithError(error);
                return;
            }
        }
        while (!sendQueue.empty()) {
            auto packet = sendQueue.front();
            sendQueue.pop_front();
            if (std::dynamic_pointer_cast<GCDAsyncUdpSpecialPacket>(packet)) {
                currentSend = packet;
                maybeConnect();
                return;
            }
            const auto send = std::static_pointer_cast<GCDAsyncUdpSendPacket>(packet);
            if (send->resolveError) {
                notifyDidNotSend(send->tag, *send->resolveError);
                continue;
            }
            currentSend = packet;
            doPreSend();
            return;
        }
        if (flags & kCloseAfterSends)
            closeWithError(std::nullopt);
    }

    void failCurrentSend(const SocketError &error)
    {
        const auto packet = currentSendPacket();
        notifyDidNotSend(packet->tag, error);
        endCurrentSend();
        maybeDequeueSend();
    }

    void doPreSend()
    {
        const auto packet = currentSendPacket();
        if (!packet)
            return;
        SocketError error;
        if (flags & kDidConnect) {
            if (packet->hostGiven) {
                failCurrentSend(SocketError::badConfig(
                    QStringLiteral("Cannot specify destination of packet for connected socket")));
                return;
            }
            packet->address = cachedConnectedAddress;
            packet->addressFamily = cachedConnectedFamily;
        } else if (packet->resolveInProgress) {
            suspendSendSources(); // the lookup's answer prepares it again
            return;
        } else if (packet->resolveError) {
            failCurrentSend(*packet->resolveError);
            return;
        } else if (packet->hostGiven || !packet->address.isEmpty()) {
            const QList<QByteArray> candidates = packet->hostGiven ? packet->resolvedAddresses : QList{packet->address};
            if (!chooseAddress(candidates, &packet->address, &packet->addressFamily, &error)) {
                failCurrentSend(error);
                return;
            }
        } else {
            failCurrentSend(SocketError::badConfig(
                QStringLiteral("You must specify destination of packet for a non-connected socket")));
            return;
        }

        if (!sendFilterBlock) {
            doSend();
            return;
        }
        if (!sendFilterAsync) {
            bool allowed = false;
            sendFilterQueue->sync([&] { allowed = sendFilterBlock(packet->buffer, packet->address, packet->tag); });
            if (allowed) {
                doSend();
            } else {
                // Refused datagrams are reported as sent, so that the owner's bookkeeping stays the same.
                notifyDidSend(packet->tag);
                endCurrentSend();
                maybeDequeueSend();
            }
            return;
        }
        packet->filterInProgress = true;
        std::weak_ptr<Private> weak = weak_from_this();
        sendFilterQueue->async(
            [weak, filter = sendFilterBlock, packet, queue = socketQueue, generationNow = generation] {
                const bool allowed = filter(packet->buffer, packet->address, packet->tag);
                queue->async([weak, packet, allowed, generationNow] {
                    const auto self = weak.lock();
                    if (!self || self->ownerGone || self->generation != generationNow)
                        return;
                    packet->filterInProgress = false;
                    if (self->currentSend != packet)
                        return;
                    if (allowed) {
                        self->doSend();
                    } else {
                        self->notifyDidSend(packet->tag);
                        self->endCurrentSend();
                        self->maybeDequeueSend();
                    }
                });
            });
    }

    void doSend()
    {
        const auto packet = currentSendPacket();
        const int family = packet->addressFamily;
        const int fd = fdOf(family);
        ssize_t result = 0;
        if (flags & kDidConnect) {
            result = ::send(fd, packet->buffer.constData(), packet->buffer.size(), MSG_NOSIGNAL);
        } else {
            const socklen_t length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
            result = ::sendto(fd, packet->buffer.constData(), packet->buffer.size(), MSG_NOSIGNAL,
                              asSockaddr(packet->address), length);
        }
        flags |= kDidBind; // sending binds implicitly
        const bool waitingForSocket = result == 0 || (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
        if (waitingForSocket) {
            flags &= ~(family == AF_INET ? kSock4CanAcceptBytes : kSock6CanAcceptBytes);
            if (socket4FD != -1 && !(flags & kSock4CanAcceptBytes))
                setSourceSuspended(AF_INET, true, false);
            if (socket6FD != -1 && !(flags & kSock6CanAcceptBytes))
                setSourceSuspended(AF_INET6, true, false);
            if (sendTimer == 0 && packet->timeout >= 0)
                setupSendTimer(packet->timeout);
            return;
        }
        if (result < 0) {
            closeWithError(SocketError::fromErrno(QStringLiteral("Error in send() function.")));
            return;
        }
        notifyDidSend(packet->tag);
        endCurrentSend();
        maybeDequeueSend();
    }

    void writeSourceFired(int family)
    {
        flags |= family == AF_INET ? kSock4CanAcceptBytes : kSock6CanAcceptBytes;
        const auto packet = currentSendPacket();
        if (packet && !packet->resolveInProgress && !packet->filterInProgress && !packet->address.isEmpty())
            doSend();
        else
            setSourceSuspended(family, true, true);
    }

    void setupSendTimer(double timeout)
    {
        std::weak_ptr<Private> weak = weak_from_this();
        const std::weak_ptr<GCDAsyncUdpPacket> packet = currentSend;
        sendTimer = platform::RunLoop::main().schedule(timeout, [weak, packet] {
            if (const auto self = weak.lock())
                self->socketQueue->async([weak, packet] {
                    const auto s = weak.lock();
                    if (!s || s->ownerGone || !s->currentSend || s->currentSend != packet.lock())
                        return;
                    s->sendTimer = 0;
                    s->failCurrentSend(SocketError::sendTimeout());
                });
        });
    }

    void endCurrentSend()
    {
        if (sendTimer != 0) {
            platform::RunLoop::main().cancel(sendTimer);
            sendTimer = 0;
        }
        currentSend.reset();
    }

    // --- receiving -----------------------------------------------------------------------------------------------

    bool startReceiving(quint32 mode, SocketError *error)
    {
        if (flags & mode)
            return true;
        if (!(flags & kDidCreateSockets)) {
            setError(error, SocketError::badConfig(QStringLiteral(
                                "Must bind socket before you can receive data. You can do this explicitly via bind, "
                                "or implicitly via connect or by sending data.")));
            return false;
        }
        flags &= ~(kReceiveOnce | kReceiveContinuous);
        flags |= mode;
        socketQueue->async([self = shared_from_this()] {
            if (!self->ownerGone)
                self->doReceive();
        });
        return true;
    }

    void readSourceFired(int family)
    {
        int available = 0;
        if (ioctl(fdOf(family), FIONREAD, &available) < 0)
            available = 0;
        // Zero bytes is an empty datagram (legal in UDP) or a pending error, never the other side closing:
        // read it either way, which consumes the datagram or reports the error.
        const quint64 bytes = available > 0 ? static_cast<quint64>(available) : 1;
        (family == AF_INET ? socket4FDBytesAvailable : socket6FDBytesAvailable) = bytes;
        doReceive();
    }

    void doReceive()
    {
        for (;;) {
            if (!(flags & (kReceiveOnce | kReceiveContinuous)) ||
                ((flags & kReceiveOnce) && pendingFilterOperations > 0)) {
                suspendReceiveSources();
                return;
            }
            int family = 0;
            if (flags & kDidConnect) {
                family = cachedConnectedFamily;
                if ((family == AF_INET ? socket4FDBytesAvailable : socket6FDBytesAvailable) == 0) {
                    resumeReceiveSourcesWithoutBytes();
                    return;
                }
            } else if (socket4FDBytesAvailable > 0 && socket6FDBytesAvailable > 0) {
                family = (flags & kFlipFlop) ? AF_INET6 : AF_INET;
                flags ^= kFlipFlop;
            } else if (socket4FDBytesAvailable > 0) {
                family = AF_INET;
            } else if (socket6FDBytesAvailable > 0) {
                family = AF_INET6;
            } else {
                resumeReceiveSourcesWithoutBytes();
                return;
            }

            quint64 &available = family == AF_INET ? socket4FDBytesAvailable : socket6FDBytesAvailable;
            const std::size_t maxSize = family == AF_INET ? max4ReceiveSize : max6ReceiveSize;
            if (receiveBuffer.size() < maxSize)
                receiveBuffer.resize(maxSize);
            sockaddr_storage source{};
            socklen_t sourceLength = sizeof(source);
            const ssize_t result = ::recvfrom(fdOf(family), receiveBuffer.data(), maxSize, 0,
                                              reinterpret_cast<sockaddr *>(&source), &sourceLength);
            if (result == 0 || (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))) {
                // Nothing read, or an empty datagram read and dropped: wait for the next one.
                available = 0;
                resumeReceiveSourcesWithoutBytes();
                return;
            }
            if (result < 0) {
                closeWithError(SocketError::fromErrno(QStringLiteral("Error in recvfrom() function")));
                return;
            }
            available = available > static_cast<quint64>(result) ? available - result : 0;
            const QByteArray data(receiveBuffer.data(), result);
            const QByteArray address(reinterpret_cast<const char *>(&source),
                                     family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));

            bool notified = false;
            bool filtering = false;
            if ((flags & kDidConnect) && !isSamePeer(address, cachedConnectedAddress)) {
                // Not from the peer: dropped.
            } else if (!receiveFilterBlock) {
                notifyDidReceive(data, address, QVariant());
                notified = true;
            } else if (!receiveFilterAsync) {
                QVariant context;
                bool allowed = false;
                receiveFilterQueue->sync([&] { allowed = receiveFilterBlock(data, address, &context); });
                if (allowed) {
                    notifyDidReceive(data, address, context);
                    notified = true;
                }
            } else {
                ++pendingFilterOperations;
                filtering = true;
                filterAsynchronously(data, address);
            }

            if (flags & kReceiveOnce) {
                if (notified) {
                    flags &= ~kReceiveOnce;
                    return;
                }
                if (filtering)
                    return; // the filter's answer decides whether to read on
            }
        }
    }

    void filterAsynchronously(const QByteArray &data, const QByteArray &address)
    {
        std::weak_ptr<Private> weak = weak_from_this();
        receiveFilterQueue->async(
            [weak, filter = receiveFilterBlock, data, address, queue = socketQueue, generationNow = generation] {
                QVariant context;
                const bool allowed = filter(data, address, &context);
                queue->async([weak, data, address, context, allowed, generationNow] {
                    const auto self = weak.lock();
                    if (!self || self->ownerGone || self->generation != generationNow)
                        return;
                    --self->pendingFilterOperations;
                    if (allowed)
                        self->notifyDidReceive(data, address, context);
                    if (self->flags & kReceiveOnce) {
                        if (allowed)
                            self->flags &= ~kReceiveOnce;
                        else if (self->pendingFilterOperations == 0)
                            self->doReceive();
                    }
                });
            });
    }

    // --- closing -------------------------------------------------------------------------------------------------

    void closeWithError(const std::optional<SocketError> &error)
    {
        const bool hadSockets = flags & kDidCreateSockets;
        endCurrentSend();
        sendQueue.clear();
        closeSockets();
        flags = 0;
        ++generation;
        pendingFilterOperations = 0;
        cachedConnectedAddress.clear();
        cachedConnectedHost.clear();
        cachedConnectedPort = 0;
        cachedConnectedFamily = 0;
        if (hadSockets)
            notifyDidClose(error);
    }

    void closeAfterSending()
    {
        flags |= kCloseAfterSends;
        if (!currentSend && sendQueue.empty())
            closeWithError(std::nullopt);
    }

    // --- options -------------------------------------------------------------------------------------------------

    bool performMulticastRequest(bool join, const QString &group, const QString &interface, SocketError *error)
    {
        if (!preOp(error))
            return false;
        if (!(flags & kDidBind)) {
            setError(error,
                     SocketError::badConfig(QStringLiteral("Must bind a socket before joining a multicast group.")));
            return false;
        }
        if (flags & (kConnecting | kDidConnect)) {
            setError(error, SocketError::badConfig(QStringLiteral("Cannot join a multicast group if connected.")));
            return false;
        }
        const inkora::InterfaceAddresses groupAddresses = inkora::convertNumericHost(group, 0);
        if (groupAddresses.address4.isEmpty() && groupAddresses.address6.isEmpty()) {
            setError(error, SocketError::badParam(QStringLiteral("Unknown group. Specify valid group IP address.")));
            return false;
        }
        const inkora::InterfaceAddresses interfaceAddresses = inkora::convertInterfaceDescription(interface, 0);
        if (interfaceAddresses.address4.isEmpty() && interfaceAddresses.address6.isEmpty()) {
            setError(error, SocketError::badParam(text(kMsgUnknownInterface)));
            return false;
        }
        if (socket4FD != -1 && !groupAddresses.address4.isEmpty() && !interfaceAddresses.address4.isEmpty()) {
            ip_mreq request{};
            request.imr_multiaddr =
                reinterpret_cast<const sockaddr_in *>(groupAddresses.address4.constData())->sin_addr;
            request.imr_interface =
                reinterpret_cast<const sockaddr_in *>(interfaceAddresses.address4.constData())->sin_addr;
            if (setsockopt(socket4FD, IPPROTO_IP, join ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP, &request,
                           sizeof(request)) != 0) {
                setError(error, SocketError::fromErrno(QStringLiteral("Error in setsockopt() function")));
                return false;
            }
            closeSocket6();
            return true;
        }
        if (socket6FD != -1 && !groupAddresses.address6.isEmpty() && !interfaceAddresses.address6.isEmpty()) {
            ipv6_mreq request{};
            request.ipv6mr_multiaddr =
                reinterpret_cast<const sockaddr_in6 *>(groupAddresses.address6.constData())->sin6_addr;
            request.ipv6mr_interface = interfaceAddresses.interfaceIndex6;
            if (setsockopt(socket6FD, IPPROTO_IPV6, join ? IPV6_JOIN_GROUP : IPV6_LEAVE_GROUP, &request,
                           sizeof(request)) != 0) {
                setError(error, SocketError::fromErrno(QStringLiteral("Error in setsockopt() function")));
                return false;
            }
            closeSocket4();
            return true;
        }
        setError(error, SocketError::badParam(
                            QStringLiteral("Socket, group, and interface do not have matching IP versions")));
        return false;
    }

    bool setSocketOption(int option, bool on, bool ipv4Only, SocketError *error)
    {
        if (!preOp(error))
            return false;
        if (!(flags & kDidCreateSockets) && !createSockets(!(config & kIPv4Disabled), !(config & kIPv6Disabled), error))
            return false;
        const int value = on ? 1 : 0;
        for (const int fd : {socket4FD, ipv4Only ? -1 : socket6FD}) {
            if (fd != -1 && setsockopt(fd, SOL_SOCKET, option, &value, sizeof(value)) != 0) {
                setError(error, SocketError::fromErrno(QStringLiteral("Error in setsockopt() function")));
                return false;
            }
        }
        return true;
    }

    // --- lookups and properties ----------------------------------------------------------------------------------

    void asyncResolve(const QString &host, quint16 port, ResolveCompletionBlock completion)
    {
        if (host.isEmpty()) {
            socketQueue->async(
                [completion = std::move(completion)] { completion({}, SocketError::badParam(text(kMsgNilHost))); });
            return;
        }
        platform::DispatchQueue::global().async([host, port, queue = socketQueue, completion = std::move(completion)] {
            std::optional<SocketError> error;
            const QList<QByteArray> addresses = inkora::resolveHost(host, port, &error);
            queue->async([addresses, error, completion] { completion(addresses, error); });
        });
    }

    void cacheLocalAddress(int family)
    {
        const int fd = fdOf(family);
        QByteArray &address = family == AF_INET ? cachedLocalAddress4 : cachedLocalAddress6;
        if (fd == -1 || !address.isEmpty())
            return;
        sockaddr_storage local{};
        socklen_t length = sizeof(local);
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &length) != 0)
            return;
        address = QByteArray(reinterpret_cast<const char *>(&local),
                             family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));
        (family == AF_INET ? cachedLocalHost4 : cachedLocalHost6) = GCDAsyncUdpSocket::hostFromAddress(address);
        (family == AF_INET ? cachedLocalPort4 : cachedLocalPort6) = GCDAsyncUdpSocket::portFromAddress(address);
    }
};

// --- construction ------------------------------------------------------------------------------------------------

GCDAsyncUdpSocket::GCDAsyncUdpSocket()
{
    init(nullptr, nullptr, nullptr);
}

GCDAsyncUdpSocket::GCDAsyncUdpSocket(std::shared_ptr<inkora::SocketQueue> socketQueue)
{
    init(nullptr, nullptr, std::move(socketQueue));
}

GCDAsyncUdpSocket::GCDAsyncUdpSocket(GCDAsyncUdpSocketDelegate *delegate, platform::DispatchQueue *delegateQueue)
{
    init(delegate, delegateQueue, nullptr);
}

GCDAsyncUdpSocket::GCDAsyncUdpSocket(GCDAsyncUdpSocketDelegate *delegate, platform::DispatchQueue *delegateQueue,
                                     std::shared_ptr<inkora::SocketQueue> socketQueue)
{
    init(delegate, delegateQueue, std::move(socketQueue));
}

void GCDAsyncUdpSocket::init(GCDAsyncUdpSocketDelegate *delegate, platform::DispatchQueue *delegateQueue,
                             std::shared_ptr<inkora::SocketQueue> socketQueue)
{
    d = std::make_shared<Private>();
    d->q = this;
    d->delegate = delegate;
    if (delegate)
        d->delegateAlive = delegate->m_alive;
    d->setDelegateQueue(delegateQueue);
    d->socketQueue =
        socketQueue ? std::move(socketQueue) : std::make_shared<SocketQueue>(QStringLiteral("GCDAsyncUdpSocket"));
}

GCDAsyncUdpSocket::~GCDAsyncUdpSocket()
{
    d->onQueue([d = d.get()] {
        d->closeWithError(std::nullopt);
        d->ownerGone = true;
        d->q = nullptr;
        if (d->channel)
            d->channel->shutDown();
        for (const auto &old : d->oldChannels) {
            if (const auto channel = old.lock())
                channel->shutDown();
        }
    });
}

// --- delegate ----------------------------------------------------------------------------------------------------

GCDAsyncUdpSocketDelegate *GCDAsyncUdpSocket::delegate() const
{
    return d->onQueue([d = d.get()] { return d->delegate; });
}

void GCDAsyncUdpSocket::setDelegate(GCDAsyncUdpSocketDelegate *delegate)
{
    std::weak_ptr<char> alive = delegate ? std::weak_ptr<char>(delegate->m_alive) : std::weak_ptr<char>();
    d->onQueueAsync([d = d.get(), delegate, alive] {
        d->delegate = delegate;
        d->delegateAlive = alive;
    });
}

void GCDAsyncUdpSocket::synchronouslySetDelegate(GCDAsyncUdpSocketDelegate *delegate)
{
    std::weak_ptr<char> alive = delegate ? std::weak_ptr<char>(delegate->m_alive) : std::weak_ptr<char>();
    d->onQueue([d = d.get(), delegate, alive] {
        d->delegate = delegate;
        d->delegateAlive = alive;
    });
}

platform::DispatchQueue *GCDAsyncUdpSocket::delegateQueue() const
{
    return d->onQueue([d = d.get()] { return d->delegateQueue; });
}

void GCDAsyncUdpSocket::setDelegateQueue(platform::DispatchQueue *delegateQueue)
{
    d->onQueueAsync([d = d.get(), delegateQueue] { d->setDelegateQueue(delegateQueue); });
}

void GCDAsyncUdpSocket::synchronouslySetDelegateQueue(platform::DispatchQueue *delegateQueue)
{
    d->onQueue([d = d.get(), delegateQueue] { d->setDelegateQueue(delegateQueue); });
}

void GCDAsyncUdpSocket::getDelegateDelegateQueue(GCDAsyncUdpSocketDelegate **delegate,
                                                 platform::DispatchQueue **delegateQueue) const
{
    d->onQueue([&, d = d.get()] {
        if (delegate)
            *delegate = d->delegate;
        if (delegateQueue)
            *delegateQueue = d->delegateQueue;
    });
}

void GCDAsyncUdpSocket::setDelegateDelegateQueue(GCDAsyncUdpSocketDelegate *delegate,
                                                 platform::DispatchQueue *delegateQueue)
{
    std::weak_ptr<char> alive = delegate ? std::weak_ptr<char>(delegate->m_alive) : std::weak_ptr<char>();
    d->onQueueAsync([d = d.get(), delegate, alive, delegateQueue] {
        d->delegate = delegate;
        d->delegateAlive = alive;
        d->setDelegateQueue(delegateQueue);
    });
}

void GCDAsyncUdpSocket::synchronouslySetDelegateDelegateQueue(GCDAsyncUdpSocketDelegate *delegate,
                                                              platform::DispatchQueue *delegateQueue)
{
    std::weak_ptr<char> alive = delegate ? std::weak_ptr<char>(delegate->m_alive) : std::weak_ptr<char>();
    d->onQueue([d = d.get(), delegate, alive, delegateQueue] {
        d->delegate = delegate;
        d->delegateAlive = alive;
        d->setDelegateQueue(delegateQueue);
    });
}

// --- configuration -----------------------------------------------------------------------------------------------

bool GCDAsyncUdpSocket::isIPv4Enabled() const
{
    return d->onQueue([d = d.get()] { return !(d->config & kIPv4Disabled); });
}

void GCDAsyncUdpSocket::setIPv4Enabled(bool flag)
{
    d->onQueueAsync(
        [d = d.get(), flag] { d->config = flag ? (d->config & ~kIPv4Disabled) : (d->config | kIPv4Disabled); });
}

bool GCDAsyncUdpSocket::isIPv6Enabled() const
{
    return d->onQueue([d = d.get()] { return !(d->config & kIPv6Disabled); });
}

void GCDAsyncUdpSocket::setIPv6Enabled(bool flag)
{
    d->onQueueAsync(
        [d = d.get(), flag] { d->config = flag ? (d->config & ~kIPv6Disabled) : (d->config | kIPv6Disabled); });
}

bool GCDAsyncUdpSocket::isIPv4Preferred() const
{
    return d->onQueue([d = d.get()] { return (d->config & kPreferIPv4) != 0; });
}

bool GCDAsyncUdpSocket::isIPv6Preferred() const
{
    return d->onQueue([d = d.get()] { return (d->config & kPreferIPv6) != 0; });
}

bool GCDAsyncUdpSocket::isIPVersionNeutral() const
{
    return d->onQueue([d = d.get()] { return (d->config & (kPreferIPv4 | kPreferIPv6)) == 0; });
}

void GCDAsyncUdpSocket::setPreferIPv4()
{
    d->onQueueAsync([d = d.get()] { d->config = (d->config & ~kPreferIPv6) | kPreferIPv4; });
}

void GCDAsyncUdpSocket::setPreferIPv6()
{
    d->onQueueAsync([d = d.get()] { d->config = (d->config & ~kPreferIPv4) | kPreferIPv6; });
}

void GCDAsyncUdpSocket::setIPVersionNeutral()
{
    d->onQueueAsync([d = d.get()] { d->config &= ~(kPreferIPv4 | kPreferIPv6); });
}

quint16 GCDAsyncUdpSocket::maxReceiveIPv4BufferSize() const
{
    return d->onQueue([d = d.get()] { return d->max4ReceiveSize; });
}

void GCDAsyncUdpSocket::setMaxReceiveIPv4BufferSize(quint16 max)
{
    d->onQueueAsync([d = d.get(), max] { d->max4ReceiveSize = max; });
}

quint32 GCDAsyncUdpSocket::maxReceiveIPv6BufferSize() const
{
    return d->onQueue([d = d.get()] { return d->max6ReceiveSize; });
}

void GCDAsyncUdpSocket::setMaxReceiveIPv6BufferSize(quint32 max)
{
    d->onQueueAsync([d = d.get(), max] { d->max6ReceiveSize = max; });
}

quint16 GCDAsyncUdpSocket::maxSendBufferSize() const
{
    return d->onQueue([d = d.get()] { return d->maxSendSize; });
}

void GCDAsyncUdpSocket::setMaxSendBufferSize(quint16 max)
{
    d->onQueueAsync([d = d.get(), max] { d->maxSendSize = max; });
}

QVariant GCDAsyncUdpSocket::userData() const
{
    return d->onQueue([d = d.get()] { return d->userData; });
}

void GCDAsyncUdpSocket::setUserData(const QVariant &userData)
{
    d->onQueueAsync([d = d.get(), userData] { d->userData = userData; });
}

// --- binding and connecting --------------------------------------------------------------------------------------

bool GCDAsyncUdpSocket::bindToPortError(quint16 port, SocketError *error)
{
    return bindToPortInterfaceError(port, QString(), error);
}

bool GCDAsyncUdpSocket::bindToPortInterfaceError(quint16 port, const QString &interface, SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->bindToPortInterface(port, interface, error); });
}

bool GCDAsyncUdpSocket::bindToAddressError(const QByteArray &localAddr, SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->bindToAddress(localAddr, error); });
}

bool GCDAsyncUdpSocket::connectToHostOnPortError(const QString &host, quint16 port, SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->connectToHost(host, port, error); });
}

bool GCDAsyncUdpSocket::connectToAddressError(const QByteArray &remoteAddr, SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->connectToAddress(remoteAddr, error); });
}

// --- options -----------------------------------------------------------------------------------------------------

bool GCDAsyncUdpSocket::joinMulticastGroupError(const QString &group, SocketError *error)
{
    return joinMulticastGroupOnInterfaceError(group, QString(), error);
}

bool GCDAsyncUdpSocket::joinMulticastGroupOnInterfaceError(const QString &group, const QString &interface,
                                                           SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->performMulticastRequest(true, group, interface, error); });
}

bool GCDAsyncUdpSocket::leaveMulticastGroupError(const QString &group, SocketError *error)
{
    return leaveMulticastGroupOnInterfaceError(group, QString(), error);
}

bool GCDAsyncUdpSocket::leaveMulticastGroupOnInterfaceError(const QString &group, const QString &interface,
                                                            SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->performMulticastRequest(false, group, interface, error); });
}

bool GCDAsyncUdpSocket::enableReusePortError(bool flag, SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->setSocketOption(SO_REUSEPORT, flag, false, error); });
}

bool GCDAsyncUdpSocket::enableBroadcastError(bool flag, SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->setSocketOption(SO_BROADCAST, flag, true, error); });
}

// --- sending -----------------------------------------------------------------------------------------------------

void GCDAsyncUdpSocket::sendDataWithTag(const QByteArray &data, qint64 tag)
{
    sendDataWithTimeoutTag(data, -1.0, tag);
}

void GCDAsyncUdpSocket::sendDataWithTimeoutTag(const QByteArray &data, double timeout, qint64 tag)
{
    sendDataToAddressWithTimeoutTag(data, QByteArray(), timeout, tag);
}

void GCDAsyncUdpSocket::sendDataToAddressWithTimeoutTag(const QByteArray &data, const QByteArray &remoteAddr,
                                                        double timeout, qint64 tag)
{
    if (data.isEmpty())
        return;
    auto packet = std::make_shared<GCDAsyncUdpSendPacket>();
    packet->buffer = data;
    packet->timeout = timeout;
    packet->tag = tag;
    packet->address = remoteAddr;
    // Always queued, also from the socket queue, so that sends keep the order they were made in.
    d->socketQueue->async([self = d, packet] {
        if (!self->ownerGone)
            self->enqueueSend(packet);
    });
}

void GCDAsyncUdpSocket::sendDataToHostPortWithTimeoutTag(const QByteArray &data, const QString &host, quint16 port,
                                                         double timeout, qint64 tag)
{
    if (data.isEmpty())
        return;
    auto packet = std::make_shared<GCDAsyncUdpSendPacket>();
    packet->buffer = data;
    packet->timeout = timeout;
    packet->tag = tag;
    packet->hostGiven = true;
    packet->resolveInProgress = true;
    d->socketQueue->async([self = d, packet, host, port] {
        if (self->ownerGone)
            return;
        std::weak_ptr<Private> weak = self;
        self->asyncResolve(host, port,
                           [weak, packet](const QList<QByteArray> &addresses, const std::optional<SocketError> &error) {
                               const auto s = weak.lock();
                               if (!s || s->ownerGone)
                                   return;
                               packet->resolveInProgress = false;
                               packet->resolvedAddresses = addresses;
                               packet->resolveError = error;
                               if (s->currentSend == packet)
                                   s->doPreSend();
                           });
        self->enqueueSend(packet);
    });
}

void GCDAsyncUdpSocket::setSendFilterWithQueue(SendFilterBlock filterBlock, platform::DispatchQueue *filterQueue)
{
    setSendFilterWithQueueIsAsynchronous(std::move(filterBlock), filterQueue, true);
}

void GCDAsyncUdpSocket::setSendFilterWithQueueIsAsynchronous(SendFilterBlock filterBlock,
                                                             platform::DispatchQueue *filterQueue, bool isAsynchronous)
{
    const bool usable = filterBlock && filterQueue;
    d->onQueueAsync([d = d.get(), filterBlock = std::move(filterBlock), filterQueue, isAsynchronous, usable] {
        d->sendFilterBlock = usable ? filterBlock : SendFilterBlock();
        d->sendFilterQueue = usable ? filterQueue : nullptr;
        d->sendFilterAsync = usable && isAsynchronous;
    });
}

// --- receiving ---------------------------------------------------------------------------------------------------

bool GCDAsyncUdpSocket::receiveOnce(SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->startReceiving(kReceiveOnce, error); });
}

bool GCDAsyncUdpSocket::beginReceiving(SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->startReceiving(kReceiveContinuous, error); });
}

void GCDAsyncUdpSocket::pauseReceiving()
{
    d->onQueueAsync([d = d.get()] {
        d->flags &= ~(kReceiveOnce | kReceiveContinuous);
        d->suspendReceiveSources();
    });
}

void GCDAsyncUdpSocket::setReceiveFilterWithQueue(ReceiveFilterBlock filterBlock, platform::DispatchQueue *filterQueue)
{
    setReceiveFilterWithQueueIsAsynchronous(std::move(filterBlock), filterQueue, true);
}

void GCDAsyncUdpSocket::setReceiveFilterWithQueueIsAsynchronous(ReceiveFilterBlock filterBlock,
                                                                platform::DispatchQueue *filterQueue,
                                                                bool isAsynchronous)
{
    const bool usable = filterBlock && filterQueue;
    d->onQueueAsync([d = d.get(), filterBlock = std::move(filterBlock), filterQueue, isAsynchronous, usable] {
        d->receiveFilterBlock = usable ? filterBlock : ReceiveFilterBlock();
        d->receiveFilterQueue = usable ? filterQueue : nullptr;
        d->receiveFilterAsync = usable && isAsynchronous;
    });
}

// --- closing -----------------------------------------------------------------------------------------------------

void GCDAsyncUdpSocket::close()
{
    d->onQueue([d = d.get()] { d->closeWithError(std::nullopt); });
}

void GCDAsyncUdpSocket::closeAfterSending()
{
    d->onQueueAsync([d = d.get()] { d->closeAfterSending(); });
}

// --- properties --------------------------------------------------------------------------------------------------

QByteArray GCDAsyncUdpSocket::localAddress() const
{
    return d->onQueue([d = d.get()] {
        const int family = d->socket4FD != -1 ? AF_INET : AF_INET6;
        d->cacheLocalAddress(family);
        return family == AF_INET ? d->cachedLocalAddress4 : d->cachedLocalAddress6;
    });
}

QString GCDAsyncUdpSocket::localHost() const
{
    return d->onQueue([d = d.get()] {
        const int family = d->socket4FD != -1 ? AF_INET : AF_INET6;
        d->cacheLocalAddress(family);
        return family == AF_INET ? d->cachedLocalHost4 : d->cachedLocalHost6;
    });
}

quint16 GCDAsyncUdpSocket::localPort() const
{
    return d->onQueue([d = d.get()] {
        const int family = d->socket4FD != -1 ? AF_INET : AF_INET6;
        d->cacheLocalAddress(family);
        return family == AF_INET ? d->cachedLocalPort4 : d->cachedLocalPort6;
    });
}

QByteArray GCDAsyncUdpSocket::localAddress_IPv4() const
{
    return d->onQueue([d = d.get()] {
        d->cacheLocalAddress(AF_INET);
        return d->cachedLocalAddress4;
    });
}

QString GCDAsyncUdpSocket::localHost_IPv4() const
{
    return d->onQueue([d = d.get()] {
        d->cacheLocalAddress(AF_INET);
        return d->cachedLocalHost4;
    });
}

quint16 GCDAsyncUdpSocket::localPort_IPv4() const
{
    return d->onQueue([d = d.get()] {
        d->cacheLocalAddress(AF_INET);
        return d->cachedLocalPort4;
    });
}

QByteArray GCDAsyncUdpSocket::localAddress_IPv6() const
{
    return d->onQueue([d = d.get()] {
        d->cacheLocalAddress(AF_INET6);
        return d->cachedLocalAddress6;
    });
}

QString GCDAsyncUdpSocket::localHost_IPv6() const
{
    return d->onQueue([d = d.get()] {
        d->cacheLocalAddress(AF_INET6);
        return d->cachedLocalHost6;
    });
}

quint16 GCDAsyncUdpSocket::localPort_IPv6() const
{
    return d->onQueue([d = d.get()] {
        d->cacheLocalAddress(AF_INET6);
        return d->cachedLocalPort6;
    });
}

QByteArray GCDAsyncUdpSocket::connectedAddress() const
{
    return d->onQueue([d = d.get()] { return d->cachedConnectedAddress; });
}

QString GCDAsyncUdpSocket::connectedHost() const
{
    return d->onQueue([d = d.get()] { return d->cachedConnectedHost; });
}

quint16 GCDAsyncUdpSocket::connectedPort() const
{
    return d->onQueue([d = d.get()] { return d->cachedConnectedPort; });
}

bool GCDAsyncUdpSocket::isConnected() const
{
    return d->onQueue([d = d.get()] { return (d->flags & kDidConnect) != 0; });
}

bool GCDAsyncUdpSocket::isClosed() const
{
    return d->onQueue([d = d.get()] { return (d->flags & kDidCreateSockets) == 0; });
}

bool GCDAsyncUdpSocket::isIPv4() const
{
    return d->onQueue([d = d.get()] { return d->socket4FD != -1; });
}

bool GCDAsyncUdpSocket::isIPv6() const
{
    return d->onQueue([d = d.get()] { return d->socket6FD != -1; });
}

int GCDAsyncUdpSocket::socketFD() const
{
    if (!d->socketQueue->isCurrent())
        return -1;
    return d->socket4FD != -1 ? d->socket4FD : d->socket6FD;
}

int GCDAsyncUdpSocket::socket4FD() const
{
    return d->socketQueue->isCurrent() ? d->socket4FD : -1;
}

int GCDAsyncUdpSocket::socket6FD() const
{
    return d->socketQueue->isCurrent() ? d->socket6FD : -1;
}

void GCDAsyncUdpSocket::performBlock(const std::function<void()> &block)
{
    d->onQueue(block);
}

quint64 GCDAsyncUdpSocket::droppedReceiveCount() const
{
    return d->onQueue(
        [d = d.get()] { return d->droppedInOldChannels + (d->channel ? d->channel->droppedReceiveCount() : 0); });
}

void GCDAsyncUdpSocket::asyncResolveHostPortWithCompletionBlock(const QString &host, quint16 port,
                                                                ResolveCompletionBlock completion)
{
    d->asyncResolve(host, port, std::move(completion));
}

// --- socket addresses --------------------------------------------------------------------------------------------

QString GCDAsyncUdpSocket::hostFromSockaddr4(const sockaddr_in *pSockaddr4)
{
    char buffer[INET_ADDRSTRLEN] = {};
    if (!pSockaddr4 || !inet_ntop(AF_INET, &pSockaddr4->sin_addr, buffer, sizeof(buffer)))
        return {};
    return QString::fromLatin1(buffer);
}

QString GCDAsyncUdpSocket::hostFromSockaddr6(const sockaddr_in6 *pSockaddr6)
{
    char buffer[INET6_ADDRSTRLEN] = {};
    if (!pSockaddr6 || !inet_ntop(AF_INET6, &pSockaddr6->sin6_addr, buffer, sizeof(buffer)))
        return {};
    return QString::fromLatin1(buffer);
}

quint16 GCDAsyncUdpSocket::portFromSockaddr4(const sockaddr_in *pSockaddr4)
{
    return pSockaddr4 ? ntohs(pSockaddr4->sin_port) : 0;
}

quint16 GCDAsyncUdpSocket::portFromSockaddr6(const sockaddr_in6 *pSockaddr6)
{
    return pSockaddr6 ? ntohs(pSockaddr6->sin6_port) : 0;
}

QString GCDAsyncUdpSocket::hostFromAddress(const QByteArray &address)
{
    QString host;
    return getHostPortFromAddress(&host, nullptr, address) ? host : QString();
}

quint16 GCDAsyncUdpSocket::portFromAddress(const QByteArray &address)
{
    quint16 port = 0;
    return getHostPortFromAddress(nullptr, &port, address) ? port : 0;
}

int GCDAsyncUdpSocket::familyFromAddress(const QByteArray &address)
{
    return inkora::socketAddressFamily(address);
}

bool GCDAsyncUdpSocket::isIPv4Address(const QByteArray &address)
{
    return familyFromAddress(address) == AF_INET;
}

bool GCDAsyncUdpSocket::isIPv6Address(const QByteArray &address)
{
    return familyFromAddress(address) == AF_INET6;
}

bool GCDAsyncUdpSocket::getHostPortFromAddress(QString *hostPtr, quint16 *portPtr, const QByteArray &address)
{
    return getHostPortFamilyFromAddress(hostPtr, portPtr, nullptr, address);
}

bool GCDAsyncUdpSocket::getHostPortFamilyFromAddress(QString *hostPtr, quint16 *portPtr, int *afPtr,
                                                     const QByteArray &address)
{
    QString host;
    quint16 port = 0;
    const int family = inkora::socketAddressFamily(address);
    if (family == AF_INET) {
        sockaddr_in a{};
        std::memcpy(&a, address.constData(), sizeof(a));
        host = hostFromSockaddr4(&a);
        port = portFromSockaddr4(&a);
    } else if (family == AF_INET6) {
        sockaddr_in6 a{};
        std::memcpy(&a, address.constData(), sizeof(a));
        host = hostFromSockaddr6(&a);
        port = portFromSockaddr6(&a);
    }
    if (hostPtr)
        *hostPtr = host;
    if (portPtr)
        *portPtr = port;
    if (afPtr)
        *afPtr = family;
    return family != 0;
}
