#pragma once

#include "remote/GCDAsyncUdpPacket.h"
#include "remote/SocketError.h"

#include <QByteArray>
#include <QList>

#include <optional>

/// A queued connect.
struct GCDAsyncUdpSpecialPacket final : GCDAsyncUdpPacket
{
    bool resolveInProgress = false;
    QList<QByteArray> addresses;
    std::optional<inkora::SocketError> error;
};
