#pragma once

#include "platform/Archivable.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace platform {

/// Writes a keyed archive: a binary property list with "$archiver" "NSKeyedArchiver", "$version" 100000, "$top" and
/// "$objects" (beginning with "$null"), in which objects refer to each other by UID and name their class through a
/// "$class" entry. Strings, numbers and data are stored plainly; dates, lists and maps as NSDate, NSArray and
/// NSDictionary objects. An object reached twice is stored once; a cycle, a non-finite real or a value that cannot
/// be archived fails the archive.
class KeyedArchiver final
{
public:
    enum class Mutability : int { Immutable = 0, Mutable = 1 };

    /// Values encoded before encodedData() go into "$top".
    KeyedArchiver();
    ~KeyedArchiver();
    KeyedArchiver(const KeyedArchiver &) = delete;
    KeyedArchiver &operator=(const KeyedArchiver &) = delete;

    /// An archive with the object under "root"; null with one log line on failure.
    [[nodiscard]] static std::optional<QByteArray> archivedData(const Archivable &root);
    /// An archive with a value under "root": a string, number, data, date, list or map (whose items may be
    /// ArchivablePtr), or an ArchivablePtr.
    [[nodiscard]] static std::optional<QByteArray> archivedData(const QVariant &root);

    /// The finished archive; null with one log line when anything failed.
    [[nodiscard]] std::optional<QByteArray> encodedData();

    /// A null object is stored as "$null".
    void encodeObject(const Archivable *object, const QString &key);
    void encodeObject(const ArchivablePtr &object, const QString &key);
    void encodeObject(const QVariant &value, const QString &key);
    void encodeInt(qint64 value, const QString &key);
    void encodeDouble(double value, const QString &key);
    void encodeBool(bool value, const QString &key);
    void encodeString(const QString &value, const QString &key);
    void encodeData(const QByteArray &value, const QString &key);
    /// "{{x, y}, {w, h}}", in points.
    void encodeRect(const QRectF &rect, const QString &key);
    /// "{x, y}", in points.
    void encodePoint(const QPointF &point, const QString &key);
    /// "{w, h}", in points.
    void encodeSize(const QSizeF &size, const QString &key);
    void encodeArray(const QVariantList &items, const QString &key, Mutability mutability = Mutability::Immutable);
    void encodeDictionary(const QVariantMap &items, const QString &key, Mutability mutability = Mutability::Immutable);

    /// Refuses the archive; the first reason is the one logged.
    void failWithError(const QString &reason);
    [[nodiscard]] bool hasFailed() const;

    struct Private;

private:
    std::unique_ptr<Private> d;
};

} // namespace platform
