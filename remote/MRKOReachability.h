#pragma once

#include "platform/Reachability.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

/// The answer of the reachability test.
enum MRKONetworkStatus : long {
    MRKONotReachable = 0,
    MRKOReachable = 1,
};

/// Posted on the default centre, with the reachability object as sender, when the routes may have changed.
inline constexpr char kNetworkReachabilityChangedNotification[] = "kNetworkReachabilityChangedNotification";

/// Whether an address can be reached now, from the system's route to it. An object made without a reference
/// answers "not reachable".
class MRKOReachability final
{
public:
    MRKOReachability();
    ~MRKOReachability();
    MRKOReachability(const MRKOReachability &) = delete;
    MRKOReachability &operator=(const MRKOReachability &) = delete;

    /// For a numeric IPv4 or IPv6 host text; null for any other name (no name lookup is made).
    [[nodiscard]] static std::unique_ptr<MRKOReachability> reachabilityWithHostName(const QString &hostName);
    /// For socket address data (AF_INET, 16 bytes, or AF_INET6, 28 bytes); null for anything else.
    [[nodiscard]] static std::unique_ptr<MRKOReachability> reachabilityWithAddress(const QByteArray &hostAddress);
    /// For the zero IPv4 address: is there a route to anywhere?
    [[nodiscard]] static std::unique_ptr<MRKOReachability> reachabilityForInternetConnection();

    /// Starts posting kNetworkReachabilityChangedNotification from the calling thread's event loop.
    [[nodiscard]] bool startNotifier();
    void stopNotifier();

    [[nodiscard]] MRKONetworkStatus networkStatusForFlags(quint32 flags) const;
    [[nodiscard]] bool connectionRequired() const;
    /// Reads the flags at once; blocks while the system answers.
    [[nodiscard]] MRKONetworkStatus currentReachabilityStatus() const;

private:
    explicit MRKOReachability(const QByteArray &reachabilityRef);
    [[nodiscard]] std::optional<quint32> flags() const;

    QByteArray m_reachabilityRef; // the socket address whose route is looked up; empty: no reference
    std::unique_ptr<platform::Reachability::Watch> m_notifier; // while the notifier runs
};
