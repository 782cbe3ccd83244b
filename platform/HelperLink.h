#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

/// The names both programs agree on; the session-bus names are the programs' application ids.
namespace helperlink {
inline constexpr char kMainId[] = "com.Inkora.Inkora";
inline constexpr char kHelperId[] = "com.Inkora.InkoraHelper";
/// The helper's bundle folder inside the main program's bundle.
inline constexpr char kHelperBundleInMain[] = "Contents/Library/LoginItems/InkoraHelper";
inline constexpr char kHelperObjectPath[] = "/com/Inkora/InkoraHelper";
inline constexpr char kHelperInterface[] = "com.Inkora.InkoraHelper";
/// The main program's object: a later start of the program hands over to the running one through it.
inline constexpr char kMainObjectPath[] = "/com/Inkora/Inkora";
inline constexpr char kMainInterface[] = "com.Inkora.Inkora";
/// Broadcast notifications: signals on this path and interface whose first argument is the sender's id.
inline constexpr char kNotificationPath[] = "/com/Inkora/Notifications";
inline constexpr char kNotificationInterface[] = "com.Inkora.Notifications";
inline constexpr char kTerminateHelperNotification[] = "terminateInkoraHelper";
} // namespace helperlink

/// The main program's end of the link to the helper. Every call is one-way: nothing comes back.
class HelperConnection
{
public:
    using ErrorHandler = std::function<void(const QString &description)>;

    virtual ~HelperConnection() = default;

    /// Runs on the main thread when the helper leaves the bus after it had been reached.
    virtual void setInterruptionHandler(std::function<void()> handler) = 0;
    /// Runs on the main thread for every call that could not be sent.
    virtual void setErrorHandler(ErrorHandler handler) = 0;
    /// From now on every call fails into the error handler.
    virtual void invalidate() = 0;

    virtual void killApp() = 0;
    virtual void showToolForToolType(std::uint64_t toolType) = 0;
    virtual void showDissolveMode(std::uint64_t mode) = 0;
};

/// Registers the helper as the user's log-in item and opens connections to its service.
class HelperLink
{
public:
    virtual ~HelperLink() = default;

    /// Adds or removes the helper's log-in item; false with the reason in `error` when that failed.
    [[nodiscard]] virtual bool setLoginItemEnabled(bool enabled, QString *error) = 0;
    /// A connection to the helper's service, or null with the reason in `error`.
    [[nodiscard]] virtual std::shared_ptr<HelperConnection> connectToHelper(QString *error) = 0;
};

} // namespace platform
