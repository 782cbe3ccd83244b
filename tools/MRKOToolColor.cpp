#include "tools/MRKOToolColor.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Defaults.h"

#include <QVariant>

MRKOToolColor &MRKOToolColor::toolColor()
{
    static MRKOToolColor model;
    return model;
}

QColor MRKOToolColor::defaultColor()
{
    return QColor::fromRgbF(1, 0, 0, 1);
}

QColor MRKOToolColor::flashlightColor()
{
    // The preferences' colour well stores here; an unreadable value gives the default.
    const QVariant stored = MRKOUtils::userDefaults().objectForKey(QStringLiteral("FlashlightBackgroundColor"));
    const QColor color =
        stored.typeId() == QMetaType::QString ? OnOffColor::srgbColorWithString(stored.toString()) : QColor();
    return color.isValid() ? color : defaultFlashlightColor();
}

QColor MRKOToolColor::defaultFlashlightColor()
{
    return QColor::fromRgbF(0, 0, 0, 0.5);
}

MRKOToolColor::MRKOToolColor() : m_color(defaultColor()) {}
