#include "platform/fake/FakeServices.h"

#include "platform/Services.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeSystemProfile.h"

namespace platform {

std::unique_ptr<Services> makeFakeServices(FakeServices &fakes)
{
    auto services = std::make_unique<Services>();
    auto clock = std::make_unique<FakeClock>();
    fakes.clock = clock.get();
    services->clock = std::move(clock);
    auto systemProfile = std::make_unique<FakeSystemProfile>();
    fakes.systemProfile = systemProfile.get();
    services->systemProfile = std::move(systemProfile);
    return services;
}

} // namespace platform
