#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

namespace platform {

/// Follows who owns an X selection ("_NET_SYSTEM_TRAY_S0", "_NET_WM_CM_S0"): a tray host or compositing manager
/// that starts or stops while we run. XFixes tells of every change, on a connection of its own so that Qt's event
/// handling never sees these events.
class XcbSelectionWatcher final : public QObject
{
    Q_OBJECT
public:
    /// Null without an X server or XFixes.
    [[nodiscard]] static std::unique_ptr<XcbSelectionWatcher> create(const QByteArray &selection);
    ~XcbSelectionWatcher() override;

    [[nodiscard]] bool hasOwner() const { return m_hasOwner; }

signals:
    /// After the owner came or went; not for a change from one owner straight to another.
    void ownerChanged(bool hasOwner);

private:
    struct Private;
    explicit XcbSelectionWatcher(std::unique_ptr<Private> d);
    void readEvents();

    const std::unique_ptr<Private> d;
    bool m_hasOwner = false;
};

/// The selection that names the owner on the screen of DISPLAY: `prefix` followed by the screen number.
[[nodiscard]] QByteArray selectionOfScreen(const char *prefix);

} // namespace platform
