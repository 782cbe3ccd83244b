#include "foundation/NSEvent+MouseEvent.h"

#include <gtest/gtest.h>

using platform::Event;
using platform::EventType;

namespace {
Event scroll(double dx, double dy, bool precise, bool inverted)
{
    Event event;
    event.type = EventType::ScrollWheel;
    event.hasPreciseScrollingDeltas = precise;
    event.isDirectionInvertedFromDevice = inverted;
    if (precise) {
        event.scrollingDeltaX = dx;
        event.scrollingDeltaY = dy;
        event.deltaX = 100; // must be ignored
        event.deltaY = 100;
    } else {
        event.deltaX = dx;
        event.deltaY = dy;
        event.scrollingDeltaX = 100;
        event.scrollingDeltaY = 100;
    }
    return event;
}
} // namespace

TEST(MouseEvent, ScrollFactorsOfEverySetting)
{
    const struct
    {
        bool precise;
        bool inverted;
        double base, hue, eraser, font, magnify, flashlight;
    } cases[] = {
        {true, false, 5, -0.0125, 7.5, 2.5, 0.0625, 5},
        {true, true, -5, 0.0125, -7.5, -2.5, -0.0625, -5},
        {false, false, 5, -0.1, 75, 20, 0.5, 40},
        {false, true, -5, 0.1, -75, -20, -0.5, -40},
    };
    for (const auto &c : cases) {
        const Event event = scroll(0, 10, c.precise, c.inverted);
        SCOPED_TRACE(testing::Message() << "precise " << c.precise << " inverted " << c.inverted);
        EXPECT_DOUBLE_EQ(MouseEvent::scrollingDeltaForBoothDirections(event), c.base);
        EXPECT_DOUBLE_EQ(MouseEvent::scrollingDeltaForColorHue(event), c.hue);
        EXPECT_DOUBLE_EQ(MouseEvent::scrollingDeltaForEraserSize(event), c.eraser);
        EXPECT_DOUBLE_EQ(MouseEvent::scrollingDeltaForFontSize(event), c.font);
        EXPECT_DOUBLE_EQ(MouseEvent::scrollingDeltaForMagnifyScale(event), c.magnify);
        EXPECT_DOUBLE_EQ(MouseEvent::scrollingDeltaForFlashlightRadius(event), c.flashlight);
    }
    // Both axes count, only y is inverted.
    EXPECT_DOUBLE_EQ(MouseEvent::scrollingDeltaForBoothDirections(scroll(4, 2, true, true)), 1);
}

TEST(MouseEvent, ClassificationAndSyntheticEvents)
{
    Event event;
    for (EventType type : {EventType::LeftMouseDown, EventType::LeftMouseUp, EventType::LeftMouseDragged}) {
        event.type = type;
        EXPECT_TRUE(MouseEvent::isTypeLeftMouseEvent(event));
    }
    event.type = EventType::RightMouseDown;
    EXPECT_FALSE(MouseEvent::isTypeLeftMouseEvent(event));
    event.type = EventType::LeftMouseDragged;
    EXPECT_TRUE(MouseEvent::isTypeDragging(event));
    event.type = EventType::DirectTouch;
    event.phase = platform::kPhaseStationary;
    EXPECT_FALSE(MouseEvent::isTypeDragging(event));
    event.phase = platform::kPhaseStationary | platform::kPhaseChanged;
    EXPECT_TRUE(MouseEvent::isTypeDragging(event));

    const Event down = MouseEvent::mouseDownWithToolbar(7, QRectF());
    EXPECT_EQ(down.type, EventType::LeftMouseDown);
    EXPECT_EQ(down.locationInWindow, QPointF(20, -2));
    EXPECT_EQ(down.clickCount, 1);
    EXPECT_EQ(down.pressure, 1.0);
    EXPECT_EQ(down.windowNumber, 7);
    EXPECT_EQ(MouseEvent::mouseUpWithToolbar(7, QRectF(0, 0, 300, 40)).locationInWindow, QPointF(20, 38));

    Event keyUp;
    keyUp.type = EventType::KeyUp;
    keyUp.locationInWindow = QPointF(3, 4);
    keyUp.modifierFlags = 0x100000;
    keyUp.timestamp = 12.5;
    keyUp.keyCode = 0;
    keyUp.characters = QStringLiteral("a");
    keyUp.windowNumber = 9;
    const Event keyDown = MouseEvent::keyDownWithKeyUpEvent(keyUp);
    EXPECT_EQ(keyDown.type, EventType::KeyDown);
    EXPECT_EQ(keyDown.locationInWindow, keyUp.locationInWindow);
    EXPECT_EQ(keyDown.modifierFlags, keyUp.modifierFlags);
    EXPECT_EQ(keyDown.timestamp, keyUp.timestamp);
    EXPECT_EQ(keyDown.windowNumber, -1);
    EXPECT_TRUE(keyDown.characters.isEmpty());
    EXPECT_FALSE(keyDown.isARepeat);
    EXPECT_EQ(MouseEvent::returnPressingEvent().keyCode, 36);
}
