#pragma once

#include "foundation/SrgbColor.h"
#include "tools/MRKOButton.h"

#include <QImage>

/// The rainbow button (tag 0) and the custom colour button (tag 1) of the panel. Selected, they show the rainbow
/// gradient in the icon's shape, or the custom colour inside a rainbow ring; otherwise a tinted icon. The tag is
/// the colour type the button chooses.
class MRKOColorButton final : public MRKOButton
{
    Q_OBJECT
public:
    /// Tag 0 draws "ColorShuffle" and tag 1 "MRKOWheel" until another image is set.
    MRKOColorButton(const QString &identifier, qint64 tag, QWidget *parent = nullptr);

    /// The custom colour; black is shown for none.
    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    void setColor(const inkora::SrgbColor &color);
    /// Whether the panel's material may show through: not while selected.
    [[nodiscard]] bool allowsVibrancy() const { return state() != 1; }

protected:
    void drawRect(QPainter &painter, const QRectF &rect) override;

private:
    void drawColorInRect(QPainter &painter, const QRectF &rect);
    void drawImageMaskedWithHueInRect(QPainter &painter, const QRectF &rect);
    /// The rainbow ring, two points wide, 4 points inside the bounds.
    void drawInContext(QPainter &painter);
    /// The rainbow gradient for a size in points, kept while the size stays.
    [[nodiscard]] const QImage &rainbowGradient(const QSizeF &size);

    inkora::SrgbColor m_color;
    QImage m_gradient;
};
