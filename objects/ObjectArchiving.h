#pragma once

#include "foundation/EdgeInsets.h"
#include "foundation/SrgbColor.h"
#include "objects/BezierPath.h"

#include <QString>

#include <optional>

namespace platform {
class KeyedArchiver;
class KeyedUnarchiver;
} // namespace platform

namespace inkora {

// The inner encodings of colours ("NSColor"), Bezier paths ("NSBezierPath") and edge insets ("NSValue") in keyed
// archives. docs/formats.md describes their keys.

inline constexpr char kColorClassName[] = "NSColor";
inline constexpr char kBezierPathClassName[] = "NSBezierPath";
inline constexpr char kValueClassName[] = "NSValue";

/// Registers the three classes with the archive class registry; safe to call any number of times.
void registerObjectArchiveClasses();

/// No colour is written as null.
void encodeColor(platform::KeyedArchiver &coder, const SrgbColor &color, const QString &key);
/// No colour when the key is missing or null; a malformed colour fails the decode.
[[nodiscard]] SrgbColor decodeColor(platform::KeyedUnarchiver &coder, const QString &key);

void encodeBezierPath(platform::KeyedArchiver &coder, const BezierPath &path, const QString &key);
/// Nothing when the key is missing or null; malformed elements fail the decode.
[[nodiscard]] std::optional<BezierPath> decodeBezierPath(platform::KeyedUnarchiver &coder, const QString &key);

void encodeEdgeInsets(platform::KeyedArchiver &coder, const EdgeInsets &insets, const QString &key);
/// Nothing when the key is missing or null; a value of another kind fails the decode.
[[nodiscard]] std::optional<EdgeInsets> decodeEdgeInsets(platform::KeyedUnarchiver &coder, const QString &key);

} // namespace inkora
