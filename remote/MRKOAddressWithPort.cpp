#include "remote/MRKOAddressWithPort.h"

MRKOAddressWithPort::MRKOAddressWithPort(const QString &address, qint32 port) : m_address(address), m_port(port) {}

QString MRKOAddressWithPort::description() const
{
    return QStringLiteral("Address: %1 - Port: %2").arg(m_address).arg(m_port);
}
