#pragma once

#include "foundation/SrgbColor.h"

#include <QImage>
#include <QPushButton>
#include <QString>

#include <functional>

class QLabel;

/// A round colour swatch of the lower-third settings: a click opens the shared colour popover beside it (a second
/// click closes it); a picked colour is stored under the button's identifier and handed to the action.
class MRKOLowerThirdColorButton final : public QPushButton
{
    Q_OBJECT
public:
    static constexpr double kSwatchSide = 21; // points

    MRKOLowerThirdColorButton(const QString &identifier, QWidget *parent = nullptr);

    [[nodiscard]] const QString &identifier() const { return m_identifier; }
    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    void setColor(const inkora::SrgbColor &color);
    [[nodiscard]] const inkora::SrgbColor &effectiveColor() const { return m_color; }
    [[nodiscard]] QLabel *swatchView() const { return m_swatchView; }
    /// Called with the button after the user picked a colour and it was stored.
    void setAction(std::function<void(MRKOLowerThirdColorButton *)> action) { m_action = std::move(action); }

    void setUpButton();
    void showHidePopover();
    void prepareColorPopover();
    void runColorPopoverForView(QWidget *view);
    void colorPopoverColorChange();
    void updateImage();
    /// A 13-point disc of the colour in a 16-point ring; under the pointer the disc grows to 15 points.
    [[nodiscard]] QImage colorSwatchImage() const;
    [[nodiscard]] QImage colorSwatchImageMouseOn() const;
    void updateHighlightIfNeeded();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    [[nodiscard]] QImage swatchImage(double discInset, double ringOutset) const;
    void placeSwatch();

    QString m_identifier;
    QLabel *m_swatchView = nullptr; // child
    inkora::SrgbColor m_color;
    QImage m_imageOff;
    QImage m_imageOn;
    std::function<void(MRKOLowerThirdColorButton *)> m_action;
};
