#pragma once

#include "platform/SingleInstance.h"

namespace platform {

/// Claims as scripted and records hand-overs; `activate()` stands for a later start handing over to us.
class FakeSingleInstance final : public SingleInstance
{
public:
    [[nodiscard]] bool claim() override { return m_claimAnswer; }
    [[nodiscard]] bool handOver(const QStringList &arguments) override
    {
        m_handedOver.append(arguments);
        return true;
    }
    void setActivationHandler(ActivationHandler handler) override { m_handler = std::move(handler); }

    void setClaimAnswer(bool answer) { m_claimAnswer = answer; }
    [[nodiscard]] const QList<QStringList> &handedOver() const { return m_handedOver; }
    void activate(const QStringList &arguments = {})
    {
        if (m_handler)
            m_handler(arguments);
    }

private:
    bool m_claimAnswer = true;
    QList<QStringList> m_handedOver;
    ActivationHandler m_handler;
};

} // namespace platform
