#pragma once

#include "platform/ServiceBrowser.h"

#include <memory>

namespace platform {

/// Browses and resolves through the Avahi daemon, on a threaded poll of its own; results reach the main thread.
/// The browser is made once the client runs. No daemon, or one that goes away, ends browsing with one log line.
class AvahiServiceBrowser final : public ServiceBrowser
{
public:
    AvahiServiceBrowser();
    ~AvahiServiceBrowser() override;
    AvahiServiceBrowser(const AvahiServiceBrowser &) = delete;
    AvahiServiceBrowser &operator=(const AvahiServiceBrowser &) = delete;

    void browse(const QString &type, const QString &domain, Handlers handlers) override;
    void stop() override;
    [[nodiscard]] std::unique_ptr<Resolution> resolve(const QString &name, double timeout,
                                                      ResolveHandler handler) override;

    struct Private;

private:
    std::shared_ptr<Private> d;
};

} // namespace platform
