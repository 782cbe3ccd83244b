#include "tools/MRKOColorHueController.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"

#include <QPainter>

namespace {

constexpr const char *kKeys[MRKOColorHueController::kCount] = {
    "HueRed",  "HueOrange", "HueYellow", "HueGreen",   "HueTurquoise",
    "HueCyan", "HueBlue",   "HuePurple", "HueMagenta", "HueCrimson",
};
constexpr double kHues[MRKOColorHueController::kCount] = {0.0, 0.08, 0.15, 0.3, 0.45, 0.5, 0.65, 0.75, 0.85, 0.93};

} // namespace

MRKOColorHueController &MRKOColorHueController::sharedHueController()
{
    static MRKOColorHueController controller;
    return controller;
}

MRKOColorHueController::MRKOColorHueController()
{
    for (quint64 i = 0; i < kCount; ++i)
        updateColorForColorHueIndex(i);
}

void MRKOColorHueController::updateColorForColorHueIndex(quint64 index)
{
    if (index >= kCount)
        return;
    m_colors[index] = ShortcutEncode::srgbColorForKey(MRKOUtils::userDefaults(), keyWithColorHueIndex(index));
}

void MRKOColorHueController::updateColorForColorHueIndex(const inkora::SrgbColor &color, quint64 index)
{
    if (index < kCount)
        m_colors[index] = color;
}

QString MRKOColorHueController::keyWithColorHueIndex(quint64 index)
{
    return index < kCount ? QString::fromLatin1(kKeys[index]) : QString();
}

inkora::SrgbColor MRKOColorHueController::colorWithColorHueIndex(quint64 index) const
{
    return index < kCount ? m_colors[index] : inkora::SrgbColor();
}

double MRKOColorHueController::hueWithColorHueIndex(quint64 index)
{
    return index >= 1 && index < kCount ? kHues[index] : 0.0;
}

inkora::SrgbColor MRKOColorHueController::effectiveColorWithColorHueIndex(quint64 index) const
{
    if (const inkora::SrgbColor own = colorWithColorHueIndex(index); own.isValid())
        return own;
    return OnOffColor::rainbowColorWithHue(hueWithColorHueIndex(index));
}

QImage MRKOColorHueController::colorSwatchImageWithColor(const inkora::SrgbColor &color, QSizeF size, double scale)
{
    QImage image((size * scale).toSize(), QImage::Format_RGBA8888_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color.toQColor());
    painter.drawEllipse(QRectF(QPointF(0, 0), size).adjusted(2, 2, -2, -2));
    return image;
}

QImage MRKOColorHueController::colorSwatchImageWithColor(const inkora::SrgbColor &color, double scale)
{
    return colorSwatchImageWithColor(color, QSizeF(32, 32), scale);
}

QImage MRKOColorHueController::smallColorSwatchImageWithColor(const inkora::SrgbColor &color, double scale)
{
    return colorSwatchImageWithColor(color, QSizeF(15, 15), scale);
}

QList<QImage> MRKOColorHueController::allSwatches(double scale) const
{
    QList<QImage> images;
    for (quint64 i = 0; i < kCount; ++i)
        images.append(colorSwatchImageWithColor(effectiveColorWithColorHueIndex(i), scale));
    return images;
}

QList<QImage> MRKOColorHueController::allSwatchesSmall(double scale) const
{
    QList<QImage> images;
    for (quint64 i = 0; i < kCount; ++i)
        images.append(smallColorSwatchImageWithColor(effectiveColorWithColorHueIndex(i), scale));
    return images;
}

QImage MRKOColorHueController::smallSwatchBlackWhite()
{
    return QImage(QStringLiteral(":/images/MRKOBlackWhiteSwatch.png"));
}
