#pragma once

#include "platform/KeyboardLayout.h"

#include <memory>

struct xcb_connection_t;

namespace platform {

/// Key texts through libxkbcommon: the X server's keymap of the core keyboard, or a fixed "us" keymap where
/// there is no X server. Of several layouts in the keymap, the first that types ASCII letters is used.
class XkbKeyboardLayout final : public KeyboardLayout
{
public:
    ~XkbKeyboardLayout() override;

    /// Null when the server has no XKB extension or its keymap cannot be read.
    [[nodiscard]] static std::unique_ptr<XkbKeyboardLayout> fromX11(xcb_connection_t *connection);
    /// Null when the keymap data of the system cannot be compiled.
    [[nodiscard]] static std::unique_ptr<XkbKeyboardLayout> fromLayoutName(const char *layout);

    [[nodiscard]] QString textForKeyCode(quint16 keyCode, quint32 modifierState) const override;

    struct Private;

private:
    explicit XkbKeyboardLayout(std::unique_ptr<Private> d);
    const std::unique_ptr<Private> d;
};

/// Used when no keymap can be had: every key has no text.
class NullKeyboardLayout final : public KeyboardLayout
{
public:
    [[nodiscard]] QString textForKeyCode(quint16, quint32) const override { return QString(); }
};

} // namespace platform
