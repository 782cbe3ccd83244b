#pragma once

#include <QList>
#include <QRect>
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

/// Global points (y up, origin at the bottom-left corner of the main display) against Qt's global coordinates
/// (y down, logical pixels). Every window placement and pointer location goes through these, so that a main display
/// away from Qt's origin keeps windows and pointer in one frame.
[[nodiscard]] QRectF frameFromQt(const QRect &geometry, const QRect &mainGeometry);
[[nodiscard]] QRectF frameFromQt(const QRect &geometry);
[[nodiscard]] QRect qtFromFrame(const QRectF &frame, const QRect &mainGeometry);
[[nodiscard]] QRect qtFromFrame(const QRectF &frame);
[[nodiscard]] QPointF pointFromQt(const QPointF &point);
[[nodiscard]] QPointF qtFromPoint(const QPointF &point);

/// The displays and their arrangement.
class Screens
{
public:
    virtual ~Screens() = default;
    /// In the system's order, the main display first.
    [[nodiscard]] virtual QList<ScreenInfo> screens() const = 0;
};

} // namespace platform
