#include "platform/linux/LinuxServices.h"

#include "platform/Services.h"
#include "platform/linux/PosixReachability.h"
#include "platform/linux/SteadyClock.h"

namespace platform {

std::unique_ptr<Services> makeLinuxServices()
{
    auto services = std::make_unique<Services>();
    services->clock = std::make_unique<SteadyClock>();
    services->reachability = std::make_unique<PosixReachability>();
    return services;
}

} // namespace platform
