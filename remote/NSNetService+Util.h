#pragma once

#include "remote/MRKOAddressWithPort.h"

#include <QByteArray>
#include <QList>

namespace inkora {
struct ResolvedService;
}

/// Address helpers of a resolved service.
namespace Util {

/// The numeric address and port of each IPv4 and IPv6 address whose port is not 0.
[[nodiscard]] QList<MRKOAddressWithPort> addressesWithPorts(const inkora::ResolvedService &service);

/// The resolved addresses, in the service's order, that the reachability test accepts; the port plays no part.
[[nodiscard]] QList<QByteArray> allReachableAddresses(const inkora::ResolvedService &service);

} // namespace Util
