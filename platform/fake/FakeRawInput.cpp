#include "platform/fake/FakeRawInput.h"

namespace platform {

void FakeRawInput::postFlagsChanged(quint64 flags)
{
    Event event;
    event.type = EventType::FlagsChanged;
    event.modifierFlags = flags;
    deliver(event);
}

void FakeRawInput::postScroll(double deltaX, double deltaY, QPointF location)
{
    Event event;
    event.type = EventType::ScrollWheel;
    event.locationInWindow = location;
    event.deltaX = event.scrollingDeltaX = deltaX;
    event.deltaY = event.scrollingDeltaY = deltaY;
    deliver(event);
}

} // namespace platform
