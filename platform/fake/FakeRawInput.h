#pragma once

#include "platform/RawInput.h"

namespace platform {

/// Hands scripted events to the monitors as the window system would; can stand for a display without raw input.
class FakeRawInput final : public RawInput
{
public:
    [[nodiscard]] bool isAvailable() const override { return m_available; }
    void setAvailable(bool available) { m_available = available; }

    /// Delivers the event to every active monitor that wants its type.
    void post(const Event &event) { deliver(event); }
    /// A flags-changed event with the flags.
    void postFlagsChanged(quint64 flags);
    /// One wheel notch (lines: up and left positive) at a global point (y up).
    void postScroll(double deltaX, double deltaY, QPointF location = {});

private:
    bool m_available = true;
};

} // namespace platform
