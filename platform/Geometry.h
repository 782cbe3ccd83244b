#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

namespace platform {

// Rectangles are (x, y, width, height) in points with y growing upwards: y() is the minimum y and
// y() + height() the maximum. QRectF only stores them; top() and bottom() keep Qt's top-left meaning, so
// use minY()/maxY() below.

[[nodiscard]] inline double minX(const QRectF &r)
{
    return r.x();
}
[[nodiscard]] inline double minY(const QRectF &r)
{
    return r.y();
}
[[nodiscard]] inline double maxX(const QRectF &r)
{
    return r.x() + r.width();
}
[[nodiscard]] inline double maxY(const QRectF &r)
{
    return r.y() + r.height();
}
/// (x + width / 2, y + height / 2).
[[nodiscard]] QPointF centre(const QRectF &r);
/// A rectangle with no area: width or height zero or negative.
[[nodiscard]] bool isEmptyRect(const QRectF &r);

/// The smallest rectangle with whole-point edges that contains r; an empty r gives the zero rectangle.
[[nodiscard]] QRectF integralRect(const QRectF &r);

enum class EdgeAlignment : int { Outward, Nearest };

/// Moves every edge to a whole point: outward (minimum edges down, maximum edges up) or to the nearest one
/// (halves go up). Empty rectangles are aligned too, so a zero-width rectangle at x 0.5 becomes 1 point wide
/// when aligned outward.
[[nodiscard]] QRectF alignedRect(const QRectF &r, EdgeAlignment alignment);

/// Origin rounded down and size rounded up, each on its own: how unions of layer frames are rounded.
/// Unlike alignedRect(), a width of 10 at x 0.5 stays 10.
[[nodiscard]] QRectF floorOriginCeilSize(const QRectF &r);

/// The union in which an empty rectangle does not count: one empty side gives the other, two give the zero
/// rectangle.
[[nodiscard]] QRectF unionRect(const QRectF &a, const QRectF &b);
/// The union that keeps empty rectangles: a zero-size rectangle still adds its point. Use it where the
/// rectangles may legitimately be points (a redraw area that starts at the press point).
[[nodiscard]] QRectF unionRectKeepingPoints(const QRectF &a, const QRectF &b);

/// Moves each vertical edge in by dx and each horizontal edge in by dy (negative values grow the rectangle).
[[nodiscard]] QRectF insetRect(const QRectF &r, double dx, double dy);

/// Converts between y-up and Qt's y-down coordinates in a container of the given height; the conversion is
/// its own inverse.
[[nodiscard]] QPointF flipY(const QPointF &p, double height);
[[nodiscard]] QRectF flipY(const QRectF &r, double height);

/// "{x, y}" and "{{x, y}, {w, h}}", with each number in its shortest form that reads back exactly.
[[nodiscard]] QString pointToString(const QPointF &p);
[[nodiscard]] QString rectToString(const QRectF &r);
/// Reads the forms above (spaces optional); anything else, or a number that is not finite, gives nothing.
[[nodiscard]] std::optional<QPointF> pointFromString(const QString &text);
[[nodiscard]] std::optional<QRectF> rectFromString(const QString &text);

} // namespace platform
