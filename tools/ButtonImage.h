#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

namespace inkora {

/// The named image at one or two pixels a point, read once and kept: buttons draw theirs at every repaint.
/// Null (logged once by the loader) when there is no such image. Main thread only.
[[nodiscard]] QImage buttonImage(const QString &name, double scale);

/// `picture` kept only where `shape` is opaque, both stretched over `size` points, at `scale` pixels a point.
[[nodiscard]] QImage imageInShape(const QImage &picture, const QImage &shape, QSizeF size, double scale);

} // namespace inkora
