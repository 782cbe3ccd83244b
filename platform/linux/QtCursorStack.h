#pragma once

#include "platform/CursorStack.h"

namespace platform {

/// Qt's application override cursors: they show over every window of the program.
class QtCursorStack final : public CursorStack
{
public:
    void push(const QCursor &cursor) override;
    void pop() override;
    [[nodiscard]] int depth() const override { return m_depth; }

private:
    int m_depth = 0; // only what we pushed, so a pop never takes another component's cursor
};

} // namespace platform
