#pragma once

#include <QPointF>
#include <QRectF>

namespace inkora {

/// The rect with its edges rounded outwards to whole units; the zero rect for a rect without area.
[[nodiscard]] QRectF integralRect(const QRectF &rect);
/// The smallest rect holding both (each taken with a non-negative size); unlike QRectF::united, a rect of zero
/// size still counts by its origin.
[[nodiscard]] QRectF unionRect(const QRectF &a, const QRectF &b);
/// Exact equality of origin and size (QRectF's own comparison is fuzzy).
[[nodiscard]] bool rectsEqual(const QRectF &a, const QRectF &b);
[[nodiscard]] bool pointsEqual(QPointF a, QPointF b);

} // namespace inkora
