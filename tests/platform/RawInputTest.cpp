#include "platform/fake/FakeRawInput.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::eventMask;
using platform::EventType;

platform::Event eventOf(EventType type)
{
    platform::Event e;
    e.type = type;
    return e;
}

TEST(RawInputTest, MonitorsGetTheTypesTheyAskForUntilSuspendedOrGone)
{
    platform::FakeRawInput input;
    std::vector<EventType> keys, wheels;
    auto keyMonitor = input.addMonitor(eventMask(EventType::KeyDown) | eventMask(EventType::FlagsChanged),
                                       [&](const platform::Event &e) { keys.push_back(e.type); });
    auto wheelMonitor = input.addMonitor(eventMask(EventType::ScrollWheel),
                                         [&](const platform::Event &e) { wheels.push_back(e.type); });
    ASSERT_TRUE(keyMonitor && wheelMonitor);
    EXPECT_EQ(input.wantedMask(),
              eventMask(EventType::KeyDown) | eventMask(EventType::FlagsChanged) | eventMask(EventType::ScrollWheel));

    input.post(eventOf(EventType::KeyDown));
    input.postScroll(0, 1);
    input.post(eventOf(EventType::MouseMoved));
    EXPECT_EQ(keys, std::vector<EventType>{EventType::KeyDown});
    EXPECT_EQ(wheels, std::vector<EventType>{EventType::ScrollWheel});

    keyMonitor->suspend();
    EXPECT_EQ(input.wantedMask(), eventMask(EventType::ScrollWheel)) << "a suspended monitor wants nothing";
    input.postFlagsChanged(0);
    keyMonitor->resume();
    input.postFlagsChanged(0);
    EXPECT_EQ(keys.size(), 2u);

    wheelMonitor.reset();
    input.postScroll(0, 1);
    EXPECT_EQ(wheels.size(), 1u);
    EXPECT_EQ(input.monitorCount(), 1);
}

TEST(RawInputTest, AHandlerMayRemoveMonitorsWhileEventsAreDelivered)
{
    platform::FakeRawInput input;
    std::unique_ptr<platform::RawInput::Monitor> second;
    int firstCalls = 0, secondCalls = 0;
    auto first = input.addMonitor(eventMask(EventType::KeyDown), [&](const platform::Event &) {
        ++firstCalls;
        second.reset();
    });
    second = input.addMonitor(eventMask(EventType::KeyDown), [&](const platform::Event &) { ++secondCalls; });
    input.post(eventOf(EventType::KeyDown));
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(secondCalls, 0) << "removed before its turn";
}

TEST(RawInputTest, NoMonitorWhereRawInputCannotBeHadAndMonitorsOutliveTheirStream)
{
    platform::NullRawInput none;
    EXPECT_FALSE(none.addMonitor(eventMask(EventType::KeyDown), [](const platform::Event &) {}));

    auto input = std::make_unique<platform::FakeRawInput>();
    auto monitor = input->addMonitor(eventMask(EventType::KeyDown), [](const platform::Event &) {});
    input.reset();
    monitor->suspend();
    monitor.reset(); // nothing left to tell
}

} // namespace
