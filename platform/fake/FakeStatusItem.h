#pragma once

#include "platform/StatusItem.h"

#include <QMenu>
#include <QPointer>
#include <QStringList>

namespace platform {

/// Records what the program shows in the tray; `press()` stands for the user pressing the item, and
/// `closeMenu()` for the user dismissing the menu that was popped up.
class FakeStatusItem final : public StatusItem
{
public:
    [[nodiscard]] bool isAvailable() const override { return m_available; }
    void setVisible(bool visible) override { m_visible = visible; }
    void setImage(const QImage &image) override
    {
        m_image = image;
        ++m_imageChanges;
    }
    void setBadge(const QImage &badge) override { m_badge = badge; }
    void setHighlighted(bool highlighted) override { m_highlighted = highlighted; }
    [[nodiscard]] bool isHighlighted() const override { return m_highlighted; }
    void setPressHandler(std::function<void()> handler) override { m_pressHandler = std::move(handler); }
    void popUpMenu(QMenu *menu) override;
    void showMessage(const QString &title, const QString &text) override
    {
        m_messages.append(title + QLatin1String(": ") + text);
    }
    [[nodiscard]] QRectF geometry() const override { return m_geometry; }
    void setGeometry(const QRectF &geometry) { m_geometry = geometry; }

    void setAvailable(bool available) { m_available = available; }
    [[nodiscard]] bool isVisible() const { return m_visible; }
    [[nodiscard]] const QImage &image() const { return m_image; }
    [[nodiscard]] int imageChanges() const { return m_imageChanges; }
    [[nodiscard]] const QImage &badge() const { return m_badge; }
    /// The menu popped up last, while it is alive.
    [[nodiscard]] QMenu *menu() const { return m_menu; }
    [[nodiscard]] int menusPoppedUp() const { return m_menusPoppedUp; }
    /// "title: text" of every message shown.
    [[nodiscard]] const QStringList &messages() const { return m_messages; }
    void press();
    /// Hides the popped-up menu, which reports its closing as a dismissed menu does.
    void closeMenu();

private:
    QRectF m_geometry;
    bool m_available = true;
    bool m_visible = false;
    bool m_highlighted = false;
    QImage m_image;
    int m_imageChanges = 0;
    QImage m_badge;
    QPointer<QMenu> m_menu;
    int m_menusPoppedUp = 0;
    QStringList m_messages;
    std::function<void()> m_pressHandler;
};

} // namespace platform
