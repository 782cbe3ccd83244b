#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <functional>

class QMenu;

namespace platform {

/// The program's item in the desktop panel's tray: an icon with an optional badge over it, a pressed look, a
/// press action and menus popped up at the item. Without a tray host nothing appears and no press ever comes.
class StatusItem
{
public:
    virtual ~StatusItem() = default;

    /// Whether a tray host shows the item.
    [[nodiscard]] virtual bool isAvailable() const = 0;
    /// Puts the item into the tray or takes it out.
    virtual void setVisible(bool visible) = 0;
    virtual void setImage(const QImage &image) = 0;
    /// Drawn over the image until set to a null image.
    virtual void setBadge(const QImage &badge) = 0;
    virtual void setHighlighted(bool highlighted) = 0;
    [[nodiscard]] virtual bool isHighlighted() const = 0;
    /// Runs on the main thread when the user presses the item with any button.
    virtual void setPressHandler(std::function<void()> handler) = 0;
    /// A short notice from the item, shown once by the tray host's notification; kept until a host appears.
    virtual void showMessage(const QString &title, const QString &text) = 0;
    /// Shows `menu` at the item and returns at once; the menu's aboutToHide reports its closing. The menu is not
    /// owned and must live until it has closed.
    virtual void popUpMenu(QMenu *menu) = 0;
    /// The item's frame in global points (y up); empty when the tray does not tell.
    [[nodiscard]] virtual QRectF geometry() const = 0;
};

} // namespace platform
