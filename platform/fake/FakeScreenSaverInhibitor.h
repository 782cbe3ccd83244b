#pragma once

#include "platform/ScreenSaverInhibitor.h"

#include <QStringList>

namespace platform {

/// Records the calls ("Inhibit Inkora: reason", "UnInhibit 7"); can stand for a desktop without the service.
class FakeScreenSaverInhibitor final : public ScreenSaverInhibitor
{
public:
    [[nodiscard]] std::optional<quint32> inhibit(const QString &applicationName, const QString &reason) override
    {
        m_calls << QStringLiteral("Inhibit %1: %2").arg(applicationName, reason);
        if (!m_available)
            return std::nullopt;
        m_inhibited = true;
        return ++m_lastCookie;
    }
    [[nodiscard]] bool unInhibit(quint32 cookie) override
    {
        m_calls << QStringLiteral("UnInhibit %1").arg(cookie);
        if (!m_available || cookie != m_lastCookie)
            return false;
        m_inhibited = false;
        return true;
    }

    void setAvailable(bool available) { m_available = available; }
    [[nodiscard]] bool isInhibited() const { return m_inhibited; }
    [[nodiscard]] const QStringList &calls() const { return m_calls; }

private:
    QStringList m_calls;
    quint32 m_lastCookie = 6;
    bool m_available = true;
    bool m_inhibited = false;
};

} // namespace platform
