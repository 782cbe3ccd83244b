#include "platform/KeyedArchiver.h"

#include "platform/KeyedArchiveFormat.h"
#include "platform/PlatformLog.h"
#include "platform/PropertyList.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <cmath>
#include <vector>

namespace platform {

struct KeyedArchiver::Private
{
    QVariantList objects{QString::fromLatin1(archive::kNull)};
    PropertyListOrderedMap top;
    std::vector<PropertyListOrderedMap *> frames; // the object whose keys are being written; the top first
    QHash<QString, quint64> strings;              // each distinct string stored once
    QHash<const Archivable *, quint64> archived;
    std::vector<ArchivablePtr> retained; // shared objects stay alive, so no later object reuses an address above
    QSet<const Archivable *> inProgress;
    QHash<QString, quint64> classes;
    QString error;
    int nesting = 0; // objects and collections being written inside each other
    bool finished = false;

    Private() { frames.push_back(&top); }

    void fail(const QString &reason)
    {
        if (error.isEmpty())
            error = reason;
    }

    void set(const QString &key, const QVariant &value)
    {
        if (!error.isEmpty())
            return;
        if (finished) {
            fail(QStringLiteral("a value for \"%1\" came after the archive was finished").arg(key));
            return;
        }
        frames.back()->insert(archive::escapedKey(key), value);
    }

    quint64 append(const QVariant &object)
    {
        objects.append(object);
        return quint64(objects.size() - 1);
    }

    QVariant uid(quint64 index) const { return QVariant::fromValue(PropertyListUid{index}); }

    quint64 classUid(const QString &name)
    {
        const auto it = classes.constFind(name);
        if (it != classes.cend())
            return *it;
        PropertyListOrderedMap entry;
        entry.insert(QString::fromLatin1(archive::kClassName), name);
        entry.insert(QString::fromLatin1(archive::kClasses), ArchiveClasses::hierarchy(name));
        const quint64 index = append(QVariant::fromValue(entry));
        classes.insert(name, index);
        return index;
    }

    quint64 storeString(const QString &text)
    {
        if (text.contains(QChar(0))) {
            fail(QStringLiteral("a string holds a NUL character"));
            return 0;
        }
        const auto it = strings.constFind(text);
        if (it != strings.cend())
            return *it;
        const quint64 index = append(text);
        strings.insert(text, index);
        return index;
    }

    /// The class reference goes after the object's own keys, as for archived objects.
    quint64 storeClassed(PropertyListOrderedMap object, const QString &className)
    {
        object.insert(QString::fromLatin1(archive::kClass), uid(classUid(className)));
        return append(QVariant::fromValue(object));
    }

    static PropertyListOrderedMap entries(std::initializer_list<std::pair<const char *, QVariant>> items)
    {
        PropertyListOrderedMap map;
        for (const auto &[key, value] : items)
            map.insert(QString::fromLatin1(key), value);
        return map;
    }

    quint64 storeObject(const Archivable *object, KeyedArchiver &coder)
    {
        if (!object || !error.isEmpty())
            return 0;
        const Nest nest(this);
        if (nest.tooDeep())
            return 0;
        const auto it = archived.constFind(object);
        if (it != archived.cend())
            return *it;
        const QString className = object->archiveClassName();
        if (inProgress.contains(object)) {
            fail(QStringLiteral("object of class %1 refers to itself").arg(className));
            return 0;
        }
        if (className.isEmpty() || className.startsWith(QLatin1Char('$'))) {
            fail(QStringLiteral("an object has no usable class name"));
            return 0;
        }
        // Reserve the slot first so that the object sits before what it refers to, as readers expect.
        const quint64 index = append(QVariant());
        inProgress.insert(object);
        PropertyListOrderedMap keyed; // keys in the order they are written
        frames.push_back(&keyed);
        object->encodeWithCoder(coder);
        frames.pop_back();
        inProgress.remove(object);
        keyed.insert(QString::fromLatin1(archive::kClass), uid(classUid(className)));
        objects[qsizetype(index)] = QVariant::fromValue(keyed);
        archived.insert(object, index);
        return index;
    }

    /// Counts one level of nesting while alive; the unarchiver refuses deeper archives, so they are never written.
    struct Nest
    {
        explicit Nest(Private *p) : p(p) { ++p->nesting; }
        ~Nest() { --p->nesting; }
        Nest(const Nest &) = delete;
        Nest &operator=(const Nest &) = delete;
        bool tooDeep() const
        {
            if (p->nesting <= archive::kMaxDepth)
                return false;
            p->fail(QStringLiteral("objects nested deeper than %1").arg(archive::kMaxDepth));
            return true;
        }
        Private *p;
    };

    quint64 storeValue(const QVariant &value, KeyedArchiver &coder, Mutability mutability = Mutability::Immutable)
    {
        if (!error.isEmpty() || !value.isValid())
            return 0;
        const int type = value.typeId();
        if (type == qMetaTypeId<ArchivablePtr>()) {
            const ArchivablePtr object = value.value<ArchivablePtr>();
            if (object)
                retained.push_back(object);
            return storeObject(object.get(), coder);
        }
        const Nest nest(this);
        if (nest.tooDeep())
            return 0;
        switch (type) {
        case QMetaType::QString:
            return storeString(value.toString());
        case QMetaType::Double:
        case QMetaType::Float:
            if (!std::isfinite(value.toDouble())) {
                fail(QStringLiteral("a real is not finite"));
                return 0;
            }
            return append(PropertyList::normalized(value));
        case QMetaType::QDateTime: {
            const QDateTime date = value.toDateTime();
            if (!date.isValid()) {
                fail(QStringLiteral("a date is invalid"));
                return 0;
            }
            const double seconds = double(date.toMSecsSinceEpoch()) / 1000.0 - archive::kEpoch2001;
            return storeClassed(entries({{archive::kTime, seconds}}), QStringLiteral("NSDate"));
        }
        case QMetaType::QVariantList:
        case QMetaType::QStringList: {
            QVariantList references;
            for (const QVariant &item : value.toList())
                references.append(uid(storeValue(item, coder)));
            return storeClassed(entries({{archive::kObjects, references}}), mutability == Mutability::Mutable
                                                                                ? QStringLiteral("NSMutableArray")
                                                                                : QStringLiteral("NSArray"));
        }
        case QMetaType::QVariantMap:
        case QMetaType::QVariantHash: {
            QVariantList keys;
            QVariantList references;
            const QVariantMap map = value.toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                keys.append(uid(storeString(it.key())));
                references.append(uid(storeValue(it.value(), coder)));
            }
            return storeClassed(entries({{archive::kKeys, keys}, {archive::kObjects, references}}),
                                mutability == Mutability::Mutable ? QStringLiteral("NSMutableDictionary")
                                                                  : QStringLiteral("NSDictionary"));
        }
        default: {
            const QVariant plain = PropertyList::normalized(value);
            const int plainType = plain.typeId();
            if (plainType == QMetaType::LongLong || plainType == QMetaType::Bool || plainType == QMetaType::QByteArray)
                return append(plain);
            fail(QStringLiteral("a value of type %1 cannot be archived")
                     .arg(QString::fromLatin1(value.isValid() ? value.typeName() : "(none)")));
            return 0;
        }
        }
    }

    bool finiteOrFail(std::initializer_list<double> values)
    {
        for (const double v : values) {
            if (!std::isfinite(v)) {
                fail(QStringLiteral("a geometry value is not finite"));
                return false;
            }
        }
        return true;
    }
};

KeyedArchiver::KeyedArchiver() : d(std::make_unique<Private>()) {}

KeyedArchiver::~KeyedArchiver() = default;

std::optional<QByteArray> KeyedArchiver::archivedData(const Archivable &root)
{
    KeyedArchiver archiver;
    archiver.encodeObject(&root, QString::fromLatin1(archive::kRoot));
    return archiver.encodedData();
}

std::optional<QByteArray> KeyedArchiver::archivedData(const QVariant &root)
{
    KeyedArchiver archiver;
    archiver.encodeObject(root, QString::fromLatin1(archive::kRoot));
    return archiver.encodedData();
}

std::optional<QByteArray> KeyedArchiver::encodedData()
{
    d->finished = true;
    if (d->error.isEmpty()) {
        const PropertyListOrderedMap archiveMap = Private::entries({
            {archive::kArchiverKey, QString::fromLatin1(archive::kArchiverName)},
            {archive::kVersionKey, archive::kVersion},
            {archive::kTopKey, QVariant::fromValue(d->top)},
            {archive::kObjectsKey, d->objects},
        });
        return PropertyList::toBinary(QVariant::fromValue(archiveMap));
    }
    qCWarning(lcPlatform).noquote() << QStringLiteral("KeyedArchiver: %1; nothing written").arg(d->error);
    return std::nullopt;
}

void KeyedArchiver::encodeObject(const Archivable *object, const QString &key)
{
    if (d->error.isEmpty())
        d->set(key, d->uid(d->storeObject(object, *this)));
}

void KeyedArchiver::encodeObject(const ArchivablePtr &object, const QString &key)
{
    if (object)
        d->retained.push_back(object);
    encodeObject(object.get(), key);
}

void KeyedArchiver::encodeObject(const QVariant &value, const QString &key)
{
    if (d->error.isEmpty())
        d->set(key, d->uid(d->storeValue(value, *this)));
}

void KeyedArchiver::encodeInt(qint64 value, const QString &key)
{
    d->set(key, QVariant(value));
}

void KeyedArchiver::encodeDouble(double value, const QString &key)
{
    if (d->finiteOrFail({value}))
        d->set(key, QVariant(value));
}

void KeyedArchiver::encodeBool(bool value, const QString &key)
{
    d->set(key, QVariant(value));
}

void KeyedArchiver::encodeString(const QString &value, const QString &key)
{
    encodeObject(QVariant(value), key);
}

void KeyedArchiver::encodeData(const QByteArray &value, const QString &key)
{
    encodeObject(QVariant(value), key);
}

void KeyedArchiver::encodeRect(const QRectF &rect, const QString &key)
{
    if (d->finiteOrFail({rect.x(), rect.y(), rect.width(), rect.height()}))
        encodeString(archive::rectString(rect), key);
}

void KeyedArchiver::encodePoint(const QPointF &point, const QString &key)
{
    if (d->finiteOrFail({point.x(), point.y()}))
        encodeString(archive::pointString(point), key);
}

void KeyedArchiver::encodeSize(const QSizeF &size, const QString &key)
{
    if (d->finiteOrFail({size.width(), size.height()}))
        encodeString(archive::sizeString(size), key);
}

void KeyedArchiver::encodeArray(const QVariantList &items, const QString &key, Mutability mutability)
{
    if (d->error.isEmpty())
        d->set(key, d->uid(d->storeValue(items, *this, mutability)));
}

void KeyedArchiver::encodeDictionary(const QVariantMap &items, const QString &key, Mutability mutability)
{
    if (d->error.isEmpty())
        d->set(key, d->uid(d->storeValue(items, *this, mutability)));
}

void KeyedArchiver::failWithError(const QString &reason)
{
    d->fail(reason);
}

bool KeyedArchiver::hasFailed() const
{
    return !d->error.isEmpty();
}

} // namespace platform
