#include "platform/Event.h"

#include "platform/Clock.h"
#include "platform/Geometry.h"
#include "platform/Services.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QTabletEvent>
#include <QWheelEvent>

namespace platform {

namespace {

// A key event's native key code and state are X11's (xcb is the one platform we run on); synthetic events
// leave them 0.
constexpr quint32 kX11LockMask = 1 << 1;

Event baseEvent(EventType type, const QInputEvent &qt, const QPointF &position, const EventContext &context)
{
    Event e;
    e.type = type;
    e.locationInWindow = flipY(position, context.viewHeight);
    e.windowNumber = context.windowNumber;
    e.modifierFlags = modifierFlagsFromQt(qt.modifiers()) | (context.menuKeyDown ? quint64(kFunctionFlag) : 0);
    e.timestamp = services().clock->now();
    return e;
}

std::optional<EventType> buttonType(Qt::MouseButton button, bool down)
{
    if (button == Qt::LeftButton)
        return down ? EventType::LeftMouseDown : EventType::LeftMouseUp;
    if (button == Qt::RightButton)
        return down ? EventType::RightMouseDown : EventType::RightMouseUp;
    return std::nullopt;
}

EventType moveType(Qt::MouseButtons buttons)
{
    if (buttons & Qt::LeftButton)
        return EventType::LeftMouseDragged;
    if (buttons & Qt::RightButton)
        return EventType::RightMouseDragged;
    return EventType::MouseMoved;
}

// The flag a modifier key holds down; 0 for other keys.
quint64 modifierKeyFlag(quint16 keyCode)
{
    switch (keyCode) {
    case kKeyShift:
    case kKeyRightShift:
        return kShiftFlag;
    case kKeyCommand:
    case kKeyRightCommand:
        return kCommandFlag;
    case kKeyOption:
    case kKeyRightOption:
        return kOptionFlag;
    case kKeyControl:
    case kKeyRightControl:
        return kControlFlag;
    case kKeyCapsLock:
        return kCapsLockFlag;
    case kKeyFunction:
        return kFunctionFlag;
    default:
        return 0;
    }
}

// Keys that type no text carry these characters, whatever the layout.
std::optional<char16_t> specialCharacter(quint16 keyCode)
{
    constexpr char16_t kF1 = 0xF704; // F1...F20 follow in order
    switch (keyCode) {
    case kKeyReturn:
        return u'\r';
    case kKeyKeypadEnter:
        return 0x03;
    case kKeyTab:
        return u'\t';
    case kKeyDelete:
        return 0x7F;
    case kKeyEscape:
        return 0x1B;
    case kKeyUpArrow:
        return 0xF700;
    case kKeyDownArrow:
        return 0xF701;
    case kKeyLeftArrow:
        return 0xF702;
    case kKeyRightArrow:
        return 0xF703;
    case kKeyForwardDelete:
        return 0xF728;
    case kKeyHome:
        return 0xF729;
    case kKeyEnd:
        return 0xF72B;
    case kKeyPageUp:
        return 0xF72C;
    case kKeyPageDown:
        return 0xF72D;
    case kKeyKeypadClear:
        return 0xF739;
    case kKeyHelp:
        return 0xF746;
    case kKeyF1:
        return kF1;
    case kKeyF2:
        return kF1 + 1;
    case kKeyF3:
        return kF1 + 2;
    case kKeyF4:
        return kF1 + 3;
    case kKeyF5:
        return kF1 + 4;
    case kKeyF6:
        return kF1 + 5;
    case kKeyF7:
        return kF1 + 6;
    case kKeyF8:
        return kF1 + 7;
    case kKeyF9:
        return kF1 + 8;
    case kKeyF10:
        return kF1 + 9;
    case kKeyF11:
        return kF1 + 10;
    case kKeyF12:
        return kF1 + 11;
    case kKeyF13:
        return kF1 + 12;
    case kKeyF14:
        return kF1 + 13;
    case kKeyF15:
        return kF1 + 14;
    case kKeyF16:
        return kF1 + 15;
    case kKeyF17:
        return kF1 + 16;
    case kKeyF18:
        return kF1 + 17;
    case kKeyF19:
        return kF1 + 18;
    case kKeyF20:
        return kF1 + 19;
    default:
        return std::nullopt;
    }
}

// Qt names a printable key by its character (letters in upper case, symbols as shifted by the layout).
QString keyCharacter(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey < 0x20 || qtKey >= Qt::Key_Escape || qtKey > 0x10FFFF)
        return QString();
    const char32_t c = static_cast<char32_t>(qtKey);
    const QString s = QString::fromUcs4(&c, 1);
    return (modifiers & Qt::ShiftModifier) ? s.toUpper() : s.toLower();
}

bool isControlCharacter(const QString &text)
{
    return text.size() == 1 && (text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F);
}

} // namespace

std::optional<Event> eventFromQt(const QMouseEvent &event, const EventContext &context)
{
    std::optional<EventType> type;
    int clickCount = 0;
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        type = buttonType(event.button(), true);
        clickCount = event.type() == QEvent::MouseButtonDblClick ? 2 : 1;
        break;
    case QEvent::MouseButtonRelease:
        type = buttonType(event.button(), false);
        clickCount = 1;
        break;
    case QEvent::MouseMove:
        type = moveType(event.buttons());
        break;
    default:
        break;
    }
    if (!type)
        return std::nullopt;
    Event e = baseEvent(*type, event, event.position(), context);
    e.clickCount = clickCount;
    e.pressure = (event.buttons() & Qt::LeftButton) ? 1.0 : 0.0; // a mouse presses fully or not at all
    return e;
}

std::optional<Event> eventFromQt(const QTabletEvent &event, const EventContext &context)
{
    std::optional<EventType> type;
    EventSubtype subtype = EventSubtype::TabletPoint;
    int clickCount = 0;
    switch (event.type()) {
    case QEvent::TabletEnterProximity:
    case QEvent::TabletLeaveProximity:
        type = EventType::MouseMoved;
        subtype = EventSubtype::TabletProximity;
        break;
    case QEvent::TabletPress:
        type = buttonType(event.button(), true);
        clickCount = 1;
        break;
    case QEvent::TabletRelease:
        type = buttonType(event.button(), false);
        clickCount = 1;
        break;
    case QEvent::TabletMove:
        type = moveType(event.buttons());
        break;
    default:
        break;
    }
    if (!type)
        return std::nullopt;
    Event e = baseEvent(*type, event, event.position(), context);
    e.subtype = subtype;
    e.clickCount = clickCount;
    e.pressure = event.pressure();
    e.enteringProximity = event.type() == QEvent::TabletEnterProximity;
    switch (event.pointerType()) {
    case QPointingDevice::PointerType::Pen:
        e.pointingDeviceType = PointingDeviceType::Pen;
        break;
    case QPointingDevice::PointerType::Eraser:
        e.pointingDeviceType = PointingDeviceType::Eraser;
        break;
    case QPointingDevice::PointerType::Cursor:
        e.pointingDeviceType = PointingDeviceType::Cursor;
        break;
    default:
        e.pointingDeviceType = PointingDeviceType::Unknown;
        break;
    }
    return e;
}

std::optional<Event> eventFromQt(const QKeyEvent &event, const EventContext &context)
{
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease)
        return std::nullopt;
    const bool press = event.type() == QEvent::KeyPress;

    quint16 keyCode = kNoKeyCode;
    if (event.nativeScanCode() != 0)
        keyCode = keyCodeFromX11(event.nativeScanCode());
    if (keyCode == kNoKeyCode)
        keyCode = keyCodeFromQtKey(event.key(), event.modifiers());

    Event e = baseEvent(press ? EventType::KeyDown : EventType::KeyUp, event, QPointF(), context);
    e.locationInWindow = QPointF(); // key events carry no position here
    e.keyCode = keyCode;
    e.isARepeat = event.isAutoRepeat();
    if (event.nativeModifiers() & kX11LockMask)
        e.modifierFlags |= kCapsLockFlag;

    if (const quint64 flag = modifierKeyFlag(keyCode)) {
        // X11 reports the state before the event, and Qt does not know the Menu key: the key's own flag is set
        // by its press and cleared by its release, Caps Lock toggles with each press.
        e.type = EventType::FlagsChanged;
        if (flag == kCapsLockFlag)
            e.modifierFlags ^= press ? flag : 0;
        else
            e.modifierFlags = press ? (e.modifierFlags | flag) : (e.modifierFlags & ~flag);
        return e;
    }

    if (const std::optional<char16_t> special = specialCharacter(keyCode)) {
        e.characters = e.charactersIgnoringModifiers = QString(QChar(*special));
        return e;
    }
    const QString plain = keyCharacter(event.key(), event.modifiers());
    e.charactersIgnoringModifiers = plain.isEmpty() ? event.text() : plain;
    // Ctrl is Command, which types the key's own character, not the control character X11 makes of it.
    const bool commandTyped = (event.modifiers() & Qt::ControlModifier) && isControlCharacter(event.text());
    e.characters = (event.text().isEmpty() || commandTyped) ? e.charactersIgnoringModifiers : event.text();
    return e;
}

std::optional<Event> eventFromQt(const QWheelEvent &event, const EventContext &context)
{
    constexpr double kAnglePerLine = 120; // eighths of a degree per wheel notch
    Event e = baseEvent(EventType::ScrollWheel, event, event.position(), context);
    e.deltaX = event.angleDelta().x() / kAnglePerLine;
    e.deltaY = event.angleDelta().y() / kAnglePerLine;
    e.hasPreciseScrollingDeltas = !event.pixelDelta().isNull();
    e.scrollingDeltaX = e.hasPreciseScrollingDeltas ? event.pixelDelta().x() : e.deltaX;
    e.scrollingDeltaY = e.hasPreciseScrollingDeltas ? event.pixelDelta().y() : e.deltaY;
    e.isDirectionInvertedFromDevice = event.inverted();
    switch (event.phase()) {
    case Qt::ScrollBegin:
        e.phase = kPhaseBegan;
        break;
    case Qt::ScrollUpdate:
    case Qt::ScrollMomentum:
        e.phase = kPhaseChanged;
        break;
    case Qt::ScrollEnd:
        e.phase = kPhaseEnded;
        break;
    default:
        e.phase = kPhaseNone;
        break;
    }
    return e;
}

std::optional<Event> eventFromQt(const QNativeGestureEvent &event, const EventContext &context)
{
    switch (event.gestureType()) {
    case Qt::ZoomNativeGesture: {
        Event e = baseEvent(EventType::Magnify, event, event.position(), context);
        e.magnification = event.value();
        e.phase = kPhaseChanged;
        return e;
    }
    case Qt::SmartZoomNativeGesture:
        return baseEvent(EventType::SmartMagnify, event, event.position(), context);
    default:
        return std::nullopt;
    }
}

} // namespace platform
