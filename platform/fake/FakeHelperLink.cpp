#include "platform/fake/FakeHelperLink.h"

#include "platform/Dispatch.h"

namespace platform {

class FakeHelperLink::Connection final : public HelperConnection
{
public:
    explicit Connection(FakeHelperLink &link) : m_link(link) {}

    void setInterruptionHandler(std::function<void()> handler) override { m_interrupted = std::move(handler); }
    void setErrorHandler(ErrorHandler handler) override { m_error = std::move(handler); }
    void invalidate() override
    {
        m_valid = false;
        m_interrupted = nullptr;
    }

    void killApp() override { record(QStringLiteral("killApp"), 0); }
    void showToolForToolType(std::uint64_t toolType) override
    {
        record(QStringLiteral("showToolForToolType"), toolType);
    }
    void showDissolveMode(std::uint64_t mode) override { record(QStringLiteral("showDissolveMode"), mode); }

    void interrupt()
    {
        if (auto handler = std::exchange(m_interrupted, nullptr))
            DispatchQueue::main().async(std::move(handler));
    }

private:
    void record(const QString &method, std::uint64_t value)
    {
        if (m_valid) {
            m_link.calls.push_back({method, value});
            return;
        }
        if (m_error) {
            const QString failure = method + QStringLiteral(": the connection was invalidated");
            DispatchQueue::main().async([handler = m_error, failure] { handler(failure); });
        }
    }

    FakeHelperLink &m_link; // not owned; the link outlives its connections in tests
    std::function<void()> m_interrupted;
    ErrorHandler m_error;
    bool m_valid = true;
};

bool FakeHelperLink::setLoginItemEnabled(bool enabled, QString *error)
{
    loginItemRequests.push_back(enabled);
    if (loginItemFails && error)
        *error = QStringLiteral("refused by the test");
    return !loginItemFails;
}

std::shared_ptr<HelperConnection> FakeHelperLink::connectToHelper(QString *error)
{
    if (connectionFails) {
        if (error)
            *error = QStringLiteral("no session bus");
        return nullptr;
    }
    ++connections;
    auto connection = std::make_shared<Connection>(*this);
    m_last = connection;
    return connection;
}

void FakeHelperLink::interrupt()
{
    if (auto connection = m_last.lock())
        connection->interrupt();
}

} // namespace platform
