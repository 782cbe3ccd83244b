#include "platform/KeyedUnarchiver.h"

#include "platform/KeyedArchiveFormat.h"
#include "platform/PlatformLog.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <cmath>
#include <vector>

namespace platform {

namespace {

constexpr double kMaxDateSeconds = 1e11; // about 3000 years either side of 2001; keeps the millisecond sum in range

QString describe(const QVariant &value)
{
    return QString::fromLatin1(value.isValid() ? value.typeName() : "nothing");
}

bool isNumber(int type)
{
    return type == QMetaType::LongLong || type == QMetaType::Double || type == QMetaType::Bool;
}

} // namespace

struct KeyedUnarchiver::Private
{
    struct Frame
    {
        QVariantMap keyed;
        QString className;
    };

    QVariantList objects;
    KeyedArchiveLimits limits;
    std::vector<Frame> frames;
    QHash<quint64, ArchivablePtr> decoded; // objects of registered classes, so that shared ones stay shared
    QSet<quint64> inProgress;
    qint64 values = 0;
    int depth = 0;
    QString error;

    bool failed() const { return !error.isEmpty(); }

    void fail(const QString &reason)
    {
        if (error.isEmpty())
            error = reason;
    }

    QVariant raw(const QString &key) const { return frames.back().keyed.value(archive::escapedKey(key)); }

    static bool isAllowed(const QString &className, const QStringList &allowed)
    {
        const QStringList chain = ArchiveClasses::hierarchy(className);
        for (const QString &name : chain) {
            if (allowed.contains(name))
                return true;
        }
        return false;
    }

    bool admit(const QString &className, const QStringList &allowed)
    {
        if (isAllowed(className, allowed))
            return true;
        fail(QStringLiteral("class %1 is not allowed here (allowed: %2)")
                 .arg(className, allowed.join(QStringLiteral(", "))));
        return false;
    }

    /// The UID a keyed value holds; false (and a failure) when it holds something else.
    bool referenceOf(const QVariant &value, const QString &key, quint64 *uid)
    {
        if (value.typeId() != qMetaTypeId<PropertyListUid>()) {
            fail(QStringLiteral("\"%1\" holds %2 where an object reference belongs").arg(key, describe(value)));
            return false;
        }
        *uid = value.value<PropertyListUid>().value;
        return true;
    }

    /// The class name named by an object's "$class" entry.
    bool classOf(const QVariantMap &object, QString *name)
    {
        const QVariant reference = object.value(QString::fromLatin1(archive::kClass));
        quint64 uid = 0;
        if (!referenceOf(reference, QString::fromLatin1(archive::kClass), &uid))
            return false;
        if (uid == 0 || uid >= quint64(objects.size())) {
            fail(QStringLiteral("class reference %1 out of range").arg(uid));
            return false;
        }
        const QVariantMap description = objects.at(qsizetype(uid)).toMap();
        const QVariant className = description.value(QString::fromLatin1(archive::kClassName));
        if (objects.at(qsizetype(uid)).typeId() != QMetaType::QVariantMap || className.typeId() != QMetaType::QString ||
            className.toString().isEmpty()) {
            fail(QStringLiteral("class reference %1 is not a class description").arg(uid));
            return false;
        }
        *name = className.toString();
        return true;
    }

    bool decodeReferenceList(const QVariant &list, const QString &key, const QStringList &allowed,
                             KeyedUnarchiver &coder, QVariantList *out)
    {
        if (list.typeId() != QMetaType::QVariantList) {
            fail(QStringLiteral("\"%1\" is not a list of references").arg(key));
            return false;
        }
        const QVariantList references = list.toList();
        out->reserve(references.size());
        for (const QVariant &reference : references) {
            quint64 uid = 0;
            if (!referenceOf(reference, key, &uid))
                return false;
            QVariant item = decodeUid(uid, allowed, coder);
            if (failed())
                return false;
            out->append(std::move(item));
        }
        return true;
    }

    QVariant decodeCollection(const QVariantMap &object, const QString &className, const QStringList &allowed,
                              KeyedUnarchiver &coder)
    {
        const QString objectsKey = QString::fromLatin1(archive::kObjects);
        if (className == QLatin1String("NSArray") || className == QLatin1String("NSMutableArray")) {
            QVariantList items;
            if (!decodeReferenceList(object.value(objectsKey), objectsKey, allowed, coder, &items))
                return {};
            return items;
        }
        if (className == QLatin1String("NSDictionary") || className == QLatin1String("NSMutableDictionary")) {
            const QString keysKey = QString::fromLatin1(archive::kKeys);
            // Keys are strings whatever the caller allows for the values.
            const QStringList keyClasses{QStringLiteral("NSString")};
            QVariantList keys;
            QVariantList items;
            if (!decodeReferenceList(object.value(keysKey), keysKey, keyClasses, coder, &keys) ||
                !decodeReferenceList(object.value(objectsKey), objectsKey, allowed, coder, &items))
                return {};
            if (keys.size() != items.size()) {
                fail(QStringLiteral("a dictionary has %1 keys but %2 values").arg(keys.size()).arg(items.size()));
                return {};
            }
            QVariantMap map;
            for (qsizetype i = 0; i < keys.size(); ++i) {
                if (keys.at(i).typeId() != QMetaType::QString) {
                    fail(QStringLiteral("a dictionary key is not a string"));
                    return {};
                }
                map.insert(keys.at(i).toString(), items.at(i));
            }
            return map;
        }
        if (className == QLatin1String("NSDate")) {
            const QVariant time = object.value(QString::fromLatin1(archive::kTime));
            if (!isNumber(time.typeId()) || time.typeId() == QMetaType::Bool) {
                fail(QStringLiteral("a date has no time"));
                return {};
            }
            const double seconds = time.toDouble();
            if (!std::isfinite(seconds) || std::fabs(seconds) > kMaxDateSeconds) {
                fail(QStringLiteral("a date lies out of range"));
                return {};
            }
            const auto msecs = static_cast<qint64>(std::llround((seconds + archive::kEpoch2001) * 1000.0));
            return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
        }
        fail(QStringLiteral("class %1 cannot be decoded").arg(className));
        return {};
    }

    QVariant decodeUid(quint64 uid, const QStringList &allowed, KeyedUnarchiver &coder)
    {
        if (failed())
            return {};
        if (uid >= quint64(objects.size())) {
            fail(QStringLiteral("object reference %1 out of range").arg(uid));
            return {};
        }
        if (uid == 0)
            return {}; // "$null"
        if (++values > limits.maxValues) {
            fail(QStringLiteral("more than %1 values").arg(limits.maxValues));
            return {};
        }
        const QVariant &object = objects.at(qsizetype(uid));
        switch (object.typeId()) {
        case QMetaType::QString:
            return admit(QStringLiteral("NSString"), allowed) ? object : QVariant();
        case QMetaType::QByteArray:
            return admit(QStringLiteral("NSData"), allowed) ? object : QVariant();
        case QMetaType::LongLong:
        case QMetaType::Bool:
            return admit(QStringLiteral("NSNumber"), allowed) ? object : QVariant();
        case QMetaType::Double:
            if (!std::isfinite(object.toDouble())) {
                fail(QStringLiteral("a number is not finite"));
                return {};
            }
            return admit(QStringLiteral("NSNumber"), allowed) ? object : QVariant();
        case QMetaType::QVariantMap:
            break;
        default:
            fail(QStringLiteral("object %1 is %2, not an object").arg(uid).arg(describe(object)));
            return {};
        }

        const QVariantMap keyed = object.toMap();
        QString className;
        if (!classOf(keyed, &className) || !admit(className, allowed))
            return {};
        if (inProgress.contains(uid)) {
            fail(QStringLiteral("cyclic reference to object %1 of class %2").arg(uid).arg(className));
            return {};
        }
        if (const auto it = decoded.constFind(uid); it != decoded.cend())
            return QVariant::fromValue(*it);
        if (depth >= limits.maxDepth) {
            fail(QStringLiteral("objects nested deeper than %1").arg(limits.maxDepth));
            return {};
        }

        ++depth;
        inProgress.insert(uid);
        QVariant result;
        if (const ArchiveDecodeFunction decode = ArchiveClasses::decodeFunction(className)) {
            frames.push_back({keyed, className});
            ArchivablePtr made = decode(coder);
            frames.pop_back();
            if (!made && !failed())
                fail(QStringLiteral("an object of class %1 was refused").arg(className));
            if (!failed()) {
                decoded.insert(uid, made);
                result = QVariant::fromValue(made);
            }
        } else {
            result = decodeCollection(keyed, className, allowed, coder);
        }
        inProgress.remove(uid);
        --depth;
        return failed() ? QVariant() : result;
    }

    /// A plain keyed value of one of the given kinds, either stored in place or referenced by UID.
    QVariant plainValue(const QString &key, int kind, const char *what)
    {
        if (failed())
            return {};
        QVariant value = raw(key);
        if (!value.isValid())
            return {};
        if (value.typeId() == qMetaTypeId<PropertyListUid>()) {
            const quint64 uid = value.value<PropertyListUid>().value;
            if (uid >= quint64(objects.size())) {
                fail(QStringLiteral("object reference %1 out of range").arg(uid));
                return {};
            }
            if (uid == 0)
                return {};
            value = objects.at(qsizetype(uid));
        }
        if (value.typeId() != kind) {
            fail(QStringLiteral("\"%1\" holds %2 where %3 belongs").arg(key, describe(value), QLatin1String(what)));
            return {};
        }
        return value;
    }

    /// A number stored in place (integers, reals and booleans convert into each other).
    QVariant number(const QString &key, bool finiteOnly = true)
    {
        if (failed())
            return {};
        const QVariant value = raw(key);
        if (!value.isValid())
            return {};
        if (!isNumber(value.typeId())) {
            fail(QStringLiteral("\"%1\" holds %2 where a number belongs").arg(key, describe(value)));
            return {};
        }
        if (finiteOnly && value.typeId() == QMetaType::Double && !std::isfinite(value.toDouble())) {
            fail(QStringLiteral("\"%1\" is not a finite number").arg(key));
            return {};
        }
        return value;
    }
};

KeyedUnarchiver::KeyedUnarchiver(std::unique_ptr<Private> p) : d(std::move(p)) {}

KeyedUnarchiver::~KeyedUnarchiver() = default;

QStringList KeyedUnarchiver::propertyListClasses()
{
    return {QStringLiteral("NSArray"),  QStringLiteral("NSDictionary"), QStringLiteral("NSString"),
            QStringLiteral("NSNumber"), QStringLiteral("NSData"),       QStringLiteral("NSDate")};
}

QVariant KeyedUnarchiver::unarchivedObjectOfClasses(const QStringList &classes, const QByteArray &data,
                                                    const KeyedArchiveLimits &limits)
{
    return unarchive(classes, data, limits, nullptr);
}

namespace {

// Checks the layout and fills the object table; on failure `d.error` says why.
QVariantMap openArchive(KeyedUnarchiver::Private &d, const QByteArray &data, const KeyedArchiveLimits &limits)
{
    const PropertyList::Parsed parsed = PropertyList::parse(data, limits.propertyList);
    const QVariantMap archiveMap = parsed.value.toMap();
    const QVariant objects = archiveMap.value(QString::fromLatin1(archive::kObjectsKey));
    const QVariant top = archiveMap.value(QString::fromLatin1(archive::kTopKey));
    if (!parsed.error.isEmpty()) {
        d.fail(QStringLiteral("not a property list (%1)").arg(parsed.error));
    } else if (parsed.value.typeId() != QMetaType::QVariantMap ||
               archiveMap.value(QString::fromLatin1(archive::kArchiverKey)).toString() !=
                   QLatin1String(archive::kArchiverName)) {
        d.fail(QStringLiteral("not a keyed archive"));
    } else if (archiveMap.value(QString::fromLatin1(archive::kVersionKey)) != QVariant(archive::kVersion)) {
        d.fail(QStringLiteral("unknown archive version"));
    } else if (objects.typeId() != QMetaType::QVariantList || top.typeId() != QMetaType::QVariantMap) {
        d.fail(QStringLiteral("no object table or top"));
    } else {
        d.objects = objects.toList();
        if (d.objects.isEmpty() || d.objects.first() != QVariant(QString::fromLatin1(archive::kNull)))
            d.fail(QStringLiteral("the object table does not begin with $null"));
        else if (d.objects.size() > limits.maxObjects)
            d.fail(QStringLiteral("more than %1 objects").arg(limits.maxObjects));
    }
    return d.failed() ? QVariantMap() : top.toMap();
}

} // namespace

namespace {
thread_local KeyedUnarchiver::QuietRefusals *t_quiet = nullptr;
} // namespace

void KeyedUnarchiver::reportRefusal(const QString &reason)
{
    if (t_quiet) {
        t_quiet->m_reason = reason;
        return;
    }
    qCWarning(lcPlatform).noquote() << QStringLiteral("KeyedUnarchiver: %1; nothing decoded").arg(reason);
}

KeyedUnarchiver::QuietRefusals::QuietRefusals() : m_previous(t_quiet)
{
    t_quiet = this;
}

KeyedUnarchiver::QuietRefusals::~QuietRefusals()
{
    t_quiet = m_previous;
}

QVariant KeyedUnarchiver::unarchive(const QStringList &classes, const QByteArray &data,
                                    const KeyedArchiveLimits &limits, bool (*matches)(const QVariant &))
{
    auto p = std::make_unique<Private>();
    p->limits = limits;
    Private &d = *p;
    KeyedUnarchiver coder(std::move(p));

    const QVariantMap top = openArchive(d, data, limits);
    QVariant root;
    if (!d.failed()) {
        d.frames.push_back({top, QString()});
        const QString rootKey = QString::fromLatin1(archive::kRoot);
        quint64 uid = 0;
        if (!coder.containsValueForKey(rootKey))
            d.fail(QStringLiteral("the top holds no root"));
        else if (d.referenceOf(d.raw(rootKey), rootKey, &uid))
            root = d.decodeUid(uid, classes, coder);
        if (!d.failed() && matches && !matches(root))
            d.fail(QStringLiteral("the root is %1, not of the class asked for").arg(describe(root)));
    }
    if (d.failed()) {
        reportRefusal(d.error);
        return {};
    }
    return root;
}

bool KeyedUnarchiver::unarchiveTopLevel(const QByteArray &data, const std::function<void(KeyedUnarchiver &)> &read,
                                        const KeyedArchiveLimits &limits)
{
    auto p = std::make_unique<Private>();
    p->limits = limits;
    Private &d = *p;
    KeyedUnarchiver coder(std::move(p));

    const QVariantMap top = openArchive(d, data, limits);
    if (!d.failed()) {
        d.frames.push_back({top, QString()});
        read(coder);
    }
    if (d.failed()) {
        reportRefusal(d.error);
        return false;
    }
    return true;
}

bool KeyedUnarchiver::containsValueForKey(const QString &key) const
{
    return d->frames.back().keyed.contains(archive::escapedKey(key));
}

QVariant KeyedUnarchiver::decodeObjectOfClasses(const QStringList &classes, const QString &key)
{
    if (d->failed() || !containsValueForKey(key))
        return {};
    quint64 uid = 0;
    if (!d->referenceOf(d->raw(key), key, &uid))
        return {};
    return d->decodeUid(uid, classes, *this);
}

QVariantList KeyedUnarchiver::decodeArrayOfObjectsOfClasses(const QStringList &classes, const QString &key)
{
    const QVariant value = decodeObjectOfClasses(QStringList(classes) << QStringLiteral("NSArray"), key);
    if (value.isValid() && value.typeId() != QMetaType::QVariantList)
        failWithError(QStringLiteral("\"%1\" holds %2 where a list belongs").arg(key, describe(value)));
    return d->failed() ? QVariantList() : value.toList();
}

QVariantMap KeyedUnarchiver::decodeDictionaryWithObjectsOfClasses(const QStringList &classes, const QString &key)
{
    const QVariant value = decodeObjectOfClasses(QStringList(classes) << QStringLiteral("NSDictionary"), key);
    if (value.isValid() && value.typeId() != QMetaType::QVariantMap)
        failWithError(QStringLiteral("\"%1\" holds %2 where a dictionary belongs").arg(key, describe(value)));
    return d->failed() ? QVariantMap() : value.toMap();
}

qint64 KeyedUnarchiver::decodeInt(const QString &key)
{
    const QVariant value = d->number(key);
    if (value.typeId() != QMetaType::Double)
        return value.toLongLong();
    const double real = value.toDouble();
    if (real >= 9223372036854775808.0 || real < -9223372036854775808.0) {
        d->fail(QStringLiteral("\"%1\" is out of the integer range").arg(key));
        return 0;
    }
    return static_cast<qint64>(real);
}

double KeyedUnarchiver::decodeDouble(const QString &key)
{
    return d->number(key).toDouble();
}

double KeyedUnarchiver::decodeUncheckedDouble(const QString &key)
{
    return d->number(key, false).toDouble();
}

bool KeyedUnarchiver::decodeBool(const QString &key)
{
    const QVariant value = d->number(key);
    return value.typeId() == QMetaType::Double ? value.toDouble() != 0.0 : value.toLongLong() != 0;
}

QString KeyedUnarchiver::decodeString(const QString &key)
{
    return d->plainValue(key, QMetaType::QString, "a string").toString();
}

QByteArray KeyedUnarchiver::decodeData(const QString &key)
{
    return d->plainValue(key, QMetaType::QByteArray, "data").toByteArray();
}

QRectF KeyedUnarchiver::decodeRect(const QString &key)
{
    const QVariant text = d->plainValue(key, QMetaType::QString, "a rectangle");
    if (!text.isValid())
        return {};
    const std::optional<QRectF> rect = archive::rectFromString(text.toString());
    if (!rect)
        d->fail(QStringLiteral("\"%1\" is not a rectangle").arg(key));
    return rect.value_or(QRectF());
}

QPointF KeyedUnarchiver::decodePoint(const QString &key)
{
    const QVariant text = d->plainValue(key, QMetaType::QString, "a point");
    if (!text.isValid())
        return {};
    const std::optional<QPointF> point = archive::pointFromString(text.toString());
    if (!point)
        d->fail(QStringLiteral("\"%1\" is not a point").arg(key));
    return point.value_or(QPointF());
}

QSizeF KeyedUnarchiver::decodeSize(const QString &key)
{
    const QVariant text = d->plainValue(key, QMetaType::QString, "a size");
    if (!text.isValid())
        return {};
    const std::optional<QSizeF> size = archive::sizeFromString(text.toString());
    if (!size)
        d->fail(QStringLiteral("\"%1\" is not a size").arg(key));
    return size.value_or(QSizeF());
}

QString KeyedUnarchiver::currentClassName() const
{
    return d->frames.back().className;
}

void KeyedUnarchiver::failWithError(const QString &reason)
{
    d->fail(reason);
}

bool KeyedUnarchiver::hasFailed() const
{
    return d->failed();
}

} // namespace platform
