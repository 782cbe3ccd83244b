#include "platform/fake/FakeReachability.h"
#include "remote/NSNetService+Util.h"
#include "remote/ResolvedService.h"
#include "tests/remote/RemoteFixture.h"

#include <cstring>
#include <sys/socket.h>

namespace {

class NSNetServiceUtilTest : public RemoteFixture
{
protected:
    static QByteArray unixAddress()
    {
        QByteArray data(110, '\0');
        const sa_family_t family = AF_UNIX;
        std::memcpy(data.data(), &family, sizeof(family));
        return data;
    }
};

TEST_F(NSNetServiceUtilTest, AddressesWithPortsSkipPortZeroAndOtherFamilies)
{
    const inkora::ResolvedService service{QStringLiteral("Phone"),
                                          {ipv4("192.168.1.20", 5000), ipv6("::1", 0), unixAddress(),
                                           ipv4("10.0.0.1", 80).left(12), ipv6("fe80::1", 7000)}};

    const QList<MRKOAddressWithPort> out = Util::addressesWithPorts(service);

    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0], MRKOAddressWithPort(QStringLiteral("192.168.1.20"), 5000));
    EXPECT_EQ(out[1], MRKOAddressWithPort(QStringLiteral("fe80::1"), 7000));
    EXPECT_EQ(out[0].description(), QStringLiteral("Address: 192.168.1.20 - Port: 5000"));
}

TEST_F(NSNetServiceUtilTest, ReachableAddressesKeepTheServiceOrderAndPortZero)
{
    auto &reachability = *fakes().reachability;
    reachability.setFlags(QStringLiteral("10.0.0.2"),
                          platform::Reachability::Reachable | platform::Reachability::ConnectionRequired);
    reachability.setFlags(QStringLiteral("10.0.0.3"), std::nullopt);
    const QByteArray v6 = ipv6("fe80::1", 7000);
    const QByteArray v4 = ipv4("192.168.1.20", 5000);
    const QByteArray portZero = ipv4("192.168.1.21", 0);
    const inkora::ResolvedService service{
        QStringLiteral("Phone"), {v6, ipv4("10.0.0.2", 5000), v4, unixAddress(), ipv4("10.0.0.3", 5000), portZero}};

    EXPECT_EQ(Util::allReachableAddresses(service), (QList<QByteArray>{v6, v4, portZero}));
    EXPECT_TRUE(log().contains(QStringLiteral(">>host(10.0.0.2), reached(0)")));
    EXPECT_TRUE(log().contains(QStringLiteral(">>host(fe80::1), reached(1)")));
    EXPECT_TRUE(Util::allReachableAddresses(inkora::ResolvedService{}).isEmpty());
}

} // namespace
