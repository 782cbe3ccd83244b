#pragma once

#include "platform/Event.h"
#include "platform/RawInput.h"

#include <functional>
#include <memory>

/// Listens to clicks, pointer motion and keys of every program, passing nothing on and changing nothing: the click
/// sounds and the click highlights of ghost mode follow it. Events arrive on the main thread in global points.
class MRKOEventTap final
{
public:
    using Handler = std::function<void(const platform::Event &event)>;

    /// Left button down, motion and drags, key down and up, modifier changes.
    static constexpr quint64 kMask =
        platform::eventMask(platform::EventType::LeftMouseDown) | platform::eventMask(platform::EventType::MouseMoved) |
        platform::eventMask(platform::EventType::LeftMouseDragged) |
        platform::eventMask(platform::EventType::RightMouseDragged) |
        platform::eventMask(platform::EventType::KeyDown) | platform::eventMask(platform::EventType::KeyUp) |
        platform::eventMask(platform::EventType::FlagsChanged);

    /// Enabled at once; `isValid` is false when the display reports no raw input.
    explicit MRKOEventTap(Handler handler);
    ~MRKOEventTap();
    MRKOEventTap(const MRKOEventTap &) = delete;
    MRKOEventTap &operator=(const MRKOEventTap &) = delete;

    [[nodiscard]] bool isValid() const { return m_monitor != nullptr; }
    void suspend();
    void resume();
    [[nodiscard]] bool isActive() const;
    /// While set, events pass without being looked at.
    [[nodiscard]] bool suspended() const { return m_suspended; }
    void setSuspended(bool suspended) { m_suspended = suspended; }

private:
    void initEventTap();

    Handler m_handler;
    std::unique_ptr<platform::RawInput::Monitor> m_monitor;
    bool m_suspended = false;
};
