#pragma once

#include "remote/SocketError.h"

#include <QByteArray>

namespace inkora {

/// A non-blocking datagram socket of the family (AF_INET or AF_INET6) with address reuse and send and receive
/// buffers of `bufferSize` bytes; an IPv6 one takes IPv6 only. −1 with the error of the step that failed.
[[nodiscard]] int createDatagramSocket(int domain, int bufferSize, SocketError *error);

/// Joins or leaves a multicast group on a socket of the group's family; an IPv4 membership names the interface by
/// its address, an IPv6 one by its index. False with the error when the system refuses.
[[nodiscard]] bool setGroupMembership(int fd, bool join, const QByteArray &group, const QByteArray &interfaceAddress,
                                      unsigned interfaceIndex6, SocketError *error);

} // namespace inkora
