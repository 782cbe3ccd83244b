#pragma once

#include <QString>

#include <memory>

namespace platform {

struct Services;

/// Probes the system once and chooses each backend or its null version.
[[nodiscard]] std::unique_ptr<Services> makeLinuxServices();

/// Before Qt starts: the program runs on X11 (XWayland too) unless a test chose another Qt platform. Empty when the
/// display opens, else the one line that says why not.
[[nodiscard]] QString x11DisplayProblem();

/// Before Qt starts: without a session bus address the bus of "$XDG_RUNTIME_DIR/bus" is used when it exists; else
/// the program runs without a bus, and the D-Bus library is kept from launching a bus daemon of its own.
void prepareSessionBusAddress();

} // namespace platform
