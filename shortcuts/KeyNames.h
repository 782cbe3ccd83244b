#pragma once

#include <QHash>
#include <QList>
#include <QString>

/// What the user reads of a key code and modifier flags, in the words printed on a PC keyboard ("Ctrl+Shift+Z",
/// "Super+Alt+D"): for the recorder fields, hints, descriptions and tool tips, plus the names of keys and the menu
/// character of a function key. Keys without a table entry show the text the current keyboard layout types, in upper
/// case as on the keycaps. The tables are built once and shared read-only.

[[nodiscard]] const QHash<quint16, QString> &keySymbolTable();
[[nodiscard]] const QHash<quint16, QString> &keyNameTable();
/// F1 to F20 in order.
[[nodiscard]] const QList<quint16> &functionKeyCodes();
[[nodiscard]] const QHash<quint16, QString> &functionKeyNames();
/// The sixteen keys that may form a shortcut on their own, in menu order.
[[nodiscard]] const QList<quint16> &singleSpecialKeyCodes();
[[nodiscard]] const QHash<quint16, QString> &singleKeyNames();

/// "Super+", "Ctrl+", "Alt+", "Shift+", "Menu+" as set, then the key's name or layout text; a modifier key alone
/// gives the modifiers only, without a trailing "+".
[[nodiscard]] QString shortcutSymbolString(quint16 keyCode, quint64 modifierFlags);
/// The name of the key alone, else its layout text without modifiers.
[[nodiscard]] QString keyCodeSymbolString(quint16 keyCode);
/// The same text as shortcutSymbolString, optionally in round brackets.
[[nodiscard]] QString modifierHintString(quint16 keyCode, quint64 modifierFlags, bool withBrackets);
/// How many names the recorder shows: one per modifier set, one for a key that is not a modifier key.
[[nodiscard]] int shortcutSymbolCount(quint16 keyCode, quint64 modifierFlags);
/// The menu key-equivalent character of F1 to F20 (U+F704 to U+F717); 0 for any other key.
[[nodiscard]] char16_t menuKeyEquivalentCharacter(quint16 keyCode);
[[nodiscard]] bool isFunctionKeyCode(quint16 keyCode);
