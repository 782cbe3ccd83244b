#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QString>

#include <memory>

class QMenu;
namespace platform {
class Event;
class Popover;
} // namespace platform

/// A large button of the tool panel. It tracks its own press (highlight on press, state toggle and action on a
/// release inside), never lets a press move the panel, and shows its description in a dark popover to its right
/// once the pointer has rested on it for a second. Subclasses draw it in `drawRect`.
class MRKOButton : public QAbstractButton
{
    Q_OBJECT
public:
    /// `identifier` names the control: its description is looked up under it.
    explicit MRKOButton(const QString &identifier = {}, QWidget *parent = nullptr);
    ~MRKOButton() override;

    /// 1 selected, 0 not; the press toggles it.
    [[nodiscard]] int state() const { return m_state; }
    virtual void setState(int state);
    [[nodiscard]] qint64 tag() const { return m_tag; }
    virtual void setTag(qint64 tag);
    [[nodiscard]] bool isHighlighted() const { return isDown(); }
    void highlight(bool on);
    /// Names of the template images drawn for the button, tinted by state.
    [[nodiscard]] const QString &imageName() const { return m_imageName; }
    void setImageName(const QString &name);
    [[nodiscard]] const QString &alternateImageName() const { return m_alternateImageName; }
    void setAlternateImageName(const QString &name);
    /// The image, or the alternate image when there is one, at this button's scale.
    [[nodiscard]] QImage image() const;
    [[nodiscard]] QImage alternateImage() const;

    [[nodiscard]] const QString &descIdentifier() const { return m_descIdentifier; }
    void setDescIdentifier(const QString &identifier) { m_descIdentifier = identifier; }
    /// The tool-bar controller that receives the button's reports; not owned.
    [[nodiscard]] QObject *delegate() const { return m_delegate; }
    void setDelegate(QObject *delegate) { m_delegate = delegate; }

    /// A press on a button never starts a drag of the panel.
    [[nodiscard]] virtual bool mouseDownCanMoveWindow() const { return false; }
    /// Ends the panel's own press after a menu consumed the release.
    void cleanUpMouseUpWithEvent(const platform::Event *event);

    [[nodiscard]] bool wantsToolTip() const { return m_wantsToolTip; }
    /// Made on first use; its content is rebuilt at every call.
    [[nodiscard]] platform::Popover &descPopover();
    /// Builds a description popover's content: the text of the identifier, centred, with a margin of 8 points.
    static void updateDescPopoverContent(platform::Popover &popover, const QString &identifier);
    /// Rebuilds the popover's content when it has been made.
    void updateDescPopoverContent();
    void prepareShowDescPop();
    void showDescPop();
    void hideDescPop();
    /// Whether the pointer is inside the button now.
    [[nodiscard]] bool mouseStillHere() const;

    /// The menu this button opened while it is open; null otherwise.
    [[nodiscard]] QMenu *openMenu() const;

signals:
    /// The button's action, sent to the tool-bar controller, which reads the sender's tag and state.
    void actionSent(MRKOButton *sender);

protected:
    void sendAction();
    /// `rect` in the button's own coordinates (points, y down, as a button draws its icon upright).
    virtual void drawRect(QPainter &painter, const QRectF &rect);

    virtual void mouseDown(QMouseEvent *event);
    virtual void mouseDragged(QMouseEvent *event);
    virtual void mouseUp(QMouseEvent *event);
    virtual void rightMouseUp(QMouseEvent *event);
    virtual void mouseEntered();
    virtual void mouseExited();

    /// Pops the menu up below the button's lower left corner (16 points in, 4 below), as the overlay's context
    /// menu; `menuDidClose` runs on every way it closes.
    void popUpMenuAtButton(std::unique_ptr<QMenu> menu);
    virtual void menuDidClose();
    [[nodiscard]] static bool isInside(const QMouseEvent *event, const QWidget &widget);

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

    bool m_wantsToolTip = false;

private:
    QString m_descIdentifier;
    QString m_imageName;
    QString m_alternateImageName;
    QPointer<QObject> m_delegate; // not owned
    std::unique_ptr<platform::Popover> m_descPopover;
    std::unique_ptr<QMenu> m_menu; // the last menu opened
    qint64 m_tag = 0;
    int m_state = 0;
    bool m_menuOpen = false;
};
