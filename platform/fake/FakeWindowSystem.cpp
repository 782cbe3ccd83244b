#include "platform/fake/FakeWindowSystem.h"

namespace platform {

FakeWindowSystem::FakeWindowSystem() = default;

FakeWindowSystem::~FakeWindowSystem() = default;

} // namespace platform
