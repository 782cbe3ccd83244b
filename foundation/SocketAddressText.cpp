#include "foundation/SocketAddressText.h"

#include "platform/SocketAddress.h"

namespace inkora {

QString ipAddressFromData(const QByteArray &data)
{
    return platform::socketAddressHostText(data);
}

QString ipAddressWithAddresses(const QList<QByteArray> &addresses)
{
    for (const QByteArray &data : addresses) {
        const QString text = ipAddressFromData(data);
        if (!text.isNull())
            return text;
    }
    return {};
}

} // namespace inkora
