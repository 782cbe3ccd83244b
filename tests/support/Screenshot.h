#pragma once

#include <QColor>
#include <QImage>

/// The whole X screen as the server composes it (through ImageMagick's `import`); null when it cannot be taken.
[[nodiscard]] QImage screenshot();

/// The pixel at (x, y) of a screenshot; invalid for a null image or a point outside it.
[[nodiscard]] QColor screenshotPixel(const QImage &image, int x, int y);

/// Presses the left button at (from, from) and drags down the diagonal to (to, to) in 20-pixel steps with xdotool.
/// While the button is still down it takes screenshots (from inside whatever loop the press runs) until (probe,
/// probe) shows `colour` or about twenty seconds passed, then lets the button go. Returns that last screenshot; null
/// when the drag did not happen.
[[nodiscard]] QImage screenshotWhileDraggingDiagonally(int from, int to, int probe, const QColor &colour);
