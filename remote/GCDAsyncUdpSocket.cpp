#include "remote/GCDAsyncUdpSocket.h"

#include "platform/Dispatch.h"
#include "remote/GCDAsyncUdpSendPacket.h"
#include "remote/GCDAsyncUdpSocketDelegate.h"
#include "remote/SocketQueue.h"
#include "remote/UdpDelegateChannel.h"
#include "remote/UdpSocketAddresses.h"
#include "remote/UdpSocketEngine.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>

using inkora::SocketError;
using inkora::SocketQueue;
using Engine = inkora::UdpSocketEngine;

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
    d = std::make_shared<Engine>();
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
    return d->onQueue([d = d.get()] { return !(d->config & Engine::kIPv4Disabled); });
}

void GCDAsyncUdpSocket::setIPv4Enabled(bool flag)
{
    d->onQueueAsync([d = d.get(), flag] {
        d->config = flag ? (d->config & ~Engine::kIPv4Disabled) : (d->config | Engine::kIPv4Disabled);
    });
}

bool GCDAsyncUdpSocket::isIPv6Enabled() const
{
    return d->onQueue([d = d.get()] { return !(d->config & Engine::kIPv6Disabled); });
}

void GCDAsyncUdpSocket::setIPv6Enabled(bool flag)
{
    d->onQueueAsync([d = d.get(), flag] {
        d->config = flag ? (d->config & ~Engine::kIPv6Disabled) : (d->config | Engine::kIPv6Disabled);
    });
}

bool GCDAsyncUdpSocket::isIPv4Preferred() const
{
    return d->onQueue([d = d.get()] { return (d->config & Engine::kPreferIPv4) != 0; });
}

bool GCDAsyncUdpSocket::isIPv6Preferred() const
{
    return d->onQueue([d = d.get()] { return (d->config & Engine::kPreferIPv6) != 0; });
}

bool GCDAsyncUdpSocket::isIPVersionNeutral() const
{
    return d->onQueue([d = d.get()] { return (d->config & (Engine::kPreferIPv4 | Engine::kPreferIPv6)) == 0; });
}

void GCDAsyncUdpSocket::setPreferIPv4()
{
    d->onQueueAsync([d = d.get()] { d->config = (d->config & ~Engine::kPreferIPv6) | Engine::kPreferIPv4; });
}

void GCDAsyncUdpSocket::setPreferIPv6()
{
    d->onQueueAsync([d = d.get()] { d->config = (d->config & ~Engine::kPreferIPv4) | Engine::kPreferIPv6; });
}

void GCDAsyncUdpSocket::setIPVersionNeutral()
{
    d->onQueueAsync([d = d.get()] { d->config &= ~(Engine::kPreferIPv4 | Engine::kPreferIPv6); });
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
        std::weak_ptr<Engine> weak = self;
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
    return d->onQueue([&, d = d.get()] { return d->startReceiving(Engine::kReceiveOnce, error); });
}

bool GCDAsyncUdpSocket::beginReceiving(SocketError *error)
{
    return d->onQueue([&, d = d.get()] { return d->startReceiving(Engine::kReceiveContinuous, error); });
}

void GCDAsyncUdpSocket::pauseReceiving()
{
    d->onQueueAsync([d = d.get()] {
        d->flags &= ~(Engine::kReceiveOnce | Engine::kReceiveContinuous);
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
    return d->onQueue([d = d.get()] { return (d->flags & Engine::kDidConnect) != 0; });
}

bool GCDAsyncUdpSocket::isClosed() const
{
    return d->onQueue([d = d.get()] { return (d->flags & Engine::kDidCreateSockets) == 0; });
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
