#include "remote/UdpSocketEngine.h"

#include "remote/DatagramSocketCalls.h"
#include "remote/GCDAsyncUdpSendPacket.h"
#include "remote/GCDAsyncUdpSocketDelegate.h"
#include "remote/GCDAsyncUdpSpecialPacket.h"
#include "remote/UdpSocketAddresses.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace inkora {

namespace {

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

} // namespace

int UdpSocketEngine::fdOf(int family) const
{
    return family == AF_INET ? socket4FD : socket6FD;
}

void UdpSocketEngine::setDelegateQueue(platform::DispatchQueue *queue)
{
    if (queue == delegateQueue)
        return;
    if (channel) {
        droppedInOldChannels += channel->droppedReceiveCount();
        oldChannels.push_back(channel);
    }
    delegateQueue = queue;
    channel = queue ? std::make_shared<UdpDelegateChannel>(queue) : nullptr;
}

void UdpSocketEngine::notifyDidConnect(const QByteArray &address)
{
    notify([address](auto *target, auto *sock) { target->udpSocketDidConnectToAddress(sock, address); });
}

void UdpSocketEngine::notifyDidNotConnect(const SocketError &error)
{
    notify([error](auto *target, auto *sock) { target->udpSocketDidNotConnect(sock, error); });
}

void UdpSocketEngine::notifyDidSend(qint64 tag)
{
    notify([tag](auto *target, auto *sock) { target->udpSocketDidSendDataWithTag(sock, tag); });
}

void UdpSocketEngine::notifyDidNotSend(qint64 tag, const SocketError &error)
{
    notify(
        [tag, error](auto *target, auto *sock) { target->udpSocketDidNotSendDataWithTagDueToError(sock, tag, error); });
}

void UdpSocketEngine::notifyDidReceive(const QByteArray &data, const QByteArray &address, const QVariant &context)
{
    notify(
        [data, address, context](auto *target, auto *sock) {
            target->udpSocketDidReceiveDataFromAddressWithFilterContext(sock, data, address, context);
        },
        true);
}

void UdpSocketEngine::notifyDidClose(const std::optional<SocketError> &error)
{
    notify([error](auto *target, auto *sock) { target->udpSocketDidCloseWithError(sock, error); });
}

bool UdpSocketEngine::preOp(SocketError *error) const
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

bool UdpSocketEngine::preBind(SocketError *error) const
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

bool UdpSocketEngine::preConnect(SocketError *error) const
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

void UdpSocketEngine::applyInterest(int family)
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

void UdpSocketEngine::setSourceSuspended(int family, bool send, bool suspended)
{
    const quint32 bit = family == AF_INET ? (send ? kSend4SourceSuspended : kReceive4SourceSuspended)
                                          : (send ? kSend6SourceSuspended : kReceive6SourceSuspended);
    if (((flags & bit) != 0) == suspended)
        return;
    flags = suspended ? (flags | bit) : (flags & ~bit);
    applyInterest(family);
}

void UdpSocketEngine::suspendSendSources()
{
    setSourceSuspended(AF_INET, true, true);
    setSourceSuspended(AF_INET6, true, true);
}

void UdpSocketEngine::suspendReceiveSources()
{
    setSourceSuspended(AF_INET, false, true);
    setSourceSuspended(AF_INET6, false, true);
}

void UdpSocketEngine::resumeReceiveSourcesWithoutBytes()
{
    if (socket4FD != -1 && socket4FDBytesAvailable == 0)
        setSourceSuspended(AF_INET, false, false);
    if (socket6FD != -1 && socket6FDBytesAvailable == 0)
        setSourceSuspended(AF_INET6, false, false);
}

SocketQueue::WatchId UdpSocketEngine::setupSources(int fd, int family)
{
    std::weak_ptr<UdpSocketEngine> weak = weak_from_this();
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

bool UdpSocketEngine::createSockets(bool useIPv4, bool useIPv6, SocketError *error)
{
    if (useIPv4) {
        socket4FD = createDatagramSocket(AF_INET, maxSendSize, error);
        if (socket4FD == -1)
            return false;
    }
    if (useIPv6) {
        socket6FD = createDatagramSocket(AF_INET6, maxSendSize, error);
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

void UdpSocketEngine::closeSocket4()
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

void UdpSocketEngine::closeSocket6()
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

void UdpSocketEngine::closeSockets()
{
    closeSocket4();
    closeSocket6();
    // Without this, a bind that failed would leave the socket believing its descriptors exist.
    flags &= ~kDidCreateSockets;
}

bool UdpSocketEngine::bindAddresses(const QByteArray &address4, const QByteArray &address6, SocketError *error)
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

bool UdpSocketEngine::bindToPortInterface(quint16 port, const QString &interface, SocketError *error)
{
    if (!preBind(error))
        return false;
    const InterfaceAddresses addresses = convertInterfaceDescription(interface, port);
    if (addresses.address4.isEmpty() && addresses.address6.isEmpty()) {
        setError(error, SocketError::badParam(text(kMsgUnknownInterface)));
        return false;
    }
    if (addresses.address6.isEmpty() && (config & kIPv4Disabled)) {
        setError(error, SocketError::badParam(
                            QStringLiteral("IPv4 has been disabled and specified interface doesn't support IPv6.")));
        return false;
    }
    if (addresses.address4.isEmpty() && (config & kIPv6Disabled)) {
        setError(error, SocketError::badParam(
                            QStringLiteral("IPv6 has been disabled and specified interface doesn't support IPv4.")));
        return false;
    }
    return bindAddresses(addresses.address4, addresses.address6, error);
}

bool UdpSocketEngine::bindToAddress(const QByteArray &localAddr, SocketError *error)
{
    if (!preBind(error))
        return false;
    const int family = socketAddressFamily(localAddr);
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
    return bindAddresses(family == AF_INET ? exact : QByteArray(), family == AF_INET6 ? exact : QByteArray(), error);
}

bool UdpSocketEngine::enqueueConnect(const std::shared_ptr<GCDAsyncUdpSpecialPacket> &packet, SocketError *error)
{
    if (!(flags & kDidCreateSockets) && !createSockets(!(config & kIPv4Disabled), !(config & kIPv6Disabled), error))
        return false;
    sendQueue.push_back(packet);
    flags |= kConnecting;
    return true;
}

bool UdpSocketEngine::connectToAddress(const QByteArray &remoteAddr, SocketError *error)
{
    if (!preConnect(error))
        return false;
    if (remoteAddr.isEmpty()) {
        setError(error, SocketError::badParam(QStringLiteral("The address param is nil. Should be a valid address.")));
        return false;
    }
    auto packet = std::make_shared<GCDAsyncUdpSpecialPacket>();
    packet->addresses = {remoteAddr};
    if (!enqueueConnect(packet, error))
        return false;
    maybeDequeueSend();
    return true;
}

bool UdpSocketEngine::connectToHost(const QString &host, quint16 port, SocketError *error)
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
    std::weak_ptr<UdpSocketEngine> weak = weak_from_this();
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

bool UdpSocketEngine::chooseAddress(const QList<QByteArray> &addresses, QByteArray *address, int *family,
                                    SocketError *error) const
{
    AddressChoiceRules rules;
    rules.ipv4Disabled = config & kIPv4Disabled;
    rules.ipv6Disabled = config & kIPv6Disabled;
    rules.ipv4Deactivated = flags & kIPv4Deactivated;
    rules.ipv6Deactivated = flags & kIPv6Deactivated;
    rules.ipv4Usable = socket4FD != -1;
    rules.ipv6Usable = socket6FD != -1;
    rules.preferIPv4 = config & kPreferIPv4;
    rules.preferIPv6 = config & kPreferIPv6;
    return inkora::chooseAddress(addresses, rules, address, family, error);
}

void UdpSocketEngine::maybeConnect()
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
        if (chooseAddress(packet->addresses, &address, &family, &error) && connectWithAddress(address, family, &error))
            notifyDidConnect(address);
        else
            notifyDidNotConnect(error);
    }
    flags &= ~kConnecting;
    endCurrentSend();
    maybeDequeueSend();
}

bool UdpSocketEngine::connectWithAddress(const QByteArray &address, int family, SocketError *error)
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

std::shared_ptr<GCDAsyncUdpSendPacket> UdpSocketEngine::currentSendPacket() const
{
    return std::dynamic_pointer_cast<GCDAsyncUdpSendPacket>(currentSend);
}

void UdpSocketEngine::enqueueSend(const std::shared_ptr<GCDAsyncUdpSendPacket> &packet)
{
    sendQueue.push_back(packet);
    maybeDequeueSend();
}

void UdpSocketEngine::maybeDequeueSend()
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

void UdpSocketEngine::dequeueOnce()
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

void UdpSocketEngine::failCurrentSend(const SocketError &error)
{
    const auto packet = currentSendPacket();
    notifyDidNotSend(packet->tag, error);
    endCurrentSend();
    maybeDequeueSend();
}

void UdpSocketEngine::doPreSend()
{
    const auto packet = currentSendPacket();
    if (!packet)
        return;
    SocketError error;
    if (flags & kDidConnect) {
        if (packet->hostGiven) {
            failCurrentSend(
                SocketError::badConfig(QStringLiteral("Cannot specify destination of packet for connected socket")));
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
    std::weak_ptr<UdpSocketEngine> weak = weak_from_this();
    sendFilterQueue->async([weak, filter = sendFilterBlock, packet, queue = socketQueue, generationNow = generation] {
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

void UdpSocketEngine::doSend()
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

void UdpSocketEngine::writeSourceFired(int family)
{
    flags |= family == AF_INET ? kSock4CanAcceptBytes : kSock6CanAcceptBytes;
    const auto packet = currentSendPacket();
    if (packet && !packet->resolveInProgress && !packet->filterInProgress && !packet->address.isEmpty())
        doSend();
    else
        setSourceSuspended(family, true, true);
}

void UdpSocketEngine::setupSendTimer(double timeout)
{
    std::weak_ptr<UdpSocketEngine> weak = weak_from_this();
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

void UdpSocketEngine::endCurrentSend()
{
    if (sendTimer != 0) {
        platform::RunLoop::main().cancel(sendTimer);
        sendTimer = 0;
    }
    currentSend.reset();
}

bool UdpSocketEngine::startReceiving(quint32 mode, SocketError *error)
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

void UdpSocketEngine::readSourceFired(int family)
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

void UdpSocketEngine::doReceive()
{
    for (;;) {
        if (!(flags & (kReceiveOnce | kReceiveContinuous)) || ((flags & kReceiveOnce) && pendingFilterOperations > 0)) {
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

void UdpSocketEngine::filterAsynchronously(const QByteArray &data, const QByteArray &address)
{
    std::weak_ptr<UdpSocketEngine> weak = weak_from_this();
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

void UdpSocketEngine::closeWithError(const std::optional<SocketError> &error)
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

void UdpSocketEngine::closeAfterSending()
{
    flags |= kCloseAfterSends;
    if (!currentSend && sendQueue.empty())
        closeWithError(std::nullopt);
}

bool UdpSocketEngine::performMulticastRequest(bool join, const QString &group, const QString &interface,
                                              SocketError *error)
{
    if (!preOp(error))
        return false;
    if (!(flags & kDidBind)) {
        setError(error, SocketError::badConfig(QStringLiteral("Must bind a socket before joining a multicast group.")));
        return false;
    }
    if (flags & (kConnecting | kDidConnect)) {
        setError(error, SocketError::badConfig(QStringLiteral("Cannot join a multicast group if connected.")));
        return false;
    }
    const InterfaceAddresses groupAddresses = convertNumericHost(group, 0);
    if (groupAddresses.address4.isEmpty() && groupAddresses.address6.isEmpty()) {
        setError(error, SocketError::badParam(QStringLiteral("Unknown group. Specify valid group IP address.")));
        return false;
    }
    const InterfaceAddresses interfaceAddresses = convertInterfaceDescription(interface, 0);
    if (interfaceAddresses.address4.isEmpty() && interfaceAddresses.address6.isEmpty()) {
        setError(error, SocketError::badParam(text(kMsgUnknownInterface)));
        return false;
    }
    if (socket4FD != -1 && !groupAddresses.address4.isEmpty() && !interfaceAddresses.address4.isEmpty()) {
        if (!setGroupMembership(socket4FD, join, groupAddresses.address4, interfaceAddresses.address4, 0, error))
            return false;
        closeSocket6();
        return true;
    }
    if (socket6FD != -1 && !groupAddresses.address6.isEmpty() && !interfaceAddresses.address6.isEmpty()) {
        if (!setGroupMembership(socket6FD, join, groupAddresses.address6, interfaceAddresses.address6,
                                interfaceAddresses.interfaceIndex6, error))
            return false;
        closeSocket4();
        return true;
    }
    setError(error,
             SocketError::badParam(QStringLiteral("Socket, group, and interface do not have matching IP versions")));
    return false;
}

bool UdpSocketEngine::setSocketOption(int option, bool on, bool ipv4Only, SocketError *error)
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

void UdpSocketEngine::asyncResolve(const QString &host, quint16 port, ResolveCompletionBlock completion)
{
    if (host.isEmpty()) {
        socketQueue->async(
            [completion = std::move(completion)] { completion({}, SocketError::badParam(text(kMsgNilHost))); });
        return;
    }
    platform::DispatchQueue::global().async([host, port, queue = socketQueue, completion = std::move(completion)] {
        std::optional<SocketError> error;
        const QList<QByteArray> addresses = resolveHost(host, port, &error);
        queue->async([addresses, error, completion] { completion(addresses, error); });
    });
}

void UdpSocketEngine::cacheLocalAddress(int family)
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

} // namespace inkora
