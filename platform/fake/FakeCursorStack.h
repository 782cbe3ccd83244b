#pragma once

#include "platform/CursorStack.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

/// Keeps the pushed cursors and records every call ("push <name>", "pop", or "pop on empty"); a cursor's name is its Qt
/// shape, or the name given to its pixmap with `nameCursor`.
class FakeCursorStack final : public CursorStack
{
public:
    void push(const QCursor &cursor) override;
    void pop() override;
    [[nodiscard]] int depth() const override { return int(m_stack.size()); }

    /// Names a pixmap cursor for the record.
    void nameCursor(const QCursor &cursor, const QString &name);
    [[nodiscard]] QString nameOf(const QCursor &cursor) const;
    /// The top cursor's name; empty with nothing pushed.
    [[nodiscard]] QString top() const;
    [[nodiscard]] const QStringList &calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

private:
    std::vector<QCursor> m_stack;
    QStringList m_calls;
    std::vector<std::pair<qint64, QString>> m_names; // pixmap cache key and name
};

} // namespace platform
