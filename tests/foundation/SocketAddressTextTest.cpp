#include "foundation/SocketAddressText.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

namespace {

QByteArray ipv4(const char *text, quint16 port = 0)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, text, &a.sin_addr);
    return QByteArray(reinterpret_cast<const char *>(&a), sizeof(a));
}

QByteArray ipv6(const char *text, quint32 scope = 0)
{
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_scope_id = scope;
    inet_pton(AF_INET6, text, &a.sin6_addr);
    return QByteArray(reinterpret_cast<const char *>(&a), sizeof(a));
}

QByteArray ofFamily(sa_family_t family, int size)
{
    QByteArray data(size, '\x7f');
    std::memcpy(data.data(), &family, sizeof(family));
    return data;
}

struct Row
{
    const char *name;
    QByteArray data;
    QString expected; // null: no text
};

TEST(SocketAddressTextTest, ReadsTheLinuxLayoutAndRefusesWhatItCannotRead)
{
    const std::vector<Row> rows = {
        {"Loopback4", ipv4("127.0.0.1", 5000), QStringLiteral("127.0.0.1")},
        {"Private4", ipv4("192.168.1.20"), QStringLiteral("192.168.1.20")},
        {"Loopback6", ipv6("::1"), QStringLiteral("::1")},
        {"LinkLocal6WithScope", ipv6("fe80::1:2", 3), QStringLiteral("fe80::1:2")},
        {"Mapped6", ipv6("::ffff:10.0.0.1"), QStringLiteral("::ffff:10.0.0.1")},
        {"Empty", QByteArray(), QString()},
        {"OneByte", QByteArray(1, '\2'), QString()},
        {"Ipv4TooShort", ipv4("127.0.0.1").left(15), QString()},
        {"Ipv6TooShort", ipv6("::1").left(27), QString()},
        {"Ipv6LengthOfIpv4", ofFamily(AF_INET6, 16), QString()},
        {"UnixFamily", ofFamily(AF_UNIX, 110), QString()},
        // The numbers another system uses for IPv6 must not be read as an address here.
        {"ForeignIpv6Number", ofFamily(30, 28), QString()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString text = inkora::ipAddressFromData(row.data);
        EXPECT_EQ(text.isNull(), row.expected.isNull());
        EXPECT_EQ(text, row.expected);
    }
}

TEST(SocketAddressTextTest, FirstReadableAddressOfAListWins)
{
    EXPECT_EQ(inkora::ipAddressWithAddresses({ofFamily(AF_UNIX, 110), ipv6("::1"), ipv4("127.0.0.1")}),
              QStringLiteral("::1"));
    EXPECT_EQ(inkora::ipAddressWithAddresses({ipv4("127.0.0.1").left(8), ipv4("10.1.2.3")}),
              QStringLiteral("10.1.2.3"));
    EXPECT_TRUE(inkora::ipAddressWithAddresses({}).isNull());
    EXPECT_TRUE(inkora::ipAddressWithAddresses({QByteArray(), ofFamily(AF_UNIX, 16)}).isNull());
}

} // namespace
