#include "platform/linux/XTestSyntheticInput.h"

#include "platform/Keys.h"
#include "platform/PlatformLog.h"

#include <QByteArray>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

constexpr quint8 kLeftButton = 1;

xcb_atom_t atomOf(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, quint16(qstrlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

std::vector<quint32> cardinalsOf(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    std::vector<quint32> values;
    if (property == XCB_ATOM_NONE)
        return values;
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 4096), nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

bool fake(xcb_connection_t *c, quint8 type, quint8 detail, xcb_window_t root, qint16 x, qint16 y)
{
    xcb_generic_error_t *error =
        xcb_request_check(c, xcb_test_fake_input_checked(c, type, detail, XCB_CURRENT_TIME, root, x, y, 0));
    const bool ok = error == nullptr;
    std::free(error);
    return ok;
}

} // namespace

std::unique_ptr<XTestSyntheticInput> XTestSyntheticInput::create()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    xcb_connection_t *c = x11->connection();
    xcb_test_get_version_reply_t *version = xcb_test_get_version_reply(c, xcb_test_get_version(c, 2, 2), nullptr);
    const bool present = version != nullptr;
    std::free(version);
    if (!present) {
        qCInfo(lcPlatform) << "XTestSyntheticInput: the X server has no XTEST; synthetic input is off";
        return nullptr;
    }
    return std::make_unique<XTestSyntheticInput>(c);
}

XTestSyntheticInput::XTestSyntheticInput(xcb_connection_t *connection) : m_connection(connection)
{
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

bool XTestSyntheticInput::movePointerTo(QPointF p)
{
    const bool ok =
        fake(m_connection, XCB_MOTION_NOTIFY, 0, m_root, qint16(std::lround(p.x())), qint16(std::lround(p.y())));
    xcb_flush(m_connection);
    return ok;
}

bool XTestSyntheticInput::clickAt(QPointF p)
{
    if (!movePointerTo(p))
        return false;
    const bool ok = fake(m_connection, XCB_BUTTON_PRESS, kLeftButton, XCB_NONE, 0, 0) &&
                    fake(m_connection, XCB_BUTTON_RELEASE, kLeftButton, XCB_NONE, 0, 0);
    xcb_flush(m_connection);
    return ok;
}

bool XTestSyntheticInput::postKeystroke(quint16 keyCode, qint64 processId)
{
    const quint32 x11Key = x11KeyCodeFromKeyCode(keyCode);
    if (x11Key == 0 || x11Key > 255) {
        qCWarning(lcPlatform) << "postKeystroke: no X key for key code" << keyCode << "; nothing sent";
        return false;
    }
    if (processId != 0 && !activateWindowOfProcess(processId))
        qCWarning(lcPlatform) << "postKeystroke: no window of process" << processId
                              << "; the key goes to the focused window";
    const bool ok = fake(m_connection, XCB_KEY_PRESS, quint8(x11Key), XCB_NONE, 0, 0) &&
                    fake(m_connection, XCB_KEY_RELEASE, quint8(x11Key), XCB_NONE, 0, 0);
    xcb_flush(m_connection);
    return ok;
}

bool XTestSyntheticInput::activateWindowOfProcess(qint64 processId)
{
    xcb_connection_t *c = m_connection;
    const xcb_atom_t clientList = atomOf(c, "_NET_CLIENT_LIST");
    const xcb_atom_t wmPid = atomOf(c, "_NET_WM_PID");
    const xcb_atom_t activeWindow = atomOf(c, "_NET_ACTIVE_WINDOW");
    for (const quint32 window : cardinalsOf(c, m_root, clientList, XCB_ATOM_WINDOW)) {
        const std::vector<quint32> pid = cardinalsOf(c, window, wmPid, XCB_ATOM_CARDINAL);
        if (pid.empty() || qint64(pid.front()) != processId)
            continue;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = activeWindow;
        message.data.data32[0] = 2; // from a pager: the window manager does as asked
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&message));
        xcb_flush(c);
        return true;
    }
    return false;
}

bool NullSyntheticInput::unavailable()
{
    if (!m_logged)
        qCInfo(lcPlatform) << "SyntheticInput: no X server; synthetic input is not sent";
    m_logged = true;
    return false;
}

} // namespace platform
