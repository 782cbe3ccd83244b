#include "platform/linux/XInputRawInput.h"

#include "platform/Clock.h"
#include "platform/Keys.h"
#include "platform/Screens.h"
#include "platform/Services.h"

#include <QCursor>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>
#include <set>

namespace platform {

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

constexpr quint8 kMenuKeycode = 135; // evdev Menu + 8: stands in for the Function key

constexpr quint64 kMotionTypes =
    eventMask(EventType::MouseMoved) | eventMask(EventType::LeftMouseDragged) | eventMask(EventType::RightMouseDragged);

} // namespace

struct XInputRawInput::Private
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
    quint8 opcode = 0;
    std::unique_ptr<QSocketNotifier> notifier;
    quint16 modifierOfKeycode[256] = {};
    std::set<quint8> pressedModifiers;
    quint16 lockState = 0;
    bool leftDown = false;
    bool rightDown = false;
    quint32 selected = ~0u; // the XInput mask last selected; none yet

    ~Private()
    {
        notifier.reset();
        if (connection)
            xcb_disconnect(connection);
    }

    bool connect()
    {
        connection = xcb_connect(nullptr, nullptr);
        if (!connection || xcb_connection_has_error(connection))
            return false;
        const xcb_query_extension_reply_t *xi = xcb_get_extension_data(connection, &xcb_input_id);
        if (!xi || !xi->present)
            return false;
        opcode = xi->major_opcode;
        const Reply<xcb_input_xi_query_version_reply_t> version(
            xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr));
        if (!version || version->major_version < 2)
            return false;
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        readModifierMap();
        const Reply<xcb_query_pointer_reply_t> pointer(
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr));
        lockState = pointer ? (pointer->mask & XCB_MOD_MASK_LOCK) : 0;
        return true;
    }

    void readModifierMap()
    {
        const Reply<xcb_get_modifier_mapping_reply_t> map(
            xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
        if (!map)
            return;
        const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(map.get());
        const int perModifier = map->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                if (const xcb_keycode_t code = codes[modifier * perModifier + i])
                    modifierOfKeycode[code] = quint16(1u << modifier);
            }
        }
    }

    void select(quint32 mask)
    {
        if (mask == selected)
            return;
        selected = mask;
        struct
        {
            xcb_input_event_mask_t head;
            quint32 mask;
        } request{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, mask};
        xcb_input_xi_select_events(connection, root, 1, &request.head);
        xcb_flush(connection);
    }

    quint64 flags() const
    {
        quint16 state = lockState;
        bool menu = false;
        for (const quint8 code : pressedModifiers) {
            state |= modifierOfKeycode[code];
            menu = menu || code == kMenuKeycode;
        }
        return modifierFlagsFromX11(state) | (menu ? quint64(kFunctionFlag) : 0);
    }
};

XInputRawInput::XInputRawInput() : d(std::make_unique<Private>()) {}

XInputRawInput::~XInputRawInput() = default;

std::unique_ptr<XInputRawInput> XInputRawInput::create()
{
    auto input = std::unique_ptr<XInputRawInput>(new XInputRawInput);
    if (!input->d->connect())
        return nullptr;
    input->d->select(0);
    input->d->notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(input->d->connection), QSocketNotifier::Read);
    XInputRawInput *self = input.get();
    QObject::connect(input->d->notifier.get(), &QSocketNotifier::activated, [self] { self->readEvents(); });
    return input;
}

void XInputRawInput::wantedMaskChanged()
{
    const quint64 wanted = wantedMask();
    quint32 mask = 0;
    // Keys and buttons are always followed while anyone listens: every event carries the modifiers and the
    // buttons held.
    if (wanted) {
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
                XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE;
    }
    if (wanted & kMotionTypes)
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_MOTION;
    d->select(mask);
}

void XInputRawInput::readEvents()
{
    bool motion = false;
    while (xcb_generic_event_t *raw = xcb_poll_for_event(d->connection)) {
        const Reply<xcb_generic_event_t> event(raw);
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
            continue;
        const auto *ge = reinterpret_cast<const xcb_ge_generic_event_t *>(event.get());
        if (ge->extension != d->opcode)
            continue;
        switch (ge->event_type) {
        case XCB_INPUT_RAW_KEY_PRESS:
        case XCB_INPUT_RAW_KEY_RELEASE: {
            if (motion)
                moved(), motion = false;
            const auto *key = reinterpret_cast<const xcb_input_raw_key_press_event_t *>(event.get());
            keyChanged(quint8(key->detail), ge->event_type == XCB_INPUT_RAW_KEY_PRESS);
            break;
        }
        case XCB_INPUT_RAW_BUTTON_PRESS:
        case XCB_INPUT_RAW_BUTTON_RELEASE: {
            if (motion)
                moved(), motion = false;
            const auto *button = reinterpret_cast<const xcb_input_raw_button_press_event_t *>(event.get());
            buttonChanged(button->detail, ge->event_type == XCB_INPUT_RAW_BUTTON_PRESS);
            break;
        }
        case XCB_INPUT_RAW_MOTION:
            motion = true;
            break;
        default:
            break;
        }
    }
    if (motion)
        moved();
}

Event XInputRawInput::makeEvent(EventType type) const
{
    Event event;
    event.type = type;
    event.locationInWindow = pointFromQt(QPointF(QCursor::pos()));
    event.modifierFlags = d->flags();
    event.timestamp = services().clock->now();
    return event;
}

void XInputRawInput::keyChanged(quint8 keycode, bool press)
{
    const quint16 modifier = d->modifierOfKeycode[keycode];
    if (modifier || keycode == kMenuKeycode) {
        if (modifier == XCB_MOD_MASK_LOCK) {
            if (press)
                d->lockState ^= XCB_MOD_MASK_LOCK;
        } else if (press) {
            d->pressedModifiers.insert(keycode);
        } else {
            d->pressedModifiers.erase(keycode);
        }
        Event flags = makeEvent(EventType::FlagsChanged);
        flags.keyCode = keyCodeFromX11(keycode);
        deliver(flags);
        return;
    }
    Event key = makeEvent(press ? EventType::KeyDown : EventType::KeyUp);
    key.keyCode = keyCodeFromX11(keycode);
    deliver(key);
}

void XInputRawInput::buttonChanged(quint32 button, bool press)
{
    switch (button) {
    case 1:
        d->leftDown = press;
        deliver(makeEvent(press ? EventType::LeftMouseDown : EventType::LeftMouseUp));
        break;
    case 3:
        d->rightDown = press;
        deliver(makeEvent(press ? EventType::RightMouseDown : EventType::RightMouseUp));
        break;
    case 4:
    case 5:
    case 6:
    case 7: {
        if (!press)
            break; // a notch is one press and its release
        Event scroll = makeEvent(EventType::ScrollWheel);
        // Lines, as Qt reports a wheel: up and left are positive.
        if (button <= 5)
            scroll.deltaY = button == 4 ? 1 : -1;
        else
            scroll.deltaX = button == 6 ? 1 : -1;
        scroll.scrollingDeltaX = scroll.deltaX;
        scroll.scrollingDeltaY = scroll.deltaY;
        deliver(scroll);
        break;
    }
    default:
        break; // the middle button and extra buttons have no event type here
    }
}

void XInputRawInput::moved()
{
    const EventType type = d->leftDown    ? EventType::LeftMouseDragged
                           : d->rightDown ? EventType::RightMouseDragged
                                          : EventType::MouseMoved;
    deliver(makeEvent(type));
}

} // namespace platform
