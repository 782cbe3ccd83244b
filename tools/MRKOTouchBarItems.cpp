#include "tools/MRKOTouchBarItems.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/ImageLoader.h"
#include "tools/KPAngularGradient.h"

#include <QPainter>

// The icons are drawn into images, whose rows run down: the masks are flipped to stand upright there.

namespace {

constexpr double kItemIconSize = 26;      // points
constexpr double kThicknessIconSize = 30; // points

QImage clearImage(double side)
{
    const int pixels = int(side);
    QImage image{QSize{pixels, pixels}, QImage::Format_ARGB32_Premultiplied};
    image.fill(Qt::transparent);
    return image;
}

/// The rainbow's angular gradient over `rect`, showing only where `mask` is opaque.
void drawImageMaskedWithHueInRect(QPainter &painter, const QImage &mask, const QRectF &rect)
{
    QImage gradient = KPAngularGradient::newImageGradientInRect(rect, MRKOUtils::rainbowColorsArray());
    if (gradient.isNull() || mask.isNull())
        return;
    gradient = gradient.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter clip(&gradient);
        clip.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        clip.drawImage(QRectF(QPointF(0, 0), gradient.size() / gradient.devicePixelRatio()), mask);
    }
    painter.save();
    painter.drawImage(rect, gradient);
    painter.restore();
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------

MRKOThicknessTouchBarItem::MRKOThicknessTouchBarItem(const QString &identifier)
    : TouchBarItem(identifier, Kind::Popover)
{
    setImage(QStringLiteral("ThicknessMedium"), platform::ImageLoader::namedImage(QStringLiteral("ThicknessMedium")));
}

void MRKOThicknessTouchBarItem::loadImages()
{
    m_imageThin = platform::ImageLoader::namedImage(QStringLiteral("ThicknessMedium1"));
    m_imageMedium = platform::ImageLoader::namedImage(QStringLiteral("ThicknessMedium2"));
    m_imageBold = platform::ImageLoader::namedImage(QStringLiteral("ThicknessMedium3"));
}

void MRKOThicknessTouchBarItem::setThickness(quint64 thickness)
{
    m_thickness = thickness;
    setImage(imageName(), imageForButton());
}

QImage MRKOThicknessTouchBarItem::imageForButton() const
{
    QImage image = clearImage(kThicknessIconSize);
    if (m_thickness > 5)
        return image;
    const QImage *lit = m_thickness <= 2 ? &m_imageThin : m_thickness == 3 ? &m_imageMedium : &m_imageBold;
    QPainter painter(&image);
    const QRectF rect(0, 0, kThicknessIconSize, kThicknessIconSize);
    for (const QImage *bar : {&m_imageThin, &m_imageMedium, &m_imageBold}) {
        const QColor colour = bar == lit ? QColor(Qt::white) : QColor::fromRgbF(0.5f, 0.5f, 0.5f, 1.0f);
        ImageNamedWithColor::drawAlternateInRect(painter, *bar, rect, colour);
    }
    return image;
}

// ---------------------------------------------------------------------------------------------------------------

MRKORainbowTouchBarItem::MRKORainbowTouchBarItem(const QString &identifier) : TouchBarItem(identifier, Kind::Custom)
{
    m_mask = platform::ImageLoader::namedImage(QStringLiteral("ColorShuffle"));
}

void MRKORainbowTouchBarItem::setSelected(bool selected)
{
    m_selected = selected;
    setImage(QStringLiteral("ColorShuffle"), imageForButton());
}

QImage MRKORainbowTouchBarItem::imageForButton() const
{
    QImage image = clearImage(kItemIconSize);
    QPainter painter(&image);
    const QRectF rect(0, 0, kItemIconSize, kItemIconSize);
    if (m_selected)
        drawImageMaskedWithHueInRect(painter, m_mask, rect);
    else
        ImageNamedWithColor::drawAlternateInRect(painter, m_mask, rect, Qt::white);
    return image;
}

// ---------------------------------------------------------------------------------------------------------------

MRKOColorPickerTouchBar::MRKOColorPickerTouchBar(const QString &identifier)
    : TouchBarItem(identifier, Kind::ColorPicker)
{
    setImage(QStringLiteral("MRKOWheel"), imageForButton());
}

void MRKOColorPickerTouchBar::setColor(const inkora::SrgbColor &color)
{
    m_color = color;
    if (color == m_currentColor)
        return;
    m_currentColor = color;
    setImage(imageName(), imageForButton());
}

void MRKOColorPickerTouchBar::touch()
{
    ++m_pickerRequests;
    if (m_touchAction)
        m_touchAction();
}

void MRKOColorPickerTouchBar::setSelected(bool selected)
{
    m_selected = selected;
    setImage(imageName(), imageForButton());
}

QImage MRKOColorPickerTouchBar::imageForButton() const
{
    QImage image = clearImage(kItemIconSize);
    QPainter painter(&image);
    const QRectF rect(0, 0, kItemIconSize, kItemIconSize);
    if (!m_selected) {
        ImageNamedWithColor::drawAlternateInRect(
            painter, platform::ImageLoader::namedImage(QStringLiteral("MRKOWheel")), rect, Qt::white);
        return image;
    }
    drawImageMaskedWithHueInRect(painter, platform::ImageLoader::namedImage(QStringLiteral("MRKOWheelRing")), rect);
    const QColor centre = m_color.isValid() ? m_color.toQColor() : QColor(Qt::black);
    ImageNamedWithColor::drawAlternateInRect(
        painter, platform::ImageLoader::namedImage(QStringLiteral("MRKOWheelMask")), rect, centre);
    return image;
}

QString MRKOColorPickerTouchBar::describe() const
{
    QString line = TouchBarItem::describe();
    line += m_selected ? QStringLiteral(" selected") : QStringLiteral(" not selected");
    if (m_color.isValid())
        line += QStringLiteral(" colour %1").arg(m_color.toQColor().name(QColor::HexArgb));
    return line;
}
