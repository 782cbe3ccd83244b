#include "tests/helper/XcbWindowProbe.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
template <typename T> struct FreeDeleter
{
    void operator()(T *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter<T>>;
} // namespace

XcbWindowProbe::XcbWindowProbe()
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    m_root = it.data ? it.data->root : 0;
}

XcbWindowProbe::~XcbWindowProbe()
{
    xcb_disconnect(m_connection);
}

bool XcbWindowProbe::isConnected() const
{
    return m_root != 0 && !xcb_connection_has_error(m_connection);
}

std::vector<std::uint32_t> XcbWindowProbe::stackingOrder()
{
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    if (!tree)
        return {};
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    return {children, children + xcb_query_tree_children_length(tree.get())};
}

std::uint32_t XcbWindowProbe::atom(const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : 0;
}

std::optional<XcbWindowProbe::Window> XcbWindowProbe::window(std::uint32_t id)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, id), nullptr));
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, id), nullptr));
    if (!attributes || !geometry)
        return std::nullopt;
    Window w;
    w.id = id;
    w.mapped = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    w.overrideRedirect = attributes->override_redirect;
    Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, id, m_root, 0, 0), nullptr));
    w.geometry = QRect(origin ? origin->dst_x : geometry->x, origin ? origin->dst_y : geometry->y, geometry->width,
                       geometry->height);
    Reply<xcb_shape_get_rectangles_reply_t> input(xcb_shape_get_rectangles_reply(
        m_connection, xcb_shape_get_rectangles(m_connection, id, XCB_SHAPE_SK_INPUT), nullptr));
    w.inputRects = input ? input->rectangles_len : -1;
    const std::vector<std::uint32_t> order = stackingOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == id)
            w.stackIndex = static_cast<int>(i);
    }
    return w;
}

std::optional<XcbWindowProbe::Window> XcbWindowProbe::mappedWindowOfProcess(qint64 pid)
{
    std::vector<Window> windows = mappedWindowsOfProcess(pid);
    if (windows.empty())
        return std::nullopt;
    return windows.front();
}

std::vector<XcbWindowProbe::Window> XcbWindowProbe::mappedWindowsOfProcess(qint64 pid)
{
    const std::uint32_t pidAtom = atom("_NET_WM_PID");
    std::vector<Window> windows;
    for (const std::uint32_t id : stackingOrder()) {
        Reply<xcb_get_property_reply_t> property(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, id, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
        if (!property || xcb_get_property_value_length(property.get()) != 4)
            continue;
        if (*static_cast<const std::uint32_t *>(xcb_get_property_value(property.get())) != pid)
            continue;
        if (auto w = window(id); w && w->mapped)
            windows.push_back(*w);
    }
    return windows;
}
