#pragma once

#include <memory>

namespace platform {

struct Services;

/// Probes the system once and chooses each backend or its null version.
[[nodiscard]] std::unique_ptr<Services> makeLinuxServices();

} // namespace platform
