#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <span>

namespace inkora {

/// How a listed setting is stored.
enum class SettingKind : int { Integer, Double, Bool, ColourString, FontName };

/// One setting that presets carry and Restore Defaults removes.
struct SettingsKeyRow
{
    const char *key;
    SettingKind kind;
    std::optional<double> registeredDefault; // none: the key reads 0, NO or nil until written
    void (*liveCopy)();                      // copies the stored value into live state; null where it is read on use
};

/// The 104 fixed settings keys, in list order.
[[nodiscard]] std::span<const SettingsKeyRow> settingsKeyTable();
/// The row of a listed key; null for a key outside the list.
[[nodiscard]] const SettingsKeyRow *settingsKeyRow(const QString &key);
/// The fixed keys, then "wb_%ld" and "wbHidden_%ld" for each canvas index in the order given.
[[nodiscard]] QStringList settingsKeysForCanvasIndexes(std::span<const qint64> indexes);

} // namespace inkora
