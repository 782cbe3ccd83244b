#pragma once

#include <QVariant>

namespace platform {

/// Interpolation of animatable values: numbers, QPointF, QSizeF, QRectF, QColor, QMatrix4x4 and QPainterPath.
/// Transforms interpolate by translation, rotation about z, scale and shear, so a spin does not shrink midway;
/// transforms with depth or perspective by perspective, translation, scale, skew and a quaternion turn.
/// Paths interpolate point by point when their elements match, else they switch at the midpoint.
/// Values of other or mismatched types switch at the midpoint.
[[nodiscard]] QVariant interpolateValues(const QVariant &from, const QVariant &to, double fraction);

/// from + by, for the same types (colours add component-wise, transforms concatenate).
[[nodiscard]] QVariant addValues(const QVariant &from, const QVariant &by);

} // namespace platform
