#pragma once

#include <QCursor>

/// The canvas's own pointers, each made once from its named image and kept for the whole run. Main thread only.
namespace Resize {

/// "MRKOScissorsCursor", hot spot in the middle.
[[nodiscard]] const QCursor &scissors();
/// "MRKOScissorsCutCursor", hot spot in the middle.
[[nodiscard]] const QCursor &scissorsCut();
/// "MRKOBrushCursor", hot spot (3, 2) from the top left.
[[nodiscard]] const QCursor &brushCursor();
/// "MRKOEraserCursor", hot spot (5, 5) from the top left.
[[nodiscard]] const QCursor &eraserCursor();
/// "MRKOTextCursor", hot spot in the middle.
[[nodiscard]] const QCursor &textChangeCursor();

} // namespace Resize
