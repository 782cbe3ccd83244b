#include "platform/linux/LinuxServices.h"

#include "platform/Services.h"
#include "platform/linux/SteadyClock.h"
#include "platform/linux/X11SystemProfile.h"

namespace platform {

std::unique_ptr<Services> makeLinuxServices()
{
    auto services = std::make_unique<Services>();
    services->clock = std::make_unique<SteadyClock>();
    services->systemProfile = std::make_unique<X11SystemProfile>();
    return services;
}

} // namespace platform
