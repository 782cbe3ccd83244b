#include "platform/SocketAddress.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

int socketAddressFamily(const QByteArray &address)
{
    sa_family_t family = AF_UNSPEC;
    if (static_cast<size_t>(address.size()) < sizeof(family))
        return 0;
    std::memcpy(&family, address.constData(), sizeof(family));
    if (family == AF_INET && static_cast<size_t>(address.size()) >= sizeof(sockaddr_in))
        return AF_INET;
    if (family == AF_INET6 && static_cast<size_t>(address.size()) >= sizeof(sockaddr_in6))
        return AF_INET6;
    return 0;
}

QString socketAddressHostText(const QByteArray &address)
{
    // Large enough for either family's text, with its terminator.
    char text[INET6_ADDRSTRLEN] = {};
    switch (socketAddressFamily(address)) {
    case AF_INET: {
        sockaddr_in a{};
        std::memcpy(&a, address.constData(), sizeof(a));
        if (inet_ntop(AF_INET, &a.sin_addr, text, sizeof(text)))
            return QString::fromLatin1(text);
        break;
    }
    case AF_INET6: {
        sockaddr_in6 a{};
        std::memcpy(&a, address.constData(), sizeof(a));
        if (inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof(text)))
            return QString::fromLatin1(text);
        break;
    }
    default:
        break;
    }
    return {};
}

} // namespace platform
