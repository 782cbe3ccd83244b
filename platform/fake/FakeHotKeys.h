#pragma once

#include "platform/HotKeys.h"

#include <map>
#include <string>
#include <vector>

namespace platform {

/// Records registrations, refuses those a rule picks, and presses hot keys on request.
class FakeHotKeys final : public HotKeys
{
public:
    struct Grab
    {
        std::uint16_t keyCode = 0;
        std::uint32_t modifiers = 0;
        std::uint32_t signature = 0;
        std::uint32_t id = 0;
    };
    using RefusalRule = std::function<int(std::uint16_t keyCode, std::uint32_t modifiers)>; // 0 = accept

    bool installHandler(Handler handler) override;
    bool removeHandler() override;
    [[nodiscard]] Registration registerHotKey(std::uint16_t keyCode, std::uint32_t hotKeyModifiers,
                                              std::uint32_t signature, std::uint32_t id) override;
    bool unregisterHotKey(std::uint64_t ref) override;

    void setRefusalRule(RefusalRule rule) { m_refuse = std::move(rule); }
    void setHandlerInstallFails(bool fails) { m_installFails = fails; }
    /// Presses the grabbed combination as the window system would; false when nothing holds it.
    bool press(std::uint16_t keyCode, std::uint32_t modifiers, std::uint64_t modifierFlags = 0);

    [[nodiscard]] bool isGrabbed(std::uint16_t keyCode, std::uint32_t modifiers) const;
    [[nodiscard]] std::vector<Grab> grabs() const;
    [[nodiscard]] int registrationAttempts() const { return m_attempts; }
    [[nodiscard]] bool hasHandler() const { return static_cast<bool>(m_handler); }
    /// Every successful registration ('r') and unregistration ('u'), in order.
    [[nodiscard]] const std::string &calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

private:
    Handler m_handler;
    RefusalRule m_refuse;
    std::map<std::uint64_t, Grab> m_grabs;
    std::uint64_t m_nextRef = 1;
    std::string m_calls;
    int m_attempts = 0;
    bool m_installFails = false;
};

} // namespace platform
