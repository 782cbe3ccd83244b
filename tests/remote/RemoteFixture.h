#pragma once

#include "remote/GCDAsyncUdpSocketDelegate.h"
#include "tests/support/InkoraFixture.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class GCDAsyncUdpSocket;

/// One delegate event as the socket reported it.
struct UdpEvent
{
    enum Kind { Connect, NotConnect, Send, NotSend, Receive, Close };
    Kind kind = Close;
    QByteArray data;
    QByteArray address;
    qint64 tag = 0;
    std::optional<inkora::SocketError> error;
    QVariant context;
};

/// Records every event on the delegate queue, in order.
class RecordingDelegate final : public GCDAsyncUdpSocketDelegate
{
public:
    void udpSocketDidConnectToAddress(GCDAsyncUdpSocket *, const QByteArray &address) override;
    void udpSocketDidNotConnect(GCDAsyncUdpSocket *, const inkora::SocketError &error) override;
    void udpSocketDidSendDataWithTag(GCDAsyncUdpSocket *, qint64 tag) override;
    void udpSocketDidNotSendDataWithTagDueToError(GCDAsyncUdpSocket *, qint64 tag,
                                                  const inkora::SocketError &error) override;
    void udpSocketDidReceiveDataFromAddressWithFilterContext(GCDAsyncUdpSocket *, const QByteArray &data,
                                                             const QByteArray &address,
                                                             const QVariant &context) override;
    void udpSocketDidCloseWithError(GCDAsyncUdpSocket *, const std::optional<inkora::SocketError> &error) override;

    [[nodiscard]] bool has(UdpEvent::Kind kind) const;
    [[nodiscard]] bool received(const QByteArray &data) const;
    [[nodiscard]] QList<QByteArray> receivedData() const;

    std::vector<UdpEvent> events;
};

/// Loopback sockets and a wait that lets the socket thread's events reach the main queue.
class RemoteFixture : public InkoraFixture
{
protected:
    /// Runs the Qt event loop, and with it the main queue, until the condition holds; false after 5 s without.
    [[nodiscard]] bool waitFor(const std::function<bool()> &condition);

    [[nodiscard]] static QByteArray ipv4(const char *text, quint16 port);
    [[nodiscard]] static QByteArray ipv6(const char *text, quint16 port);
    [[nodiscard]] static bool hasIpv6Loopback();
};
