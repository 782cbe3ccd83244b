#include "settings/MRKOPrefVolumeButton.h"

#include "app/MRKOPlaySound.h"
#include "foundation/NSImage+ImageNamedWithColor.h"

#include <QPainter>

MRKOPrefVolumeButton::MRKOPrefVolumeButton(qint64 tag, QWidget *parent) : HoverSliderButton(parent), m_tag(tag)
{
    setFixedSize(22, 22);
    setAccessibleName(QStringLiteral("Volume"));
}

double MRKOPrefVolumeButton::currentValue() const
{
    return double(MRKOPlaySound::sharedSounds().volumeWithPrefVolume(m_tag));
}

void MRKOPrefVolumeButton::sliderAction(double value)
{
    MRKOPlaySound::sharedSounds().setVolumeWithPrefVolume(float(value), m_tag);
}

void MRKOPrefVolumeButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor colour = palette().color(isEnabled() && state() == 1 ? QPalette::Text : QPalette::PlaceholderText);
    const QImage image =
        ImageNamedWithColor::imageNamedWithColor(QStringLiteral("MRKOSpeakerUp"), colour, devicePixelRatioF());
    painter.drawImage(QRectF(2, 2, 17, 17), image);
}
