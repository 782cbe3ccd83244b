#include "platform/fake/FakeServices.h"

#include "platform/Services.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeReachability.h"

namespace platform {

std::unique_ptr<Services> makeFakeServices(FakeServices &fakes)
{
    auto services = std::make_unique<Services>();
    auto clock = std::make_unique<FakeClock>();
    fakes.clock = clock.get();
    services->clock = std::move(clock);
    auto reachability = std::make_unique<FakeReachability>();
    fakes.reachability = reachability.get();
    services->reachability = std::move(reachability);
    return services;
}

} // namespace platform
