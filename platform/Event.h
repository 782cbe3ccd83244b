#pragma once

#include "platform/Keys.h"

#include <QPointF>
#include <QString>

#include <optional>

class QKeyEvent;
class QMouseEvent;
class QNativeGestureEvent;
class QTabletEvent;
class QWheelEvent;

namespace platform {

/// Event types, numbered as the subsystems number them.
enum class EventType : int {
    LeftMouseDown = 1,
    LeftMouseUp = 2,
    RightMouseDown = 3,
    RightMouseUp = 4,
    MouseMoved = 5,
    LeftMouseDragged = 6,
    RightMouseDragged = 7,
    MouseEntered = 8,
    MouseExited = 9,
    KeyDown = 10,
    KeyUp = 11,
    FlagsChanged = 12,
    ScrollWheel = 22,
    Magnify = 30,
    SmartMagnify = 32,
    Pressure = 34,
    DirectTouch = 37,
};

/// The bit of a type in an event mask.
[[nodiscard]] constexpr quint64 eventMask(EventType type)
{
    return quint64(1) << static_cast<int>(type);
}

/// What produced a mouse event.
enum class EventSubtype : int { Mouse = 0, TabletPoint = 1, TabletProximity = 2, Touch = 3 };

enum class PointingDeviceType : int { Unknown = 0, Pen = 1, Cursor = 2, Eraser = 3 };

/// Phase bits of scroll and gesture events; for a direct-touch event, the phases of its touches, with
/// Changed for a touch that moved.
enum EventPhase : int {
    kPhaseNone = 0,
    kPhaseBegan = 0x1,
    kPhaseStationary = 0x2,
    kPhaseChanged = 0x4,
    kPhaseEnded = 0x8,
    kPhaseCancelled = 0x10,
    kPhaseMayBegin = 0x20,
};

/// One input event as the subsystems see it.
struct Event
{
    EventType type = EventType::MouseMoved;
    QPointF locationInWindow; // points, y up, origin at the bottom left of the window's content
    qint64 windowNumber = 0;
    quint64 modifierFlags = 0; // ModifierFlag bits
    double timestamp = 0;      // media clock, seconds

    // Mouse and tablet
    int clickCount = 0;
    double pressure = 0; // 0...1
    EventSubtype subtype = EventSubtype::Mouse;
    PointingDeviceType pointingDeviceType = PointingDeviceType::Unknown;
    bool enteringProximity = false;

    // Keys
    quint16 keyCode = 0; // KeyCode
    QString characters;
    QString charactersIgnoringModifiers; // Shift still applies
    bool isARepeat = false;

    // Scroll wheel and gestures
    double scrollingDeltaX = 0; // points when hasPreciseScrollingDeltas, else lines
    double scrollingDeltaY = 0;
    double deltaX = 0; // lines
    double deltaY = 0;
    bool hasPreciseScrollingDeltas = false;
    bool isDirectionInvertedFromDevice = false;
    double magnification = 0;
    int phase = kPhaseNone; // EventPhase bits
};

/// Where a Qt event was received.
struct EventContext
{
    double viewHeight = 0; // points: flips Qt's y-down positions into the window's y-up space
    qint64 windowNumber = 0;
    bool menuKeyDown = false; // before this event; the Menu key held stands in for Function
};

// Conversions from Qt; nothing for what has no event type here (middle button, touch begin without a
// moved touch...). Positions are taken relative to the receiving widget or window.
[[nodiscard]] std::optional<Event> eventFromQt(const QMouseEvent &event, const EventContext &context);
/// Pen contact is the left button, the barrel button the right one; proximity changes become mouse-moved
/// events of subtype TabletProximity.
[[nodiscard]] std::optional<Event> eventFromQt(const QTabletEvent &event, const EventContext &context);
/// Modifier keys and the Menu key become flags-changed events carrying the flags after the change.
[[nodiscard]] std::optional<Event> eventFromQt(const QKeyEvent &event, const EventContext &context);
[[nodiscard]] std::optional<Event> eventFromQt(const QWheelEvent &event, const EventContext &context);
/// Pinch gestures become magnify events, smart zoom a smart-magnify event.
[[nodiscard]] std::optional<Event> eventFromQt(const QNativeGestureEvent &event, const EventContext &context);

} // namespace platform
