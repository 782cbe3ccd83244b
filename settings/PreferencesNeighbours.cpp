#include "settings/PreferencesNeighbours.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>

namespace inkora {
namespace {

qint64 s_numeralFormat = 0;
qint64 s_staticNumeralFormat = 0;

const QString kDefaultFontKey = QStringLiteral("DefaultFont");

// The stored name is "Family" for the regular face and "Family-Face" otherwise, in the style of PostScript names.
std::pair<QString, QString> storedFont()
{
    const QString name = MRKOUtils::userDefaults().stringForKey(kDefaultFontKey);
    if (name.isEmpty())
        return {QGuiApplication::font().family(), QStringLiteral("Regular")};
    const qsizetype dash = name.lastIndexOf(QLatin1Char('-'));
    if (dash <= 0)
        return {name, QStringLiteral("Regular")};
    return {name.left(dash), name.mid(dash + 1)};
}

void storeFont(const QString &family, const QString &face)
{
    const QString name = face.isEmpty() || face == QLatin1String("Regular") ? family : family + QLatin1Char('-') + face;
    MRKOUtils::userDefaults().setObject(name, kDefaultFontKey);
    MRKOUtils::userDefaults().synchronize();
}

} // namespace

void updateBadgeNumeralFormat()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    s_numeralFormat = defaults.integerForKey(QStringLiteral("BadgeNumeralFormat"));
    s_staticNumeralFormat = defaults.integerForKey(QStringLiteral("BadgeStaticNumeralFormat"));
}

qint64 badgeNumeralFormat()
{
    return s_numeralFormat;
}

qint64 badgeStaticNumeralFormat()
{
    return s_staticNumeralFormat;
}

void setBadgeNumeralFormat(qint64 format)
{
    s_numeralFormat = format;
    MRKOUtils::userDefaults().setInteger(format, QStringLiteral("BadgeNumeralFormat"));
    MRKOUtils::userDefaults().synchronize();
}

void setBadgeStaticNumeralFormat(qint64 format)
{
    s_staticNumeralFormat = format;
    MRKOUtils::userDefaults().setInteger(format, QStringLiteral("BadgeStaticNumeralFormat"));
    MRKOUtils::userDefaults().synchronize();
}

void updateCursorHalo(MRKODraw &canvas)
{
    canvas.updateBigBallIfNeeded();
}

void setCanvasOverallShadow(MRKODraw &, bool) {}

QStringList fontFamilies()
{
    return QFontDatabase::families();
}

QStringList fontFaces(const QString &family)
{
    return QFontDatabase::styles(family);
}

QString defaultFontFamily()
{
    return storedFont().first;
}

QString defaultFontFace()
{
    return storedFont().second;
}

void selectDefaultFontFamily(const QString &family)
{
    const QStringList faces = QFontDatabase::styles(family);
    const QString face =
        faces.contains(QStringLiteral("Regular")) || faces.isEmpty() ? QStringLiteral("Regular") : faces.first();
    storeFont(family, face);
}

void selectDefaultFontFace(const QString &face)
{
    storeFont(storedFont().first, face);
}

void resetDefaultFont()
{
    MRKOUtils::userDefaults().removeObjectForKey(kDefaultFontKey);
}

} // namespace inkora
