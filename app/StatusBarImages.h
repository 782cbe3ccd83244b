#pragma once

#include <QImage>
#include <QString>

namespace inkora {

/// The status item's pictures by name ("MRKOStatusBar", "MRKOStatusBarActive", "MRKOStatusBarInactivePin",
/// "MRKOStatusBarActivePin", "MRKOStatusBarAir", "MRKOStatusBarAirActive", and the dots "MRKOStatusBarActiveGreen",
/// "MRKOStatusBarAirActiveGreen"): 22 points square at twice the density. A dot is drawn in the same square as the
/// icons so that it lies over them. Null with one log line for any other name.
[[nodiscard]] QImage statusBarImage(const QString &name);

} // namespace inkora
