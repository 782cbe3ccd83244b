#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// The shortcut preset's keys, its reading from a file and the check of its whole content before anything of it is
// applied. A preset comes from anywhere: a file in the presets folder, an imported one, or a settings preset.
namespace inkora {

inline const QString kPresetAppVersion = QStringLiteral("AppVersion");
inline const QString kPresetShortcuts = QStringLiteral("PresetShortcuts");
inline const QString kPresetSingleKeyActions = QStringLiteral("PresetSingleKeyActions");
inline const QString kPresetCustomTextBadges = QStringLiteral("PresetCustomTextBadges");
inline const QString kPresetCustomColorSwatches = QStringLiteral("PresetCustomColorSwatches");
inline const QString kPresetUseFnShortcutsInGhostMode = QStringLiteral("PresetUseFnShortcutsInGhostMode");
inline const QString kShortcutPresetExtension = QStringLiteral("ikshortcuts");

constexpr qsizetype kShortcutPresetMaxBytes = 1024 * 1024; // a preset file of more is not read
constexpr int kShortcutPresetMaxDepth = 8;                 // arrays and dictionaries inside each other
/// The value of a slot entry that is no whole number: no action carries it.
constexpr qint64 kNoSuchAction = -1;

/// The property list of a preset file as it was parsed, of any kind; null when there is no file, it is too large
/// or too deep, or it cannot be parsed (one log line). A format other than binary is logged and returned.
[[nodiscard]] QVariant shortcutPresetFromData(const QByteArray &data);
[[nodiscard]] QVariant shortcutPresetWithPath(const QString &path);

/// The preset with every key the pane reads checked: shortcut strings that parse, numbers as qint64 (a decimal
/// string of the old plain-text format counts as its number), strings in the badge and swatch arrays. Null when the
/// root is no dictionary or is empty (`refusal` stays empty), or when a key holds the wrong kind (`refusal` names
/// the key and what it holds). Keys the pane does not read are left as they are.
[[nodiscard]] std::optional<QVariantMap> checkedShortcutPreset(const QVariant &preset, QString *refusal = nullptr);

/// A number of any property-list kind, or a decimal string; none for anything else or a value that is not finite.
[[nodiscard]] std::optional<double> presetNumber(const QVariant &value);

} // namespace inkora
