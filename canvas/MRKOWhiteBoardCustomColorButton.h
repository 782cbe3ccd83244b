#pragma once

#include <QImage>
#include <QPushButton>

class QLabel;

/// The settings' button of the whiteboard's custom colour: a swatch at its right end that opens the colour popover.
class MRKOWhiteBoardCustomColorButton final : public QPushButton
{
    Q_OBJECT
public:
    explicit MRKOWhiteBoardCustomColorButton(QWidget *parent = nullptr);

    [[nodiscard]] QColor effectiveColor() const;
    /// The popover's colour becomes the custom colour.
    void colorPopoverChangesAColor(const QColor &color);
    void resetColor();
    void updateColor();
    void updateImage();
    [[nodiscard]] bool isHighlighted() const { return m_isHighlighted; }
    [[nodiscard]] const QImage &imageOff() const { return m_imageOff; }
    [[nodiscard]] const QImage &imageOn() const { return m_imageOn; }
    [[nodiscard]] QLabel *swatchView() const { return m_swatchView; }
    /// Opens the colour popover beside the view, on the main queue.
    void runColorPopoverForView(QWidget *view);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeSwatch();

    QLabel *m_swatchView = nullptr; // child
    QImage m_imageOff;
    QImage m_imageOn;
    bool m_isHighlighted = false; // never set: the swatch shows imageOff but while hovered
};
