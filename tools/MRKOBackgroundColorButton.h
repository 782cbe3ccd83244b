#pragma once

#include "foundation/SrgbColor.h"

#include <QImage>
#include <QPushButton>
#include <QString>

class QLabel;

/// A colour well of the preferences (text, timer, badge and flashlight colours): a swatch that opens the colour
/// popover, and a second click closes it. Purpose 1 reports every change of an opaque colour at once; other
/// purposes show the opacity slider and report on release. The colour is stored under the identifier.
class MRKOBackgroundColorButton final : public QPushButton
{
    Q_OBJECT
public:
    MRKOBackgroundColorButton(const QString &identifier, qint64 tag, QWidget *parent = nullptr);

    [[nodiscard]] const QString &identifier() const { return m_identifier; }
    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    void setColor(const inkora::SrgbColor &color);
    [[nodiscard]] const inkora::SrgbColor &effectiveColor() const { return m_color; }
    [[nodiscard]] qint64 purpose() const { return m_purpose; }
    void setPurpose(qint64 purpose) { m_purpose = purpose; }
    [[nodiscard]] QLabel *swatchView() const { return m_swatchView; }
    [[nodiscard]] const QImage &colorSwatchImage() const { return m_imageOff; }

    void setUpButton();
    /// The stored colour, else the purpose's default.
    void updateColor();
    void updateImage();
    void showHidePopover();
    void runColorPopoverForView(QWidget *view);
    void colorPopoverChangesAColor();

signals:
    /// The user picked a colour; it is already stored.
    void actionSent(MRKOBackgroundColorButton *sender);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeSwatch();

    QString m_identifier;
    QLabel *m_swatchView = nullptr; // child
    QImage m_imageOff;
    QImage m_imageOn;
    inkora::SrgbColor m_color;
    qint64 m_tag = 0;
    qint64 m_purpose = 0;
};
