#include "platform/linux/QtStatusItem.h"

#include "platform/PlatformLog.h"
#include "platform/Screens.h"
#include "platform/linux/XcbSelectionWatcher.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QSystemTrayIcon>

namespace platform {

namespace {

constexpr auto kNotifierWatcher = "org.kde.StatusNotifierWatcher";
constexpr auto kNotifierPath = "/StatusNotifierWatcher";

} // namespace

QtStatusItem::QtStatusItem()
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        m_quitting = true;
        m_tray.reset();
    });
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_xembedHost = XcbSelectionWatcher::create(selectionOfScreen("_NET_SYSTEM_TRAY_S"));
        if (m_xembedHost)
            connect(m_xembedHost.get(), &XcbSelectionWatcher::ownerChanged, this, &QtStatusItem::hostMayHaveAppeared);
    }
    watchStatusNotifierHost();
    // Qt remembers its first look for a tray for the whole run, so it is asked only once a host runs.
    if (hostRuns())
        makeTray();
}

QtStatusItem::~QtStatusItem() = default;

void QtStatusItem::watchStatusNotifierHost()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    const QString service = QLatin1String(kNotifierWatcher);
    m_notifierWatcher = new QDBusServiceWatcher(service, bus, QDBusServiceWatcher::WatchForRegistration, this); // child
    connect(m_notifierWatcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        QDBusConnection::sessionBus().connect(
            QLatin1String(kNotifierWatcher), QLatin1String(kNotifierPath), QLatin1String(kNotifierWatcher),
            QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(hostMayHaveAppeared()));
        hostMayHaveAppeared();
    });
    bus.connect(service, QLatin1String(kNotifierPath), service, QStringLiteral("StatusNotifierHostRegistered"), this,
                SLOT(hostMayHaveAppeared()));
}

bool QtStatusItem::hostRuns() const
{
    if (m_xembedHost && m_xembedHost->hasOwner())
        return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(QLatin1String(kNotifierWatcher)))
        return false;
    QDBusInterface watcher{QLatin1String(kNotifierWatcher), QLatin1String(kNotifierPath),
                           QLatin1String(kNotifierWatcher), bus};
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

void QtStatusItem::hostMayHaveAppeared()
{
    if (m_quitting || !hostRuns())
        return;
    if (m_tray) {
        // A panel that restarted docks the icon anew.
        if (m_visible) {
            m_tray->hide();
            m_tray->show();
        }
        return;
    }
    qCInfo(lcPlatform) << "StatusItem: a system tray appeared; the item is shown there";
    makeTray();
}

void QtStatusItem::makeTray()
{
    m_tray = std::make_unique<QSystemTrayIcon>();
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Any press opens the item's menu, as a panel item has only the one action.
        if (reason == QSystemTrayIcon::Unknown || !m_pressHandler)
            return;
        m_pressHandler();
    });
    updateIcon();
    m_tray->setVisible(m_visible);
    showPendingMessages();
}

bool QtStatusItem::isAvailable() const
{
    return m_tray != nullptr;
}

void QtStatusItem::setVisible(bool visible)
{
    m_visible = visible;
    if (m_tray) {
        m_tray->setVisible(visible);
        showPendingMessages();
    } else if (visible && !m_loggedNoHost) {
        m_loggedNoHost = true;
        qCInfo(lcPlatform) << "StatusItem: no system tray; Inkora stays reachable through its shortcuts";
    }
}

void QtStatusItem::setImage(const QImage &image)
{
    m_image = image;
    updateIcon();
}

void QtStatusItem::setBadge(const QImage &badge)
{
    m_badge = badge;
    updateIcon();
}

void QtStatusItem::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    updateIcon();
}

void QtStatusItem::popUpMenu(QMenu *menu)
{
    if (!menu)
        return;
    if (!m_tray) {
        // Nothing can open the menu without a tray, but a caller that did is told it closed.
        QMetaObject::invokeMethod(menu, &QMenu::aboutToHide, Qt::QueuedConnection);
        return;
    }
    const QRect area = m_tray->geometry();
    // StatusNotifierItem hosts do not tell where the item is; the pointer is on it when it was pressed.
    menu->popup(area.isValid() ? area.bottomLeft() : QCursor::pos());
}

void QtStatusItem::showMessage(const QString &title, const QString &text)
{
    m_pendingMessages << title << text;
    showPendingMessages();
}

void QtStatusItem::showPendingMessages()
{
    if (!m_tray || !m_tray->isVisible())
        return;
    for (int i = 0; i + 1 < m_pendingMessages.size(); i += 2)
        m_tray->showMessage(m_pendingMessages.at(i), m_pendingMessages.at(i + 1), QSystemTrayIcon::Warning);
    m_pendingMessages.clear();
}

void QtStatusItem::updateIcon()
{
    if (m_image.isNull() || !m_tray)
        return;
    QImage icon = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (m_highlighted || !m_badge.isNull()) {
        QImage composed(icon.size(), QImage::Format_ARGB32_Premultiplied);
        composed.setDevicePixelRatio(icon.devicePixelRatio());
        composed.fill(Qt::transparent);
        QPainter painter(&composed);
        const QRectF bounds(QPointF(0, 0), icon.deviceIndependentSize());
        if (m_highlighted) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            QColor back = QGuiApplication::palette().color(QPalette::Highlight);
            back.setAlphaF(0.6f);
            painter.setBrush(back);
            painter.drawRoundedRect(bounds, 3, 3);
        }
        painter.drawImage(bounds, icon);
        if (!m_badge.isNull())
            painter.drawImage(bounds, m_badge);
        painter.end();
        icon = composed;
    }
    m_tray->setIcon(QIcon(QPixmap::fromImage(icon)));
}

QRectF QtStatusItem::geometry() const
{
    // An XEmbed icon has a window to measure; a StatusNotifierItem host keeps its place to itself.
    const QRect rect = m_tray ? m_tray->geometry() : QRect();
    return rect.isValid() ? frameFromQt(rect) : QRectF();
}

} // namespace platform
