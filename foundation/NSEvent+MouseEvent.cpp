#include "foundation/NSEvent+MouseEvent.h"
#include "platform/EventQueue.h"
#include "platform/Keys.h"

namespace MouseEvent {

using platform::Event;
using platform::EventType;

bool isTypeLeftMouseEvent(const Event &event)
{
    return event.type == EventType::LeftMouseDown || event.type == EventType::LeftMouseUp ||
           event.type == EventType::LeftMouseDragged;
}

bool isTypeDragging(const Event &event)
{
    if (event.type == EventType::LeftMouseDragged)
        return true;
    return event.type == EventType::DirectTouch && (event.phase & platform::kPhaseChanged) != 0;
}

double scrollingDeltaForBoothDirections(const Event &event)
{
    const double dx = event.hasPreciseScrollingDeltas ? event.scrollingDeltaX : event.deltaX;
    double dy = event.hasPreciseScrollingDeltas ? event.scrollingDeltaY : event.deltaY;
    if (event.isDirectionInvertedFromDevice)
        dy = -dy;
    return (dx + dy) * 0.5;
}

namespace {
// Track pads report points, wheels lines: each setting has one factor for either.
double scaled(const Event &event, double precise, double lines)
{
    return scrollingDeltaForBoothDirections(event) * (event.hasPreciseScrollingDeltas ? precise : lines);
}
} // namespace

double scrollingDeltaForColorHue(const Event &event)
{
    return scaled(event, -0.0025, -0.02);
}

double scrollingDeltaForEraserSize(const Event &event)
{
    return scaled(event, 1.5, 15);
}

double scrollingDeltaForFontSize(const Event &event)
{
    return scaled(event, 0.5, 4);
}

double scrollingDeltaForMagnifyScale(const Event &event)
{
    return scrollingDeltaForBoothDirections(event) / (event.hasPreciseScrollingDeltas ? 80.0 : 10.0);
}

double scrollingDeltaForFlashlightRadius(const Event &event)
{
    return scaled(event, 1, 8);
}

namespace {
Event crossingEvent(EventType type, qint64 windowNumber, QPointF pointerInWindow)
{
    Event event;
    event.type = type;
    event.windowNumber = windowNumber;
    event.locationInWindow = pointerInWindow;
    return event;
}

Event toolbarEvent(EventType type, qint64 windowNumber, const QRectF &contentFrame)
{
    Event event;
    event.type = type;
    event.windowNumber = windowNumber;
    event.locationInWindow = QPointF(20, contentFrame.y() + contentFrame.height() - 2);
    event.clickCount = 1;
    event.pressure = 1.0;
    return event;
}
} // namespace

Event mouseEnteredEventWithWinodw(qint64 windowNumber, QPointF pointerInWindow)
{
    return crossingEvent(EventType::MouseEntered, windowNumber, pointerInWindow);
}

Event mouseExitedEventWithWinodw(qint64 windowNumber, QPointF pointerInWindow)
{
    return crossingEvent(EventType::MouseExited, windowNumber, pointerInWindow);
}

Event mouseDownWithToolbar(qint64 windowNumber, const QRectF &contentFrame)
{
    return toolbarEvent(EventType::LeftMouseDown, windowNumber, contentFrame);
}

Event mouseUpWithToolbar(qint64 windowNumber, const QRectF &contentFrame)
{
    return toolbarEvent(EventType::LeftMouseUp, windowNumber, contentFrame);
}

Event keyDownWithKeyUpEvent(const Event &keyUp)
{
    Event event;
    event.type = EventType::KeyDown;
    event.locationInWindow = keyUp.locationInWindow;
    event.modifierFlags = keyUp.modifierFlags;
    event.timestamp = keyUp.timestamp;
    event.keyCode = keyUp.keyCode;
    event.windowNumber = -1;
    return event;
}

Event returnPressingEvent()
{
    Event event;
    event.type = EventType::KeyDown;
    event.keyCode = platform::kKeyReturn;
    return event;
}

bool isCurrentAppEventTypeDragging()
{
    const platform::Event *current = platform::EventQueue::shared().currentEvent();
    return current && isTypeDragging(*current);
}

} // namespace MouseEvent
