#pragma once

namespace platform {

/// The pointer's visibility over the whole screen, not just our windows. Hiding is counted: every hide needs
/// its show before the pointer reappears.
class SystemCursor
{
public:
    virtual ~SystemCursor() = default;
    /// 0 on success, else an error code for the log line.
    virtual int hide() = 0;
    virtual int show() = 0;
    [[nodiscard]] virtual bool isVisible() const = 0;
};

} // namespace platform
