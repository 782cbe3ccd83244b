#pragma once

#include <QColor>
#include <QImage>

/// The whole X screen as the server composes it (through ImageMagick's `import`); null when it cannot be taken.
[[nodiscard]] QImage screenshot();

/// The pixel at (x, y) of a screenshot; invalid for a null image or a point outside it.
[[nodiscard]] QColor screenshotPixel(const QImage &image, int x, int y);
