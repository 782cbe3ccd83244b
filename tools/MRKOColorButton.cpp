#include "tools/MRKOColorButton.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "tools/ButtonImage.h"
#include "tools/KPAngularGradient.h"
#include "tools/NSButtonCell+isMouseIn.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const QString kWheelMask = QStringLiteral("MRKOWheelMask");

} // namespace

MRKOColorButton::MRKOColorButton(const QString &identifier, qint64 tag, QWidget *parent)
    : MRKOButton(identifier, parent)
{
    setTag(tag);
    setImageName(tag == 1 ? QStringLiteral("MRKOWheel") : QStringLiteral("ColorShuffle"));
}

void MRKOColorButton::setColor(const inkora::SrgbColor &color)
{
    m_color = color;
    update();
}

void MRKOColorButton::drawRect(QPainter &painter, const QRectF &rect)
{
    if (state() == 1) {
        if (isHighlighted())
            ImageNamedWithColor::drawAlternateInRect(painter, image(), rect, OnOffColor::iconOffColor());
        else if (tag() == 1)
            drawColorInRect(painter, rect);
        else if (tag() == 0)
            drawImageMaskedWithHueInRect(painter, rect);
        return;
    }
    QColor tint = OnOffColor::iconOffColor();
    if (isMouseIn::isMouseIn(*this))
        tint = isHighlighted() ? OnOffColor::iconOffColor() : OnOffColor::iconOnColor();
    ImageNamedWithColor::drawAlternateInRect(painter, image(), rect, tint);
}

void MRKOColorButton::drawColorInRect(QPainter &painter, const QRectF &rect)
{
    drawInContext(painter);
    const QColor inner = m_color.isValid() ? m_color.toQColor() : QColor(Qt::black);
    ImageNamedWithColor::drawAlternateInRect(painter, inkora::buttonImage(kWheelMask, devicePixelRatioF()), rect,
                                             inner);
}

void MRKOColorButton::drawImageMaskedWithHueInRect(QPainter &painter, const QRectF &rect)
{
    const QImage &gradient = rainbowGradient(rect.size());
    const QImage mask = image();
    if (gradient.isNull() || mask.isNull())
        return;
    const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QImage shaped = inkora::imageInShape(gradient, mask, rect.size(), dpr);
    painter.drawImage(rect, shaped);
}

void MRKOColorButton::drawInContext(QPainter &painter)
{
    const QRectF bounds = QRectF(rect());
    const QImage &gradient = rainbowGradient(bounds.size());
    if (gradient.isNull())
        return;
    const double r = std::min(bounds.width(), bounds.height()) * 0.5 - 4.0;
    const QPointF centre(std::floor(float(bounds.center().x() + 0.5)), std::floor(float(bounds.center().y() + 0.5)));
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(centre, r - 1.0, r - 1.0);
    ring.addEllipse(centre, r + 1.0, r + 1.0);
    painter.save();
    painter.setClipPath(ring, Qt::IntersectClip);
    painter.drawImage(bounds, gradient);
    painter.restore();
}

const QImage &MRKOColorButton::rainbowGradient(const QSizeF &size)
{
    // Kept per size: hovering repaints the selected button often, and the gradient only changes with the size.
    const QSize points(int(size.width()), int(size.height()));
    if (m_gradient.isNull() || m_gradient.size() != points)
        m_gradient =
            KPAngularGradient::newImageGradientInRect(QRectF(QPointF(0, 0), size), MRKOUtils::rainbowColorsArray());
    return m_gradient;
}
