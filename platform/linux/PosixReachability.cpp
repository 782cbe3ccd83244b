#include "platform/linux/PosixReachability.h"

#include "platform/PlatformLog.h"
#include "platform/SocketAddress.h"

#include <QFile>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <cstring>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

bool isZeroIpv4(const QByteArray &address)
{
    sockaddr_in a{};
    std::memcpy(&a, address.constData(), sizeof(a));
    return a.sin_addr.s_addr == htonl(INADDR_ANY);
}

// A route to everywhere: destination and mask 0 in the kernel's IPv4 routing table.
bool hasDefaultRoute()
{
    QFile table(QStringLiteral("/proc/net/route"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    table.readLine(); // the column names
    while (!table.atEnd()) {
        const QList<QByteArray> fields = table.readLine().simplified().split(' ');
        // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
        if (fields.size() >= 8 && fields[1] == "00000000" && fields[7] == "00000000" &&
            (fields[3].toUInt(nullptr, 16) & 0x1 /* up */))
            return true;
    }
    return false;
}

bool sameHost(const sockaddr_storage &a, const QByteArray &b, int family)
{
    if (family == AF_INET) {
        sockaddr_in x{};
        std::memcpy(&x, b.constData(), sizeof(x));
        return reinterpret_cast<const sockaddr_in &>(a).sin_addr.s_addr == x.sin_addr.s_addr;
    }
    sockaddr_in6 x{};
    std::memcpy(&x, b.constData(), sizeof(x));
    return std::memcmp(&reinterpret_cast<const sockaddr_in6 &>(a).sin6_addr, &x.sin6_addr, sizeof(in6_addr)) == 0;
}

class NetlinkWatch final : public Reachability::Watch
{
public:
    NetlinkWatch(int fd, std::function<void()> changed) : m_fd(fd), m_notifier(fd, QSocketNotifier::Read)
    {
        QObject::connect(&m_notifier, &QSocketNotifier::activated, [this, changed = std::move(changed)] {
            // One report per burst: the messages themselves are not needed, only that something changed.
            std::array<char, 8192> buffer{};
            while (recv(m_fd, buffer.data(), buffer.size(), MSG_DONTWAIT) > 0) {
            }
            changed();
        });
    }
    ~NetlinkWatch() override
    {
        m_notifier.setEnabled(false);
        ::close(m_fd);
    }

private:
    int m_fd = -1;
    QSocketNotifier m_notifier;
};

} // namespace

std::optional<quint32> PosixReachability::flagsForAddress(const QByteArray &address) const
{
    const int family = socketAddressFamily(address);
    if (family == 0)
        return std::nullopt;
    if (family == AF_INET && isZeroIpv4(address))
        return hasDefaultRoute() ? quint32(Reachable) : 0u;

    const int fd = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    sockaddr_storage target{};
    const socklen_t length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
    std::memcpy(&target, address.constData(), length);
    // Connecting a datagram socket only picks the route; port 0 is not a destination, so any port does.
    auto *port = family == AF_INET ? &reinterpret_cast<sockaddr_in &>(target).sin_port
                                   : &reinterpret_cast<sockaddr_in6 &>(target).sin6_port;
    if (*port == 0)
        *port = htons(9);
    quint32 flags = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&target), length) == 0) {
        flags = Reachable;
        sockaddr_storage local{};
        socklen_t localLength = sizeof(local);
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &localLength) == 0 &&
            sameHost(local, address, family))
            flags |= IsLocalAddress | IsDirect;
    }
    ::close(fd);
    return flags;
}

std::unique_ptr<Reachability::Watch> PosixReachability::watchChanges(std::function<void()> changed)
{
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0) {
        qCWarning(lcPlatform) << "watchChanges: no routing netlink socket:" << std::strerror(errno)
                              << "; reachability changes are not reported";
        return nullptr;
    }
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof(local)) != 0) {
        qCWarning(lcPlatform) << "watchChanges: cannot join the routing groups:" << std::strerror(errno)
                              << "; reachability changes are not reported";
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<NetlinkWatch>(fd, std::move(changed));
}

} // namespace platform
