#pragma once

#include <QImage>
#include <QList>
#include <QString>

class KQTextField;

// What the recorder fields and the pane's controls ask of the Shortcuts pane, the numeral-badge counter and the
// hue swatches before those classes exist. Each function names the operation it stands for; the owners replace them.
namespace inkora {

/// `shortcutsTextFields` of the Shortcuts pane: its recorder fields in pane order. Empty until a pane fills it.
[[nodiscard]] QList<KQTextField *> shortcutsTextFields();
/// The pane hands over its fields; fields that are destroyed drop out of the list by themselves.
void setShortcutsTextFields(const QList<KQTextField *> &fields);

/// `-[MRKOTextBadgeController keyWithTextBadgeIndex:]`: "TextBadge%ld".
[[nodiscard]] QString keyWithTextBadgeIndex(qint64 index);
/// `-[MRKOTextBadgeController updateString:forTextBadgeIndex:]`: the custom text the canvas gives badge 0 to 9;
/// a null string for none. Other indexes are ignored.
void updateStringForTextBadgeIndex(const QString &string, qint64 index);
/// The custom text last given to a badge index; null when none.
[[nodiscard]] QString customTextBadgeString(qint64 index);

/// `-[MRKOColorHueController allSwatchesSmall]`: the small (15-point) swatches of the ten colours in hue order.
[[nodiscard]] QList<QImage> allSwatchesSmall();
/// `-[MRKOColorHueController smallSwatchBlackWhite]`.
[[nodiscard]] QImage smallSwatchBlackWhite();

} // namespace inkora
