#include "platform/PropertyList.h"

#include "tests/support/InkoraFixture.h"
#include "tests/support/PythonReader.h"

#include <QDateTime>
#include <QPoint>
#include <QStringList>

#include <optional>
#include <vector>

using platform::PropertyList;
using platform::PropertyListFormat;
using platform::PropertyListLimits;
using platform::PropertyListUid;

namespace {

QVariantMap sampleOfEveryKind(bool wholeSecondDates)
{
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(wholeSecondDates ? 1700000000000 : 1700000000250, Qt::UTC);
    return {
        {QStringLiteral("int"), QVariant(qint64(42))},
        {QStringLiteral("negative"), QVariant(qint64(-7))},
        {QStringLiteral("large"), QVariant(qint64(1) << 40)},
        {QStringLiteral("realWhole"), QVariant(1.0)},
        {QStringLiteral("real"), QVariant(0.33000001311302185)},
        {QStringLiteral("yes"), QVariant(true)},
        {QStringLiteral("no"), QVariant(false)},
        {QStringLiteral("text"), QVariant(QStringLiteral("h\u00e9llo \u2603 <&>"))},
        {QStringLiteral("empty"), QVariant(QString())},
        {QStringLiteral("data"), QVariant(QByteArray("\x00\x01\xff", 3))},
        {QStringLiteral("date"), QVariant(date)},
        {QStringLiteral("uid"), QVariant::fromValue(PropertyListUid{300})},
        {QStringLiteral("list"), QVariantList{qint64(1), QStringLiteral("two"), QVariantList{}, QVariantMap{}}},
        {QStringLiteral("map"), QVariantMap{{QStringLiteral("inner"), QVariantList{2.5, false}}}},
    };
}

/// Every value compared with its kind, so that 1.0 read back as the integer 1 fails.
void expectSameKinds(const QVariant &actual, const QVariant &expected, const QString &path = QStringLiteral("root"))
{
    SCOPED_TRACE(qPrintable(path));
    ASSERT_EQ(actual.typeId(), expected.typeId()) << actual.typeName() << " vs " << expected.typeName();
    if (expected.typeId() == QMetaType::QVariantList) {
        const QVariantList a = actual.toList();
        const QVariantList e = expected.toList();
        ASSERT_EQ(a.size(), e.size());
        for (qsizetype i = 0; i < e.size(); ++i)
            expectSameKinds(a[i], e[i], path + QStringLiteral("/%1").arg(i));
    } else if (expected.typeId() == QMetaType::QVariantMap) {
        const QVariantMap a = actual.toMap();
        const QVariantMap e = expected.toMap();
        ASSERT_EQ(a.keys(), e.keys());
        for (auto it = e.cbegin(); it != e.cend(); ++it)
            expectSameKinds(a.value(it.key()), it.value(), path + QLatin1Char('/') + it.key());
    } else if (expected.typeId() == qMetaTypeId<PropertyListUid>()) {
        EXPECT_EQ(actual.value<PropertyListUid>().value, expected.value<PropertyListUid>().value);
    } else {
        EXPECT_EQ(actual, expected) << qPrintable(actual.toString()) << " vs " << qPrintable(expected.toString());
    }
}

/// A binary property list from raw objects: 1-byte references, 2-byte offsets, object 0 on top.
QByteArray assembleBinary(const std::vector<QByteArray> &objects)
{
    QByteArray out("bplist00");
    std::vector<int> offsets;
    for (const QByteArray &object : objects) {
        offsets.push_back(int(out.size()));
        out += object;
    }
    const int table = int(out.size());
    for (const int offset : offsets) {
        out.append(char(offset >> 8));
        out.append(char(offset & 0xFF));
    }
    auto appendBigEndian = [&](quint64 value) {
        for (int shift = 56; shift >= 0; shift -= 8)
            out.append(char((value >> shift) & 0xFF));
    };
    out.append(QByteArray(6, '\0'));
    out.append(char(2)); // offset size
    out.append(char(1)); // reference size
    appendBigEndian(objects.size());
    appendBigEndian(0);
    appendBigEndian(quint64(table));
    return out;
}

QVariant nestedLists(int depth)
{
    QVariant value = qint64(1);
    for (int i = 0; i < depth; ++i)
        value = QVariantList{value};
    return value;
}

class PropertyListTest : public InkoraFixture
{
};

TEST_F(PropertyListTest, BinaryAndXmlRoundTripsKeepEveryKind)
{
    struct Row
    {
        const char *name;
        std::optional<QByteArray> (*write)(const QVariant &);
        PropertyListFormat format;
        bool wholeSecondDates; // XML dates carry no fractions of a second
    };
    const Row rows[] = {
        {"binary", &PropertyList::toBinary, PropertyListFormat::Binary, false},
        {"xml", &PropertyList::toXml, PropertyListFormat::Xml, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QVariantMap sample = sampleOfEveryKind(row.wholeSecondDates);
        const std::optional<QByteArray> bytes = row.write(sample);
        ASSERT_TRUE(bytes.has_value());
        const PropertyList::Parsed parsed = PropertyList::parse(*bytes);
        ASSERT_TRUE(parsed.error.isEmpty()) << qPrintable(parsed.error);
        EXPECT_EQ(parsed.format, row.format);
        expectSameKinds(parsed.value, sample);
    }
}

TEST_F(PropertyListTest, NormalizedGivesPropertyListKinds)
{
    EXPECT_EQ(PropertyList::normalized(QVariant(int(5))).typeId(), QMetaType::LongLong);
    EXPECT_EQ(PropertyList::normalized(QVariant(0.33f)), QVariant(0.33000001311302185));
    EXPECT_EQ(PropertyList::normalized(QVariant(QStringList{QStringLiteral("a")})),
              QVariant(QVariantList{QStringLiteral("a")}));
    EXPECT_FALSE(PropertyList::normalized(QVariant(QPoint(1, 2))).isValid());
    EXPECT_FALSE(PropertyList::normalized(QVariant(QVariantList{QPoint(1, 2)})).isValid());
    EXPECT_FALSE(PropertyList::normalized(QVariant(quint64(1) << 63)).isValid());
}

TEST_F(PropertyListTest, WritingValueWithoutKindFailsWithOneLogLine)
{
    log().expectWarning(QStringLiteral("PropertyList::toBinary"));
    EXPECT_FALSE(PropertyList::toBinary(QVariantMap{{QStringLiteral("p"), QPoint(1, 2)}}).has_value());
    EXPECT_FALSE(PropertyList::toBinary(QString(QChar(0))).has_value());
    const QDateTime tooEarly = QDateTime::fromString(QStringLiteral("1900-01-01T00:00:00Z"), Qt::ISODate);
    EXPECT_FALSE(PropertyList::toBinary(tooEarly).has_value());
    EXPECT_EQ(log().count(QStringLiteral("PropertyList::toBinary")), 3);
}

TEST_F(PropertyListTest, ReadsPlainTextFormat)
{
    const QByteArray text = R"(// settings of an older version
        {
            Name = "Line\none \"quoted\" \U00e9\101";
            Bare = com.example-1.5/x;
            /* nested */ List = (1, two, (), {}, );
            Data = <0fbd 77>;
            "Empty" = "";
        })";
    const PropertyList::Parsed parsed = PropertyList::parse(text);
    ASSERT_TRUE(parsed.error.isEmpty()) << qPrintable(parsed.error);
    EXPECT_EQ(parsed.format, PropertyListFormat::PlainText);
    const QVariantMap expected{
        {QStringLiteral("Name"), QStringLiteral("Line\none \"quoted\" \u00e9A")},
        {QStringLiteral("Bare"), QStringLiteral("com.example-1.5/x")},
        {QStringLiteral("List"),
         QVariantList{QStringLiteral("1"), QStringLiteral("two"), QVariantList{}, QVariantMap{}}},
        {QStringLiteral("Data"), QByteArray("\x0f\xbd\x77", 3)},
        {QStringLiteral("Empty"), QString()},
    };
    expectSameKinds(parsed.value, expected);
}

TEST_F(PropertyListTest, RefusesDamagedInputWithOneLogLine)
{
    const QByteArray validBinary = *PropertyList::toBinary(sampleOfEveryKind(false));
    const QByteArray validXml = *PropertyList::toXml(sampleOfEveryKind(true));
    std::vector<QByteArray> doubling; // each array holds the next one twice: 2^40 values from a few bytes
    for (int i = 0; i < 40; ++i)
        doubling.push_back(QByteArray("\xA2") + char(i + 1) + char(i + 1));
    doubling.push_back(QByteArray("\x10\x01"));
    QByteArray deepXml("<?xml version=\"1.0\"?><plist>");
    deepXml += QByteArray("<array>").repeated(200) + QByteArray("</array>").repeated(200) + "</plist>";

    struct Row
    {
        const char *name;
        QByteArray data;
        PropertyListLimits limits;
    };
    const std::vector<Row> rows = {
        {"empty", QByteArray(), {}},
        {"truncatedBinary", validBinary.left(validBinary.size() - 5), {}},
        {"binaryHeaderOnly", QByteArray("bplist00"), {}},
        {"binaryCycle", assembleBinary({QByteArray("\xA1\x00", 2)}), {}},
        {"binaryReferenceOutOfRange", assembleBinary({QByteArray("\xA1\x05", 2)}), {}},
        {"binaryDoublingSharedArrays", assembleBinary(doubling), {}},
        {"binaryTooDeep", *PropertyList::toBinary(nestedLists(200)), {}},
        // The format library aborts on a key holding NUL, so such keys never reach it.
        {"binaryKeyWithNul",
         assembleBinary({QByteArray("\xD1\x01\x02", 3),
                         QByteArray("\x52"
                                    "a\x00",
                                    3),
                         QByteArray("\x10\x01", 2)}),
         {}},
        {"binaryUtf16KeyWithNul",
         assembleBinary({QByteArray("\xD1\x01\x02", 3), QByteArray("\x61\x00\x00", 3), QByteArray("\x10\x01", 2)}),
         {}},
        {"binaryKeyNotString",
         assembleBinary({QByteArray("\xD1\x01\x02", 3), QByteArray("\x10\x01", 2), QByteArray("\x10\x01", 2)}),
         {}},
        {"xmlKeyWithNulReference",
         QByteArray("<?xml version=\"1.0\"?><plist><dict><key>a&#x00;</key><true/></dict></plist>"),
         {}},
        {"truncatedXml", validXml.left(validXml.size() / 2), {}},
        {"xmlTooDeep", deepXml, {}},
        {"plainTextUnterminated", QByteArray("{ a = (1, 2; }"), {}},
        {"plainTextTooDeep", QByteArray("(").repeated(300), {}},
        {"plainTextTrailingGarbage", QByteArray("{ a = b; } }"), {}},
        {"tooLarge", validBinary, PropertyListLimits{100, 128, 1000}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        log().clear();
        log().expectWarning(QStringLiteral("PropertyList::fromData"));
        EXPECT_FALSE(PropertyList::fromData(row.data, row.limits).isValid());
        EXPECT_EQ(log().count(QStringLiteral("PropertyList::fromData")), 1);
    }
}

TEST_F(PropertyListTest, LimitsAllowWhatTheyBound)
{
    const QByteArray keyed = assembleBinary({QByteArray("\xD1\x01\x02", 3),
                                             QByteArray("\x52"
                                                        "ab",
                                                        3),
                                             QByteArray("\x10\x01", 2)});
    EXPECT_EQ(PropertyList::fromData(keyed), QVariant(QVariantMap{{QStringLiteral("ab"), qint64(1)}}));

    PropertyListLimits limits;
    limits.maxDepth = 200;
    EXPECT_TRUE(PropertyList::fromData(*PropertyList::toBinary(nestedLists(200)), limits).isValid());
    EXPECT_TRUE(PropertyList::fromData(*PropertyList::toXml(nestedLists(200)), limits).isValid());
    EXPECT_TRUE(
        PropertyList::fromData(QByteArray("(").repeated(200) + QByteArray(")").repeated(200), limits).isValid());
}

TEST_F(PropertyListTest, PythonReadsBinaryOutput)
{
    const PythonResult python = runPythonOnData(
        *PropertyList::toBinary(sampleOfEveryKind(false)), home() + QStringLiteral("/sample.plist"),
        QStringLiteral("import plistlib,sys; d=plistlib.load(open(sys.argv[1],'rb')); "
                       "print(d['negative'], repr(d['real']), type(d['realWhole']).__name__, d['text'], "
                       "d['data'].hex(), d['date'].isoformat(), d['uid'].data, d['map']['inner'])"));
    ASSERT_TRUE(python.ok) << qPrintable(python.error);
    EXPECT_EQ(python.lines.join(QLatin1Char('\n')),
              QStringLiteral("-7 0.33000001311302185 float h\u00e9llo \u2603 <&> 0001ff 2023-11-14T22:13:20.250000 "
                             "300 [2.5, False]"));
}

} // namespace
