#pragma once

#include <memory>

namespace platform {

struct Services;
class FakeClock;
class FakeReachability;

/// Fakes of every service, with typed access for tests.
struct FakeServices
{
    FakeClock *clock = nullptr; // owned by the installed services
    FakeReachability *reachability = nullptr;
};

/// Makes the fake services; `fakes` receives typed pointers to them.
[[nodiscard]] std::unique_ptr<Services> makeFakeServices(FakeServices &fakes);

} // namespace platform
