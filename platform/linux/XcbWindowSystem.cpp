#include "platform/linux/XcbWindowSystem.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
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

struct XcbWindowSystem::Private
{
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

void NullWindowSystem::activateWindow(QWidget &window)
{
    window.activateWindow();
}

} // namespace platform
