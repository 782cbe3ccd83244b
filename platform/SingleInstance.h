#pragma once

#include <QStringList>

#include <functional>

namespace platform {

/// Keeps one copy of the program running in the user's session: the first start claims the program's name, a
/// later start hands its arguments over to that copy and ends.
class SingleInstance
{
public:
    using ActivationHandler = std::function<void(const QStringList &arguments)>;

    virtual ~SingleInstance() = default;

    /// Claims the name; false when another copy holds it. Without a session bus a lock of the display stands in.
    [[nodiscard]] virtual bool claim() = 0;
    /// Asks the copy that holds the name to come forward, with our arguments; false when it could not be asked.
    [[nodiscard]] virtual bool handOver(const QStringList &arguments) = 0;
    /// Runs on the main thread when a later start handed over to this copy.
    virtual void setActivationHandler(ActivationHandler handler) = 0;
};

} // namespace platform
