#pragma once

#include <QImage>
#include <QRect>

namespace platform {

/// Images of what the screen shows. Areas are in the window system's pixels: global, with the origin at the
/// top-left corner of the first screen and y growing downwards. Images come with row 0 at the top.
class ScreenGrabber
{
public:
    virtual ~ScreenGrabber() = default;

    /// Everything shown in the area, every window ours included. Null with one log line when no image can be had.
    [[nodiscard]] virtual QImage grabArea(const QRect &area) = 0;
    /// The area as the windows stacked below `window` show it, with `window` itself when `includeWindow`; windows
    /// above it are left out. Null with one log line when no image can be had.
    [[nodiscard]] virtual QImage grabBelowWindow(quint64 window, bool includeWindow, const QRect &area) = 0;
};

} // namespace platform
