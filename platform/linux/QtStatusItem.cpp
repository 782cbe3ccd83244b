#include "platform/linux/QtStatusItem.h"

#include "platform/PlatformLog.h"
#include "platform/Screens.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QSystemTrayIcon>

namespace platform {

QtStatusItem::QtStatusItem() : m_tray(std::make_unique<QSystemTrayIcon>())
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_tray.reset(); });
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Any press opens the item's menu, as a panel item has only the one action.
        if (reason == QSystemTrayIcon::Unknown || !m_pressHandler)
            return;
        m_pressHandler();
    });
}

QtStatusItem::~QtStatusItem() = default;

bool QtStatusItem::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtStatusItem::setVisible(bool visible)
{
    if (m_tray)
        m_tray->setVisible(visible);
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
    if (!menu || !m_tray)
        return;
    const QRect area = m_tray->geometry();
    // StatusNotifierItem hosts do not tell where the item is; the pointer is on it when it was pressed.
    menu->popup(area.isValid() ? area.bottomLeft() : QCursor::pos());
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

void NullStatusItem::setVisible(bool visible)
{
    if (!visible || m_logged)
        return;
    m_logged = true;
    qCInfo(lcPlatform) << "StatusItem: no system tray; Inkora stays reachable through its shortcuts";
}

void NullStatusItem::popUpMenu(QMenu *menu)
{
    // Nothing can open the menu without a tray, but a caller that did is told it closed.
    if (menu)
        QMetaObject::invokeMethod(menu, &QMenu::aboutToHide, Qt::QueuedConnection);
}

QRectF QtStatusItem::geometry() const
{
    // An XEmbed icon has a window to measure; a StatusNotifierItem host keeps its place to itself.
    const QRect rect = m_tray ? m_tray->geometry() : QRect();
    return rect.isValid() ? frameFromQt(rect) : QRectF();
}

} // namespace platform
