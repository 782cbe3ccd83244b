#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

namespace platform::archive {

// The standard keyed-archive layout, shared by the archiver and the unarchiver (described in docs/formats.md).
inline constexpr char kArchiverKey[] = "$archiver";
inline constexpr char kArchiverName[] = "NSKeyedArchiver";
inline constexpr char kVersionKey[] = "$version";
inline constexpr qint64 kVersion = 100000;
inline constexpr char kTopKey[] = "$top";
inline constexpr char kObjectsKey[] = "$objects";
inline constexpr char kRoot[] = "root";
inline constexpr char kNull[] = "$null";
inline constexpr char kClass[] = "$class";
inline constexpr char kClassName[] = "$classname";
inline constexpr char kClasses[] = "$classes";
inline constexpr char kObjects[] = "NS.objects";
inline constexpr char kKeys[] = "NS.keys";
inline constexpr char kTime[] = "NS.time";

inline constexpr double kEpoch2001 = 978307200.0; // seconds from 1970-01-01 to 2001-01-01, the dates' epoch
inline constexpr int kMaxDepth = 100;             // objects and collections inside each other

/// Keys beginning with "$" are the archive's own; an object's key of that form is stored with one more "$".
[[nodiscard]] QString escapedKey(const QString &key);

/// "{x, y}", "{w, h}" and "{{x, y}, {w, h}}" with the shortest text that reads back to the same doubles.
[[nodiscard]] QString pointString(const QPointF &point);
[[nodiscard]] QString sizeString(const QSizeF &size);
[[nodiscard]] QString rectString(const QRectF &rect);

/// Null unless the text has exactly that form with finite numbers (spaces around the parts are allowed).
[[nodiscard]] std::optional<QPointF> pointFromString(const QString &text);
[[nodiscard]] std::optional<QSizeF> sizeFromString(const QString &text);
[[nodiscard]] std::optional<QRectF> rectFromString(const QString &text);

} // namespace platform::archive
