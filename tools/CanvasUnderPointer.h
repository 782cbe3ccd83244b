#pragma once

namespace inkora {

/// Hands a mouse-moved event to the canvas of the screen under the pointer, so that its pointer decorations follow
/// the pointer while it is over one of the colour popover's views. Nothing without an application shell.
void passMouseMovedToCanvasUnderPointer();

} // namespace inkora
