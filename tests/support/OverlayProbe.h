#pragma once

/// Whether a window named "Inkora" is mapped on the test's X server: the overlay, which changes nothing on screen
/// by itself.
[[nodiscard]] bool overlayVisible();

/// Types Super+Alt+D until the overlay is mapped. The program answers only once its launch completed, which takes
/// long on a busy machine; the keys are typed again only after a generous wait, since a second press would hide an
/// overlay that was merely slow to appear.
[[nodiscard]] bool showOverlayByShortcut(int attempts = 8);
