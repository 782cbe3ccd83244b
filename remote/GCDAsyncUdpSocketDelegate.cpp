#include "remote/GCDAsyncUdpSocketDelegate.h"

GCDAsyncUdpSocketDelegate::GCDAsyncUdpSocketDelegate() : m_alive(std::make_shared<char>(0)) {}

// A copy is another delegate: sockets that know the original must not take the copy's lifetime for it.
GCDAsyncUdpSocketDelegate::GCDAsyncUdpSocketDelegate(const GCDAsyncUdpSocketDelegate &)
    : m_alive(std::make_shared<char>(0))
{}

GCDAsyncUdpSocketDelegate &GCDAsyncUdpSocketDelegate::operator=(const GCDAsyncUdpSocketDelegate &)
{
    return *this;
}

GCDAsyncUdpSocketDelegate::~GCDAsyncUdpSocketDelegate() = default;

void GCDAsyncUdpSocketDelegate::udpSocketDidConnectToAddress(GCDAsyncUdpSocket *, const QByteArray &) {}

void GCDAsyncUdpSocketDelegate::udpSocketDidNotConnect(GCDAsyncUdpSocket *, const inkora::SocketError &) {}

void GCDAsyncUdpSocketDelegate::udpSocketDidSendDataWithTag(GCDAsyncUdpSocket *, qint64) {}

void GCDAsyncUdpSocketDelegate::udpSocketDidNotSendDataWithTagDueToError(GCDAsyncUdpSocket *, qint64,
                                                                         const inkora::SocketError &)
{}

void GCDAsyncUdpSocketDelegate::udpSocketDidReceiveDataFromAddressWithFilterContext(GCDAsyncUdpSocket *,
                                                                                    const QByteArray &,
                                                                                    const QByteArray &,
                                                                                    const QVariant &)
{}

void GCDAsyncUdpSocketDelegate::udpSocketDidCloseWithError(GCDAsyncUdpSocket *,
                                                           const std::optional<inkora::SocketError> &)
{}
