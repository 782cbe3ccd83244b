#include "platform/NotificationCenter.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace platform {

struct ObserverToken::Observer
{
    QString name;
    const void *sender = nullptr;
    NotificationCenter::Handler handler;
    std::atomic<bool> removed = false;
};

struct ObserverToken::Registry
{
    std::mutex mutex;
    std::vector<std::shared_ptr<Observer>> observers; // in the order they were added
};

ObserverToken::ObserverToken() = default;

ObserverToken::ObserverToken(std::weak_ptr<Registry> registry, std::weak_ptr<Observer> observer)
    : m_registry(std::move(registry)), m_observer(std::move(observer))
{}

ObserverToken::~ObserverToken()
{
    reset();
}

ObserverToken::ObserverToken(ObserverToken &&other) noexcept
    : m_registry(std::move(other.m_registry)), m_observer(std::move(other.m_observer))
{}

ObserverToken &ObserverToken::operator=(ObserverToken &&other) noexcept
{
    if (this != &other) {
        reset();
        m_registry = std::move(other.m_registry);
        m_observer = std::move(other.m_observer);
    }
    return *this;
}

void ObserverToken::reset()
{
    const std::shared_ptr<Observer> observer = m_observer.lock();
    const std::shared_ptr<Registry> registry = m_registry.lock();
    m_observer.reset();
    m_registry.reset();
    if (!observer)
        return;
    // Marked first, so that a post already delivering on this thread skips it.
    observer->removed = true;
    if (!registry)
        return;
    std::lock_guard lock(registry->mutex);
    std::erase(registry->observers, observer);
}

bool ObserverToken::isActive() const
{
    const std::shared_ptr<Observer> observer = m_observer.lock();
    return observer && !observer->removed;
}

NotificationCenter::NotificationCenter() : m_registry(std::make_shared<ObserverToken::Registry>()) {}

NotificationCenter::~NotificationCenter() = default;

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

ObserverToken NotificationCenter::addObserver(const QString &name, const void *sender, Handler handler)
{
    auto observer = std::make_shared<ObserverToken::Observer>();
    observer->name = name;
    observer->sender = sender;
    observer->handler = std::move(handler);
    {
        std::lock_guard lock(m_registry->mutex);
        m_registry->observers.push_back(observer);
    }
    return ObserverToken(m_registry, observer);
}

void NotificationCenter::removeObserver(ObserverToken &token)
{
    token.reset();
}

void NotificationCenter::post(const QString &name, const void *sender, const QVariantMap &userInfo)
{
    // Handlers run outside the lock: they may post, add or remove observers.
    std::vector<std::shared_ptr<ObserverToken::Observer>> matching;
    {
        std::lock_guard lock(m_registry->mutex);
        for (const auto &observer : m_registry->observers) {
            if (observer->name == name && (!observer->sender || observer->sender == sender))
                matching.push_back(observer);
        }
    }
    const Notification notification{name, sender, userInfo};
    for (const auto &observer : matching) {
        if (!observer->removed && observer->handler)
            observer->handler(notification);
    }
}

} // namespace platform
