#include "platform/linux/PosixReachability.h"

#include "tests/support/InkoraFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QByteArray ipv4(const char *text)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, text, &a.sin_addr);
    return QByteArray(reinterpret_cast<const char *>(&a), sizeof(a));
}

QByteArray ipv6(const char *text)
{
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    inet_pton(AF_INET6, text, &a.sin6_addr);
    return QByteArray(reinterpret_cast<const char *>(&a), sizeof(a));
}

bool hasIpv6Loopback()
{
    const int fd = ::socket(AF_INET6, SOCK_DGRAM, 0);
    if (fd < 0)
        return false;
    const QByteArray loop = ipv6("::1");
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr *>(loop.constData()), sizeof(sockaddr_in6)) == 0;
    ::close(fd);
    return ok;
}

class PosixReachabilityTest : public InkoraFixture
{
protected:
    platform::PosixReachability m_reachability;
};

TEST_F(PosixReachabilityTest, LoopbackIsReachableAndLocal)
{
    constexpr quint32 kLocal = platform::Reachability::Reachable | platform::Reachability::IsLocalAddress;
    EXPECT_EQ(m_reachability.flagsForAddress(ipv4("127.0.0.1")).value_or(0) & kLocal, kLocal);
    if (hasIpv6Loopback()) {
        EXPECT_EQ(m_reachability.flagsForAddress(ipv6("::1")).value_or(0) & kLocal, kLocal);
    }
}

TEST_F(PosixReachabilityTest, DataThatIsNoAddressHasNoFlags)
{
    EXPECT_FALSE(m_reachability.flagsForAddress(QByteArray()).has_value());
    EXPECT_FALSE(m_reachability.flagsForAddress(ipv4("127.0.0.1").left(15)).has_value());
    EXPECT_FALSE(m_reachability.flagsForAddress(ipv6("::1").left(27)).has_value());
}

TEST_F(PosixReachabilityTest, ChangesCanBeWatchedAndTheWatchEnds)
{
    auto watch = m_reachability.watchChanges([] {});
    EXPECT_NE(watch, nullptr);
    watch.reset();
}

} // namespace
