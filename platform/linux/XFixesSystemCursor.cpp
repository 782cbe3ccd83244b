#include "platform/linux/XFixesSystemCursor.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

namespace platform {

namespace {

xcb_connection_t *conn(void *p)
{
    return static_cast<xcb_connection_t *>(p);
}

// X error code of a checked request, 0 when it went through.
int check(xcb_connection_t *c, xcb_void_cookie_t cookie)
{
    xcb_generic_error_t *e = xcb_request_check(c, cookie);
    if (!e)
        return 0;
    const int code = e->error_code;
    std::free(e);
    return code;
}

} // namespace

XFixesSystemCursor::XFixesSystemCursor()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *c = x11->connection();
    m_connection = c;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    // XFixes answers cursor requests only after the client has announced its version.
    xcb_xfixes_query_version_reply_t *reply =
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 4, 0), nullptr);
    m_ready = reply && reply->major_version >= 4;
    std::free(reply);
}

int XFixesSystemCursor::hide()
{
    if (!m_ready)
        return -1;
    const int error = check(conn(m_connection), xcb_xfixes_hide_cursor_checked(conn(m_connection), m_root));
    if (!error)
        ++m_hidden;
    return error;
}

int XFixesSystemCursor::show()
{
    if (!m_ready)
        return -1;
    if (m_hidden == 0)
        return 0; // XFixes treats an unmatched show as an error; nothing is hidden, so nothing to do
    const int error = check(conn(m_connection), xcb_xfixes_show_cursor_checked(conn(m_connection), m_root));
    if (!error)
        --m_hidden;
    return error;
}

} // namespace platform
