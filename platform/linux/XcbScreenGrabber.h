#pragma once

#include "platform/ScreenGrabber.h"

#include <memory>

struct xcb_connection_t;

namespace platform {

/// Screen images from the X server: the root window's pixels for everything shown; for what lies below a window,
/// the named pixmaps of the windows stacked below it composed over the desktop background when a compositing
/// manager runs, or the root's pixels with our own windows from that one up unmapped for the moment when none does.
class XcbScreenGrabber final : public ScreenGrabber
{
public:
    /// Null when the application does not run on an X server.
    [[nodiscard]] static std::unique_ptr<XcbScreenGrabber> create();
    explicit XcbScreenGrabber(xcb_connection_t *connection, int screenNumber);

    [[nodiscard]] QImage grabArea(const QRect &area) override;
    [[nodiscard]] QImage grabBelowWindow(quint64 window, bool includeWindow, const QRect &area) override;

    /// Whether a compositing manager owns the screen's compositing selection.
    [[nodiscard]] bool hasCompositingManager() const;

private:
    [[nodiscard]] QImage composeBelow(quint32 window, bool includeWindow, const QRect &area);
    [[nodiscard]] QImage grabWithOurWindowsHidden(quint32 window, bool includeWindow, const QRect &area);

    xcb_connection_t *m_connection = nullptr; // not owned: Qt's connection, which outlives the services
    quint32 m_root = 0;
    int m_screenNumber = 0;
};

} // namespace platform
