#pragma once

#include "foundation/SrgbColor.h"

#include <QString>

#include <memory>

class KQShortCut;
namespace platform {
class Defaults;
}

/// Colours and shortcuts in the settings store, in their text forms: a colour as its sRGB component string, a
/// shortcut as its Base64 string. Values in the older archived forms are migrated to the text forms when read.
namespace ShortcutEncode {

/// Stores the colour's string form; no colour removes the key.
void setSRGBColorForKey(platform::Defaults &defaults, const inkora::SrgbColor &color, const QString &key);
/// The colour stored under the key; no colour for a missing key, a malformed string or another kind of value.
[[nodiscard]] inkora::SrgbColor srgbColorForKey(platform::Defaults &defaults, const QString &key);

/// Stores the shortcut's string form; null removes the key. Does not synchronise.
void setShortcutForKey(platform::Defaults &defaults, const std::shared_ptr<KQShortCut> &shortCut, const QString &key);
/// The shortcut stored under the key: a string is parsed; archived data is read and written back as a string (the
/// key is removed when nothing could be read); null for nothing stored or another kind of value.
[[nodiscard]] std::shared_ptr<KQShortCut> shortcutForKey(platform::Defaults &defaults, const QString &key);
/// The shortcut an older archive holds; null when the data is no such archive.
[[nodiscard]] std::shared_ptr<KQShortCut> unarchivedShortCut(const QByteArray &data);

} // namespace ShortcutEncode
