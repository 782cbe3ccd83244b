#include "remote/MRKOReachability.h"

#include "foundation/InkoraLog.h"
#include "platform/NotificationCenter.h"
#include "platform/Services.h"
#include "platform/SocketAddress.h"

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

MRKOReachability::MRKOReachability() = default;

MRKOReachability::MRKOReachability(const QByteArray &reachabilityRef) : m_reachabilityRef(reachabilityRef) {}

MRKOReachability::~MRKOReachability()
{
    stopNotifier();
}

std::unique_ptr<MRKOReachability> MRKOReachability::reachabilityWithHostName(const QString &hostName)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo *results = nullptr;
    if (hostName.isEmpty() || getaddrinfo(hostName.toUtf8().constData(), nullptr, &hints, &results) != 0)
        return nullptr;
    QByteArray address;
    if (results->ai_family == AF_INET || results->ai_family == AF_INET6)
        address = QByteArray(reinterpret_cast<const char *>(results->ai_addr), static_cast<int>(results->ai_addrlen));
    freeaddrinfo(results);
    return reachabilityWithAddress(address);
}

std::unique_ptr<MRKOReachability> MRKOReachability::reachabilityWithAddress(const QByteArray &hostAddress)
{
    const int family = platform::socketAddressFamily(hostAddress);
    if (family == 0)
        return nullptr;
    const int length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
    return std::unique_ptr<MRKOReachability>(new MRKOReachability(hostAddress.left(length)));
}

std::unique_ptr<MRKOReachability> MRKOReachability::reachabilityForInternetConnection()
{
    sockaddr_in zero{};
    zero.sin_family = AF_INET;
    return reachabilityWithAddress(QByteArray(reinterpret_cast<const char *>(&zero), sizeof(zero)));
}

bool MRKOReachability::startNotifier()
{
    if (m_reachabilityRef.isEmpty())
        return false;
    auto *reachability = platform::services().reachability.get();
    if (!reachability)
        return false;
    m_notifier = reachability->watchChanges([this] {
        platform::NotificationCenter::defaultCenter().post(QString::fromLatin1(kNetworkReachabilityChangedNotification),
                                                           this);
    });
    return m_notifier != nullptr;
}

void MRKOReachability::stopNotifier()
{
    m_notifier.reset();
}

MRKONetworkStatus MRKOReachability::networkStatusForFlags(quint32 flags) const
{
    using R = platform::Reachability;
    const auto bit = [flags](quint32 flag, char letter) { return (flags & flag) ? letter : '-'; };
    qCDebug(lcRemote, "Reachability Flag Status: %c %c%c%c%c%c%c%c", bit(R::Reachable, 'R'),
            bit(R::TransientConnection, 't'), bit(R::ConnectionRequired, 'c'), bit(R::ConnectionOnTraffic, 'C'),
            bit(R::InterventionRequired, 'i'), bit(R::ConnectionOnDemand, 'D'), bit(R::IsLocalAddress, 'l'),
            bit(R::IsDirect, 'd'));
    if (!(flags & R::Reachable))
        return MRKONotReachable;
    if (!(flags & R::ConnectionRequired))
        return MRKOReachable;
    // A connection that the system makes by itself, without the user, counts as reachable.
    if ((flags & (R::ConnectionOnTraffic | R::ConnectionOnDemand)) && !(flags & R::InterventionRequired))
        return MRKOReachable;
    return MRKONotReachable;
}

bool MRKOReachability::connectionRequired() const
{
    if (m_reachabilityRef.isEmpty()) {
        qCWarning(lcRemote) << "connectionRequired called with NULL reachabilityRef";
        return false;
    }
    const std::optional<quint32> current = flags();
    return current && (*current & platform::Reachability::ConnectionRequired);
}

MRKONetworkStatus MRKOReachability::currentReachabilityStatus() const
{
    if (m_reachabilityRef.isEmpty()) {
        qCWarning(lcRemote) << "currentReachabilityStatus called with NULL SCNetworkReachabilityRef";
        return MRKONotReachable;
    }
    const std::optional<quint32> current = flags();
    return current ? networkStatusForFlags(*current) : MRKONotReachable;
}

std::optional<quint32> MRKOReachability::flags() const
{
    const auto *reachability = platform::services().reachability.get();
    return reachability ? reachability->flagsForAddress(m_reachabilityRef) : std::nullopt;
}
