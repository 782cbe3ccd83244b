#pragma once

#include "platform/HelperLink.h"

#include <utility>
#include <vector>

namespace platform {

/// Records what the main program asks of the helper; can refuse the log-in item and the connection.
class FakeHelperLink final : public HelperLink
{
public:
    struct Call
    {
        QString method;
        std::uint64_t value = 0;
        bool operator==(const Call &) const = default;
    };

    [[nodiscard]] bool setLoginItemEnabled(bool enabled, QString *error) override;
    [[nodiscard]] std::shared_ptr<HelperConnection> connectToHelper(QString *error) override;

    /// Behaves as if the helper had quit: the last connection's interruption handler runs on the main queue.
    void interrupt();

    /// Every log-in item request, in order.
    std::vector<bool> loginItemRequests;
    bool loginItemFails = false;
    bool connectionFails = false;
    /// Calls made on any connection, in order.
    std::vector<Call> calls;
    /// How many connections were made.
    int connections = 0;

private:
    class Connection;
    std::weak_ptr<Connection> m_last;
};

} // namespace platform
