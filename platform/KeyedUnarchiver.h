#pragma once

#include "platform/Archivable.h"
#include "platform/PropertyList.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace platform {

struct KeyedArchiveLimits
{
    PropertyListLimits propertyList; // the archive's bytes and property-list nesting
    int maxDepth = 100;              // objects and collections decoded inside each other
    qint64 maxObjects = 1'000'000;   // entries in "$objects"
    qint64 maxValues = 4'000'000;    // values decoded, an object shared by value counted at every use
};

/// Reads a keyed archive securely. Every object's class must be on the allow-list given where it is decoded (a
/// registered superclass on the list admits its subclasses; a collection's items are held to the same list), UIDs
/// must lie in range, references must not form a cycle, nesting and size stay within the limits and reals are
/// finite. Any violation fails the whole decode: one log line and a null result.
class KeyedUnarchiver final
{
public:
    ~KeyedUnarchiver();
    KeyedUnarchiver(const KeyedUnarchiver &) = delete;
    KeyedUnarchiver &operator=(const KeyedUnarchiver &) = delete;

    /// The object under "root": a string, qint64, double, bool, QByteArray, QDateTime, QVariantList, QVariantMap or
    /// an ArchivablePtr. Null with one log line when the archive is refused.
    [[nodiscard]] static QVariant unarchivedObjectOfClasses(const QStringList &classes, const QByteArray &data,
                                                            const KeyedArchiveLimits &limits = {});
    /// The root as T, registered as `className`; null with one log line otherwise.
    template <class T>
    [[nodiscard]] static std::shared_ptr<T> unarchivedObjectOfClass(const QString &className, const QByteArray &data,
                                                                    const KeyedArchiveLimits &limits = {});
    /// Reads an archive whose values were encoded straight into "$top" (on an archiver, before encodedData()):
    /// `read` decodes them from an unarchiver placed on "$top". False, with one log line, when the archive is
    /// refused, by the layout checks or by a failure while `read` runs.
    [[nodiscard]] static bool unarchiveTopLevel(const QByteArray &data,
                                                const std::function<void(KeyedUnarchiver &)> &read,
                                                const KeyedArchiveLimits &limits = {});
    /// The collection and value classes a property list holds: NSArray, NSDictionary, NSString, NSNumber, NSData
    /// and NSDate.
    [[nodiscard]] static QStringList propertyListClasses();

    // The keyed values of the object being decoded. A missing key reads null, 0, NO or empty; a value of the wrong
    // kind fails the decode.
    [[nodiscard]] bool containsValueForKey(const QString &key) const;
    [[nodiscard]] QVariant decodeObjectOfClasses(const QStringList &classes, const QString &key);
    template <class T>
    [[nodiscard]] std::shared_ptr<T> decodeObjectOfClass(const QString &className, const QString &key);
    /// A list whose items are held to `classes` (the list itself is admitted as NSArray).
    [[nodiscard]] QVariantList decodeArrayOfObjectsOfClasses(const QStringList &classes, const QString &key);
    /// A map with string keys whose values are held to `classes` (the map itself is admitted as NSDictionary).
    [[nodiscard]] QVariantMap decodeDictionaryWithObjectsOfClasses(const QStringList &classes, const QString &key);
    /// Integers, reals and booleans convert into each other; a real outside qint64 fails the decode.
    [[nodiscard]] qint64 decodeInt(const QString &key);
    [[nodiscard]] double decodeDouble(const QString &key);
    /// A real as stored, NaN and infinities included, for a value whose reader has its own rule for them.
    [[nodiscard]] double decodeUncheckedDouble(const QString &key);
    [[nodiscard]] bool decodeBool(const QString &key);
    [[nodiscard]] QString decodeString(const QString &key);
    [[nodiscard]] QByteArray decodeData(const QString &key);
    [[nodiscard]] QRectF decodeRect(const QString &key);
    [[nodiscard]] QPointF decodePoint(const QString &key);
    [[nodiscard]] QSizeF decodeSize(const QString &key);

    /// The class of the object being decoded, for a decode function that serves several classes.
    [[nodiscard]] QString currentClassName() const;

    /// While one is alive, refusals on this thread are kept here rather than logged: for a decoder that reads archives
    /// nested in its own and logs one line of its own when one of them is refused.
    class QuietRefusals final
    {
    public:
        QuietRefusals();
        ~QuietRefusals();
        QuietRefusals(const QuietRefusals &) = delete;
        QuietRefusals &operator=(const QuietRefusals &) = delete;

        /// The reason of the last refusal while this was alive; empty when none.
        [[nodiscard]] const QString &lastReason() const { return m_reason; }

    private:
        friend class KeyedUnarchiver;
        QuietRefusals *m_previous = nullptr; // not owned; the scope this one interrupts
        QString m_reason;
    };

    /// Refuses the archive; the first reason is the one logged.
    void failWithError(const QString &reason);
    [[nodiscard]] bool hasFailed() const;

    struct Private;

private:
    explicit KeyedUnarchiver(std::unique_ptr<Private> p);
    /// Logs the refusal, or keeps it for the innermost QuietRefusals of this thread.
    static void reportRefusal(const QString &reason);
    /// Decodes the root; `matches` (when given) must accept it, or the decode fails.
    [[nodiscard]] static QVariant unarchive(const QStringList &classes, const QByteArray &data,
                                            const KeyedArchiveLimits &limits, bool (*matches)(const QVariant &));

    std::unique_ptr<Private> d;
};

template <class T>
std::shared_ptr<T> KeyedUnarchiver::unarchivedObjectOfClass(const QString &className, const QByteArray &data,
                                                            const KeyedArchiveLimits &limits)
{
    const QVariant root =
        unarchive({className}, data, limits, [](const QVariant &v) { return archivableCast<T>(v) != nullptr; });
    return archivableCast<T>(root);
}

template <class T> std::shared_ptr<T> KeyedUnarchiver::decodeObjectOfClass(const QString &className, const QString &key)
{
    const QVariant value = decodeObjectOfClasses({className}, key);
    std::shared_ptr<T> object = archivableCast<T>(value);
    if (value.isValid() && !object)
        failWithError(QStringLiteral("the object for \"%1\" is not a %2").arg(key, className));
    return object;
}

} // namespace platform
