#pragma once

#include <QCursor>

namespace platform {

/// The pointer shown over the program's windows, as a stack: the top cursor shows until it is popped, and with
/// nothing pushed the windows' own cursors show. Main thread only.
class CursorStack
{
public:
    virtual ~CursorStack() = default;
    virtual void push(const QCursor &cursor) = 0;
    /// Nothing when the stack is empty.
    virtual void pop() = 0;
    [[nodiscard]] virtual int depth() const = 0;
};

} // namespace platform
