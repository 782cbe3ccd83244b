#include "remote/MRKOReachability.h"

#include "platform/NotificationCenter.h"
#include "platform/fake/FakeReachability.h"
#include "tests/remote/RemoteFixture.h"

using platform::Reachability;

namespace {

class MRKOReachabilityTest : public RemoteFixture
{
protected:
    platform::FakeReachability &reachability() { return *fakes().reachability; }
};

struct StatusRow
{
    const char *name;
    quint32 flags;
    MRKONetworkStatus status;
    const char *logged;
};

TEST_F(MRKOReachabilityTest, StatusFollowsTheFlags)
{
    const std::vector<StatusRow> rows = {
        {"ReachableOnly", 2, MRKOReachable, "R -------"},
        {"ConnectionRequired", 6, MRKONotReachable, "R -c-----"},
        {"ConnectionOnTraffic", 14, MRKOReachable, "R -cC----"},
        {"InterventionRequired", 30, MRKONotReachable, "R -cCi---"},
        {"Nothing", 0, MRKONotReachable, "- -------"},
        {"ConnectionOnDemand", 2 | 4 | 32, MRKOReachable, "R -c--D--"},
        {"LocalAndDirectWithoutReachable", 65536 | 131072 | 1, MRKONotReachable, "- t----ld"},
    };
    MRKOReachability object;
    for (const StatusRow &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(object.networkStatusForFlags(row.flags), row.status);
        EXPECT_TRUE(log().contains(QStringLiteral("Reachability Flag Status: ") + QString::fromLatin1(row.logged)));
    }
}

TEST_F(MRKOReachabilityTest, CurrentStatusAsksTheSystemForTheAddress)
{
    reachability().setFlags(QStringLiteral("10.0.0.6"), Reachability::Reachable | Reachability::ConnectionRequired);
    reachability().setFlags(QStringLiteral("10.0.0.9"), std::nullopt);

    const auto open = MRKOReachability::reachabilityWithHostName(QStringLiteral("10.0.0.1"));
    const auto required = MRKOReachability::reachabilityWithHostName(QStringLiteral("10.0.0.6"));
    const auto unreadable = MRKOReachability::reachabilityWithHostName(QStringLiteral("10.0.0.9"));
    const auto v6 = MRKOReachability::reachabilityWithHostName(QStringLiteral("fe80::1%1"));
    ASSERT_TRUE(open && required && unreadable && v6);

    EXPECT_EQ(open->currentReachabilityStatus(), MRKOReachable);
    EXPECT_FALSE(open->connectionRequired());
    EXPECT_EQ(required->currentReachabilityStatus(), MRKONotReachable);
    EXPECT_TRUE(required->connectionRequired());
    EXPECT_EQ(unreadable->currentReachabilityStatus(), MRKONotReachable);
    EXPECT_FALSE(unreadable->connectionRequired());
    EXPECT_EQ(v6->currentReachabilityStatus(), MRKOReachable);

    const auto internet = MRKOReachability::reachabilityForInternetConnection();
    ASSERT_TRUE(internet);
    EXPECT_EQ(internet->currentReachabilityStatus(), MRKOReachable);
    EXPECT_EQ(reachability().askedHosts().last(), QStringLiteral("0.0.0.0"));
}

TEST_F(MRKOReachabilityTest, OnlyNumericHostsAndCompleteAddressesMakeAnObject)
{
    for (const char *name : {"", "phone.local", "999.1.1.1", "::1::2"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(MRKOReachability::reachabilityWithHostName(QString::fromLatin1(name)), nullptr);
    }
    EXPECT_NE(MRKOReachability::reachabilityWithAddress(ipv6("::1", 0)), nullptr);
    EXPECT_EQ(MRKOReachability::reachabilityWithAddress(ipv6("::1", 0).left(27)), nullptr);
    EXPECT_EQ(MRKOReachability::reachabilityWithAddress(QByteArray(16, '\0')), nullptr);
    EXPECT_TRUE(reachability().askedHosts().isEmpty());
}

TEST_F(MRKOReachabilityTest, ObjectWithoutReferenceLogsAndAnswersNo)
{
    log().expectWarning(QStringLiteral("called with NULL"));
    MRKOReachability object;
    EXPECT_EQ(object.currentReachabilityStatus(), MRKONotReachable);
    EXPECT_FALSE(object.connectionRequired());
    EXPECT_FALSE(object.startNotifier());
    EXPECT_TRUE(log().contains(QStringLiteral("currentReachabilityStatus called with NULL SCNetworkReachabilityRef")));
    EXPECT_TRUE(log().contains(QStringLiteral("connectionRequired called with NULL reachabilityRef")));
}

TEST_F(MRKOReachabilityTest, NotifierPostsChangesWithTheObjectAsSenderUntilStopped)
{
    auto object = MRKOReachability::reachabilityWithHostName(QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(object);
    int posted = 0;
    platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(kNetworkReachabilityChangedNotification), object.get(),
        [&](const platform::Notification &) { ++posted; });

    ASSERT_TRUE(object->startNotifier());
    reachability().simulateChange();
    EXPECT_EQ(posted, 1);
    object->stopNotifier();
    reachability().simulateChange();
    EXPECT_EQ(posted, 1);

    ASSERT_TRUE(object->startNotifier());
    object.reset(); // going away stops it
    EXPECT_EQ(reachability().runningWatches(), 0);

    reachability().setWatchFails(true);
    auto other = MRKOReachability::reachabilityWithHostName(QStringLiteral("127.0.0.1"));
    EXPECT_FALSE(other->startNotifier());
}

} // namespace
