#pragma once

#include <QByteArray>

#include <functional>
#include <memory>
#include <optional>

namespace platform {

/// Whether, and how, the route to an address can be taken, as flags.
class Reachability
{
public:
    enum Flag : quint32 {
        TransientConnection = 1,
        Reachable = 2,
        ConnectionRequired = 4,
        ConnectionOnTraffic = 8,
        InterventionRequired = 16,
        ConnectionOnDemand = 32,
        IsLocalAddress = 65536,
        IsDirect = 131072,
    };

    /// Keeps a change watch running; destroying it stops the reports.
    class Watch
    {
    public:
        virtual ~Watch() = default;
    };

    virtual ~Reachability() = default;

    /// The flags of the route to a socket address (AF_INET, 16 bytes, or AF_INET6, 28 bytes); nothing when they
    /// cannot be read. The all-zero IPv4 address asks about a default route. Blocks while the system answers.
    [[nodiscard]] virtual std::optional<quint32> flagsForAddress(const QByteArray &address) const = 0;

    /// Calls `changed` on the calling thread's event loop whenever links, addresses or routes change; null when
    /// changes cannot be watched.
    [[nodiscard]] virtual std::unique_ptr<Watch> watchChanges(std::function<void()> changed) = 0;
};

} // namespace platform
