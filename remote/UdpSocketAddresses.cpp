#include "remote/UdpSocketAddresses.h"

#include <arpa/inet.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace inkora {

namespace {

template <typename T> QByteArray bytesOf(const T &value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), sizeof(value));
}

QByteArray address4(in_addr addr, quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr = addr;
    return bytesOf(a);
}

QByteArray address6(const in6_addr &addr, quint16 port, quint32 scope = 0)
{
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_port = htons(port);
    a.sin6_addr = addr;
    a.sin6_scope_id = scope;
    return bytesOf(a);
}

bool isLoopbackName(const QString &text)
{
    return text == QLatin1String("localhost") || text == QLatin1String("loopback");
}

QString numericText(const sockaddr *address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(address)->sin_addr, text, sizeof(text));
    else if (address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr, text, sizeof(text));
    return QString::fromLatin1(text);
}

} // namespace

bool isSamePeer(const QByteArray &a, const QByteArray &b)
{
    const int family = socketAddressFamily(a);
    if (family == 0 || family != socketAddressFamily(b))
        return false;
    if (family == AF_INET) {
        sockaddr_in x{}, y{};
        std::memcpy(&x, a.constData(), sizeof(x));
        std::memcpy(&y, b.constData(), sizeof(y));
        return x.sin_port == y.sin_port && x.sin_addr.s_addr == y.sin_addr.s_addr;
    }
    sockaddr_in6 x{}, y{};
    std::memcpy(&x, a.constData(), sizeof(x));
    std::memcpy(&y, b.constData(), sizeof(y));
    return x.sin6_port == y.sin6_port && std::memcmp(&x.sin6_addr, &y.sin6_addr, sizeof(in6_addr)) == 0;
}

bool chooseAddress(const QList<QByteArray> &addresses, const AddressChoiceRules &rules, QByteArray *address,
                   int *family, SocketError *error)
{
    qsizetype index4 = -1;
    qsizetype index6 = -1;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const int f = socketAddressFamily(addresses[i]);
        if (f == AF_INET && index4 < 0)
            index4 = i;
        else if (f == AF_INET6 && index6 < 0)
            index6 = i;
    }
    const auto fail = [&](const char *message) {
        if (error)
            *error = SocketError::other(QString::fromLatin1(message));
        return false;
    };
    if (rules.ipv4Disabled && index6 < 0)
        return fail("IPv4 has been disabled and DNS lookup found no IPv6 address(es).");
    if (rules.ipv6Disabled && index4 < 0)
        return fail("IPv6 has been disabled and DNS lookup found no IPv4 address(es).");
    if (rules.ipv4Deactivated && index6 < 0)
        return fail("IPv4 has been deactivated due to bind/connect, and DNS lookup found no IPv6 address(es).");
    if (rules.ipv6Deactivated && index4 < 0)
        return fail("IPv6 has been deactivated due to bind/connect, and DNS lookup found no IPv4 address(es).");
    if (rules.ipv4Disabled || rules.ipv4Deactivated || !rules.ipv4Usable)
        index4 = -1;
    if (rules.ipv6Disabled || rules.ipv6Deactivated || !rules.ipv6Usable)
        index6 = -1;
    if (index4 < 0 && index6 < 0)
        return fail("A valid IPv4 or IPv6 address was not given");
    bool useIPv4 = false;
    if ((rules.preferIPv4 && index4 >= 0) || index6 < 0)
        useIPv4 = true;
    else if (rules.preferIPv6 || index4 < 0 || index6 < index4)
        useIPv4 = false;
    else
        useIPv4 = true;
    *address = addresses[useIPv4 ? index4 : index6].left(useIPv4 ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));
    *family = useIPv4 ? AF_INET : AF_INET6;
    return true;
}

QList<QByteArray> loopbackAddresses(quint16 port)
{
    in_addr loopback4{};
    loopback4.s_addr = htonl(INADDR_LOOPBACK);
    return {address4(loopback4, port), address6(in6addr_loopback, port)};
}

InterfaceAddresses convertInterfaceDescription(const QString &interface, quint16 port)
{
    InterfaceAddresses out;
    if (interface.isNull()) {
        in_addr any4{};
        any4.s_addr = htonl(INADDR_ANY);
        out.address4 = address4(any4, port);
        out.address6 = address6(in6addr_any, port);
        return out;
    }
    if (isLoopbackName(interface)) {
        const QList<QByteArray> loopback = loopbackAddresses(port);
        out.address4 = loopback[0];
        out.address6 = loopback[1];
        out.interfaceIndex6 = if_nametoindex("lo");
        return out;
    }
    ifaddrs *list = nullptr;
    if (interface.isEmpty() || getifaddrs(&list) != 0)
        return out;
    const QByteArray name = interface.toLocal8Bit();
    for (const ifaddrs *ifa = list; ifa; ifa = ifa->ifa_next) {
        if (!ifa->ifa_addr)
            continue;
        const bool matches = name == ifa->ifa_name || numericText(ifa->ifa_addr) == interface;
        if (!matches)
            continue;
        if (ifa->ifa_addr->sa_family == AF_INET && out.address4.isEmpty()) {
            out.address4 = address4(reinterpret_cast<const sockaddr_in *>(ifa->ifa_addr)->sin_addr, port);
        } else if (ifa->ifa_addr->sa_family == AF_INET6 && out.address6.isEmpty()) {
            const auto *a6 = reinterpret_cast<const sockaddr_in6 *>(ifa->ifa_addr);
            out.address6 = address6(a6->sin6_addr, port, a6->sin6_scope_id);
            out.interfaceIndex6 = if_nametoindex(ifa->ifa_name);
        }
    }
    freeifaddrs(list);
    return out;
}

InterfaceAddresses convertNumericHost(const QString &host, quint16 port)
{
    InterfaceAddresses out;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo *results = nullptr;
    const QByteArray service = QByteArray::number(port);
    if (host.isEmpty() || getaddrinfo(host.toLatin1().constData(), service.constData(), &hints, &results) != 0)
        return out;
    for (const addrinfo *r = results; r; r = r->ai_next) {
        if (r->ai_family == AF_INET && out.address4.isEmpty())
            out.address4 = QByteArray(reinterpret_cast<const char *>(r->ai_addr), sizeof(sockaddr_in));
        else if (r->ai_family == AF_INET6 && out.address6.isEmpty())
            out.address6 = QByteArray(reinterpret_cast<const char *>(r->ai_addr), sizeof(sockaddr_in6));
    }
    freeaddrinfo(results);
    return out;
}

QList<QByteArray> resolveHost(const QString &host, quint16 port, std::optional<SocketError> *error)
{
    if (isLoopbackName(host))
        return loopbackAddresses(port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    addrinfo *results = nullptr;
    const QByteArray service = QByteArray::number(port);
    const int status = getaddrinfo(host.toUtf8().constData(), service.constData(), &hints, &results);
    if (status != 0) {
        if (error)
            *error = SocketError::fromLookup(status);
        return {};
    }
    QList<QByteArray> addresses;
    for (const addrinfo *r = results; r; r = r->ai_next) {
        if (r->ai_family == AF_INET)
            addresses << QByteArray(reinterpret_cast<const char *>(r->ai_addr), sizeof(sockaddr_in));
        else if (r->ai_family == AF_INET6)
            addresses << QByteArray(reinterpret_cast<const char *>(r->ai_addr), sizeof(sockaddr_in6));
    }
    freeaddrinfo(results);
    return addresses;
}

} // namespace inkora
