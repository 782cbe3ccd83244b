#pragma once

namespace platform {

/// The one monotonic media clock, in seconds.
class Clock
{
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual double now() const = 0;
};

} // namespace platform
