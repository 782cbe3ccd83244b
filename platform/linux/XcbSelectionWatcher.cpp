#include "platform/linux/XcbSelectionWatcher.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

namespace platform {

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

} // namespace

struct XcbSelectionWatcher::Private
{
    ~Private()
    {
        notifier.reset();
        if (connection)
            xcb_disconnect(connection);
    }

    xcb_connection_t *connection = nullptr;
    xcb_atom_t selection = XCB_ATOM_NONE;
    std::uint8_t xfixesEvent = 0;
    std::unique_ptr<QSocketNotifier> notifier;

    bool ownerNow() const
    {
        const Reply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr));
        return owner && owner->owner != XCB_NONE;
    }
};

QByteArray selectionOfScreen(const char *prefix)
{
    const QByteArray display = qgetenv("DISPLAY");
    const int dot = display.lastIndexOf('.');
    const int colon = display.lastIndexOf(':');
    return QByteArray(prefix) + QByteArray::number(dot > colon ? display.mid(dot + 1).toInt() : 0);
}

std::unique_ptr<XcbSelectionWatcher> XcbSelectionWatcher::create(const QByteArray &selection)
{
    auto d = std::make_unique<Private>();
    d->connection = xcb_connect(nullptr, nullptr);
    if (!d->connection || xcb_connection_has_error(d->connection))
        return nullptr;
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(d->connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return nullptr;
    d->xfixesEvent = xfixes->first_event;
    const Reply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
        d->connection, xcb_xfixes_query_version(d->connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr));
    if (!version)
        return nullptr;
    const Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        d->connection, xcb_intern_atom(d->connection, 0, std::uint16_t(selection.size()), selection.constData()),
        nullptr));
    if (!atom)
        return nullptr;
    d->selection = atom->atom;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(d->connection)).data->root;
    xcb_xfixes_select_selection_input(d->connection, root, d->selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    // Asked after selecting, so that no change between the two is missed.
    const bool owned = d->ownerNow();
    auto watcher = std::unique_ptr<XcbSelectionWatcher>(new XcbSelectionWatcher(std::move(d)));
    watcher->m_hasOwner = owned;
    watcher->d->notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(watcher->d->connection), QSocketNotifier::Read);
    connect(watcher->d->notifier.get(), &QSocketNotifier::activated, watcher.get(), &XcbSelectionWatcher::readEvents);
    return watcher;
}

XcbSelectionWatcher::XcbSelectionWatcher(std::unique_ptr<Private> d) : d(std::move(d)) {}

XcbSelectionWatcher::~XcbSelectionWatcher() = default;

void XcbSelectionWatcher::readEvents()
{
    bool changed = false;
    while (xcb_generic_event_t *raw = xcb_poll_for_event(d->connection)) {
        const Reply<xcb_generic_event_t> event(raw);
        if ((event->response_type & 0x7f) == d->xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY)
            changed = true;
    }
    if (xcb_connection_has_error(d->connection)) {
        // The X server is gone; the program's own connection reports that.
        d->notifier->setEnabled(false);
        return;
    }
    if (!changed)
        return;
    const bool owned = d->ownerNow();
    if (owned == m_hasOwner)
        return;
    m_hasOwner = owned;
    emit ownerChanged(owned);
}

} // namespace platform
