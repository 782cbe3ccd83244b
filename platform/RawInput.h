#pragma once

#include "platform/Event.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform {

/// Input from every device, whichever window receives it: key presses and releases, modifier changes, the
/// left and right buttons, wheel notches (buttons 4 to 7) and pointer motion. Events reach the monitors on the
/// main thread with the pointer's location in global points (y up, window number 0) and the modifier flags held
/// at that moment. Motion is coalesced to one event per batch the window system hands over.
class RawInput
{
public:
    using Handler = std::function<void(const Event &event)>;

    /// One monitor; removed when destroyed. A suspended monitor receives nothing until it is resumed.
    class Monitor
    {
    public:
        ~Monitor();
        Monitor(const Monitor &) = delete;
        Monitor &operator=(const Monitor &) = delete;
        void suspend();
        void resume();
        [[nodiscard]] bool isSuspended() const;

    private:
        friend class RawInput;
        struct Entry;
        explicit Monitor(std::shared_ptr<Entry> entry);
        std::shared_ptr<Entry> m_entry;
    };

    RawInput();
    virtual ~RawInput();
    RawInput(const RawInput &) = delete;
    RawInput &operator=(const RawInput &) = delete;

    /// `mask`: eventMask() bits of the types wanted. Null when the window system cannot report raw input.
    [[nodiscard]] std::unique_ptr<Monitor> addMonitor(quint64 mask, Handler handler);
    [[nodiscard]] virtual bool isAvailable() const = 0;
    /// The types some active monitor wants; a backend listens for these only.
    [[nodiscard]] quint64 wantedMask() const;
    /// Monitors in place, suspended ones included.
    [[nodiscard]] int monitorCount() const;

protected:
    /// Hands an event to every active monitor that wants its type; main thread.
    void deliver(const Event &event);
    /// Called whenever wantedMask() may have changed.
    virtual void wantedMaskChanged() {}

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

/// The types a raw stream reports.
inline constexpr quint64 kRawInputTypes =
    eventMask(EventType::KeyDown) | eventMask(EventType::KeyUp) | eventMask(EventType::FlagsChanged) |
    eventMask(EventType::LeftMouseDown) | eventMask(EventType::LeftMouseUp) | eventMask(EventType::RightMouseDown) |
    eventMask(EventType::RightMouseUp) | eventMask(EventType::MouseMoved) | eventMask(EventType::LeftMouseDragged) |
    eventMask(EventType::RightMouseDragged) | eventMask(EventType::ScrollWheel);

/// Where there is no X server: nothing can be watched.
class NullRawInput final : public RawInput
{
public:
    [[nodiscard]] bool isAvailable() const override { return false; }
};

} // namespace platform
