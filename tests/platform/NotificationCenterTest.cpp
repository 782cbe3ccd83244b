#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

using platform::Notification;
using platform::NotificationCenter;
using platform::ObserverToken;

namespace {

const QString kName = QStringLiteral("Changed");

TEST(NotificationCenterTest, DeliversByNameAndSenderInRegistrationOrder)
{
    NotificationCenter center;
    int senderA = 0;
    int senderB = 0;
    std::vector<std::string> calls;
    const ObserverToken any = center.addObserver(kName, nullptr, [&](const Notification &) { calls.push_back("any"); });
    const ObserverToken onlyA =
        center.addObserver(kName, &senderA, [&](const Notification &) { calls.push_back("a"); });
    const ObserverToken other =
        center.addObserver(QStringLiteral("Other"), nullptr, [&](const Notification &) { calls.push_back("other"); });
    const ObserverToken anyAgain = center.addObserver(kName, nullptr, [&](const Notification &n) {
        calls.push_back("any2");
        EXPECT_EQ(n.userInfo.value(QStringLiteral("size")).toInt(), 12);
    });

    center.post(kName, &senderA, {{QStringLiteral("size"), 12}});
    EXPECT_EQ(calls, (std::vector<std::string>{"any", "a", "any2"}));

    calls.clear();
    center.post(kName, &senderB, {{QStringLiteral("size"), 12}});
    EXPECT_EQ(calls, (std::vector<std::string>{"any", "any2"}));
}

TEST(NotificationCenterTest, RemovedObserversAreNotCalledEvenDuringADelivery)
{
    NotificationCenter center;
    std::vector<std::string> calls;
    ObserverToken second;
    ObserverToken late;
    ObserverToken first = center.addObserver(kName, nullptr, [&](const Notification &) {
        calls.push_back("first");
        second.reset();
        first.reset(); // removing itself while running is allowed
        late = center.addObserver(kName, nullptr, [&](const Notification &) { calls.push_back("late"); });
    });
    second = center.addObserver(kName, nullptr, [&](const Notification &) { calls.push_back("second"); });

    center.post(kName);
    EXPECT_EQ(calls, std::vector<std::string>{"first"}); // an observer added while posting waits for the next post
    EXPECT_FALSE(first.isActive());

    calls.clear();
    center.post(kName);
    EXPECT_EQ(calls, std::vector<std::string>{"late"});

    {
        const ObserverToken scoped =
            center.addObserver(kName, nullptr, [&](const Notification &) { calls.push_back("scoped"); });
    }
    center.removeObserver(late);
    calls.clear();
    center.post(kName);
    EXPECT_TRUE(calls.empty());
}

TEST(NotificationCenterTest, DeliversOnThePostingThreadBeforePostReturns)
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    std::optional<std::thread::id> seenOn;
    const ObserverToken token =
        center.addObserver(kName, nullptr, [&](const Notification &) { seenOn = std::this_thread::get_id(); });

    std::thread::id poster;
    std::thread thread([&] {
        poster = std::this_thread::get_id();
        center.post(kName);
        EXPECT_TRUE(seenOn.has_value());
    });
    thread.join();

    ASSERT_TRUE(seenOn.has_value());
    EXPECT_EQ(*seenOn, poster);
}

TEST(NotificationCenterTest, TokenMayOutliveItsCentre)
{
    ObserverToken token;
    {
        NotificationCenter center;
        token = center.addObserver(kName, nullptr, [](const Notification &) {});
        EXPECT_TRUE(token.isActive());
    }
    token.reset(); // must not touch the destroyed centre
    EXPECT_FALSE(token.isActive());
}

} // namespace
