#include "platform/linux/XcbScreenGrabber.h"

#include "platform/PlatformLog.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

constexpr int kMaxTreeDepth = 64; // parents walked up to the root
constexpr int kSettleMs = 150;    // milliseconds for uncovered windows to repaint without a compositing manager

// The pixels of a rectangle of a drawable (in its own coordinates), 32 bits per pixel; null when the server gives
// none. A depth-32 drawable carries premultiplied alpha, any other is opaque.
QImage imageOf(xcb_connection_t *c, xcb_drawable_t drawable, const QRect &r, bool withAlpha)
{
    if (r.isEmpty())
        return {};
    xcb_generic_error_t *error = nullptr;
    const Reply<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, int16_t(r.x()), int16_t(r.y()),
                                          uint16_t(r.width()), uint16_t(r.height()), ~0u),
                            &error));
    const Reply<xcb_generic_error_t> failure(error);
    if (!reply)
        return {};
    const qsizetype length = xcb_get_image_data_length(reply.get());
    if (length != qsizetype(r.width()) * r.height() * 4)
        return {};
    const QImage view(xcb_get_image_data(reply.get()), r.width(), r.height(), r.width() * 4,
                      withAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return view.copy();
}

QRect geometryOf(xcb_connection_t *c, xcb_drawable_t drawable, int *depth = nullptr)
{
    const Reply<xcb_get_geometry_reply_t> reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, drawable), nullptr));
    if (!reply)
        return {};
    if (depth)
        *depth = reply->depth;
    const int border = reply->border_width;
    return QRect(reply->x, reply->y, reply->width + 2 * border, reply->height + 2 * border);
}

xcb_atom_t atomOf(xcb_connection_t *c, const QByteArray &name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<xcb_window_t> childrenOf(xcb_connection_t *c, xcb_window_t window, xcb_window_t *parent = nullptr)
{
    const Reply<xcb_query_tree_reply_t> reply(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!reply)
        return {};
    if (parent)
        *parent = reply->parent;
    const xcb_window_t *children = xcb_query_tree_children(reply.get());
    return std::vector<xcb_window_t>(children, children + xcb_query_tree_children_length(reply.get()));
}

void sync(xcb_connection_t *c)
{
    const Reply<xcb_get_input_focus_reply_t> reply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

int screenNumberFromDisplay()
{
    // DISPLAY is host:display.screen; the screen part is optional.
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon < 0 ? 0 : colon);
    return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}

} // namespace

std::unique_ptr<XcbScreenGrabber> XcbScreenGrabber::create()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    return std::make_unique<XcbScreenGrabber>(x11->connection(), screenNumberFromDisplay());
}

XcbScreenGrabber::XcbScreenGrabber(xcb_connection_t *connection, int screenNumber)
    : m_connection(connection), m_screenNumber(screenNumber)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem && i < screenNumber; ++i)
        xcb_screen_next(&it);
    if (it.rem)
        m_root = it.data->root;
    // The composite extension answers only after its version has been asked.
    const Reply<xcb_composite_query_version_reply_t> version(xcb_composite_query_version_reply(
        connection, xcb_composite_query_version(connection, XCB_COMPOSITE_MAJOR_VERSION, XCB_COMPOSITE_MINOR_VERSION),
        nullptr));
}

bool XcbScreenGrabber::hasCompositingManager() const
{
    const xcb_atom_t selection = atomOf(m_connection, "_NET_WM_CM_S" + QByteArray::number(m_screenNumber));
    if (selection == XCB_ATOM_NONE)
        return false;
    const Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, selection), nullptr));
    return owner && owner->owner != XCB_NONE;
}

QImage XcbScreenGrabber::grabArea(const QRect &area)
{
    const QRect visible = area & geometryOf(m_connection, m_root);
    const QImage pixels = imageOf(m_connection, m_root, visible, false);
    if (pixels.isNull()) {
        qCWarning(lcPlatform) << "ScreenGrabber: the X server gave no image of" << area;
        return {};
    }
    // What lies beyond the screen stays black.
    QImage result(area.size(), QImage::Format_RGB32);
    result.fill(Qt::black);
    QPainter(&result).drawImage(visible.topLeft() - area.topLeft(), pixels);
    return result;
}

QImage XcbScreenGrabber::grabBelowWindow(quint64 window, bool includeWindow, const QRect &area)
{
    if (area.isEmpty() || (area & geometryOf(m_connection, m_root)).isEmpty()) {
        qCWarning(lcPlatform) << "ScreenGrabber: the area" << area << "shows nothing of the screen";
        return {};
    }
    const QImage image = hasCompositingManager() ? composeBelow(quint32(window), includeWindow, area)
                                                 : grabWithOurWindowsHidden(quint32(window), includeWindow, area);
    if (image.isNull())
        qCWarning(lcPlatform) << "ScreenGrabber: no image of the screen below window" << window;
    return image;
}

namespace {

// The child of the root that holds the window (itself, or the frame a window manager put around it); 0 if none.
xcb_window_t topLevelOf(xcb_connection_t *c, xcb_window_t root, xcb_window_t window)
{
    for (int depth = 0; depth < kMaxTreeDepth; ++depth) {
        xcb_window_t parent = XCB_NONE;
        const std::vector<xcb_window_t> unused = childrenOf(c, window, &parent);
        (void)unused;
        if (parent == XCB_NONE)
            return XCB_NONE;
        if (parent == root)
            return window;
        window = parent;
    }
    return XCB_NONE;
}

bool isShown(xcb_connection_t *c, xcb_window_t window)
{
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
           attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT;
}

} // namespace

QImage XcbScreenGrabber::composeBelow(quint32 window, bool includeWindow, const QRect &area)
{
    const xcb_window_t top = topLevelOf(m_connection, m_root, window);
    const std::vector<xcb_window_t> stack = childrenOf(m_connection, m_root); // bottom first
    if (top == XCB_NONE || std::find(stack.begin(), stack.end(), top) == stack.end())
        return {};

    QImage result(area.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::black);
    QPainter painter(&result);
    // The desktop background, where the desktop publishes it.
    const xcb_atom_t background = atomOf(m_connection, "_XROOTPMAP_ID");
    if (background != XCB_ATOM_NONE) {
        const Reply<xcb_get_property_reply_t> property(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, background, XCB_ATOM_PIXMAP, 0, 1), nullptr));
        if (property && xcb_get_property_value_length(property.get()) == 4) {
            const xcb_pixmap_t pixmap = *static_cast<const xcb_pixmap_t *>(xcb_get_property_value(property.get()));
            const QRect part = area & geometryOf(m_connection, pixmap);
            const QImage pixels = imageOf(m_connection, pixmap, part, false);
            if (!pixels.isNull())
                painter.drawImage(part.topLeft() - area.topLeft(), pixels);
        }
    }
    for (const xcb_window_t child : stack) {
        if (child == top && !includeWindow)
            break;
        if (isShown(m_connection, child)) {
            int depth = 0;
            const QRect frame = geometryOf(m_connection, child, &depth);
            const QRect part = frame & area;
            if (!part.isEmpty()) {
                // The window's own picture, kept off screen by the compositing manager.
                const xcb_pixmap_t pixmap = xcb_generate_id(m_connection);
                const Reply<xcb_generic_error_t> error(xcb_request_check(
                    m_connection, xcb_composite_name_window_pixmap_checked(m_connection, child, pixmap)));
                if (!error) {
                    const QImage pixels = imageOf(m_connection, pixmap, part.translated(-frame.topLeft()), depth == 32);
                    xcb_free_pixmap(m_connection, pixmap);
                    if (!pixels.isNull())
                        painter.drawImage(part.topLeft() - area.topLeft(), pixels);
                }
            }
        }
        if (child == top)
            break;
    }
    painter.end();
    return result.convertToFormat(QImage::Format_RGB32);
}

QImage XcbScreenGrabber::grabWithOurWindowsHidden(quint32 window, bool includeWindow, const QRect &area)
{
    const xcb_window_t top = topLevelOf(m_connection, m_root, window);
    const std::vector<xcb_window_t> stack = childrenOf(m_connection, m_root);
    const auto target = std::find(stack.begin(), stack.end(), top);
    if (top == XCB_NONE || target == stack.end())
        return {};
    // Without a compositing manager nothing keeps the pictures of covered windows: hide our own windows from the
    // target up for the moment. A client slower to repaint than the settling time may show stale pixels.
    std::vector<xcb_window_t> ours;
    for (QWindow *w : QGuiApplication::allWindows()) {
        if (w->handle() && w->isVisible())
            ours.push_back(topLevelOf(m_connection, m_root, xcb_window_t(w->winId())));
    }
    std::vector<xcb_window_t> hidden;
    for (auto it = includeWindow ? target + 1 : target; it != stack.end(); ++it) {
        if (std::find(ours.begin(), ours.end(), *it) != ours.end() && isShown(m_connection, *it)) {
            xcb_unmap_window(m_connection, *it);
            hidden.push_back(*it);
        }
    }
    sync(m_connection);
    if (!hidden.empty()) {
        // Give the uncovered windows (ours through the event loop, other clients in their own time) a moment to
        // repaint; nothing keeps their pictures while they are covered.
        QEventLoop settle;
        QTimer::singleShot(kSettleMs, &settle, &QEventLoop::quit);
        settle.exec(QEventLoop::ExcludeUserInputEvents);
        sync(m_connection);
    }
    QImage image = grabArea(area);
    for (const xcb_window_t w : hidden)
        xcb_map_window(m_connection, w);
    xcb_flush(m_connection);
    return image;
}

} // namespace platform
