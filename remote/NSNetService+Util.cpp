#include "foundation/InkoraLog.h"
#include "foundation/SocketAddressText.h"
#include "remote/MRKOReachability.h"
#include "remote/NSNetService+Util.h"
#include "remote/ResolvedService.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

namespace Util {

QList<MRKOAddressWithPort> addressesWithPorts(const inkora::ResolvedService &service)
{
    QList<MRKOAddressWithPort> out;
    for (const QByteArray &data : service.addresses) {
        const QString host = inkora::ipAddressFromData(data);
        if (host.isNull())
            continue; // another family, or too short for its own
        // sin_port and sin6_port share their place, in network order.
        sockaddr_in address{};
        std::memcpy(&address, data.constData(), sizeof(address));
        const quint16 port = ntohs(address.sin_port);
        if (port != 0)
            out << MRKOAddressWithPort(host, port);
    }
    return out;
}

QList<QByteArray> allReachableAddresses(const inkora::ResolvedService &service)
{
    QList<QByteArray> reachable;
    for (const QByteArray &data : service.addresses) {
        const QString host = inkora::ipAddressFromData(data);
        if (host.isNull())
            continue;
        // By socket address rather than by text, so that a link-local IPv6 address keeps its interface.
        const auto reachability = MRKOReachability::reachabilityWithAddress(data);
        const long status = reachability ? reachability->currentReachabilityStatus() : MRKONotReachable;
        qCDebug(lcRemote).noquote().nospace() << ">>host(" << host << "), reached(" << status << ")";
        if (status != MRKONotReachable)
            reachable << data;
    }
    return reachable;
}

} // namespace Util
