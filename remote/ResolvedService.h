#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace inkora {

/// A service found on the local network and resolved: its name and its socket addresses (AF_INET, 16 bytes;
/// AF_INET6, 28 bytes), in the order resolution gave them.
struct ResolvedService
{
    QString name;
    QList<QByteArray> addresses;
};

} // namespace inkora
