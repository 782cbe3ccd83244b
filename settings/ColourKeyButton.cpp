#include "settings/ColourKeyButton.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Defaults.h"

#include <QColorDialog>

namespace inkora {

ColourKeyButton::ColourKeyButton(const QString &key, QWidget *parent) : QPushButton(parent), m_key(key)
{
    setFixedSize(44, 22);
    connect(this, &QPushButton::clicked, this, &ColourKeyButton::pick);
    updateColor();
}

void ColourKeyButton::setColor(const SrgbColor &color)
{
    m_color = color;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setObject(OnOffColor::srgbColorStringValue(color), m_key);
    defaults.synchronize();
    showColor();
    emit colorChanged();
}

void ColourKeyButton::updateColor()
{
    m_color = OnOffColor::srgbColorWithString(MRKOUtils::userDefaults().stringForKey(m_key));
    showColor();
}

void ColourKeyButton::pick()
{
    const QColor chosen = QColorDialog::getColor(m_color.isValid() ? m_color.toQColor() : QColor(Qt::white), this,
                                                 accessibleName(), QColorDialog::ShowAlphaChannel);
    if (chosen.isValid())
        setColor(SrgbColor(chosen));
}

void ColourKeyButton::showColor()
{
    const QColor shown = m_color.isValid() ? m_color.toQColor() : QColor(Qt::transparent);
    setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(shown.name(QColor::HexArgb)));
}

} // namespace inkora
