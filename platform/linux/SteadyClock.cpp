#include "platform/linux/SteadyClock.h"

#include <chrono>

namespace platform {

double SteadyClock::now() const
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace platform
