#include "platform/Dispatch.h"

#include "tests/support/InkoraFixture.h"

#include <QObject>

#include <gmock/gmock.h>

#include <chrono>
#include <future>
#include <latch>
#include <thread>
#include <vector>

using platform::DispatchQueue;
using platform::RunLoop;

class DispatchTest : public InkoraFixture
{
};

TEST_F(DispatchTest, MainQueueRunsBlocksInOrderIncludingThoseQueuedWhileDraining)
{
    std::vector<int> order;
    DispatchQueue::main().async([&] {
        order.push_back(1);
        DispatchQueue::main().async([&] { order.push_back(3); });
    });
    DispatchQueue::main().async([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());

    drainMainQueue();

    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(DispatchTest, SerialQueueRunsInOrderAndHandsBackToMain)
{
    auto queue = DispatchQueue::createSerial(QStringLiteral("test"));
    std::vector<int> seen;
    for (int i = 0; i < 50; ++i)
        queue->async([&, i] { seen.push_back(i); });
    bool onQueue = false;
    queue->sync([&] { onQueue = queue->isCurrent(); });

    ASSERT_EQ(seen.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_TRUE(onQueue);
    EXPECT_FALSE(queue->isCurrent());
}

TEST_F(DispatchTest, DelayedBlocksFireWhenTheClockReachesThemInTimeOrder)
{
    std::vector<int> order;
    DispatchQueue::main().after(2.0, [&] { order.push_back(2); });
    DispatchQueue::main().after(1.0, [&] { order.push_back(1); });

    advance(0.99);
    EXPECT_TRUE(order.empty());
    advance(0.01);
    EXPECT_EQ(order, std::vector<int>{1});
    advance(5);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST_F(DispatchTest, PerformsWaitDuringTrackingAndCanBeCancelledByTarget)
{
    QObject target;
    int fired = 0;
    RunLoop::main().performAfterDelay(&target, QStringLiteral("a"), 1.0, [&] { ++fired; });
    RunLoop::main().performAfterDelay(&target, QStringLiteral("b"), 1.0, [&] { fired += 10; });
    int common = 0;
    RunLoop::main().schedule(1.0, [&] { ++common; });

    RunLoop::main().pushMode(RunLoop::EventTrackingMode);
    advance(2);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(common, 1);

    RunLoop::main().cancelPreviousPerformRequests(&target, QStringLiteral("b"));
    EXPECT_FALSE(RunLoop::main().hasPerformRequest(&target, QStringLiteral("b")));
    RunLoop::main().popMode();
    advance(0);
    EXPECT_EQ(fired, 1);
}

TEST_F(DispatchTest, PerformWhoseTargetIsGoneIsDropped)
{
    int fired = 0;
    {
        QObject target;
        RunLoop::main().performAfterDelay(&target, QStringLiteral("a"), 1.0, [&] { ++fired; });
    }
    advance(2);
    EXPECT_EQ(fired, 0);
}

TEST_F(DispatchTest, TimerSourceRepeatsUntilSuspended)
{
    int ticks = 0;
    platform::DispatchTimer timer(DispatchQueue::main(), 0.5, [&] { ++ticks; });
    advance(1);
    EXPECT_EQ(ticks, 0); // a new source starts suspended

    timer.resume();
    advance(1.6);
    EXPECT_EQ(ticks, 3);
    timer.suspend();
    advance(5);
    EXPECT_EQ(ticks, 3);
}

TEST_F(DispatchTest, GlobalQueueRunsConcurrentWork)
{
    std::latch done(20);
    for (int i = 0; i < 20; ++i)
        DispatchQueue::global().async([&] { done.count_down(); });
    done.wait(); // hangs (and ctest times out) if any block is lost
}

TEST_F(DispatchTest, SerialQueueReleasedFromItsOwnBlockFinishesSoundly)
{
    auto queue = DispatchQueue::createSerial(QStringLiteral("self-release"));
    std::promise<void> released;
    DispatchQueue *raw = queue.get();
    raw->async([q = std::move(queue), &released]() mutable {
        q.reset(); // the last owner goes away on the queue's own thread
        released.set_value();
    });
    released.get_future().wait();
}

TEST(DispatchExitTest, BackgroundWorkHandingBackToMainWhileTheProcessExitsIsSound)
{
    // A fresh process, where a background block is the first to use the main queue.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::latch started(1);
            DispatchQueue::global().async([&started] {
                DispatchQueue::main();
                started.count_down();
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                DispatchQueue::main().async([] {});
            });
            started.wait();
            std::exit(0);
        },
        testing::ExitedWithCode(0), testing::Not(testing::HasSubstr("runtime error")));
}
