#pragma once

#include <QPointF>
#include <QRectF>

namespace inkora {

/// Exact equality of origin and size (QRectF's own comparison is fuzzy).
[[nodiscard]] bool rectsEqual(const QRectF &a, const QRectF &b);
/// Exact equality of both coordinates (QPointF's own comparison is fuzzy).
[[nodiscard]] bool pointsEqual(QPointF a, QPointF b);

} // namespace inkora
