#pragma once

#include <QList>
#include <QRectF>
#include <QString>

namespace platform {

/// Posted on the default notification centre, on the main thread, after displays were added, removed, moved,
/// resized or rescaled. One change may post it several times.
inline constexpr char kScreenParametersDidChangeNotification[] = "ApplicationDidChangeScreenParametersNotification";

/// One display. The frame is in points, global, with the origin at the bottom-left corner of the main display and
/// y growing upwards.
struct ScreenInfo
{
    QRectF frame;
    double backingScale = 1.0; // pixels per point
    quint32 number = 0;        // stays the display's for the whole run
    QString name;              // the window system's name of the output
};

/// The displays and their arrangement.
class Screens
{
public:
    virtual ~Screens() = default;
    /// In the system's order, the main display first.
    [[nodiscard]] virtual QList<ScreenInfo> screens() const = 0;
};

} // namespace platform
