#pragma once

#include "platform/ServiceBrowser.h"

#include <QHash>
#include <QStringList>

#include <memory>
#include <vector>

namespace platform {

/// Services appear and go when a test says so; resolutions answer when a test says so, with the addresses given.
class FakeServiceBrowser final : public ServiceBrowser
{
public:
    FakeServiceBrowser();
    ~FakeServiceBrowser() override;

    void browse(const QString &type, const QString &domain, Handlers handlers) override;
    void stop() override;
    [[nodiscard]] std::unique_ptr<Resolution> resolve(const QString &name, double timeout,
                                                      ResolveHandler handler) override;

    /// Reports the name found (at its first instance) with these addresses for its resolutions.
    void addService(const QString &name, const QList<QByteArray> &addresses);
    void removeService(const QString &name);
    /// The daemon goes away: every service is removed, then browsing stops.
    void fail(const QString &error);
    /// Answers every running resolution of the name; false when none runs.
    bool answerResolutions(const QString &name);
    /// Resolutions answer as soon as they are asked (the default) or wait for answerResolutions.
    void setResolvesAtOnce(bool atOnce) { m_resolvesAtOnce = atOnce; }

    [[nodiscard]] bool isBrowsing() const { return m_browsing; }
    [[nodiscard]] QString browsedType() const { return m_type; }
    [[nodiscard]] QString browsedDomain() const { return m_domain; }
    [[nodiscard]] QStringList resolved() const { return m_resolved; }
    [[nodiscard]] int runningResolutions(const QString &name) const;

    struct Pending;

private:
    Handlers m_handlers;
    QHash<QString, QList<QByteArray>> m_services;
    std::vector<std::weak_ptr<Pending>> m_pending;
    QStringList m_resolved;
    QString m_type;
    QString m_domain;
    bool m_browsing = false;
    bool m_resolvesAtOnce = true;
};

} // namespace platform
