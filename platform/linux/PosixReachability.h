#pragma once

#include "platform/Reachability.h"

namespace platform {

/// Looks up the route to an address by connecting a datagram socket, which sends nothing; watches changes on a
/// routing netlink socket.
class PosixReachability final : public Reachability
{
public:
    [[nodiscard]] std::optional<quint32> flagsForAddress(const QByteArray &address) const override;
    [[nodiscard]] std::unique_ptr<Watch> watchChanges(std::function<void()> changed) override;
};

} // namespace platform
