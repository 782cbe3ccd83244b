#pragma once

#include "platform/RawInput.h"

#include <memory>

namespace platform {

/// Raw input through XInput2 raw events selected on the root window, over an X connection of its own, so that
/// events reach it whichever window has the pointer or a grab.
class XInputRawInput final : public RawInput
{
public:
    /// Null when there is no X server or no XInput 2.
    [[nodiscard]] static std::unique_ptr<XInputRawInput> create();
    ~XInputRawInput() override;

    [[nodiscard]] bool isAvailable() const override { return true; }

protected:
    void wantedMaskChanged() override;

private:
    struct Private;
    XInputRawInput();
    void readEvents();
    void keyChanged(quint8 keycode, bool press);
    void buttonChanged(quint32 button, bool press);
    void moved();
    [[nodiscard]] Event makeEvent(EventType type) const;
    const std::unique_ptr<Private> d;
};

} // namespace platform
