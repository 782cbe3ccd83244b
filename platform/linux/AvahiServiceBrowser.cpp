#include "platform/linux/AvahiServiceBrowser.h"

#include "platform/Dispatch.h"
#include "platform/PlatformLog.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>
#include <avahi-common/thread-watch.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <set>
#include <vector>

namespace platform {

namespace {

// One instance of a name: where it was seen.
struct Instance
{
    AvahiIfIndex interface = AVAHI_IF_UNSPEC;
    AvahiProtocol protocol = AVAHI_PROTO_UNSPEC;
    QByteArray type;
    QByteArray domain;
    bool operator==(const Instance &other) const
    {
        return interface == other.interface && protocol == other.protocol && type == other.type &&
               domain == other.domain;
    }
};

QByteArray socketAddress(const AvahiAddress &address, uint16_t port, AvahiIfIndex interface)
{
    if (address.proto == AVAHI_PROTO_INET) {
        sockaddr_in in{};
        in.sin_family = AF_INET;
        in.sin_port = htons(port);
        in.sin_addr.s_addr = address.data.ipv4.address; // already in network order
        return {reinterpret_cast<const char *>(&in), sizeof(in)};
    }
    if (address.proto == AVAHI_PROTO_INET6) {
        sockaddr_in6 in6{};
        in6.sin6_family = AF_INET6;
        in6.sin6_port = htons(port);
        std::memcpy(in6.sin6_addr.s6_addr, address.data.ipv6.address, sizeof(in6.sin6_addr.s6_addr));
        // A link-local address means nothing without the interface it was seen on.
        if (IN6_IS_ADDR_LINKLOCAL(&in6.sin6_addr) && interface > 0)
            in6.sin6_scope_id = uint32_t(interface);
        return {reinterpret_cast<const char *>(&in6), sizeof(in6)};
    }
    return {};
}

} // namespace

// One resolution: a resolver per instance, answered once.
struct ResolveState
{
    std::weak_ptr<AvahiServiceBrowser::Private> owner;
    std::weak_ptr<ResolveState> self;
    ServiceBrowser::ResolveHandler handler;        // main thread
    std::vector<AvahiServiceResolver *> resolvers; // under the poll lock
    QList<QByteArray> addresses;                   // under the poll lock
    QString error;
    RunLoop::TimerId timer = 0;
    bool done = false; // main thread
};

struct AvahiServiceBrowser::Private : std::enable_shared_from_this<Private>
{
    AvahiThreadedPoll *poll = nullptr;
    AvahiClient *client = nullptr;
    ::AvahiServiceBrowser *browser = nullptr;
    QByteArray type;
    QByteArray domain;
    Handlers handlers; // main thread
    // Under the poll lock:
    std::map<QString, std::vector<Instance>> instances;
    std::set<ResolveState *> resolving;
    bool failed = false;

    ~Private();
    void post(std::function<void(Private &)> block);
    void makeBrowser(AvahiClient *c);
    void fail(const QString &error);
    void freeResolvers(ResolveState &state);
    static void finish(const std::shared_ptr<ResolveState> &state, bool timedOut);

    static void clientCallback(AvahiClient *c, AvahiClientState state, void *userdata);
    static void browseCallback(::AvahiServiceBrowser *, AvahiIfIndex interface, AvahiProtocol protocol,
                               AvahiBrowserEvent event, const char *name, const char *type, const char *domain,
                               AvahiLookupResultFlags, void *userdata);
    static void resolveCallback(AvahiServiceResolver *r, AvahiIfIndex interface, AvahiProtocol,
                                AvahiResolverEvent event, const char *, const char *, const char *, const char *,
                                const AvahiAddress *address, uint16_t port, AvahiStringList *, AvahiLookupResultFlags,
                                void *userdata);
};

namespace {

// Holds a resolution's state; cancels it when dropped.
class AvahiResolution final : public ServiceBrowser::Resolution
{
public:
    explicit AvahiResolution(std::shared_ptr<ResolveState> state) : m_state(std::move(state)) {}
    ~AvahiResolution() override
    {
        m_state->done = true;
        RunLoop::main().cancel(m_state->timer);
        if (const auto owner = m_state->owner.lock()) {
            avahi_threaded_poll_lock(owner->poll);
            owner->freeResolvers(*m_state);
            avahi_threaded_poll_unlock(owner->poll);
        }
    }

private:
    std::shared_ptr<ResolveState> m_state;
};

} // namespace

AvahiServiceBrowser::Private::~Private()
{
    if (poll)
        avahi_threaded_poll_stop(poll);
    for (ResolveState *state : std::set<ResolveState *>(resolving))
        freeResolvers(*state);
    if (browser)
        avahi_service_browser_free(browser);
    if (client)
        avahi_client_free(client);
    if (poll)
        avahi_threaded_poll_free(poll);
}

void AvahiServiceBrowser::Private::post(std::function<void(Private &)> block)
{
    DispatchQueue::main().async([weak = weak_from_this(), block = std::move(block)] {
        if (const auto self = weak.lock())
            block(*self);
    });
}

void AvahiServiceBrowser::Private::makeBrowser(AvahiClient *c)
{
    if (browser || type.isEmpty() || failed)
        return;
    browser = avahi_service_browser_new(c, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, type.constData(),
                                        domain.isEmpty() ? nullptr : domain.constData(), AvahiLookupFlags(0),
                                        browseCallback, this);
    if (!browser)
        fail(QString::fromUtf8(avahi_strerror(avahi_client_errno(c))));
}

void AvahiServiceBrowser::Private::fail(const QString &error)
{
    if (failed)
        return;
    failed = true;
    if (browser) {
        avahi_service_browser_free(browser);
        browser = nullptr;
    }
    QStringList names;
    for (const auto &entry : instances)
        names << entry.first;
    instances.clear();
    post([names, error](Private &self) {
        qCWarning(lcPlatform).noquote() << "ServiceBrowser: browsing stopped:" << error;
        for (const QString &name : names) {
            if (self.handlers.removed)
                self.handlers.removed(name);
        }
        if (self.handlers.stopped)
            self.handlers.stopped(error);
    });
}

void AvahiServiceBrowser::Private::freeResolvers(ResolveState &state)
{
    for (AvahiServiceResolver *resolver : state.resolvers)
        avahi_service_resolver_free(resolver);
    state.resolvers.clear();
    resolving.erase(&state);
}

void AvahiServiceBrowser::Private::finish(const std::shared_ptr<ResolveState> &state, bool timedOut)
{
    if (state->done)
        return;
    state->done = true;
    RunLoop::main().cancel(state->timer);
    QList<QByteArray> addresses;
    QString error;
    if (const auto owner = state->owner.lock()) {
        avahi_threaded_poll_lock(owner->poll);
        owner->freeResolvers(*state);
        addresses = state->addresses;
        error = timedOut ? QStringLiteral("timed out") : state->error;
        avahi_threaded_poll_unlock(owner->poll);
    }
    if (addresses.isEmpty() && error.isEmpty())
        error = QStringLiteral("no address resolved");
    if (state->handler)
        state->handler(addresses, addresses.isEmpty() ? error : QString());
}

void AvahiServiceBrowser::Private::clientCallback(AvahiClient *c, AvahiClientState state, void *userdata)
{
    auto *self = static_cast<Private *>(userdata);
    if (state == AVAHI_CLIENT_S_RUNNING)
        self->makeBrowser(c);
    else if (state == AVAHI_CLIENT_FAILURE)
        self->fail(QStringLiteral("the Avahi daemon went away (%1)")
                       .arg(QString::fromUtf8(avahi_strerror(avahi_client_errno(c)))));
}

void AvahiServiceBrowser::Private::browseCallback(::AvahiServiceBrowser *, AvahiIfIndex interface,
                                                  AvahiProtocol protocol, AvahiBrowserEvent event, const char *name,
                                                  const char *type, const char *domain, AvahiLookupResultFlags,
                                                  void *userdata)
{
    auto *self = static_cast<Private *>(userdata);
    if (event == AVAHI_BROWSER_FAILURE) {
        self->fail(QString::fromUtf8(avahi_strerror(avahi_client_errno(self->client))));
        return;
    }
    if (event != AVAHI_BROWSER_NEW && event != AVAHI_BROWSER_REMOVE)
        return;
    const QString serviceName = QString::fromUtf8(name);
    const Instance instance{interface, protocol, QByteArray(type), QByteArray(domain)};
    auto &list = self->instances[serviceName];
    if (event == AVAHI_BROWSER_NEW) {
        if (std::find(list.begin(), list.end(), instance) != list.end())
            return;
        list.push_back(instance);
        if (list.size() == 1) {
            self->post([serviceName](Private &s) {
                if (s.handlers.found)
                    s.handlers.found(serviceName);
            });
        }
        return;
    }
    list.erase(std::remove(list.begin(), list.end(), instance), list.end());
    if (!list.empty())
        return;
    self->instances.erase(serviceName);
    self->post([serviceName](Private &s) {
        if (s.handlers.removed)
            s.handlers.removed(serviceName);
    });
}

void AvahiServiceBrowser::Private::resolveCallback(AvahiServiceResolver *r, AvahiIfIndex interface, AvahiProtocol,
                                                   AvahiResolverEvent event, const char *, const char *, const char *,
                                                   const char *, const AvahiAddress *address, uint16_t port,
                                                   AvahiStringList *, AvahiLookupResultFlags, void *userdata)
{
    auto *state = static_cast<ResolveState *>(userdata);
    const auto owner = state->owner.lock();
    if (!owner)
        return;
    if (event == AVAHI_RESOLVER_FOUND && address) {
        const QByteArray data = socketAddress(*address, port, interface);
        if (!data.isEmpty() && !state->addresses.contains(data))
            state->addresses << data;
    } else {
        state->error = QString::fromUtf8(avahi_strerror(avahi_client_errno(owner->client)));
    }
    auto &resolvers = state->resolvers;
    resolvers.erase(std::remove(resolvers.begin(), resolvers.end(), r), resolvers.end());
    avahi_service_resolver_free(r);
    if (!resolvers.empty())
        return;
    owner->resolving.erase(state);
    // The main thread answers; the resolution may be dropped before then.
    DispatchQueue::main().async([weak = state->self] {
        if (const auto s = weak.lock())
            Private::finish(s, false);
    });
}

AvahiServiceBrowser::AvahiServiceBrowser() : d(std::make_shared<Private>()) {}

AvahiServiceBrowser::~AvahiServiceBrowser() = default;

void AvahiServiceBrowser::browse(const QString &type, const QString &domain, Handlers handlers)
{
    d->handlers = std::move(handlers);
    if (!d->poll) {
        d->poll = avahi_threaded_poll_new();
        int error = 0;
        d->type = type.toUtf8();
        d->domain = domain.toUtf8();
        d->client = d->poll ? avahi_client_new(avahi_threaded_poll_get(d->poll), AvahiClientFlags(0),
                                               Private::clientCallback, d.get(), &error)
                            : nullptr;
        if (!d->client) {
            d->failed = true;
            const QString text = QString::fromUtf8(avahi_strerror(error));
            d->post([text](Private &self) {
                qCWarning(lcPlatform).noquote() << "ServiceBrowser: no Avahi daemon (" + text +
                                                       "); no device is"
                                                       " found";
                if (self.handlers.stopped)
                    self.handlers.stopped(text);
            });
            return;
        }
        avahi_threaded_poll_start(d->poll);
        return;
    }
    avahi_threaded_poll_lock(d->poll);
    if (d->browser) {
        avahi_service_browser_free(d->browser);
        d->browser = nullptr;
    }
    d->instances.clear();
    d->type = type.toUtf8();
    d->domain = domain.toUtf8();
    if (d->client && avahi_client_get_state(d->client) == AVAHI_CLIENT_S_RUNNING)
        d->makeBrowser(d->client);
    avahi_threaded_poll_unlock(d->poll);
}

void AvahiServiceBrowser::stop()
{
    if (!d->poll)
        return;
    avahi_threaded_poll_lock(d->poll);
    if (d->browser) {
        avahi_service_browser_free(d->browser);
        d->browser = nullptr;
    }
    d->instances.clear();
    d->type.clear();
    avahi_threaded_poll_unlock(d->poll);
}

std::unique_ptr<ServiceBrowser::Resolution> AvahiServiceBrowser::resolve(const QString &name, double timeout,
                                                                         ResolveHandler handler)
{
    auto state = std::make_shared<ResolveState>();
    state->owner = d;
    state->self = state;
    state->handler = std::move(handler);
    if (d->poll) {
        avahi_threaded_poll_lock(d->poll);
        const auto it = d->instances.find(name);
        if (it != d->instances.end() && d->client) {
            for (const Instance &instance : it->second) {
                if (AvahiServiceResolver *resolver = avahi_service_resolver_new(
                        d->client, instance.interface, instance.protocol, name.toUtf8().constData(),
                        instance.type.constData(), instance.domain.constData(), AVAHI_PROTO_UNSPEC, AvahiLookupFlags(0),
                        Private::resolveCallback, state.get()))
                    state->resolvers.push_back(resolver);
            }
        }
        if (!state->resolvers.empty())
            d->resolving.insert(state.get());
        avahi_threaded_poll_unlock(d->poll);
    }
    const std::weak_ptr<ResolveState> weak = state;
    if (state->resolvers.empty()) {
        state->error = QStringLiteral("the service is not on the network");
        DispatchQueue::main().async([weak] {
            if (const auto s = weak.lock())
                Private::finish(s, false);
        });
    } else {
        state->timer = RunLoop::main().schedule(timeout, [weak] {
            if (const auto s = weak.lock())
                Private::finish(s, true);
        });
    }
    return std::make_unique<AvahiResolution>(std::move(state));
}

} // namespace platform
