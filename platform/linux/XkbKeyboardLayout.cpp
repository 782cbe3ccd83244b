#include "platform/linux/XkbKeyboardLayout.h"

#include "platform/Keys.h"
#include "platform/PlatformLog.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace platform {

namespace {

struct ContextDeleter
{
    void operator()(xkb_context *context) const { xkb_context_unref(context); }
};
struct KeymapDeleter
{
    void operator()(xkb_keymap *keymap) const { xkb_keymap_unref(keymap); }
};
struct StateDeleter
{
    void operator()(xkb_state *state) const { xkb_state_unref(state); }
};
using ContextPtr = std::unique_ptr<xkb_context, ContextDeleter>;
using KeymapPtr = std::unique_ptr<xkb_keymap, KeymapDeleter>;
using StatePtr = std::unique_ptr<xkb_state, StateDeleter>;

constexpr xkb_keycode_t kKeycodeOfA = 38; // evdev 30 + 8

/// The first layout whose A key types an ASCII letter; 0 when none does.
xkb_layout_index_t asciiCapableLayout(xkb_keymap *keymap)
{
    const xkb_layout_index_t count = xkb_keymap_num_layouts(keymap);
    for (xkb_layout_index_t layout = 0; layout < count; ++layout) {
        const xkb_keysym_t *syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap, kKeycodeOfA, layout, 0, &syms) == 1 && syms[0] >= 0x20 &&
            syms[0] < 0x7f)
            return layout;
    }
    return 0;
}

} // namespace

struct XkbKeyboardLayout::Private
{
    ContextPtr context;
    KeymapPtr keymap;
    xkb_layout_index_t layout = 0;
};

XkbKeyboardLayout::XkbKeyboardLayout(std::unique_ptr<Private> d) : d(std::move(d)) {}

XkbKeyboardLayout::~XkbKeyboardLayout() = default;

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::fromX11(xcb_connection_t *connection)
{
    if (!connection)
        return nullptr;
    if (!xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return nullptr;
    auto d = std::make_unique<Private>();
    d->context.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!d->context)
        return nullptr;
    const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (device < 0)
        return nullptr;
    d->keymap.reset(xkb_x11_keymap_new_from_device(d->context.get(), connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!d->keymap)
        return nullptr;
    d->layout = asciiCapableLayout(d->keymap.get());
    return std::unique_ptr<XkbKeyboardLayout>(new XkbKeyboardLayout(std::move(d)));
}

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::fromLayoutName(const char *layout)
{
    auto d = std::make_unique<Private>();
    d->context.reset(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!d->context)
        return nullptr;
    const xkb_rule_names names{"evdev", "pc105", layout, "", ""};
    d->keymap.reset(xkb_keymap_new_from_names(d->context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!d->keymap)
        return nullptr;
    d->layout = asciiCapableLayout(d->keymap.get());
    return std::unique_ptr<XkbKeyboardLayout>(new XkbKeyboardLayout(std::move(d)));
}

QString XkbKeyboardLayout::textForKeyCode(quint16 keyCode, quint32 modifierState) const
{
    const quint32 x11KeyCode = x11KeyCodeFromKeyCode(keyCode);
    if (x11KeyCode == 0 || !xkb_keycode_is_legal_x11(x11KeyCode))
        return QString();
    // A fresh state per call: no dead key pending, no lock left from an earlier translation.
    const StatePtr state(xkb_state_new(d->keymap.get()));
    if (!state)
        return QString();
    xkb_mod_mask_t depressed = 0;
    xkb_mod_mask_t locked = 0;
    const auto bit = [&](const char *name) -> xkb_mod_mask_t {
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(d->keymap.get(), name);
        return index == XKB_MOD_INVALID ? 0 : xkb_mod_mask_t(1) << index;
    };
    if (modifierState & kShiftState)
        depressed |= bit(XKB_MOD_NAME_SHIFT);
    if (modifierState & kCommandState)
        depressed |= bit(XKB_MOD_NAME_CTRL);
    if (modifierState & kOptionState)
        depressed |= bit(XKB_MOD_NAME_ALT);
    if (modifierState & kControlState)
        depressed |= bit(XKB_MOD_NAME_LOGO);
    if (modifierState & kCapsLockState)
        locked |= bit(XKB_MOD_NAME_CAPS);
    xkb_state_update_mask(state.get(), depressed, 0, locked, 0, 0, d->layout);

    char buffer[256] = {}; // room for 255 characters and the terminator
    const int length = xkb_state_key_get_utf8(state.get(), x11KeyCode, buffer, sizeof buffer);
    if (length <= 0 || length >= int(sizeof buffer))
        return QString();
    return QString::fromUtf8(buffer, length);
}

} // namespace platform
