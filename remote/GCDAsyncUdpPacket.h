#pragma once

/// An operation waiting in a UDP socket's send queue: a datagram or a connect.
struct GCDAsyncUdpPacket
{
    virtual ~GCDAsyncUdpPacket() = default;
};
