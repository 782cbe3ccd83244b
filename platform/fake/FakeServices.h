#pragma once

#include <memory>

namespace platform {

struct Services;
class FakeClock;
class FakeHelperLink;
class FakeSystemLog;
class FakeSystemProfile;

/// Fakes of every service, with typed access for tests.
struct FakeServices
{
    FakeClock *clock = nullptr; // owned by the installed services
    FakeHelperLink *helperLink = nullptr;
    FakeSystemLog *systemLog = nullptr;
    FakeSystemProfile *systemProfile = nullptr;
};

/// Makes the fake services; `fakes` receives typed pointers to them.
[[nodiscard]] std::unique_ptr<Services> makeFakeServices(FakeServices &fakes);

} // namespace platform
