#pragma once

#include <QPointF>

#include <cstdint>
#include <functional>

namespace platform {

/// A pressed hot key as the handler sees it: the identifier given at registration and the moment's pointer and
/// modifier state (flags in the program's own layout).
struct HotKeyPress
{
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    QPointF location; // global points, y up
    std::uint64_t modifierFlags = 0;
    double timestamp = 0; // media-clock seconds
};

/// System-wide key combinations that reach this program whichever program is in front.
/// Modifiers are given as the classic hot-key mask: 0x100 Command, 0x200 Shift, 0x400 Caps Lock, 0x800 Option,
/// 0x1000 Control, 0x10000 numeric pad, 0x20000 Function.
class HotKeys
{
public:
    struct Registration
    {
        bool ok = false;
        std::uint64_t ref = 0; // non-zero when ok; hands the registration back to unregisterHotKey
        int errorCode = 0;     // when refused
    };
    using Handler = std::function<void(const HotKeyPress &)>;

    static constexpr int kErrorFunctionKey = -9870; // a combination with Function cannot be grabbed here
    static constexpr int kErrorUnavailable = -9871; // no window system to grab keys from
    static constexpr int kErrorUnknownKey = -9872;  // the key code has no key on this keyboard

    virtual ~HotKeys() = default;

    /// Installs the one handler, called on the main thread for every pressed hot key; false when no handler can be.
    virtual bool installHandler(Handler handler) = 0;
    virtual bool removeHandler() = 0;
    [[nodiscard]] virtual Registration registerHotKey(std::uint16_t keyCode, std::uint32_t hotKeyModifiers,
                                                      std::uint32_t signature, std::uint32_t id) = 0;
    virtual bool unregisterHotKey(std::uint64_t ref) = 0;
};

} // namespace platform
