#include "remote/UdpDelegateChannel.h"

#include "platform/Dispatch.h"
#include "tests/support/InkoraFixture.h"

#include <memory>
#include <string>
#include <vector>

using inkora::UdpDelegateChannel;

namespace {

class UdpDelegateChannelTest : public InkoraFixture
{
protected:
    void post(const std::string &name, bool isReceivedDatagram)
    {
        m_channel->post([this, name] { delivered.push_back(name); }, isReceivedDatagram);
    }

    std::shared_ptr<UdpDelegateChannel> m_channel =
        std::make_shared<UdpDelegateChannel>(&platform::DispatchQueue::main());
    std::vector<std::string> delivered;
};

TEST_F(UdpDelegateChannelTest, FloodDropsOnlyReceivedDatagramsAndKeepsTheOrder)
{
    constexpr int kMax = UdpDelegateChannel::kMaxPendingReceives;
    log().expectWarning(QStringLiteral("dropping received datagrams"));

    // The delegate queue does not run while the flood comes in.
    post("connect", false);
    for (int i = 0; i < kMax + 100; ++i) {
        post("r" + std::to_string(i), true);
        if (i == kMax + 10)
            post("send", false);
    }
    post("close", false);
    EXPECT_EQ(m_channel->droppedReceiveCount(), 100u);
    EXPECT_EQ(m_channel->pendingCount(), kMax + 3);

    drainMainQueue();

    std::vector<std::string> expected{"connect"};
    for (int i = 0; i < kMax; ++i)
        expected.push_back("r" + std::to_string(i));
    expected.push_back("send");
    expected.push_back("close");
    EXPECT_EQ(delivered, expected);
    EXPECT_EQ(log().count(QStringLiteral("dropping received datagrams")), 1);

    // Caught up: datagrams are carried again, and the next flood is logged again, once.
    post("late", true);
    drainMainQueue();
    EXPECT_EQ(delivered.back(), "late");
    for (int i = 0; i < kMax + 5; ++i)
        post("again", true);
    EXPECT_EQ(m_channel->droppedReceiveCount(), 105u);
    EXPECT_EQ(log().count(QStringLiteral("dropping received datagrams")), 2);
}

TEST_F(UdpDelegateChannelTest, ShutDownDropsWhatWaitsAndDeliversNothingMore)
{
    post("before", false);
    m_channel->shutDown();
    post("after", false);
    drainMainQueue();
    EXPECT_TRUE(delivered.empty());
}

TEST_F(UdpDelegateChannelTest, EventsPostedFromAnotherThreadArriveInTheirOrder)
{
    auto queue = platform::DispatchQueue::createSerial(QStringLiteral("producer"));
    for (int i = 0; i < 500; ++i)
        queue->async([this, i] { post(std::to_string(i), i % 3 != 0); });
    queue->sync([] {});
    drainMainQueue();
    ASSERT_EQ(delivered.size(), 500u);
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(delivered[i], std::to_string(i));
}

} // namespace
