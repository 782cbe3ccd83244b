#pragma once

class QAbstractButton;

namespace ForceResetHighlight {

/// Forgets that the pointer is inside the button and redraws it, for a button refreshed under a pointer that left.
void forceResetHighlight(QAbstractButton &button);

} // namespace ForceResetHighlight
