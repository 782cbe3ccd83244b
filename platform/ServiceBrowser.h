#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace platform {

/// Finds services of one type on the local network and resolves them. Instances of a name on several interfaces
/// and protocols fold into one service, found with its first instance and gone with its last. Every callback runs
/// on the main thread.
class ServiceBrowser
{
public:
    struct Handlers
    {
        std::function<void(const QString &name)> found;
        std::function<void(const QString &name)> removed;
        /// Browsing ended for good (no daemon, the daemon went away, or the browser failed); the services it had
        /// found have been reported removed first.
        std::function<void(const QString &error)> stopped;
    };
    /// The addresses of every instance of a name: socket address data (AF_INET, 16 bytes; AF_INET6, 28 bytes,
    /// with the scope id of link-local addresses), in the order they resolved; `error` set when none resolved.
    using ResolveHandler = std::function<void(const QList<QByteArray> &addresses, const QString &error)>;

    /// Keeps a resolution running; destroying it cancels it, and its handler is not called after that.
    class Resolution
    {
    public:
        virtual ~Resolution() = default;
    };

    virtual ~ServiceBrowser() = default;

    /// Starts browsing `type` ("_inkora._udp") in `domain` ("local"); a second call replaces the first browse.
    /// Failure to start is reported through `stopped`, after this returns.
    virtual void browse(const QString &type, const QString &domain, Handlers handlers) = 0;
    virtual void stop() = 0;
    /// Resolves a found service; the handler runs once, at the latest when `timeout` seconds have passed.
    [[nodiscard]] virtual std::unique_ptr<Resolution> resolve(const QString &name, double timeout,
                                                              ResolveHandler handler) = 0;
};

} // namespace platform
