#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace inkora {

/// Numeric text of a socket address in the Linux layout (sa_family in the first two bytes): a sockaddr_in of 16
/// bytes or a sockaddr_in6 of 28. A null string for any other family or for data too short for its family.
[[nodiscard]] QString ipAddressFromData(const QByteArray &data);

/// The text of the first address, in list order, that ipAddressFromData can read; a null string when none can.
[[nodiscard]] QString ipAddressWithAddresses(const QList<QByteArray> &addresses);

} // namespace inkora
