#pragma once

#include <QObject>

#include <cstdint>
#include <memory>

namespace platform {
class HelperConnection;
}

/// The main program's link to the helper: registers the helper as the user's log-in item and asks it, one way,
/// to show the tool or freeze-mode indicator. States: connected, then interrupted for good when the helper leaves.
class MRKOXPCController final : public QObject
{
    Q_OBJECT
public:
    ~MRKOXPCController() override;
    Q_DISABLE_COPY_MOVE(MRKOXPCController)

    /// Made on first use, at the launch's completion; main thread only.
    [[nodiscard]] static MRKOXPCController *sharedXPCController();

    void showToolForToolType(std::uint64_t toolType);
    void showDissolveMode(std::uint64_t mode);
    /// Makes the helper quit.
    void killHelper();

    [[nodiscard]] std::shared_ptr<platform::HelperConnection> xpcServiceConnection() const;
    void setXpcServiceConnection(std::shared_ptr<platform::HelperConnection> connection);

    /// At quit: removes the helper's log-in item unless "runOnStartupKey" is 1.
    static void disableLoginItemIfNeeded();

private:
    MRKOXPCController();
    void setUpController();

    std::shared_ptr<platform::HelperConnection> m_proxy; // stays after an interruption; its calls then fail
    std::shared_ptr<platform::HelperConnection> m_xpcServiceConnection;
};
