#include "platform/fake/FakeServices.h"

#include "platform/Services.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeHelperLink.h"
#include "platform/fake/FakeScreenGrabber.h"
#include "platform/fake/FakeSystemLog.h"
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
    auto helperLink = std::make_unique<FakeHelperLink>();
    fakes.helperLink = helperLink.get();
    services->helperLink = std::move(helperLink);
    auto systemLog = std::make_unique<FakeSystemLog>();
    fakes.systemLog = systemLog.get();
    services->systemLog = std::move(systemLog);
    auto screenGrabber = std::make_unique<FakeScreenGrabber>();
    fakes.screenGrabber = screenGrabber.get();
    services->screenGrabber = std::move(screenGrabber);
    return services;
}

} // namespace platform
