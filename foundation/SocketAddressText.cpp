#include "foundation/SocketAddressText.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>

namespace inkora {

QString ipAddressFromData(const QByteArray &data)
{
    sa_family_t family = AF_UNSPEC;
    if (static_cast<size_t>(data.size()) < sizeof(family))
        return {};
    std::memcpy(&family, data.constData(), sizeof(family));

    // Large enough for either family's text, with its terminator.
    char text[INET6_ADDRSTRLEN] = {};
    if (family == AF_INET && static_cast<size_t>(data.size()) >= sizeof(sockaddr_in)) {
        sockaddr_in address{};
        std::memcpy(&address, data.constData(), sizeof(address));
        if (inet_ntop(AF_INET, &address.sin_addr, text, sizeof(text)))
            return QString::fromLatin1(text);
    } else if (family == AF_INET6 && static_cast<size_t>(data.size()) >= sizeof(sockaddr_in6)) {
        sockaddr_in6 address{};
        std::memcpy(&address, data.constData(), sizeof(address));
        if (inet_ntop(AF_INET6, &address.sin6_addr, text, sizeof(text)))
            return QString::fromLatin1(text);
    }
    return {};
}

QString ipAddressWithAddresses(const QList<QByteArray> &addresses)
{
    for (const QByteArray &data : addresses) {
        const QString text = ipAddressFromData(data);
        if (!text.isNull())
            return text;
    }
    return {};
}

} // namespace inkora
