#include "platform/linux/XcbWindowSystem.h"

#include "platform/PlatformLog.h"
#include "platform/linux/XcbSelectionWatcher.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// The input-only windows under our shaped windows: ours, though Qt does not know them.
std::set<std::uint32_t> s_catcherIds;

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_ATOM_NONE;
}

std::uint32_t windowProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
}

int screenNumberOfDisplay()
{
    const QByteArray display = qgetenv("DISPLAY");
    const int dot = display.lastIndexOf('.');
    const int colon = display.lastIndexOf(':');
    return dot > colon ? display.mid(dot + 1).toInt() : 0;
}

} // namespace

// Watches the top-level windows of the screen on a connection of its own and reports when another program's window
// is mapped or restacked.
class StackingWatcher final
{
public:
    ~StackingWatcher()
    {
        m_notifier.reset();
        if (m_connection)
            xcb_disconnect(m_connection);
    }

    [[nodiscard]] static std::unique_ptr<StackingWatcher> create(std::function<void()> handler)
    {
        auto watcher = std::unique_ptr<StackingWatcher>(new StackingWatcher);
        watcher->m_connection = xcb_connect(nullptr, nullptr);
        if (!watcher->m_connection || xcb_connection_has_error(watcher->m_connection))
            return nullptr;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(watcher->m_connection)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(watcher->m_connection, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(watcher->m_connection);
        watcher->m_handler = std::move(handler);
        watcher->m_notifier =
            std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(watcher->m_connection), QSocketNotifier::Read);
        QObject::connect(watcher->m_notifier.get(), &QSocketNotifier::activated,
                         [w = watcher.get()] { w->readEvents(); });
        return watcher;
    }

private:
    StackingWatcher() = default;

    void readEvents()
    {
        std::set<xcb_window_t> ours;
        bool foreignChange = false;
        while (xcb_generic_event_t *raw = xcb_poll_for_event(m_connection)) {
            const Reply<xcb_generic_event_t> event(raw);
            xcb_window_t window = 0;
            switch (event->response_type & 0x7f) {
            case XCB_CONFIGURE_NOTIFY:
                window = reinterpret_cast<const xcb_configure_notify_event_t *>(event.get())->window;
                break;
            case XCB_MAP_NOTIFY:
                window = reinterpret_cast<const xcb_map_notify_event_t *>(event.get())->window;
                break;
            default:
                continue;
            }
            if (ours.empty()) {
                for (const QWindow *w : QGuiApplication::allWindows())
                    ours.insert(xcb_window_t(w->winId()));
                ours.insert(s_catcherIds.begin(), s_catcherIds.end());
            }
            // Our own raises come back as events too; only other programs' windows count.
            if (!ours.count(window))
                foreignChange = true;
        }
        if (xcb_connection_has_error(m_connection)) {
            m_notifier->setEnabled(false);
            return;
        }
        if (foreignChange && m_handler)
            m_handler();
    }

    xcb_connection_t *m_connection = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_handler;
};

namespace {

template <class Watched> class HolderMonitor final : public WindowSystem::Monitor
{
public:
    explicit HolderMonitor(std::unique_ptr<Watched> watched) : m_watched(std::move(watched)) {}

private:
    std::unique_ptr<Watched> m_watched;
};

} // namespace

struct XcbWindowSystem::Private final : public QAbstractNativeEventFilter
{
    ~Private() override
    {
        if (filterInstalled && QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    // Pointer events of a catcher become events of the window above it, which Qt then handles as its own.
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (catchers.empty() || type != "xcb_generic_event_t")
            return false;
        auto *event = static_cast<xcb_generic_event_t *>(message);
        xcb_window_t *target = nullptr;
        switch (event->response_type & 0x7f) {
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
            target = &reinterpret_cast<xcb_button_press_event_t *>(event)->event;
            break;
        case XCB_MOTION_NOTIFY:
            target = &reinterpret_cast<xcb_motion_notify_event_t *>(event)->event;
            break;
        case XCB_ENTER_NOTIFY:
        case XCB_LEAVE_NOTIFY:
            target = &reinterpret_cast<xcb_enter_notify_event_t *>(event)->event;
            break;
        default:
            return false;
        }
        for (const auto &[window, catcher] : catchers) {
            if (catcher == *target) {
                *target = window;
                break;
            }
        }
        return false;
    }

    std::map<xcb_window_t, xcb_window_t> catchers; // our window -> the input-only window under it
    bool filterInstalled = false;

    xcb_connection_t *connection = nullptr; // Qt's; not owned
    xcb_window_t root = 0;
    xcb_atom_t netWmState = 0, above = 0, sticky = 0, skipTaskbar = 0, skipPager = 0, desktop = 0, activeWindow = 0,
               pid = 0, cmOwner = 0;

    xcb_atom_t atom(const char *name) { return internAtom(connection, name); }

    // The client window at or above `window`: the first one carrying a process id or a class.
    xcb_window_t clientOf(xcb_window_t window)
    {
        for (int depth = 0; window && window != root && depth < 64; ++depth) {
            if (windowProperty(connection, window, pid, XCB_ATOM_CARDINAL))
                return window;
            const Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
            if (!tree)
                return 0;
            window = tree->parent;
        }
        return 0;
    }

    xcb_window_t activeClient()
    {
        if (const xcb_window_t active = windowProperty(connection, root, activeWindow, XCB_ATOM_WINDOW))
            return clientOf(active);
        // Without a window manager the input focus tells which window is active.
        const Reply<xcb_get_input_focus_reply_t> focus(
            xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
            return 0;
        return clientOf(focus->focus);
    }

    QString windowClass(xcb_window_t window)
    {
        const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr));
        if (!reply)
            return {};
        const QByteArray value(static_cast<const char *>(xcb_get_property_value(reply.get())),
                               xcb_get_property_value_length(reply.get()));
        const QList<QByteArray> parts = value.split('\0');
        return parts.size() >= 2 ? QString::fromUtf8(parts.at(1)) : QString();
    }
};

XcbWindowSystem::XcbWindowSystem(std::unique_ptr<Private> d) : d(std::move(d)) {}

XcbWindowSystem::~XcbWindowSystem() = default;

std::unique_ptr<XcbWindowSystem> XcbWindowSystem::create()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    auto d = std::make_unique<Private>();
    d->connection = x11->connection();
    d->root = xcb_setup_roots_iterator(xcb_get_setup(d->connection)).data->root;
    d->netWmState = d->atom("_NET_WM_STATE");
    d->above = d->atom("_NET_WM_STATE_ABOVE");
    d->sticky = d->atom("_NET_WM_STATE_STICKY");
    d->skipTaskbar = d->atom("_NET_WM_STATE_SKIP_TASKBAR");
    d->skipPager = d->atom("_NET_WM_STATE_SKIP_PAGER");
    d->desktop = d->atom("_NET_WM_DESKTOP");
    d->activeWindow = d->atom("_NET_ACTIVE_WINDOW");
    d->pid = d->atom("_NET_WM_PID");
    d->cmOwner = d->atom(QByteArray("_NET_WM_CM_S" + QByteArray::number(screenNumberOfDisplay())).constData());
    return std::unique_ptr<XcbWindowSystem>(new XcbWindowSystem(std::move(d)));
}

void XcbWindowSystem::prepareFloatingWindow(QWidget &window)
{
    const xcb_window_t id = xcb_window_t(window.winId());
    xcb_connection_t *c = d->connection;
    // Written before the window is mapped, where the window manager reads them; Qt keeps these states when it
    // adds its own.
    const std::vector<xcb_atom_t> states{d->above, d->sticky, d->skipTaskbar, d->skipPager};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, d->netWmState, XCB_ATOM_ATOM, 32, std::uint32_t(states.size()),
                        states.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, d->desktop, XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
    xcb_flush(c);
}

QString XcbWindowSystem::frontmostApplicationId()
{
    const xcb_window_t client = d->activeClient();
    if (!client)
        return {};
    if (qint64(windowProperty(d->connection, client, d->pid, XCB_ATOM_CARDINAL)) == qint64(getpid()))
        return QStringLiteral("com.Inkora.Inkora");
    const QString cls = d->windowClass(client);
    if (cls == QLatin1String("InkoraHelper"))
        return QStringLiteral("com.Inkora.InkoraHelper");
    return cls;
}

qint64 XcbWindowSystem::frontmostProcessId()
{
    const xcb_window_t client = d->activeClient();
    return client ? qint64(windowProperty(d->connection, client, d->pid, XCB_ATOM_CARDINAL)) : 0;
}

void XcbWindowSystem::activateWindow(QWidget &window)
{
    window.activateWindow();
}

bool XcbWindowSystem::hasCompositingManager()
{
    const Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(d->connection, xcb_get_selection_owner(d->connection, d->cmOwner), nullptr));
    return owner && owner->owner != XCB_NONE;
}

std::unique_ptr<WindowSystem::Monitor> XcbWindowSystem::addForeignStackingMonitor(std::function<void()> handler)
{
    auto watcher = StackingWatcher::create(std::move(handler));
    if (!watcher)
        return nullptr;
    return std::make_unique<HolderMonitor<StackingWatcher>>(std::move(watcher));
}

std::unique_ptr<WindowSystem::Monitor> XcbWindowSystem::addCompositingMonitor(std::function<void(bool)> handler)
{
    auto watcher = XcbSelectionWatcher::create(selectionOfScreen("_NET_WM_CM_S"));
    if (!watcher)
        return nullptr;
    QObject::connect(watcher.get(), &XcbSelectionWatcher::ownerChanged, watcher.get(),
                     [handler = std::move(handler)](bool owned) { handler(owned); });
    return std::make_unique<HolderMonitor<XcbSelectionWatcher>>(std::move(watcher));
}

namespace {

std::vector<xcb_rectangle_t> xcbRectangles(const QRegion &region)
{
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(size_t(region.rectCount()));
    for (const QRect &r : region) {
        rects.push_back(xcb_rectangle_t{std::int16_t(r.x()), std::int16_t(r.y()), std::uint16_t(r.width()),
                                        std::uint16_t(r.height())});
    }
    return rects;
}

} // namespace

void XcbWindowSystem::updateWindowShape(QWidget &window, const QRegion &dirty, const QRegion &painted)
{
    const xcb_window_t id = xcb_window_t(window.winId());
    xcb_connection_t *c = d->connection;
    const std::vector<xcb_rectangle_t> add = xcbRectangles(painted);
    if (dirty.isNull()) {
        xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, id, 0, 0,
                             std::uint32_t(add.size()), add.data());
    } else {
        // Only the changed part travels: the rest of the shape stays as the server has it.
        const std::vector<xcb_rectangle_t> cut = xcbRectangles(dirty);
        xcb_shape_rectangles(c, XCB_SHAPE_SO_SUBTRACT, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, id, 0, 0,
                             std::uint32_t(cut.size()), cut.data());
        if (!add.empty())
            xcb_shape_rectangles(c, XCB_SHAPE_SO_UNION, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, id, 0, 0,
                                 std::uint32_t(add.size()), add.data());
    }
    xcb_flush(c);
}

void XcbWindowSystem::removeWindowShape(QWidget &window)
{
    xcb_shape_mask(d->connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, xcb_window_t(window.winId()), 0, 0,
                   XCB_NONE);
    xcb_flush(d->connection);
}

void XcbWindowSystem::setPointerCatcher(QWidget &window, bool on)
{
    xcb_connection_t *c = d->connection;
    const xcb_window_t id = xcb_window_t(window.winId());
    const auto it = d->catchers.find(id);
    if (!on) {
        if (it != d->catchers.end()) {
            xcb_destroy_window(c, it->second);
            s_catcherIds.erase(it->second);
            d->catchers.erase(it);
            xcb_flush(c);
        }
        return;
    }
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    if (!geometry)
        return;
    xcb_window_t catcher = 0;
    if (it == d->catchers.end()) {
        if (!d->filterInstalled && QCoreApplication::instance()) {
            QCoreApplication::instance()->installNativeEventFilter(d.get());
            d->filterInstalled = true;
        }
        catcher = xcb_generate_id(c);
        const std::uint32_t values[] = {1, XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                               XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
                                               XCB_EVENT_MASK_LEAVE_WINDOW};
        xcb_create_window(c, 0, catcher, d->root, geometry->x, geometry->y, geometry->width, geometry->height, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        d->catchers.emplace(id, catcher);
        s_catcherIds.insert(catcher);
    } else {
        catcher = it->second;
    }
    const std::uint32_t config[] = {
        std::uint32_t(geometry->x), std::uint32_t(geometry->y), geometry->width, geometry->height, id,
        XCB_STACK_MODE_BELOW};
    xcb_configure_window(c, catcher,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                         config);
    xcb_map_window(c, catcher);
    xcb_flush(c);
}

void NullWindowSystem::activateWindow(QWidget &window)
{
    window.activateWindow();
}

} // namespace platform
