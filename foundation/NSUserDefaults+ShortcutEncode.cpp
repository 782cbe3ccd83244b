#include "foundation/InkoraLog.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/KeyedUnarchiver.h"
#include "shortcuts/KQShortCut.h"

namespace {

/// The colour an older archive holds. This program has never archived a colour under a settings key, so no such
/// archive can be read: the value counts as no colour.
inkora::SrgbColor unarchivedColor(const QByteArray &data)
{
    Q_UNUSED(data)
    return {};
}

} // namespace

namespace ShortcutEncode {

void setSRGBColorForKey(platform::Defaults &defaults, const inkora::SrgbColor &color, const QString &key)
{
    if (!color.isValid()) {
        defaults.removeObjectForKey(key);
        return;
    }
    defaults.setObject(OnOffColor::srgbColorStringValue(color), key);
}

inkora::SrgbColor srgbColorForKey(platform::Defaults &defaults, const QString &key)
{
    const QVariant value = defaults.objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const inkora::SrgbColor color = unarchivedColor(value.toByteArray());
        setSRGBColorForKey(defaults, color, key);
        return color;
    }
    case QMetaType::QString:
        return OnOffColor::srgbColorWithString(value.toString());
    default:
        return {};
    }
}

void setShortcutForKey(platform::Defaults &defaults, const std::shared_ptr<KQShortCut> &shortCut, const QString &key)
{
    if (!shortCut) {
        defaults.removeObjectForKey(key);
        return;
    }
    defaults.setObject(shortCut->shortcutObjectStringValue(), key);
}

std::shared_ptr<KQShortCut> shortcutForKey(platform::Defaults &defaults, const QString &key)
{
    const QVariant value = defaults.objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::QString:
        return KQShortCut::shortcutObjectWithString(value.toString());
    case QMetaType::QByteArray: {
        auto shortCut = unarchivedShortCut(value.toByteArray());
        setShortcutForKey(defaults, shortCut, key);
        return shortCut;
    }
    default:
        return nullptr;
    }
}

std::shared_ptr<KQShortCut> unarchivedShortCut(const QByteArray &data)
{
    KQShortCut::registerArchiveClass();
    return platform::KeyedUnarchiver::unarchivedObjectOfClass<KQShortCut>(QStringLiteral("KQShortCut"), data);
}

} // namespace ShortcutEncode
