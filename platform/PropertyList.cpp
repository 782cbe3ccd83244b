#include "platform/PropertyList.h"

#include "platform/PlainTextPropertyList.h"
#include "platform/PlatformLog.h"
#include "platform/PropertyListCheck.h"

#include <QDateTime>
#include <QStringList>
#include <QVariantHash>
#include <QVariantList>
#include <QVariantMap>

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace platform {

namespace {

struct PlistFree
{
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

struct BinaryFree
{
    void operator()(char *bytes) const { plist_to_bin_free(bytes); }
};
struct XmlFree
{
    void operator()(char *bytes) const { plist_to_xml_free(bytes); }
};
struct MallocFree
{
    void operator()(void *p) const { std::free(p); }
};

constexpr qint64 kEpoch2001 = 978307200; // seconds from 1970-01-01 to 2001-01-01, the property-list epoch
constexpr int kWriteDepth = 512;         // nesting of values we write; deeper is a programming error

bool isIntegerType(int type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

/// Seconds and microseconds since 2001, as the date writer takes them; false outside its 32-bit range.
bool splitDate(const QDateTime &date, qint32 *seconds, qint32 *micros)
{
    if (!date.isValid())
        return false;
    const qint64 msecs = date.toMSecsSinceEpoch() - kEpoch2001 * 1000;
    const qint64 whole = msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
    if (whole < std::numeric_limits<qint32>::min() || whole > std::numeric_limits<qint32>::max())
        return false;
    *seconds = qint32(whole);
    *micros = qint32((msecs - whole * 1000) * 1000);
    return true;
}

bool isWritableDate(const QDateTime &date)
{
    qint32 seconds = 0;
    qint32 micros = 0;
    return splitDate(date, &seconds, &micros);
}

} // namespace

void PropertyListOrderedMap::insert(const QString &key, const QVariant &value)
{
    for (auto &entry : entries) {
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    }
    entries.append({key, value});
}

namespace {

QVariant normalize(const QVariant &value, int depth)
{
    if (depth > kWriteDepth)
        return {};
    const int type = value.typeId();
    if (type == QMetaType::ULongLong || type == QMetaType::ULong) {
        const qulonglong u = value.toULongLong();
        if (u > qulonglong(std::numeric_limits<qint64>::max()))
            return {};
        return QVariant(qint64(u));
    }
    if (isIntegerType(type))
        return QVariant(value.toLongLong());
    switch (type) {
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::QByteArray:
        return value;
    case QMetaType::QString:
        return value.toString().contains(QChar(0)) ? QVariant() : value;
    case QMetaType::Float:
        return QVariant(static_cast<double>(value.toFloat()));
    case QMetaType::QDateTime:
        return isWritableDate(value.toDateTime()) ? QVariant(value.toDateTime().toUTC()) : QVariant();
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QVariantList list;
        const QVariantList source = value.toList();
        list.reserve(source.size());
        for (const QVariant &item : source) {
            QVariant normal = normalize(item, depth + 1);
            if (!normal.isValid())
                return {};
            list.append(std::move(normal));
        }
        return list;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it) {
            QVariant normal = normalize(it.value(), depth + 1);
            if (!normal.isValid())
                return {};
            map.insert(it.key(), std::move(normal));
        }
        return map;
    }
    default:
        if (type == qMetaTypeId<PropertyListUid>())
            return value;
        if (type == qMetaTypeId<PropertyListOrderedMap>()) {
            PropertyListOrderedMap map;
            for (const auto &[key, item] : value.value<PropertyListOrderedMap>().entries) {
                QVariant normal = normalize(item, depth + 1);
                if (!normal.isValid())
                    return {};
                map.entries.append({key, std::move(normal)});
            }
            return QVariant::fromValue(map);
        }
        return {};
    }
}

/// Builds a libplist node; on failure sets `error` and returns null.
PlistPtr toNode(const QVariant &value, int depth, QString *error)
{
    if (depth > kWriteDepth) {
        *error = QStringLiteral("values nested deeper than %1").arg(kWriteDepth);
        return nullptr;
    }
    const int type = value.typeId();
    if (isIntegerType(type)) {
        const QVariant normal = normalize(value, depth);
        if (!normal.isValid()) {
            *error = QStringLiteral("integer %1 out of range").arg(value.toString());
            return nullptr;
        }
        // libplist keeps integers as 64 bits; a negative value is its two's complement.
        return PlistPtr(plist_new_uint(static_cast<quint64>(normal.toLongLong())));
    }
    switch (type) {
    case QMetaType::Bool:
        return PlistPtr(plist_new_bool(value.toBool() ? 1 : 0));
    case QMetaType::Double:
    case QMetaType::Float:
        return PlistPtr(plist_new_real(normalize(value, depth).toDouble()));
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.contains(QChar(0))) {
            *error = QStringLiteral("string holds a NUL character");
            return nullptr;
        }
        return PlistPtr(plist_new_string(text.toUtf8().constData()));
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return PlistPtr(plist_new_data(bytes.constData(), quint64(bytes.size())));
    }
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        qint32 seconds = 0;
        qint32 micros = 0;
        if (!splitDate(date, &seconds, &micros)) {
            *error = QStringLiteral("date %1 outside the writable range").arg(date.toString(Qt::ISODate));
            return nullptr;
        }
        return PlistPtr(plist_new_date(seconds, micros));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        PlistPtr array(plist_new_array());
        const QVariantList list = value.toList();
        for (const QVariant &item : list) {
            PlistPtr child = toNode(item, depth + 1, error);
            if (!child)
                return nullptr;
            plist_array_append_item(array.get(), child.release()); // the array owns it now
        }
        return array;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        PlistPtr dict(plist_new_dict());
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (it.key().contains(QChar(0))) {
                *error = QStringLiteral("dictionary key holds a NUL character");
                return nullptr;
            }
            PlistPtr child = toNode(it.value(), depth + 1, error);
            if (!child)
                return nullptr;
            plist_dict_set_item(dict.get(), it.key().toUtf8().constData(), child.release());
        }
        return dict;
    }
    default:
        if (type == qMetaTypeId<PropertyListUid>())
            return PlistPtr(plist_new_uid(value.value<PropertyListUid>().value));
        if (type == qMetaTypeId<PropertyListOrderedMap>()) {
            PlistPtr dict(plist_new_dict());
            for (const auto &[key, item] : value.value<PropertyListOrderedMap>().entries) {
                if (key.contains(QChar(0))) {
                    *error = QStringLiteral("dictionary key holds a NUL character");
                    return nullptr;
                }
                PlistPtr child = toNode(item, depth + 1, error);
                if (!child)
                    return nullptr;
                plist_dict_set_item(dict.get(), key.toUtf8().constData(), child.release());
            }
            return dict;
        }
        *error = QStringLiteral("a value of type %1 has no property-list kind")
                     .arg(QString::fromLatin1(value.isValid() ? value.typeName() : "(none)"));
        return nullptr;
    }
}

/// XML has no element for UIDs: they are written as a dictionary holding the single integer "CF$UID".
bool isXmlUid(plist_t node)
{
    if (plist_dict_get_size(node) != 1)
        return false;
    const plist_t value = plist_dict_get_item(node, "CF$UID");
    return value && plist_get_node_type(value) == PLIST_UINT;
}

QVariant fromNode(plist_t node, int depth, const PropertyListLimits &limits, QString *error)
{
    if (depth > limits.maxDepth) {
        *error = QStringLiteral("nested deeper than %1").arg(limits.maxDepth);
        return {};
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return QVariant(b != 0);
    }
    case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return QVariant(static_cast<qint64>(u));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return QVariant(d);
    }
    case PLIST_KEY:
    case PLIST_STRING: {
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        if (text == nullptr) {
            // Keys carry no buffer pointer in this libplist; copy them out instead.
            char *copy = nullptr;
            plist_get_key_val(node, &copy);
            const std::unique_ptr<char, MallocFree> owner(copy);
            return QString::fromUtf8(copy ? copy : "");
        }
        return QString::fromUtf8(text, qsizetype(length));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char *bytes = plist_get_data_ptr(node, &length);
        return QByteArray(bytes ? bytes : "", bytes ? qsizetype(length) : 0);
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t micros = 0;
        plist_get_date_val(node, &seconds, &micros);
        const qint64 msecs = (kEpoch2001 + seconds) * 1000 + micros / 1000;
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    }
    case PLIST_UID: {
        uint64_t uid = 0;
        plist_get_uid_val(node, &uid);
        return QVariant::fromValue(PropertyListUid{uid});
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        list.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            QVariant item = fromNode(plist_array_get_item(node, i), depth + 1, limits, error);
            if (!item.isValid())
                return {};
            list.append(std::move(item));
        }
        return list;
    }
    case PLIST_DICT: {
        if (isXmlUid(node)) {
            uint64_t uid = 0;
            plist_get_uint_val(plist_dict_get_item(node, "CF$UID"), &uid);
            return QVariant::fromValue(PropertyListUid{uid});
        }
        QVariantMap map;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        const std::unique_ptr<void, MallocFree> iterOwner(iter);
        while (true) {
            char *rawKey = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iter, &rawKey, &item);
            const std::unique_ptr<char, MallocFree> key(rawKey);
            if (!item)
                break;
            QVariant value = fromNode(item, depth + 1, limits, error);
            if (!value.isValid())
                return {};
            map.insert(QString::fromUtf8(rawKey ? rawKey : ""), std::move(value));
        }
        return map;
    }
    case PLIST_NONE:
    default:
        *error = QStringLiteral("value of unknown kind");
        return {};
    }
}

bool looksLikeXml(const QByteArray &data)
{
    qsizetype i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < data.size() && (data.at(i) == ' ' || data.at(i) == '\t' || data.at(i) == '\r' || data.at(i) == '\n'))
        ++i;
    const QByteArray head = data.mid(i, 6);
    return head.startsWith("<?xml") || head.startsWith("<!") || head.startsWith("<plist");
}

} // namespace

PropertyList::Parsed PropertyList::parse(const QByteArray &data, const PropertyListLimits &limits)
{
    Parsed result;
    if (data.isEmpty()) {
        result.error = QStringLiteral("empty data");
        return result;
    }
    if (data.size() > limits.maxBytes) {
        result.error = QStringLiteral("%1 bytes exceed the limit of %2").arg(data.size()).arg(limits.maxBytes);
        return result;
    }
    plist_t raw = nullptr;
    if (data.startsWith("bplist")) {
        result.format = PropertyListFormat::Binary;
        result.error = checkBinaryPropertyList(data, limits);
        if (!result.error.isEmpty())
            return result;
        plist_from_bin(data.constData(), uint32_t(data.size()), &raw);
    } else if (looksLikeXml(data)) {
        result.format = PropertyListFormat::Xml;
        result.error = checkXmlPropertyList(data, limits);
        if (!result.error.isEmpty())
            return result;
        plist_from_xml(data.constData(), uint32_t(data.size()), &raw);
    } else {
        result.format = PropertyListFormat::PlainText;
        result.value = parsePlainTextPropertyList(data, limits, &result.error);
        return result;
    }
    const PlistPtr root(raw);
    if (!root) {
        result.error = result.format == PropertyListFormat::Binary ? QStringLiteral("malformed binary property list")
                                                                   : QStringLiteral("malformed XML property list");
        return result;
    }
    result.value = fromNode(root.get(), 0, limits, &result.error);
    if (!result.value.isValid() && result.error.isEmpty())
        result.error = QStringLiteral("no value");
    return result;
}

QVariant PropertyList::fromData(const QByteArray &data, const PropertyListLimits &limits)
{
    Parsed parsed = parse(data, limits);
    if (!parsed.value.isValid()) {
        qCWarning(lcPlatform).noquote() << QStringLiteral("PropertyList::fromData: %1; nothing read").arg(parsed.error);
        return {};
    }
    return std::move(parsed.value);
}

std::optional<QByteArray> PropertyList::toBinary(const QVariant &value)
{
    QString error;
    const PlistPtr root = toNode(value, 0, &error);
    if (!root) {
        qCWarning(lcPlatform).noquote() << QStringLiteral("PropertyList::toBinary: %1; nothing written").arg(error);
        return std::nullopt;
    }
    char *raw = nullptr;
    uint32_t length = 0;
    plist_to_bin(root.get(), &raw, &length);
    const std::unique_ptr<char, BinaryFree> bytes(raw);
    if (!bytes) {
        qCWarning(lcPlatform) << "PropertyList::toBinary: the writer failed; nothing written";
        return std::nullopt;
    }
    return QByteArray(bytes.get(), qsizetype(length));
}

std::optional<QByteArray> PropertyList::toXml(const QVariant &value)
{
    QString error;
    const PlistPtr root = toNode(value, 0, &error);
    if (!root) {
        qCWarning(lcPlatform).noquote() << QStringLiteral("PropertyList::toXml: %1; nothing written").arg(error);
        return std::nullopt;
    }
    char *raw = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &raw, &length);
    const std::unique_ptr<char, XmlFree> bytes(raw);
    if (!bytes) {
        qCWarning(lcPlatform) << "PropertyList::toXml: the writer failed; nothing written";
        return std::nullopt;
    }
    return QByteArray(bytes.get(), qsizetype(length));
}

QVariant PropertyList::normalized(const QVariant &value)
{
    return normalize(value, 0);
}

} // namespace platform
