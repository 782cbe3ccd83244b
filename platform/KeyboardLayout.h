#pragma once

#include <QString>

namespace platform {

/// The text that keys type in the current ASCII-capable keyboard layout.
class KeyboardLayout
{
public:
    /// Modifier state bits of a translation: the classic hot-key mask shifted right by 8. Bits above these are
    /// ignored, so a mask passed unshifted translates as if no modifier were held.
    static constexpr quint32 kCommandState = 0x01;
    static constexpr quint32 kShiftState = 0x02;
    static constexpr quint32 kCapsLockState = 0x04;
    static constexpr quint32 kOptionState = 0x08;
    static constexpr quint32 kControlState = 0x10;

    virtual ~KeyboardLayout() = default;

    /// The text a key-down of the key gives with the modifier state, from a fresh dead-key state; empty when the
    /// layout has no text for it or the key code names no key.
    [[nodiscard]] virtual QString textForKeyCode(quint16 keyCode, quint32 modifierState) const = 0;
};

} // namespace platform
