#include "platform/EventQueue.h"

#include "platform/fake/FakeClock.h"
#include "tests/support/InkoraFixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

using platform::Event;
using platform::eventMask;
using platform::EventQueue;
using platform::EventType;
using platform::RunLoop;

namespace {

Event makeEvent(EventType type, double x = 0)
{
    Event e;
    e.type = type;
    e.locationInWindow = QPointF(x, 0);
    return e;
}

} // namespace

class EventQueueTest : public InkoraFixture
{
protected:
    EventQueue &queue() { return EventQueue::shared(); }
};

TEST_F(EventQueueTest, TakesMatchingEventsInOrderAndLeavesTheOthersQueued)
{
    EventQueue::TrackingScope tracking;
    queue().postEvent(makeEvent(EventType::KeyDown));
    queue().postEvent(makeEvent(EventType::LeftMouseDragged, 1));
    queue().postEvent(makeEvent(EventType::FlagsChanged));
    queue().postEvent(makeEvent(EventType::LeftMouseDragged, 2));
    queue().postEvent(makeEvent(EventType::LeftMouseUp), true);
    const quint64 drags = eventMask(EventType::LeftMouseDragged);

    const auto peeked =
        queue().nextEventMatchingMask(drags, EventQueue::kDistantFuture, RunLoop::EventTrackingMode, false);
    ASSERT_TRUE(peeked);
    EXPECT_EQ(queue().count(), 5u);
    EXPECT_EQ(queue().currentEvent(), nullptr);

    const auto first = queue().nextEventMatchingMask(drags);
    const auto second = queue().nextEventMatchingMask(drags);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->locationInWindow.x(), 1);
    EXPECT_EQ(second->locationInWindow.x(), 2);
    ASSERT_NE(queue().currentEvent(), nullptr);
    EXPECT_EQ(queue().currentEvent()->locationInWindow.x(), 2);

    // What is left keeps its order, the posted-first button-up at the head.
    const auto head = queue().nextEventMatchingMask(EventQueue::kAnyEventMask);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->type, EventType::LeftMouseUp);
    queue().discardEventsMatchingMask(eventMask(EventType::FlagsChanged));
    EXPECT_EQ(queue().count(), 1u);
    EXPECT_EQ(queue().nextEventMatchingMask(EventQueue::kAnyEventMask)->type, EventType::KeyDown);
}

TEST_F(EventQueueTest, WaitingRunsQtInTheTrackingModeUntilAMatchingEventArrives)
{
    RunLoop::Mode modeWhileWaiting = RunLoop::DefaultMode;
    bool trackingWhileWaiting = false;
    platform::DispatchQueue::main().async([&] {
        modeWhileWaiting = RunLoop::main().currentMode();
        trackingWhileWaiting = queue().isTracking();
        queue().postEvent(makeEvent(EventType::LeftMouseUp));
    });

    const auto event = queue().nextEventMatchingMask(eventMask(EventType::LeftMouseUp));

    ASSERT_TRUE(event);
    EXPECT_EQ(event->type, EventType::LeftMouseUp);
    EXPECT_EQ(modeWhileWaiting, RunLoop::EventTrackingMode);
    EXPECT_TRUE(trackingWhileWaiting);
    EXPECT_EQ(RunLoop::main().currentMode(), RunLoop::DefaultMode);
    EXPECT_FALSE(queue().isTracking());
}

TEST_F(EventQueueTest, ADateInThePastLooksOnceAndAnswersNothing)
{
    queue().postEvent(makeEvent(EventType::KeyDown));

    const auto event = queue().nextEventMatchingMask(eventMask(EventType::LeftMouseUp), clock().now());

    EXPECT_FALSE(event);
    EXPECT_EQ(queue().count(), 1u);
}

TEST_F(EventQueueTest, EventsLeftOutsideATrackingLoopAreDropped)
{
    queue().postEvent(makeEvent(EventType::LeftMouseUp));
    {
        EventQueue::TrackingScope tracking;
        drainMainQueue();
        EXPECT_EQ(queue().count(), 1u) << "a running loop keeps its events";
    }
    drainMainQueue();

    EXPECT_EQ(queue().count(), 0u);
}

TEST_F(EventQueueTest, CompressionOfPointerAndTabletEventsIsOffWhileTracking)
{
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, true);
    QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, true);
    {
        EventQueue::TrackingScope outer;
        EventQueue::TrackingScope inner;
        EXPECT_FALSE(QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents));
        EXPECT_FALSE(QCoreApplication::testAttribute(Qt::AA_CompressTabletEvents));
    }
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents));
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_CompressTabletEvents));
}

TEST_F(EventQueueTest, ConvertsQtInputIntoTheReceiversWindowAndTracksTheMenuKey)
{
    QWidget window;
    window.resize(400, 300);
    QWidget view(&window);
    view.setGeometry(50, 20, 100, 100);
    const QPointF local(10, 10); // y down in the view
    auto press = [&] {
        QMouseEvent e(QEvent::MouseButtonPress, local, view.mapToGlobal(local), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
        return queue().eventFromQtEvent(e, view);
    };
    QKeyEvent menuDown(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
    QKeyEvent menuUp(QEvent::KeyRelease, Qt::Key_Menu, Qt::NoModifier);

    const auto plain = press();
    (void)queue().eventFromQtEvent(menuDown, view);
    const auto withMenu = press();
    (void)queue().eventFromQtEvent(menuUp, view);
    const auto afterMenu = press();

    ASSERT_TRUE(plain && withMenu && afterMenu);
    EXPECT_EQ(plain->type, EventType::LeftMouseDown);
    // x: 50 + 10; y: the window is 300 high, the view's bottom edge lies 180 above the window's, 90 below the point.
    EXPECT_EQ(plain->locationInWindow, QPointF(60, 270));
    EXPECT_EQ(plain->modifierFlags & platform::kFunctionFlag, 0u);
    EXPECT_EQ(withMenu->modifierFlags & platform::kFunctionFlag, quint64(platform::kFunctionFlag));
    EXPECT_EQ(afterMenu->modifierFlags & platform::kFunctionFlag, 0u);
}
