#include "tools/MRKOToolColor.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/NotificationCenter.h"

namespace {

const QString kColorSavedKey = QStringLiteral("ColorSavedKey");
const QString kToolColorFormatKey = QStringLiteral("ToolColorFormat");

/// Whether something other than a colour is stored under the key.
bool holdsNoColour(const QString &key)
{
    return MRKOUtils::userDefaults().objectForKey(key).isValid() &&
           !ShortcutEncode::srgbColorForKey(MRKOUtils::userDefaults(), key).isValid();
}

} // namespace

MRKOToolColor &MRKOToolColor::toolColor()
{
    static MRKOToolColor model;
    return model;
}

MRKOToolColor::MRKOToolColor()
{
    m_sharedColor = colorForKey(kColorSavedKey);
    if (!m_sharedColor.isValid()) {
        // Whatever else a damaged file put there gives way to red.
        const bool damaged = holdsNoColour(kColorSavedKey);
        m_sharedColor = defaultColor();
        if (damaged)
            saveColorForKey(m_sharedColor, kColorSavedKey);
    }
    for (quint64 group = 0; group < m_toolGroupColors.size(); ++group)
        m_toolGroupColors[group] = colorForKey(defaultsToolGroupKeyWithGroup(group));
    for (quint64 type = 0; type < m_singleToolColors.size(); ++type)
        m_singleToolColors[type] = colorForKey(defaultsSingleToolKeyWithType(type));
}

inkora::SrgbColor MRKOToolColor::defaultColor()
{
    return {1, 0, 0, 1};
}

inkora::SrgbColor MRKOToolColor::defaultFlashlightColor()
{
    return {0, 0, 0, 0.5};
}

inkora::SrgbColor MRKOToolColor::defaultBackgroundColor()
{
    return {0, 0, 0, 0.5};
}

inkora::SrgbColor MRKOToolColor::flashlightColor()
{
    const inkora::SrgbColor chosen = colorForKey(QStringLiteral("FlashlightBackgroundColor"));
    return chosen.isValid() ? chosen : defaultFlashlightColor();
}

inkora::SrgbColor MRKOToolColor::color()
{
    switch (m_toolColorFormat) {
    case MRKOToolColorFormatSingleTool:
        return colorForSingleTool();
    case MRKOToolColorFormatToolGroup:
        return colorForToolGroup();
    case MRKOToolColorFormatShared:
        return m_sharedColor;
    default:
        return {};
    }
}

void MRKOToolColor::setColor(const inkora::SrgbColor &color)
{
    inkora::SrgbColor stored = color;
    if (!stored.isValid()) {
        qCWarning(lcTools) << "MRKOToolColorController setColor: color can't be nil.";
        stored = defaultColor();
    }
    switch (m_toolColorFormat) {
    case MRKOToolColorFormatSingleTool:
        m_singleToolColors[toolType()] = stored;
        break;
    case MRKOToolColorFormatToolGroup:
        m_toolGroupColors[toolType() & 3] = stored;
        break;
    case MRKOToolColorFormatShared:
        m_sharedColor = stored;
        break;
    default:
        break;
    }
    saveColorForKey(stored, defaultsKeyAccordingFormat());
}

inkora::SrgbColor MRKOToolColor::drawingColor()
{
    const inkora::SrgbColor current = color();
    return current.isValid() ? current : defaultColor();
}

void MRKOToolColor::setToolColorFormat(quint64 format)
{
    if (format == m_toolColorFormat)
        return;
    m_toolColorFormat = format;
    MRKOUtils::userDefaults().setInteger(qint64(format), kToolColorFormatKey);
    notifiFormatChanged();
}

void MRKOToolColor::updateToolColorFormat()
{
    m_toolColorFormat = quint64(MRKOUtils::userDefaults().integerForKey(kToolColorFormatKey));
    notifiFormatChanged();
}

quint64 MRKOToolColor::toolType() const
{
    // The slots hold eight tools: a value the program never writes must not index past them.
    const qint64 stored = MRKOUtils::userDefaults().integerForKey(QStringLiteral("ToolTypeKey"));
    return stored >= 0 && stored < qint64(m_singleToolColors.size()) ? quint64(stored) : 0;
}

QString MRKOToolColor::defaultsKeyAccordingFormat() const
{
    switch (m_toolColorFormat) {
    case MRKOToolColorFormatSingleTool:
        return defaultsSingleToolKeyWithType(toolType());
    case MRKOToolColorFormatToolGroup:
        return defaultsToolGroupKeyWithGroup(toolType() & 3);
    default:
        return kColorSavedKey;
    }
}

inkora::SrgbColor MRKOToolColor::colorForToolGroup()
{
    inkora::SrgbColor &slot = m_toolGroupColors[toolType() & 3];
    if (!slot.isValid()) {
        slot = defaultColor();
        saveColorForKey(slot, defaultsKeyAccordingFormat());
    }
    return slot;
}

inkora::SrgbColor MRKOToolColor::colorForSingleTool()
{
    inkora::SrgbColor &slot = m_singleToolColors[toolType()];
    if (!slot.isValid()) {
        slot = defaultColor();
        saveColorForKey(slot, defaultsKeyAccordingFormat());
    }
    return slot;
}

QString MRKOToolColor::defaultsToolGroupKeyWithGroup(quint64 group)
{
    return MRKOUtils::stringForToolGroup(group) + kColorSavedKey;
}

QString MRKOToolColor::defaultsSingleToolKeyWithType(quint64 type)
{
    return MRKOUtils::stringForToolType(type) + kColorSavedKey;
}

inkora::SrgbColor MRKOToolColor::colorForKey(const QString &key)
{
    return ShortcutEncode::srgbColorForKey(MRKOUtils::userDefaults(), key);
}

void MRKOToolColor::saveColorForKey(const inkora::SrgbColor &color, const QString &key)
{
    if (!color.isValid())
        return;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    ShortcutEncode::setSRGBColorForKey(defaults, color, key);
    defaults.synchronize();
}

void MRKOToolColor::notifiFormatChanged()
{
    platform::NotificationCenter::defaultCenter().post(kMRKOToolColorFormatChangedNotification, this);
}
