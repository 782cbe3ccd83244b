#pragma once

#include <QIcon>
#include <QString>

class QAction;
class QMenu;

namespace TopTitleItem {

/// A bold 12-point title item with no action and tag -1 (the item's data).
QAction *addTopItemWithTitle(QMenu &menu, const QString &title);
/// An item's image from the named images; empty when there is none of that name.
[[nodiscard]] QIcon offStateImage(const QString &name);
/// Whether any item of the menu is checked.
[[nodiscard]] bool hasOnStateItems(const QMenu &menu);

} // namespace TopTitleItem
