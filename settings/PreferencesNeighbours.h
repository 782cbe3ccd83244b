#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class MRKODraw;
class QComboBox;

// What the settings call in the text objects and the cursors before those classes exist. Each function names the
// operation it stands for; the owners replace them.
namespace inkora {

/// `-[MRKOTextBadgeController updateNumeralFormat]`: re-reads both badge numeral formats.
void updateBadgeNumeralFormat();
/// `numeralFormat` / `staticNumeralFormat` of the badge controller: 0 decimal, 1 roman, 2 alphabet.
[[nodiscard]] qint64 badgeNumeralFormat();
[[nodiscard]] qint64 badgeStaticNumeralFormat();
/// `setNumeralFormat:` / `setStaticNumeralFormat:`: stores "BadgeNumeralFormat" / "BadgeStaticNumeralFormat".
void setBadgeNumeralFormat(qint64 format);
void setBadgeStaticNumeralFormat(qint64 format);

/// `-[MRKODraw updateBigBallIfNeeded]`: the canvas refreshes its cursor halo.
void updateCursorHalo(MRKODraw &canvas);
/// `enableOverallShadow` / `disableOverallShadow` of a canvas.
void setCanvasOverallShadow(MRKODraw &canvas, bool enabled);

/// The font families and the faces of one family that the font pop-ups list.
[[nodiscard]] QStringList fontFamilies();
[[nodiscard]] QStringList fontFaces(const QString &family);
/// The default font's family and face ("DefaultFont"); the system font's when none is stored.
[[nodiscard]] QString defaultFontFamily();
[[nodiscard]] QString defaultFontFace();
/// `defaultFontFamilySelected:` / `defaultFontFaceSelected:` of the font controller: stores "DefaultFont".
void selectDefaultFontFamily(const QString &family);
void selectDefaultFontFace(const QString &face);
/// `-[MRKOFontController resetDefaultFont]`: "DefaultFont" is removed.
void resetDefaultFont();

} // namespace inkora
