#include "remote/UdpSocketAddresses.h"

#include "tests/remote/RemoteFixture.h"

#include <sys/socket.h>

using inkora::AddressChoiceRules;

namespace {

class UdpSocketAddressesTest : public RemoteFixture
{
};

struct ChoiceRow
{
    const char *name;
    QList<QByteArray> addresses;
    AddressChoiceRules rules;
    int family;        // chosen; 0: refused
    const char *error; // when refused
};

TEST_F(UdpSocketAddressesTest, ChoosesOneAddressByPreferenceOrderAndUsableFamily)
{
    const QByteArray v4 = ipv4("10.0.0.1", 1);
    const QByteArray v6 = ipv6("fe80::1", 1);
    AddressChoiceRules neutral;
    AddressChoiceRules prefer4;
    prefer4.preferIPv4 = true;
    AddressChoiceRules prefer6;
    prefer6.preferIPv6 = true;
    AddressChoiceRules v4Disabled;
    v4Disabled.ipv4Disabled = true;
    AddressChoiceRules v6Deactivated;
    v6Deactivated.ipv6Deactivated = true;
    AddressChoiceRules noV4Socket;
    noV4Socket.ipv4Usable = false;
    const std::vector<ChoiceRow> rows = {
        {"FirstInListWins4", {v4, v6}, neutral, AF_INET, ""},
        {"FirstInListWins6", {v6, v4}, neutral, AF_INET6, ""},
        {"PreferIPv4", {v6, v4}, prefer4, AF_INET, ""},
        {"PreferIPv6", {v4, v6}, prefer6, AF_INET6, ""},
        {"PreferenceWithoutThatFamily", {v4}, prefer6, AF_INET, ""},
        {"DisabledFamilyIsSkipped", {v4, v6}, v4Disabled, AF_INET6, ""},
        {"FamilyWithoutSocketIsSkipped", {v4, v6}, noV4Socket, AF_INET6, ""},
        {"DisabledWithoutTheOther",
         {v4},
         v4Disabled,
         0,
         "IPv4 has been disabled and DNS lookup found no IPv6 address(es)."},
        {"DeactivatedWithoutTheOther",
         {v6},
         v6Deactivated,
         0,
         "IPv6 has been deactivated due to bind/connect, and DNS lookup found no IPv4 address(es)."},
        {"NothingUsable", {QByteArray(16, '\0')}, neutral, 0, "A valid IPv4 or IPv6 address was not given"},
    };
    for (const ChoiceRow &row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray chosen;
        int family = 0;
        inkora::SocketError error;
        EXPECT_EQ(inkora::chooseAddress(row.addresses, row.rules, &chosen, &family, &error), row.family != 0);
        EXPECT_EQ(family, row.family);
        if (row.family == 0)
            EXPECT_EQ(error.description, QString::fromLatin1(row.error));
        else
            EXPECT_EQ(chosen, row.family == AF_INET ? v4 : v6);
    }
}

TEST_F(UdpSocketAddressesTest, PeersMatchByAddressAndPort)
{
    EXPECT_TRUE(inkora::isSamePeer(ipv4("127.0.0.1", 5), ipv4("127.0.0.1", 5)));
    EXPECT_FALSE(inkora::isSamePeer(ipv4("127.0.0.1", 5), ipv4("127.0.0.1", 6)));
    EXPECT_FALSE(inkora::isSamePeer(ipv4("127.0.0.1", 5), ipv4("127.0.0.2", 5)));
    EXPECT_FALSE(inkora::isSamePeer(ipv4("127.0.0.1", 5), ipv6("::ffff:127.0.0.1", 5)));
    EXPECT_TRUE(inkora::isSamePeer(ipv6("::1", 5), ipv6("::1", 5)));
    EXPECT_FALSE(inkora::isSamePeer(QByteArray(), QByteArray()));
}

TEST_F(UdpSocketAddressesTest, InterfaceTextsGiveTheirAddresses)
{
    const inkora::InterfaceAddresses any = inkora::convertInterfaceDescription(QString(), 7);
    EXPECT_EQ(any.address4, ipv4("0.0.0.0", 7));
    EXPECT_EQ(any.address6, ipv6("::", 7));
    const inkora::InterfaceAddresses byAddress = inkora::convertInterfaceDescription(QStringLiteral("127.0.0.1"), 7);
    EXPECT_EQ(byAddress.address4, ipv4("127.0.0.1", 7));
    EXPECT_TRUE(byAddress.address6.isEmpty());
    const inkora::InterfaceAddresses unknown = inkora::convertInterfaceDescription(QStringLiteral("nosuchif0"), 7);
    EXPECT_TRUE(unknown.address4.isEmpty() && unknown.address6.isEmpty());
    // Numeric hosts only: a name is not looked up.
    EXPECT_TRUE(inkora::convertNumericHost(QStringLiteral("localhost"), 7).address4.isEmpty());
    EXPECT_EQ(inkora::convertNumericHost(QStringLiteral("239.1.2.3"), 7).address4, ipv4("239.1.2.3", 7));
}

} // namespace
