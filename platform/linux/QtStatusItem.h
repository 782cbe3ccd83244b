#pragma once

#include "platform/StatusItem.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QDBusServiceWatcher;
class QSystemTrayIcon;

namespace platform {

class XcbSelectionWatcher;

/// The item as a Qt tray icon (a StatusNotifierItem, or an XEmbed icon under older panels). The badge and the
/// pressed look are painted into the icon, since tray hosts take only a picture. A tray host that starts after us,
/// as panels often do at log-in, gets the item when it appears; until then the item keeps its state and says once
/// that there is no tray.
class QtStatusItem final : public QObject, public StatusItem
{
    Q_OBJECT
public:
    QtStatusItem();
    ~QtStatusItem() override;

    [[nodiscard]] bool isAvailable() const override;
    void setVisible(bool visible) override;
    void setImage(const QImage &image) override;
    void setBadge(const QImage &badge) override;
    void setHighlighted(bool highlighted) override;
    [[nodiscard]] bool isHighlighted() const override { return m_highlighted; }
    void setPressHandler(std::function<void()> handler) override { m_pressHandler = std::move(handler); }
    void popUpMenu(QMenu *menu) override;
    void showMessage(const QString &title, const QString &text) override;
    [[nodiscard]] QRectF geometry() const override;

private slots:
    void hostMayHaveAppeared();

private:
    [[nodiscard]] bool hostRuns() const;
    void watchStatusNotifierHost();
    void makeTray();
    void updateIcon();
    void showPendingMessages();

    std::unique_ptr<QSystemTrayIcon> m_tray; // made once a host runs; gone when the application quits
    std::unique_ptr<XcbSelectionWatcher> m_xembedHost;
    QDBusServiceWatcher *m_notifierWatcher = nullptr; // child
    bool m_notifierHostRegistered = false;
    QImage m_image;
    QImage m_badge;
    bool m_visible = false;
    bool m_highlighted = false;
    bool m_loggedNoHost = false;
    bool m_quitting = false;
    QStringList m_pendingMessages; // title and text, in pairs
    std::function<void()> m_pressHandler;
};

} // namespace platform
