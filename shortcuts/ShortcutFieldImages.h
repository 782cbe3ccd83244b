#pragma once

#include <QImage>
#include <QString>

namespace inkora {

/// The small pictures of the shortcut fields, drawn at twice the density: the 11-point round buttons
/// "MRKODropdownMenuOval", "RestoreOval", "ShortcutDisableOval" and "ShortcutEnableOval", and the 12 x 17 drag handle
/// "MRKOSixGrayDots". Null with one log line for any other name.
[[nodiscard]] QImage shortcutFieldImage(const QString &name);

} // namespace inkora
