#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

#include <memory>

namespace platform {
class Popover;
}

/// A small borderless button (undo, redo, repeat, flashlight; small controls of the snapshot panel). Its icon takes
/// a per-control colour under the pointer, and its description shows below it once the pointer has rested on it
/// for a second; a control without a description shows none.
class MRKOSmallButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit MRKOSmallButton(const QString &identifier = {}, QWidget *parent = nullptr);
    ~MRKOSmallButton() override;

    [[nodiscard]] int state() const { return m_state; }
    void setState(int state);
    [[nodiscard]] bool isHighlighted() const { return isDown(); }
    void highlight(bool on);
    [[nodiscard]] const QString &imageName() const { return m_imageName; }
    void setImageName(const QString &name);
    [[nodiscard]] const QString &alternateImageName() const { return m_alternateImageName; }
    void setAlternateImageName(const QString &name);
    [[nodiscard]] QImage image() const;
    [[nodiscard]] QImage alternateImage() const;

    [[nodiscard]] const QString &descIdentifier() const { return m_descIdentifier; }
    void setDescIdentifier(const QString &identifier) { m_descIdentifier = identifier; }
    [[nodiscard]] bool wantsToolTip() const { return m_wantsToolTip; }

    [[nodiscard]] QColor highlightColor() const;
    [[nodiscard]] QColor highlightPressedColor() const;
    /// The colour with the one fixed "pressed" darkening.
    [[nodiscard]] static QColor pressedColorWithColor(const QColor &color);

    /// Made on first use with fresh content; null when the control has no description of its own.
    [[nodiscard]] platform::Popover *descPopover();
    void prepareShowDescPop();
    void showDescPop();
    void hideDescPop();
    void hideDescPopIfNeeded();
    void disableWantsToolTip() { m_wantsToolTip = false; }
    [[nodiscard]] bool mouseStillHere() const;
    /// Compares the pointer with the inside record, so a button that moved under a resting pointer or away from it
    /// highlights or clears; runs whenever the button is shown, moved or resized.
    void updateHighlightIfNeeded();

signals:
    /// The button's action; the receiver reads the sender's state.
    void actionSent(MRKOSmallButton *sender);

protected:
    virtual void drawRect(QPainter &painter, const QRectF &rect);
    void mouseEntered();
    void mouseExited();

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QString m_descIdentifier;
    QString m_imageName;
    QString m_alternateImageName;
    std::unique_ptr<platform::Popover> m_descPopover;
    int m_state = 0;
    bool m_wantsToolTip = false;
};
