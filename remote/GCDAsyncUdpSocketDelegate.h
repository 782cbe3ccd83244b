#pragma once

#include "remote/SocketError.h"

#include <QByteArray>
#include <QVariant>

#include <memory>
#include <optional>

class GCDAsyncUdpSocket;

/// What a UDP socket reports, each on its delegate queue; every operation is optional. The socket holds its
/// delegate weakly: events that arrive after the delegate went away are dropped.
class GCDAsyncUdpSocketDelegate
{
public:
    virtual ~GCDAsyncUdpSocketDelegate();

    virtual void udpSocketDidConnectToAddress(GCDAsyncUdpSocket *sock, const QByteArray &address);
    virtual void udpSocketDidNotConnect(GCDAsyncUdpSocket *sock, const inkora::SocketError &error);
    virtual void udpSocketDidSendDataWithTag(GCDAsyncUdpSocket *sock, qint64 tag);
    virtual void udpSocketDidNotSendDataWithTagDueToError(GCDAsyncUdpSocket *sock, qint64 tag,
                                                          const inkora::SocketError &error);
    virtual void udpSocketDidReceiveDataFromAddressWithFilterContext(GCDAsyncUdpSocket *sock, const QByteArray &data,
                                                                     const QByteArray &address,
                                                                     const QVariant &filterContext);
    /// `error` is empty for an ordinary close.
    virtual void udpSocketDidCloseWithError(GCDAsyncUdpSocket *sock, const std::optional<inkora::SocketError> &error);

protected:
    GCDAsyncUdpSocketDelegate();
    GCDAsyncUdpSocketDelegate(const GCDAsyncUdpSocketDelegate &);
    GCDAsyncUdpSocketDelegate &operator=(const GCDAsyncUdpSocketDelegate &);

private:
    friend class GCDAsyncUdpSocket;
    // Expires when the delegate goes away; sockets keep a weak reference to it.
    std::shared_ptr<char> m_alive;
};
