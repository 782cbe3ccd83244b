#pragma once

#include "objects/BezierPath.h"
#include "platform/Path.h"

#include <QPointF>
#include <QRectF>

#include <array>
#include <optional>

class QPainter;

namespace inkora {

/// One cubic segment: start point, first control point, second control point, end point.
using CubicSegment = std::array<QPointF, 4>;

/// The archive's element copier: a quadratic segment is written as a cubic whose two control points both
/// equal the quadratic's control point.
[[nodiscard]] BezierPath archiveBezierPath(const platform::Path &path);
/// The outline copier: as the archive copier, but every subpath before a later move is closed first.
[[nodiscard]] BezierPath outlineBezierPath(const platform::Path &path);
/// De Casteljau subdivision at t = 1/2.
void halveCubicSegment(const CubicSegment &segment, CubicSegment &first, CubicSegment &second);

} // namespace inkora

/// Conversions, outlines, tests and variable-width strokes of Bezier paths.
namespace Path {

/// Writes the path's elements as a new path through `ref`; an empty path writes nothing.
void quartzPathWithRef(const inkora::BezierPath &path, std::optional<platform::Path> &ref);
/// The same conversion, used for paths that animate.
void quartzPathWithAnimPath(const inkora::BezierPath &path, std::optional<platform::Path> &ref);
/// The closed outline of the path stroked with its own width, cap, join and miter limit (its dashes not applied).
[[nodiscard]] inkora::BezierPath strokedBezier(const inkora::BezierPath &path);
/// The outline of the path dashed with the first two lengths of its dash pattern from phase 0, then stroked.
[[nodiscard]] inkora::BezierPath dashedBezier(const inkora::BezierPath &path);

[[nodiscard]] bool isOneMoveTo(const inkora::BezierPath &path);
/// NO for an empty path or one with a NaN coordinate in a move, line or curve.
[[nodiscard]] bool isValid(const inkora::BezierPath &path);
/// YES when the element before the last one closes a subpath.
[[nodiscard]] bool isClosed(const inkora::BezierPath &path);
/// YES when a close element follows the element at `index` (inclusive); NO for an index out of range.
[[nodiscard]] bool subpathContainingElementIsClosed(const inkora::BezierPath &path, qint64 index);

/// Strokes the path with the painter's pen colour so that the line lies inside the path's area; the painter's
/// coordinates are the path's.
void strokeInside(const inkora::BezierPath &path, QPainter &painter);
/// As strokeInside, also clipped to `rect` when it is wider and higher than 0.
void strokeInsideWithinRect(const inkora::BezierPath &path, QPainter &painter, const QRectF &rect);

/// The path with every point moved sideways (positive: to the left of the direction of travel, y up) by a
/// distance running linearly with the element index from `from` to `to`.
[[nodiscard]] inkora::BezierPath pathOffsetFrom(const inkora::BezierPath &path, double from, double to);

/// The closed outline of a cubic segment stroked with a width running from `fromWidth` to `toWidth`, flat ends.
[[nodiscard]] inkora::BezierPath variableWidthSegment(const inkora::CubicSegment &segment, double fromWidth,
                                                      double toWidth);
/// The same outline as a graphics path, element for element.
[[nodiscard]] platform::Path variableWidthStrokedPathSegment(const inkora::CubicSegment &segment, double fromWidth,
                                                             double toWidth);
/// The segment outlined in four quarters at interpolated widths, with a circle about each end as its cap.
[[nodiscard]] platform::Path variableWidthStrokedPathSubdivide(const inkora::CubicSegment &segment, double fromWidth,
                                                               double toWidth);

} // namespace Path
