#include "tests/remote/RemoteFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

void RecordingDelegate::udpSocketDidConnectToAddress(GCDAsyncUdpSocket *, const QByteArray &address)
{
    events.push_back({UdpEvent::Connect, {}, address, 0, std::nullopt, {}});
}

void RecordingDelegate::udpSocketDidNotConnect(GCDAsyncUdpSocket *, const inkora::SocketError &error)
{
    events.push_back({UdpEvent::NotConnect, {}, {}, 0, error, {}});
}

void RecordingDelegate::udpSocketDidSendDataWithTag(GCDAsyncUdpSocket *, qint64 tag)
{
    events.push_back({UdpEvent::Send, {}, {}, tag, std::nullopt, {}});
}

void RecordingDelegate::udpSocketDidNotSendDataWithTagDueToError(GCDAsyncUdpSocket *, qint64 tag,
                                                                 const inkora::SocketError &error)
{
    events.push_back({UdpEvent::NotSend, {}, {}, tag, error, {}});
}

void RecordingDelegate::udpSocketDidReceiveDataFromAddressWithFilterContext(GCDAsyncUdpSocket *, const QByteArray &data,
                                                                            const QByteArray &address,
                                                                            const QVariant &context)
{
    events.push_back({UdpEvent::Receive, data, address, 0, std::nullopt, context});
}

void RecordingDelegate::udpSocketDidCloseWithError(GCDAsyncUdpSocket *, const std::optional<inkora::SocketError> &error)
{
    events.push_back({UdpEvent::Close, {}, {}, 0, error, {}});
}

bool RecordingDelegate::has(UdpEvent::Kind kind) const
{
    for (const UdpEvent &e : events) {
        if (e.kind == kind)
            return true;
    }
    return false;
}

bool RecordingDelegate::received(const QByteArray &data) const
{
    return receivedData().contains(data);
}

QList<QByteArray> RecordingDelegate::receivedData() const
{
    QList<QByteArray> out;
    for (const UdpEvent &e : events) {
        if (e.kind == UdpEvent::Receive)
            out << e.data;
    }
    return out;
}

bool RemoteFixture::waitFor(const std::function<bool()> &condition)
{
    const QDeadlineTimer deadline(5000);
    // Wakes the event loop now and then so that the deadline is seen even when nothing arrives.
    QTimer tick;
    tick.start(50);
    for (;;) {
        drainMainQueue();
        if (condition())
            return true;
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

QByteArray RemoteFixture::ipv4(const char *text, quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, text, &a.sin_addr);
    return QByteArray(reinterpret_cast<const char *>(&a), sizeof(a));
}

QByteArray RemoteFixture::ipv6(const char *text, quint16 port)
{
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_port = htons(port);
    inet_pton(AF_INET6, text, &a.sin6_addr);
    return QByteArray(reinterpret_cast<const char *>(&a), sizeof(a));
}

bool RemoteFixture::hasIpv6Loopback()
{
    const int fd = ::socket(AF_INET6, SOCK_DGRAM, 0);
    if (fd < 0)
        return false;
    const QByteArray any = ipv6("::1", 0);
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr *>(any.constData()), sizeof(sockaddr_in6)) == 0;
    ::close(fd);
    return ok;
}
