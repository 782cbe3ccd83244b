#pragma once

#include "remote/SocketError.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class GCDAsyncUdpSocketDelegate;
struct sockaddr_in;
struct sockaddr_in6;
namespace inkora {
class SocketQueue;
struct UdpSocketEngine;
} // namespace inkora
namespace platform {
class DispatchQueue;
}

/// An asynchronous UDP socket over one IPv4 and one IPv6 datagram socket. All its state lives on its socket queue
/// (a thread of its own); it queues outgoing datagrams and reports every event to its delegate on the delegate queue.
/// States: closed → created (first bind, connect or send) → bound → connecting → connected; receiving (off, once,
/// continuous) is a separate mode. A close, or an error that closes, returns it to closed.
class GCDAsyncUdpSocket final
{
public:
    /// Decides on the filter queue whether a datagram is delivered; may set a context handed on with it.
    using ReceiveFilterBlock =
        std::function<bool(const QByteArray &data, const QByteArray &address, QVariant *context)>;
    /// Decides on the filter queue whether a datagram goes out; a refused one is reported as sent.
    using SendFilterBlock = std::function<bool(const QByteArray &data, const QByteArray &address, qint64 tag)>;
    using ResolveCompletionBlock =
        std::function<void(const QList<QByteArray> &addresses, const std::optional<inkora::SocketError> &error)>;

    GCDAsyncUdpSocket();
    explicit GCDAsyncUdpSocket(std::shared_ptr<inkora::SocketQueue> socketQueue);
    GCDAsyncUdpSocket(GCDAsyncUdpSocketDelegate *delegate, platform::DispatchQueue *delegateQueue);
    /// With no socket queue the socket makes its own, named "GCDAsyncUdpSocket".
    GCDAsyncUdpSocket(GCDAsyncUdpSocketDelegate *delegate, platform::DispatchQueue *delegateQueue,
                      std::shared_ptr<inkora::SocketQueue> socketQueue);
    /// Closes the socket; events still waiting for the delegate queue are dropped.
    ~GCDAsyncUdpSocket();
    GCDAsyncUdpSocket(const GCDAsyncUdpSocket &) = delete;
    GCDAsyncUdpSocket &operator=(const GCDAsyncUdpSocket &) = delete;

    // Delegate and delegate queue (neither owned; the delegate is held weakly).
    [[nodiscard]] GCDAsyncUdpSocketDelegate *delegate() const;
    void setDelegate(GCDAsyncUdpSocketDelegate *delegate);
    void synchronouslySetDelegate(GCDAsyncUdpSocketDelegate *delegate);
    [[nodiscard]] platform::DispatchQueue *delegateQueue() const;
    void setDelegateQueue(platform::DispatchQueue *delegateQueue);
    void synchronouslySetDelegateQueue(platform::DispatchQueue *delegateQueue);
    void getDelegateDelegateQueue(GCDAsyncUdpSocketDelegate **delegate, platform::DispatchQueue **delegateQueue) const;
    void setDelegateDelegateQueue(GCDAsyncUdpSocketDelegate *delegate, platform::DispatchQueue *delegateQueue);
    void synchronouslySetDelegateDelegateQueue(GCDAsyncUdpSocketDelegate *delegate,
                                               platform::DispatchQueue *delegateQueue);

    // Configuration.
    [[nodiscard]] bool isIPv4Enabled() const;
    void setIPv4Enabled(bool flag);
    [[nodiscard]] bool isIPv6Enabled() const;
    void setIPv6Enabled(bool flag);
    [[nodiscard]] bool isIPv4Preferred() const;
    [[nodiscard]] bool isIPv6Preferred() const;
    [[nodiscard]] bool isIPVersionNeutral() const;
    void setPreferIPv4();
    void setPreferIPv6();
    void setIPVersionNeutral();
    [[nodiscard]] quint16 maxReceiveIPv4BufferSize() const;
    void setMaxReceiveIPv4BufferSize(quint16 max);
    [[nodiscard]] quint32 maxReceiveIPv6BufferSize() const;
    void setMaxReceiveIPv6BufferSize(quint32 max);
    [[nodiscard]] quint16 maxSendBufferSize() const;
    void setMaxSendBufferSize(quint16 max);
    [[nodiscard]] QVariant userData() const;
    void setUserData(const QVariant &userData);

    // Binding and connecting; the answer tells whether the request was accepted. A null interface is the wildcard.
    [[nodiscard]] bool bindToPortError(quint16 port, inkora::SocketError *error = nullptr);
    [[nodiscard]] bool bindToPortInterfaceError(quint16 port, const QString &interface,
                                                inkora::SocketError *error = nullptr);
    [[nodiscard]] bool bindToAddressError(const QByteArray &localAddr, inkora::SocketError *error = nullptr);
    [[nodiscard]] bool connectToHostOnPortError(const QString &host, quint16 port,
                                                inkora::SocketError *error = nullptr);
    [[nodiscard]] bool connectToAddressError(const QByteArray &remoteAddr, inkora::SocketError *error = nullptr);

    // Options.
    [[nodiscard]] bool joinMulticastGroupError(const QString &group, inkora::SocketError *error = nullptr);
    [[nodiscard]] bool joinMulticastGroupOnInterfaceError(const QString &group, const QString &interface,
                                                          inkora::SocketError *error = nullptr);
    [[nodiscard]] bool leaveMulticastGroupError(const QString &group, inkora::SocketError *error = nullptr);
    [[nodiscard]] bool leaveMulticastGroupOnInterfaceError(const QString &group, const QString &interface,
                                                           inkora::SocketError *error = nullptr);
    [[nodiscard]] bool enableReusePortError(bool flag, inkora::SocketError *error = nullptr);
    [[nodiscard]] bool enableBroadcastError(bool flag, inkora::SocketError *error = nullptr);

    // Sending; a time-out is in seconds, negative for none. Empty data is dropped without an event.
    void sendDataWithTag(const QByteArray &data, qint64 tag);
    void sendDataWithTimeoutTag(const QByteArray &data, double timeout, qint64 tag);
    void sendDataToAddressWithTimeoutTag(const QByteArray &data, const QByteArray &remoteAddr, double timeout,
                                         qint64 tag);
    void sendDataToHostPortWithTimeoutTag(const QByteArray &data, const QString &host, quint16 port, double timeout,
                                          qint64 tag);
    void setSendFilterWithQueue(SendFilterBlock filterBlock, platform::DispatchQueue *filterQueue);
    void setSendFilterWithQueueIsAsynchronous(SendFilterBlock filterBlock, platform::DispatchQueue *filterQueue,
                                              bool isAsynchronous);

    // Receiving.
    [[nodiscard]] bool receiveOnce(inkora::SocketError *error = nullptr);
    [[nodiscard]] bool beginReceiving(inkora::SocketError *error = nullptr);
    void pauseReceiving();
    void setReceiveFilterWithQueue(ReceiveFilterBlock filterBlock, platform::DispatchQueue *filterQueue);
    void setReceiveFilterWithQueueIsAsynchronous(ReceiveFilterBlock filterBlock, platform::DispatchQueue *filterQueue,
                                                 bool isAsynchronous);

    // Closing.
    void close();
    void closeAfterSending();

    // Properties, read on the socket queue.
    [[nodiscard]] QByteArray localAddress() const;
    [[nodiscard]] QString localHost() const;
    [[nodiscard]] quint16 localPort() const;
    [[nodiscard]] QByteArray localAddress_IPv4() const;
    [[nodiscard]] QString localHost_IPv4() const;
    [[nodiscard]] quint16 localPort_IPv4() const;
    [[nodiscard]] QByteArray localAddress_IPv6() const;
    [[nodiscard]] QString localHost_IPv6() const;
    [[nodiscard]] quint16 localPort_IPv6() const;
    [[nodiscard]] QByteArray connectedAddress() const;
    [[nodiscard]] QString connectedHost() const;
    [[nodiscard]] quint16 connectedPort() const;
    [[nodiscard]] bool isConnected() const;
    [[nodiscard]] bool isClosed() const;
    [[nodiscard]] bool isIPv4() const;
    [[nodiscard]] bool isIPv6() const;
    /// Descriptors are answered on the socket queue only; elsewhere −1.
    [[nodiscard]] int socketFD() const;
    [[nodiscard]] int socket4FD() const;
    [[nodiscard]] int socket6FD() const;
    /// Runs the block on the socket queue and waits for it.
    void performBlock(const std::function<void()> &block);
    /// Received datagrams dropped because the delegate queue fell behind.
    [[nodiscard]] quint64 droppedReceiveCount() const;

    /// Looks the host up on the global queue and answers on the socket queue.
    void asyncResolveHostPortWithCompletionBlock(const QString &host, quint16 port, ResolveCompletionBlock completion);

    // Socket addresses (Linux layout: AF_INET, 16 bytes; AF_INET6, 28 bytes).
    [[nodiscard]] static QString hostFromSockaddr4(const sockaddr_in *pSockaddr4);
    [[nodiscard]] static QString hostFromSockaddr6(const sockaddr_in6 *pSockaddr6);
    [[nodiscard]] static quint16 portFromSockaddr4(const sockaddr_in *pSockaddr4);
    [[nodiscard]] static quint16 portFromSockaddr6(const sockaddr_in6 *pSockaddr6);
    [[nodiscard]] static QString hostFromAddress(const QByteArray &address);
    [[nodiscard]] static quint16 portFromAddress(const QByteArray &address);
    /// AF_INET, AF_INET6, or 0 when the data is neither.
    [[nodiscard]] static int familyFromAddress(const QByteArray &address);
    [[nodiscard]] static bool isIPv4Address(const QByteArray &address);
    [[nodiscard]] static bool isIPv6Address(const QByteArray &address);
    [[nodiscard]] static bool getHostPortFromAddress(QString *hostPtr, quint16 *portPtr, const QByteArray &address);
    [[nodiscard]] static bool getHostPortFamilyFromAddress(QString *hostPtr, quint16 *portPtr, int *afPtr,
                                                           const QByteArray &address);

private:
    void init(GCDAsyncUdpSocketDelegate *delegate, platform::DispatchQueue *delegateQueue,
              std::shared_ptr<inkora::SocketQueue> socketQueue);

    // Shared with blocks still queued on the socket queue, which may run after this object is gone.
    std::shared_ptr<inkora::UdpSocketEngine> d;
};
