#pragma once

#include "platform/StatusItem.h"

#include <QObject>

#include <memory>

class QSystemTrayIcon;

namespace platform {

/// The item as a Qt tray icon (a StatusNotifierItem, or an XEmbed icon under older panels). The badge and the
/// pressed look are painted into the icon, since tray hosts take only a picture.
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
    [[nodiscard]] QRectF geometry() const override;

private:
    void updateIcon();

    std::unique_ptr<QSystemTrayIcon> m_tray; // gone when the application quits, while the tray link still works
    QImage m_image;
    QImage m_badge;
    bool m_highlighted = false;
    std::function<void()> m_pressHandler;
};

/// Used when no tray host runs: says so once and shows nothing; the program stays usable by its shortcuts.
class NullStatusItem final : public StatusItem
{
public:
    [[nodiscard]] bool isAvailable() const override { return false; }
    void setVisible(bool visible) override;
    void setImage(const QImage &) override {}
    void setBadge(const QImage &) override {}
    void setHighlighted(bool highlighted) override { m_highlighted = highlighted; }
    [[nodiscard]] bool isHighlighted() const override { return m_highlighted; }
    void setPressHandler(std::function<void()>) override {}
    void popUpMenu(QMenu *menu) override;
    [[nodiscard]] QRectF geometry() const override { return {}; }

private:
    bool m_logged = false;
    bool m_highlighted = false;
};

} // namespace platform
