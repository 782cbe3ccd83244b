#include "remote/DatagramSocketCalls.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace inkora {

namespace {
void setError(SocketError *out, const SocketError &error)
{
    if (out)
        *out = error;
}
} // namespace

int createDatagramSocket(int domain, int bufferSize, SocketError *error)
{
    const int fd = ::socket(domain, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setError(error, SocketError::fromErrno(QStringLiteral("Error in socket() function")));
        return -1;
    }
    const auto fail = [&](const char *reason) {
        setError(error, SocketError::fromErrno(QString::fromLatin1(reason)));
        ::close(fd);
        return -1;
    };
    const int flagsNow = fcntl(fd, F_GETFL, 0);
    if (flagsNow < 0 || fcntl(fd, F_SETFL, flagsNow | O_NONBLOCK) < 0)
        return fail("Error enabling non-blocking IO on socket (fcntl)");
    const int on = 1;
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) < 0)
        return fail("Error enabling address reuse (setsockopt)");
    // Linux has no per-socket switch for SIGPIPE; every send passes MSG_NOSIGNAL instead.
    // An IPv6 socket that also took IPv4 traffic would report IPv4 peers as mapped IPv6 addresses.
    if (domain == AF_INET6 && setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof(on)) < 0)
        return fail("Error restricting the IPv6 socket to IPv6 (setsockopt)");
    if (setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bufferSize, sizeof(bufferSize)) < 0)
        return fail("Error setting send buffer size (setsockopt)");
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferSize, sizeof(bufferSize)) < 0)
        return fail("Error setting receive buffer size (setsockopt)");
    return fd;
}

bool setGroupMembership(int fd, bool join, const QByteArray &group, const QByteArray &interfaceAddress,
                        unsigned interfaceIndex6, SocketError *error)
{
    int result = -1;
    if (static_cast<size_t>(group.size()) == sizeof(sockaddr_in)) {
        sockaddr_in groupAddress{}, localAddress{};
        std::memcpy(&groupAddress, group.constData(), sizeof(groupAddress));
        std::memcpy(&localAddress, interfaceAddress.constData(),
                    std::min<size_t>(sizeof(localAddress), static_cast<size_t>(interfaceAddress.size())));
        ip_mreq request{};
        request.imr_multiaddr = groupAddress.sin_addr;
        request.imr_interface = localAddress.sin_addr;
        result = setsockopt(fd, IPPROTO_IP, join ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP, &request, sizeof(request));
    } else {
        sockaddr_in6 groupAddress{};
        std::memcpy(&groupAddress, group.constData(),
                    std::min<size_t>(sizeof(groupAddress), static_cast<size_t>(group.size())));
        ipv6_mreq request{};
        request.ipv6mr_multiaddr = groupAddress.sin6_addr;
        request.ipv6mr_interface = interfaceIndex6;
        result = setsockopt(fd, IPPROTO_IPV6, join ? IPV6_JOIN_GROUP : IPV6_LEAVE_GROUP, &request, sizeof(request));
    }
    if (result != 0) {
        setError(error, SocketError::fromErrno(QStringLiteral("Error in setsockopt() function")));
        return false;
    }
    return true;
}

} // namespace inkora
