#pragma once

#include <QKeySequence>
#include <QString>

#include <memory>

class KQShortCut;
class QAction;
class QObject;

/// Menu items that show a command's shortcut, and the bold header items of preset menus. The item keeps the key
/// equivalent (the key's text, or the function key's menu character) and its modifier mask, and shows them as its
/// Qt shortcut: Command is Ctrl, Option Alt, Control Super (Qt's Meta); Function has no Qt modifier.
namespace KeyEquivalent {

/// A disabled (or no) shortcut leaves the item as it is.
void setKeyEquivalentWithShortCut(QAction &item, const KQShortCut *shortCut);
[[nodiscard]] QString keyEquivalent(const QAction &item);
[[nodiscard]] quint64 keyEquivalentModifierMask(const QAction &item);
/// The key sequence of a key code and modifier flags; empty for a key Qt cannot name.
[[nodiscard]] QKeySequence keySequence(quint16 keyCode, quint64 modifierFlags);

/// A header item: its title in the bold system font of 12 points, no action, no key equivalent, tag (data) -1.
[[nodiscard]] std::unique_ptr<QAction> topItemWithTitle(const QString &title, QObject *parent = nullptr);

} // namespace KeyEquivalent
