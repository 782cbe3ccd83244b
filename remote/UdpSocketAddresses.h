#pragma once

#include "platform/SocketAddress.h"
#include "remote/SocketError.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace inkora {

/// The IPv4 and IPv6 socket address an interface or host text stands for; each is empty when there is none.
struct InterfaceAddresses
{
    QByteArray address4;          // sockaddr_in, 16 bytes
    QByteArray address6;          // sockaddr_in6, 28 bytes
    unsigned interfaceIndex6 = 0; // the IPv6 address's interface, 0 for the wildcard
};

using platform::socketAddressFamily;

/// A null interface means the wildcard address of each family; "localhost" and "loopback" the loopback addresses;
/// any other text the addresses of the local interface of that name or with that numeric address.
[[nodiscard]] InterfaceAddresses convertInterfaceDescription(const QString &interface, quint16 port);

/// The addresses of a numeric host text, without any name lookup.
[[nodiscard]] InterfaceAddresses convertNumericHost(const QString &host, quint16 port);

/// Same address and port; the scope of an IPv6 address is not part of who sent a datagram.
[[nodiscard]] bool isSamePeer(const QByteArray &a, const QByteArray &b);

/// What a list of addresses may be reduced to.
struct AddressChoiceRules
{
    bool ipv4Disabled = false;
    bool ipv6Disabled = false;
    bool ipv4Deactivated = false; // closed because the socket was bound or connected to the other family
    bool ipv6Deactivated = false;
    bool ipv4Usable = true; // a socket of the family exists
    bool ipv6Usable = true;
    bool preferIPv4 = false;
    bool preferIPv6 = false;
};

/// Reduces a list to one address: the first IPv4 or the first IPv6 one, by preference, then by order. A family
/// that cannot be used is never chosen. False with the error when nothing can be.
[[nodiscard]] bool chooseAddress(const QList<QByteArray> &addresses, const AddressChoiceRules &rules,
                                 QByteArray *address, int *family, SocketError *error);

/// The loopback address of each family with the port: IPv4 first.
[[nodiscard]] QList<QByteArray> loopbackAddresses(quint16 port);

/// The IPv4 and IPv6 addresses of a host for datagram sockets, in the system's order; blocks while it looks.
/// "localhost" and "loopback" give the loopback addresses without a lookup.
[[nodiscard]] QList<QByteArray> resolveHost(const QString &host, quint16 port, std::optional<SocketError> *error);

} // namespace inkora
