#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace platform {

/// What a poster hands to the observers of a name.
struct Notification
{
    QString name;
    const void *sender = nullptr; // compared by identity only, never dereferenced
    QVariantMap userInfo;
};

/// Keeps one observer registered; destroying or resetting the token removes it. Move-only.
class ObserverToken
{
public:
    ObserverToken();
    ~ObserverToken();
    ObserverToken(ObserverToken &&other) noexcept;
    ObserverToken &operator=(ObserverToken &&other) noexcept;
    ObserverToken(const ObserverToken &) = delete;
    ObserverToken &operator=(const ObserverToken &) = delete;

    /// Removes the observer; a handler that is running finishes, and it is not called again.
    void reset();
    [[nodiscard]] bool isActive() const;

private:
    friend class NotificationCenter;
    struct Observer;
    struct Registry;

    ObserverToken(std::weak_ptr<Registry> registry, std::weak_ptr<Observer> observer);

    std::weak_ptr<Registry> m_registry;
    std::weak_ptr<Observer> m_observer;
};

/// Delivers notifications by name, synchronously on the posting thread, to observers in the order they were
/// added. An observer may restrict itself to one sender.
class NotificationCenter final
{
public:
    using Handler = std::function<void(const Notification &)>;

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter &) = delete;
    NotificationCenter &operator=(const NotificationCenter &) = delete;

    /// The process's centre.
    static NotificationCenter &defaultCenter();

    /// Calls `handler` for every notification named `name` whose sender is `sender`, or any sender when
    /// `sender` is null. The observer stays until the returned token is reset or destroyed.
    [[nodiscard]] ObserverToken addObserver(const QString &name, const void *sender, Handler handler);
    /// The same as resetting the token.
    void removeObserver(ObserverToken &token);

    void post(const QString &name, const void *sender = nullptr, const QVariantMap &userInfo = {});

private:
    std::shared_ptr<ObserverToken::Registry> m_registry;
};

} // namespace platform
