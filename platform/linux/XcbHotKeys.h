#pragma once

#include "platform/HotKeys.h"

#include <memory>

namespace platform {

/// Hot keys as key grabs on the X11 root window. Each combination is grabbed together with its Num Lock and
/// Caps Lock variants, so that the state of those locks does not matter; a combination another client holds
/// is refused with the X error code.
class XcbHotKeys final : public HotKeys
{
public:
    XcbHotKeys();
    ~XcbHotKeys() override;

    bool installHandler(Handler handler) override;
    bool removeHandler() override;
    [[nodiscard]] Registration registerHotKey(std::uint16_t keyCode, std::uint32_t hotKeyModifiers,
                                              std::uint32_t signature, std::uint32_t id) override;
    bool unregisterHotKey(std::uint64_t ref) override;

    /// The X11 modifier mask of a hot-key modifier mask; Function has none.
    [[nodiscard]] static std::uint16_t x11Modifiers(std::uint32_t hotKeyModifiers);

    struct Private;

private:
    std::unique_ptr<Private> d;
};

/// Used when there is no X server: every registration is refused, through the usual refusal path.
class NullHotKeys final : public HotKeys
{
public:
    bool installHandler(Handler) override { return true; }
    bool removeHandler() override { return true; }
    [[nodiscard]] Registration registerHotKey(std::uint16_t, std::uint32_t, std::uint32_t, std::uint32_t) override;
    bool unregisterHotKey(std::uint64_t) override { return false; }
};

} // namespace platform
