#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

namespace platform {

/// A reference into a keyed archive's object table: the one property-list kind QVariant has no type for.
struct PropertyListUid
{
    quint64 value = 0;
    friend bool operator==(PropertyListUid, PropertyListUid) = default;
};

/// A dictionary written with its keys in the order they were inserted (a QVariantMap writes them sorted).
struct PropertyListOrderedMap
{
    QList<std::pair<QString, QVariant>> entries;

    /// Replaces the value of a key in its place, or appends the key.
    void insert(const QString &key, const QVariant &value);
};

enum class PropertyListFormat : int { Binary = 1, Xml = 2, PlainText = 3 };

/// Bounds checked before anything from outside is parsed.
struct PropertyListLimits
{
    qsizetype maxBytes = 64 * 1024 * 1024; // bytes of input
    int maxDepth = 128;                    // arrays and dictionaries inside each other
    qint64 maxValues = 4'000'000;          // values once shared objects are counted at every use
};

/// Reads binary, XML and the old plain-text property lists, and writes binary and XML ones. Values are QVariants of
/// qint64, double, bool, QString, QByteArray, QDateTime (UTC), QVariantList, QVariantMap and PropertyListUid;
/// integers and reals stay apart.
class PropertyList final
{
public:
    struct Parsed
    {
        QVariant value; // null on failure
        PropertyListFormat format = PropertyListFormat::Binary;
        QString error; // why it failed, for the caller's one log line
    };

    /// Parses without logging; the format is taken from the first bytes.
    [[nodiscard]] static Parsed parse(const QByteArray &data, const PropertyListLimits &limits = {});
    /// As parse, but logs one line on failure and returns a null QVariant.
    [[nodiscard]] static QVariant fromData(const QByteArray &data, const PropertyListLimits &limits = {});

    /// Null with one log line when a value has no property-list kind, a string holds a NUL character or a date lies
    /// outside 1932-12-13 to 2069-01-19 (what the file format library can write).
    [[nodiscard]] static std::optional<QByteArray> toBinary(const QVariant &value);
    [[nodiscard]] static std::optional<QByteArray> toXml(const QVariant &value);

    /// The value in its property-list kind: any integer becomes qint64, a float the double it widens to, a string
    /// list a QVariantList, a hash a QVariantMap. Null (without a log line) when it has no such kind or could not be
    /// written (see toBinary).
    [[nodiscard]] static QVariant normalized(const QVariant &value);
};

} // namespace platform

Q_DECLARE_METATYPE(platform::PropertyListUid)
Q_DECLARE_METATYPE(platform::PropertyListOrderedMap)
