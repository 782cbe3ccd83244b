#include "platform/linux/XcbHotKeys.h"

#include "platform/Clock.h"
#include "platform/Keys.h"
#include "platform/PlatformLog.h"
#include "platform/Screens.h"
#include "platform/Services.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <xcb/xcb.h>

#include <array>
#include <map>

namespace platform {

namespace {

constexpr std::uint32_t kCommand = 0x100;
constexpr std::uint32_t kShift = 0x200;
constexpr std::uint32_t kAlphaLock = 0x400;
constexpr std::uint32_t kOption = 0x800;
constexpr std::uint32_t kControl = 0x1000;
constexpr std::uint32_t kFunction = 0x20000;

// Num Lock is Mod2 under every common keymap; grabbing with and without it (and Caps Lock) keeps the
// combination working whatever the locks say.
constexpr std::uint16_t kNumLockMask = XCB_MOD_MASK_2;
constexpr std::uint16_t kRelevantMask = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

struct Grab
{
    xcb_keycode_t keycode = 0;
    std::uint16_t modifiers = 0; // without the lock variants
    bool requiresCapsLock = false;
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
};

} // namespace

struct XcbHotKeys::Private final : public QAbstractNativeEventFilter
{
    xcb_connection_t *connection = nullptr; // not owned: Qt's connection
    xcb_window_t root = 0;
    Handler handler;
    bool filterInstalled = false;
    std::map<std::uint64_t, Grab> grabs;
    std::uint64_t nextRef = 1;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        auto *event = static_cast<xcb_generic_event_t *>(message);
        const auto type = event->response_type & 0x7f;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            return false;
        auto *key = reinterpret_cast<xcb_key_press_event_t *>(event);
        if (key->event != root)
            return false; // a key for one of our windows, not a grab
        const std::uint16_t mods = key->state & kRelevantMask;
        const bool capsLock = key->state & XCB_MOD_MASK_LOCK;
        for (const auto &[ref, grab] : grabs) {
            if (grab.keycode != key->detail || grab.modifiers != mods || (grab.requiresCapsLock && !capsLock))
                continue;
            if (type == XCB_KEY_PRESS && handler) {
                HotKeyPress press;
                press.signature = grab.signature;
                press.id = grab.id;
                press.modifierFlags = modifierFlagsFromX11(key->state);
                press.timestamp = services().clock->now();
                press.location = pointFromQt(QCursor::pos());
                handler(press);
            }
            return true; // the grabbed keystroke is ours
        }
        return false;
    }

    void ungrab(const Grab &grab)
    {
        const std::uint16_t base = grab.modifiers | (grab.requiresCapsLock ? XCB_MOD_MASK_LOCK : 0);
        for (std::uint16_t extra : {std::uint16_t(0), std::uint16_t(XCB_MOD_MASK_LOCK), kNumLockMask,
                                    std::uint16_t(XCB_MOD_MASK_LOCK | kNumLockMask)})
            xcb_ungrab_key(connection, grab.keycode, root, base | extra);
        xcb_flush(connection);
    }
};

XcbHotKeys::XcbHotKeys() : d(std::make_unique<Private>())
{
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        d->connection = x11->connection();
        if (d->connection) {
            const xcb_setup_t *setup = xcb_get_setup(d->connection);
            d->root = xcb_setup_roots_iterator(setup).data->root;
        }
    }
}

XcbHotKeys::~XcbHotKeys()
{
    if (d->connection) {
        for (const auto &[ref, grab] : d->grabs)
            d->ungrab(grab);
    }
    removeHandler();
}

std::uint16_t XcbHotKeys::x11Modifiers(std::uint32_t hotKeyModifiers)
{
    std::uint16_t mods = 0;
    if (hotKeyModifiers & kCommand)
        mods |= XCB_MOD_MASK_CONTROL;
    if (hotKeyModifiers & kShift)
        mods |= XCB_MOD_MASK_SHIFT;
    if (hotKeyModifiers & kOption)
        mods |= XCB_MOD_MASK_1;
    if (hotKeyModifiers & kControl)
        mods |= XCB_MOD_MASK_4;
    return mods;
}

bool XcbHotKeys::installHandler(Handler handler)
{
    if (!d->connection)
        return false;
    d->handler = std::move(handler);
    if (!d->filterInstalled && QCoreApplication::instance()) {
        QCoreApplication::instance()->installNativeEventFilter(d.get());
        d->filterInstalled = true;
    }
    return true;
}

bool XcbHotKeys::removeHandler()
{
    if (!d->filterInstalled)
        return false;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(d.get());
    d->filterInstalled = false;
    d->handler = nullptr;
    return true;
}

HotKeys::Registration XcbHotKeys::registerHotKey(std::uint16_t keyCode, std::uint32_t hotKeyModifiers,
                                                 std::uint32_t signature, std::uint32_t id)
{
    if (!d->connection)
        return {false, 0, kErrorUnavailable};
    if (hotKeyModifiers & kFunction)
        return {false, 0, kErrorFunctionKey};
    const quint32 keycode = x11KeyCodeFromKeyCode(keyCode);
    if (keycode == 0 || keycode > 255)
        return {false, 0, kErrorUnknownKey};

    Grab grab;
    grab.keycode = static_cast<xcb_keycode_t>(keycode);
    grab.modifiers = x11Modifiers(hotKeyModifiers);
    grab.requiresCapsLock = hotKeyModifiers & kAlphaLock;
    grab.signature = signature;
    grab.id = id;

    const std::uint16_t base = grab.modifiers | (grab.requiresCapsLock ? XCB_MOD_MASK_LOCK : 0);
    std::array<xcb_void_cookie_t, 4> cookies{};
    const std::array<std::uint16_t, 4> extras{0, XCB_MOD_MASK_LOCK, kNumLockMask,
                                              std::uint16_t(XCB_MOD_MASK_LOCK | kNumLockMask)};
    for (std::size_t i = 0; i < extras.size(); ++i) {
        cookies[i] = xcb_grab_key_checked(d->connection, 1, d->root, base | extras[i], grab.keycode,
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    int error = 0;
    for (const auto &cookie : cookies) {
        if (xcb_generic_error_t *e = xcb_request_check(d->connection, cookie)) {
            if (!error)
                error = e->error_code;
            free(e);
        }
    }
    if (error) {
        // Release the variants we did get, so that a refusal holds nothing.
        d->ungrab(grab);
        return {false, 0, error};
    }
    const std::uint64_t ref = d->nextRef++;
    d->grabs.emplace(ref, grab);
    return {true, ref, 0};
}

bool XcbHotKeys::unregisterHotKey(std::uint64_t ref)
{
    const auto it = d->grabs.find(ref);
    if (it == d->grabs.end())
        return false;
    d->ungrab(it->second);
    d->grabs.erase(it);
    return true;
}

HotKeys::Registration NullHotKeys::registerHotKey(std::uint16_t, std::uint32_t, std::uint32_t, std::uint32_t)
{
    static bool logged = false;
    if (!logged) {
        qCInfo(lcPlatform) << "registerHotKey: no X server; global shortcuts are unavailable";
        logged = true;
    }
    return {false, 0, kErrorUnavailable};
}

} // namespace platform
