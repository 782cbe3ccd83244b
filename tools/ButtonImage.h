#pragma once

#include <QImage>
#include <QString>

namespace inkora {

/// The named image at one or two pixels a point, read once and kept: buttons draw theirs at every repaint.
/// Null (logged once by the loader) when there is no such image. Main thread only.
[[nodiscard]] QImage buttonImage(const QString &name, double scale);

} // namespace inkora
