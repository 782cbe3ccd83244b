#pragma once

#include "platform/SyntheticInput.h"

#include <QString>
#include <QStringList>

namespace platform {

/// Records what would have been sent, one line per call ("click 20,33", "move 5,6", "key 123 to 42"); can be
/// told to fail.
class FakeSyntheticInput final : public SyntheticInput
{
public:
    bool clickAt(QPointF p) override { return record(QStringLiteral("click %1,%2").arg(p.x()).arg(p.y())); }
    bool movePointerTo(QPointF p) override { return record(QStringLiteral("move %1,%2").arg(p.x()).arg(p.y())); }
    bool postKeystroke(quint16 keyCode, qint64 processId) override
    {
        return record(QStringLiteral("key %1 to %2").arg(keyCode).arg(processId));
    }
    [[nodiscard]] const QStringList &sent() const { return m_sent; }
    void setFails(bool fails) { m_fails = fails; }

private:
    bool record(const QString &line)
    {
        if (m_fails)
            return false;
        m_sent << line;
        return true;
    }
    QStringList m_sent;
    bool m_fails = false;
};

} // namespace platform
