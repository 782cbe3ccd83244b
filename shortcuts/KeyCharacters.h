#pragma once

#include <QString>

/// The text of a key: its symbol when it is a special key (Return, Tab, Delete, arrows, F1-F20 ...), else the
/// character it types without modifiers on the US layout; empty when the key types nothing.
[[nodiscard]] QString characterStringForKeyCode(quint16 keyCode);
