#pragma once

#include <QString>

/// The numeric address of a resolved service and its port, in host order.
class MRKOAddressWithPort final
{
public:
    MRKOAddressWithPort() = default;
    MRKOAddressWithPort(const QString &address, qint32 port);

    [[nodiscard]] QString address() const { return m_address; }
    void setAddress(const QString &address) { m_address = address; }
    [[nodiscard]] qint32 port() const { return m_port; }
    void setPort(qint32 port) { m_port = port; }

    /// "Address: <address> - Port: <port>".
    [[nodiscard]] QString description() const;

    [[nodiscard]] bool operator==(const MRKOAddressWithPort &) const = default;

private:
    QString m_address;
    qint32 m_port = 0;
};
