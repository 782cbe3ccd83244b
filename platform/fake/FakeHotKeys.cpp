#include "platform/fake/FakeHotKeys.h"

#include "platform/Clock.h"
#include "platform/Services.h"

namespace platform {

bool FakeHotKeys::installHandler(Handler handler)
{
    if (m_installFails)
        return false;
    m_handler = std::move(handler);
    return true;
}

bool FakeHotKeys::removeHandler()
{
    const bool had = static_cast<bool>(m_handler);
    m_handler = nullptr;
    return had;
}

HotKeys::Registration FakeHotKeys::registerHotKey(std::uint16_t keyCode, std::uint32_t hotKeyModifiers,
                                                  std::uint32_t signature, std::uint32_t id)
{
    ++m_attempts;
    if (hotKeyModifiers & 0x20000)
        return {false, 0, kErrorFunctionKey};
    if (m_refuse) {
        if (const int error = m_refuse(keyCode, hotKeyModifiers))
            return {false, 0, error};
    }
    if (isGrabbed(keyCode, hotKeyModifiers))
        return {false, 0, -9878}; // held already, as another client would hold it
    const std::uint64_t ref = m_nextRef++;
    m_grabs.emplace(ref, Grab{keyCode, hotKeyModifiers, signature, id});
    m_calls += 'r';
    return {true, ref, 0};
}

bool FakeHotKeys::unregisterHotKey(std::uint64_t ref)
{
    if (m_grabs.erase(ref) == 0)
        return false;
    m_calls += 'u';
    return true;
}

bool FakeHotKeys::press(std::uint16_t keyCode, std::uint32_t modifiers, std::uint64_t modifierFlags)
{
    for (const auto &[ref, grab] : m_grabs) {
        if (grab.keyCode == keyCode && grab.modifiers == modifiers) {
            if (m_handler)
                m_handler({grab.signature, grab.id, {}, modifierFlags, services().clock->now()});
            return true;
        }
    }
    return false;
}

bool FakeHotKeys::isGrabbed(std::uint16_t keyCode, std::uint32_t modifiers) const
{
    for (const auto &[ref, grab] : m_grabs) {
        if (grab.keyCode == keyCode && grab.modifiers == modifiers)
            return true;
    }
    return false;
}

std::vector<FakeHotKeys::Grab> FakeHotKeys::grabs() const
{
    std::vector<Grab> out;
    for (const auto &[ref, grab] : m_grabs)
        out.push_back(grab);
    return out;
}

} // namespace platform
