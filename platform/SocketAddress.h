#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

/// AF_INET or AF_INET6 for socket address data (Linux layout) long enough for its family, else 0.
[[nodiscard]] int socketAddressFamily(const QByteArray &address);

/// The numeric host of socket address data; null when the data is not a whole IPv4 or IPv6 address.
[[nodiscard]] QString socketAddressHostText(const QByteArray &address);

} // namespace platform
