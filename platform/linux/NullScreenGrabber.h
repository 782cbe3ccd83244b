#pragma once

#include "platform/ScreenGrabber.h"

namespace platform {

/// Used where no X server is reachable: every grab fails, with one log line the first time.
class NullScreenGrabber final : public ScreenGrabber
{
public:
    [[nodiscard]] QImage grabArea(const QRect &area) override;
    [[nodiscard]] QImage grabBelowWindow(quint64 window, bool includeWindow, const QRect &area) override;

private:
    void logOnce();

    bool m_logged = false;
};

} // namespace platform
