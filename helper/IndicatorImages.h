#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace inkora {

/// The helper's images, drawn in white on transparent at `size` points and device pixel ratio `scale`:
/// the tool icons ("BrushMedium" ... "EllipseMedium"), the freeze-mode icons ("DissolveMedium",
/// "DissolveOffMedium") and the indicator's rounded shape ("MRKOLogoMask"). An unknown name gives a null image.
[[nodiscard]] QImage indicatorImage(const QString &name, QSize size, qreal scale = 1.0);

} // namespace inkora
