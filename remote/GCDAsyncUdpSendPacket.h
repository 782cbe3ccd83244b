#pragma once

#include "remote/GCDAsyncUdpPacket.h"
#include "remote/SocketError.h"

#include <QByteArray>
#include <QList>

#include <optional>

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
    std::optional<inkora::SocketError> resolveError;
    QByteArray address;
    int addressFamily = 0;
};
