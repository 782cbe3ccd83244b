#pragma once

#include <memory>

namespace platform {

struct Services;
class FakeClock;
class FakeSystemProfile;
class FakeHelperLink;
class FakeSystemLog;
class FakeScreenGrabber;

/// Fakes of every service, with typed access for tests.
struct FakeServices
{
    FakeClock *clock = nullptr; // owned by the installed services
    FakeSystemProfile *systemProfile = nullptr;
    FakeHelperLink *helperLink = nullptr;
    FakeSystemLog *systemLog = nullptr;
    FakeScreenGrabber *screenGrabber = nullptr;
};

/// Makes the fake services; `fakes` receives typed pointers to them.
[[nodiscard]] std::unique_ptr<Services> makeFakeServices(FakeServices &fakes);

} // namespace platform
