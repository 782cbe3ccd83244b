#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "platform/PropertyList.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/PythonReader.h"

#include <QDateTime>
#include <QPoint>

#include <cmath>
#include <limits>
#include <vector>

using platform::Archivable;
using platform::ArchivablePtr;
using platform::ArchiveClasses;
using platform::KeyedArchiver;
using platform::KeyedUnarchiver;
using platform::PropertyListUid;

namespace {

const QString kShapeClass = QStringLiteral("InkoraTestShape");
const QString kOutlinedShapeClass = QStringLiteral("InkoraTestOutlinedShape");
const QString kLayerClass = QStringLiteral("InkoraTestLayer");

/// A drawn object with one value of every keyed kind and an optional nested object.
class TestShape : public Archivable
{
public:
    QString name;
    QRectF frame;
    QPointF anchor;
    QSizeF corner;
    qint64 count = 0;
    double ratio = 0;
    bool visible = false;
    QByteArray bytes;
    std::shared_ptr<TestShape> child;
    std::shared_ptr<TestShape> self; // set only to make a cycle

    [[nodiscard]] QString archiveClassName() const override { return kShapeClass; }

    void encodeWithCoder(KeyedArchiver &coder) const override
    {
        coder.encodeString(name, QStringLiteral("name"));
        coder.encodeRect(frame, QStringLiteral("frame"));
        coder.encodePoint(anchor, QStringLiteral("anchor"));
        coder.encodeSize(corner, QStringLiteral("corner"));
        coder.encodeInt(count, QStringLiteral("count"));
        coder.encodeDouble(ratio, QStringLiteral("ratio"));
        coder.encodeBool(visible, QStringLiteral("visible"));
        coder.encodeData(bytes, QStringLiteral("bytes"));
        coder.encodeInt(7, QStringLiteral("$class")); // an object's own key may begin with "$"
        if (child)
            coder.encodeObject(child, QStringLiteral("child"));
        if (self)
            coder.encodeObject(self, QStringLiteral("self"));
    }

    static ArchivablePtr decode(KeyedUnarchiver &coder);
};

/// A subclass registered under its own name, admitted wherever its superclass is.
class TestOutlinedShape final : public TestShape
{
public:
    [[nodiscard]] QString archiveClassName() const override { return kOutlinedShapeClass; }
};

ArchivablePtr TestShape::decode(KeyedUnarchiver &coder)
{
    const std::shared_ptr<TestShape> shape = coder.currentClassName() == kOutlinedShapeClass
                                                 ? std::make_shared<TestOutlinedShape>()
                                                 : std::make_shared<TestShape>();
    shape->name = coder.decodeString(QStringLiteral("name"));
    shape->frame = coder.decodeRect(QStringLiteral("frame"));
    shape->anchor = coder.decodePoint(QStringLiteral("anchor"));
    shape->corner = coder.decodeSize(QStringLiteral("corner"));
    shape->count = coder.decodeInt(QStringLiteral("count"));
    shape->ratio = coder.decodeDouble(QStringLiteral("ratio"));
    shape->visible = coder.decodeBool(QStringLiteral("visible"));
    shape->bytes = coder.decodeData(QStringLiteral("bytes"));
    if (coder.containsValueForKey(QStringLiteral("$class")) && coder.decodeInt(QStringLiteral("$class")) != 7)
        coder.failWithError(QStringLiteral("escaped key lost"));
    shape->child = coder.decodeObjectOfClass<TestShape>(kShapeClass, QStringLiteral("child"));
    if (shape->count < 0)
        coder.failWithError(QStringLiteral("a shape's count is negative"));
    return shape;
}

/// A container holding an array of objects and a dictionary of values.
class TestLayer final : public Archivable
{
public:
    std::vector<std::shared_ptr<TestShape>> shapes;
    QVariantMap info;

    [[nodiscard]] QString archiveClassName() const override { return kLayerClass; }

    void encodeWithCoder(KeyedArchiver &coder) const override
    {
        QVariantList list;
        for (const auto &shape : shapes)
            list.append(QVariant::fromValue(ArchivablePtr(shape)));
        coder.encodeArray(list, QStringLiteral("shapes"), KeyedArchiver::Mutability::Mutable);
        coder.encodeDictionary(info, QStringLiteral("info"));
    }

    static ArchivablePtr decode(KeyedUnarchiver &coder)
    {
        auto layer = std::make_shared<TestLayer>();
        for (const QVariant &item : coder.decodeArrayOfObjectsOfClasses({kShapeClass}, QStringLiteral("shapes")))
            layer->shapes.push_back(platform::archivableCast<TestShape>(item));
        layer->info =
            coder.decodeDictionaryWithObjectsOfClasses(KeyedUnarchiver::propertyListClasses(), QStringLiteral("info"));
        return layer;
    }
};

std::shared_ptr<TestShape> makeShape(const QString &name)
{
    auto shape = std::make_shared<TestShape>();
    shape->name = name;
    shape->frame = QRectF(10.5, -20, 300, 0.1);
    shape->anchor = QPointF(1e-7, 1234567.25);
    shape->corner = QSizeF(4, 8);
    shape->count = 3000000000LL;
    shape->ratio = 0.33000001311302185;
    shape->visible = true;
    shape->bytes = QByteArray("\x00\xff", 2);
    return shape;
}

/// An archive assembled by hand, for layouts our archiver never writes.
QByteArray handMadeArchive(const QVariantList &objects, quint64 root = 1)
{
    const QVariantMap archive{
        {QStringLiteral("$archiver"), QStringLiteral("NSKeyedArchiver")},
        {QStringLiteral("$version"), qint64(100000)},
        {QStringLiteral("$top"), QVariantMap{{QStringLiteral("root"), QVariant::fromValue(PropertyListUid{root})}}},
        {QStringLiteral("$objects"), objects},
    };
    return *platform::PropertyList::toBinary(archive);
}

QVariant uid(quint64 value)
{
    return QVariant::fromValue(PropertyListUid{value});
}

QVariantMap classEntry(const QString &name)
{
    return {{QStringLiteral("$classname"), name}, {QStringLiteral("$classes"), QStringList{name, "NSObject"}}};
}

class KeyedArchiveTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        ASSERT_TRUE(ArchiveClasses::registerClass(kShapeClass, QString(), &TestShape::decode));
        ASSERT_TRUE(ArchiveClasses::registerClass(kOutlinedShapeClass, kShapeClass, &TestShape::decode));
        ASSERT_TRUE(ArchiveClasses::registerClass(kLayerClass, QString(), &TestLayer::decode));
    }
};

TEST_F(KeyedArchiveTest, ObjectsRoundTripWithSharedReferencesKept)
{
    auto shared = makeShape(QStringLiteral("shared"));
    auto first = makeShape(QStringLiteral("first \u00e9"));
    first->child = shared;
    auto second = std::make_shared<TestOutlinedShape>();
    second->child = shared;
    TestLayer layer;
    layer.shapes = {first, second, shared};
    layer.info = {{QStringLiteral("title"), QStringLiteral("t")},
                  {QStringLiteral("when"), QDateTime::fromMSecsSinceEpoch(1700000000250, Qt::UTC)},
                  {QStringLiteral("sizes"), QVariantList{qint64(1), 2.5, false}}};

    const std::optional<QByteArray> data = KeyedArchiver::archivedData(layer);
    ASSERT_TRUE(data.has_value());
    const auto decoded = KeyedUnarchiver::unarchivedObjectOfClass<TestLayer>(kLayerClass, *data);
    ASSERT_TRUE(decoded);

    ASSERT_EQ(decoded->shapes.size(), 3u);
    const TestShape &a = *decoded->shapes[0];
    EXPECT_EQ(a.name, first->name);
    EXPECT_EQ(a.frame, first->frame);
    EXPECT_EQ(a.anchor, first->anchor);
    EXPECT_EQ(a.corner, first->corner);
    EXPECT_EQ(a.count, first->count);
    EXPECT_EQ(a.ratio, first->ratio);
    EXPECT_TRUE(a.visible);
    EXPECT_EQ(a.bytes, first->bytes);
    // One object reached three times decodes to one object.
    ASSERT_TRUE(a.child);
    EXPECT_EQ(a.child, decoded->shapes[1]->child);
    EXPECT_EQ(a.child, decoded->shapes[2]);
    EXPECT_EQ(decoded->info, layer.info);
}

TEST_F(KeyedArchiveTest, SharedObjectsStayAliveWhileTheArchiveIsWritten)
{
    // Objects are told apart by address: one freed early could be taken for a later one at its address.
    int released = 0;
    auto counted = [&released] {
        return std::shared_ptr<TestShape>(new TestShape, [&released](TestShape *shape) {
            ++released;
            std::default_delete<TestShape>()(shape);
        });
    };
    {
        KeyedArchiver archiver;
        archiver.encodeObject(counted(), QStringLiteral("first"));
        archiver.encodeObject(QVariant::fromValue<ArchivablePtr>(counted()), QStringLiteral("second"));
        EXPECT_EQ(released, 0);
        ASSERT_TRUE(archiver.encodedData().has_value());
    }
    EXPECT_EQ(released, 2);
}

TEST_F(KeyedArchiveTest, ValuesWrittenIntoTheTopReadBack)
{
    KeyedArchiver archiver;
    archiver.encodeInt(7, QStringLiteral("count"));
    archiver.encodeString(QStringLiteral("top"), QStringLiteral("name"));
    const std::optional<QByteArray> data = archiver.encodedData();
    ASSERT_TRUE(data.has_value());

    qint64 count = 0;
    QString name;
    EXPECT_TRUE(KeyedUnarchiver::unarchiveTopLevel(*data, [&](KeyedUnarchiver &coder) {
        count = coder.decodeInt(QStringLiteral("count"));
        name = coder.decodeString(QStringLiteral("name"));
    }));
    EXPECT_EQ(count, 7);
    EXPECT_EQ(name, QStringLiteral("top"));

    log().expectWarning(QStringLiteral("KeyedUnarchiver: the reader gave up"));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveTopLevel(
        *data, [](KeyedUnarchiver &coder) { coder.failWithError(QStringLiteral("the reader gave up")); }));
    log().expectWarning(QStringLiteral("KeyedUnarchiver: not a keyed archive"));
    bool called = false;
    EXPECT_FALSE(KeyedUnarchiver::unarchiveTopLevel(QByteArray("junk"), [&](KeyedUnarchiver &) { called = true; }));
    EXPECT_FALSE(called);
}

TEST_F(KeyedArchiveTest, PythonReadsStandardLayout)
{
    auto shape = makeShape(QStringLiteral("s"));
    shape->child = makeShape(QStringLiteral("c"));
    const QString script = QStringLiteral(R"(
import plistlib, sys
a = plistlib.load(open(sys.argv[1], 'rb'))
o = a['$objects']
root = o[a['$top']['root'].data]
cls = o[root['$class'].data]
print(a['$archiver'], a['$version'], sorted(a.keys()), o[0])
print(type(a['$top']['root']).__name__, cls['$classname'], cls['$classes'])
print(o[root['name'].data], o[root['frame'].data], o[root['anchor'].data], o[root['corner'].data])
print(root['count'], root['ratio'], root['visible'], root['$$class'], o[o[root['child'].data]['name'].data])
)");
    const PythonResult python =
        runPythonOnData(*KeyedArchiver::archivedData(*shape), home() + QStringLiteral("/shape.archive"), script);
    ASSERT_TRUE(python.ok) << qPrintable(python.error);
    const QStringList &lines = python.lines;
    const QStringList expected{
        QStringLiteral("NSKeyedArchiver 100000 ['$archiver', '$objects', '$top', '$version'] $null"),
        QStringLiteral("UID InkoraTestShape ['InkoraTestShape', 'NSObject']"),
        QStringLiteral("s {{10.5, -20}, {300, 0.1}} {1e-07, 1234567.25} {4, 8}"),
        QStringLiteral("3000000000 0.33000001311302185 True 7 c"),
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(KeyedArchiveTest, PythonReadsEveryDictionaryInTheOrderItWasWritten)
{
    auto shape = makeShape(QStringLiteral("s"));
    shape->child = makeShape(QStringLiteral("c"));
    KeyedArchiver archiver;
    archiver.encodeInt(1, QStringLiteral("zebra"));
    archiver.encodeObject(shape, QStringLiteral("root"));
    archiver.encodeDictionary({{QStringLiteral("b"), qint64(1)}, {QStringLiteral("a"), qint64(2)}},
                              QStringLiteral("info"));
    archiver.encodeObject(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC), QStringLiteral("date"));
    archiver.encodeBool(true, QStringLiteral("alpha"));
    const std::optional<QByteArray> data = archiver.encodedData();
    ASSERT_TRUE(data.has_value());
    const QString script = QStringLiteral(R"(
import plistlib, sys
a = plistlib.load(open(sys.argv[1], 'rb'))
o, top = a['$objects'], a['$top']
root = o[top['root'].data]
print(list(a.keys()))
print(list(top.keys()))
print(list(root.keys()))
print(list(o[root['$class'].data].keys()))
print(list(o[top['info'].data].keys()), list(o[top['date'].data].keys()))
)");
    const PythonResult python = runPythonOnData(*data, home() + QStringLiteral("/ordered.archive"), script);
    ASSERT_TRUE(python.ok) << qPrintable(python.error);
    const QStringList &lines = python.lines;
    const QStringList expected{
        QStringLiteral("['$archiver', '$version', '$top', '$objects']"),
        QStringLiteral("['zebra', 'root', 'info', 'date', 'alpha']"),
        QStringLiteral("['name', 'frame', 'anchor', 'corner', 'count', 'ratio', 'visible', 'bytes', '$$class', "
                       "'child', '$class']"),
        QStringLiteral("['$classname', '$classes']"),
        QStringLiteral("['NS.keys', 'NS.objects', '$class'] ['NS.time', '$class']"),
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(KeyedArchiveTest, ValueRootsUseStandardCollectionClasses)
{
    const QVariantMap value{
        {QStringLiteral("list"), QVariantList{QStringLiteral("a"), qint64(-1), 0.5, true, QByteArray("z")}},
        {QStringLiteral("map"), QVariantMap{{QStringLiteral("k"), QVariantList{}}}},
        {QStringLiteral("date"), QDateTime::fromMSecsSinceEpoch(0, Qt::UTC)},
        {QStringLiteral("empty"), QString()},
    };
    const std::optional<QByteArray> data = KeyedArchiver::archivedData(value);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(KeyedUnarchiver::unarchivedObjectOfClasses(KeyedUnarchiver::propertyListClasses(), *data), value);

    const QVariantMap plain = platform::PropertyList::fromData(*data).toMap();
    QStringList classNames;
    for (const QVariant &object : plain.value(QStringLiteral("$objects")).toList())
        classNames << object.toMap().value(QStringLiteral("$classname")).toString();
    classNames.removeAll(QString());
    classNames.sort();
    EXPECT_EQ(classNames, (QStringList{"NSArray", "NSDate", "NSDictionary"}));

    KeyedArchiver archiver;
    archiver.encodeArray({QStringLiteral("x")}, QStringLiteral("root"), KeyedArchiver::Mutability::Mutable);
    const std::optional<QByteArray> mutableData = archiver.encodedData();
    ASSERT_TRUE(mutableData.has_value());
    EXPECT_TRUE(mutableData->contains("NSMutableArray"));
    EXPECT_EQ(KeyedUnarchiver::unarchivedObjectOfClasses({"NSArray", "NSString"}, *mutableData),
              QVariant(QVariantList{QStringLiteral("x")}));
}

TEST_F(KeyedArchiveTest, DamagedOrForbiddenArchivesAreRefusedWithOneLogLine)
{
    const QByteArray valid = *KeyedArchiver::archivedData(*makeShape(QStringLiteral("s")));
    auto negative = makeShape(QStringLiteral("n"));
    negative->count = -1;
    QVariantMap shapeWith{{QStringLiteral("$class"), uid(2)}};
    auto shapeObject = [&](const QString &key, const QVariant &value) {
        QVariantMap object = shapeWith;
        object.insert(key, value);
        return object;
    };
    QVariantList tooDeep{QStringLiteral("$null")};
    for (int i = 1; i <= 150; ++i)
        tooDeep.append(QVariantMap{{QStringLiteral("NS.objects"), QVariantList{uid(quint64(i + 1))}},
                                   {QStringLiteral("$class"), uid(152)}});
    tooDeep.append(QStringLiteral("leaf"));
    tooDeep.append(classEntry(QStringLiteral("NSArray")));

    struct Row
    {
        const char *name;
        QByteArray data;
        QStringList classes;
        const char *reason;
    };
    const QStringList shapes{kShapeClass};
    const std::vector<Row> rows = {
        {"Truncated", valid.left(valid.size() - 20), shapes, "not a property list"},
        {"Empty", QByteArray(), shapes, "not a property list"},
        {"PlainPropertyList", *platform::PropertyList::toBinary(QVariantMap{}), shapes, "not a keyed archive"},
        {"WrongClass", valid, {kLayerClass}, "class InkoraTestShape is not allowed"},
        {"UnregisteredClass",
         handMadeArchive({"$null", shapeWith, classEntry("Unknown")}),
         {"Unknown"},
         "class Unknown cannot be decoded"},
        {"SubclassNotAdmittedBySibling",
         *KeyedArchiver::archivedData(TestOutlinedShape()),
         {kLayerClass},
         "is not allowed"},
        {"CyclicReference", handMadeArchive({"$null", shapeObject("child", uid(1)), classEntry(kShapeClass)}), shapes,
         "cyclic reference"},
        {"UidOutOfRange", handMadeArchive({"$null", shapeObject("child", uid(99)), classEntry(kShapeClass)}), shapes,
         "out of range"},
        {"RootOutOfRange", handMadeArchive({"$null"}, 5), shapes, "out of range"},
        {"ClassReferenceToNull", handMadeArchive({"$null", QVariantMap{{"$class", uid(0)}}}), shapes,
         "class reference"},
        {"NoNullFirst", handMadeArchive({QStringLiteral("x"), shapeWith, classEntry(kShapeClass)}), shapes, "$null"},
        {"NotFiniteReal",
         handMadeArchive(
             {"$null", shapeObject("ratio", std::numeric_limits<double>::quiet_NaN()), classEntry(kShapeClass)}),
         shapes, "not a finite number"},
        {"IntegerFromHugeReal", handMadeArchive({"$null", shapeObject("count", 1e30), classEntry(kShapeClass)}), shapes,
         "integer range"},
        {"WrongKindForKey",
         handMadeArchive({"$null", shapeObject("count", QStringLiteral("3")), classEntry(kShapeClass)}), shapes,
         "where a number belongs"},
        {"BadRectangle",
         handMadeArchive(
             {"$null", shapeObject("frame", uid(3)), classEntry(kShapeClass), QStringLiteral("{{1, 2}, {3}}")}),
         shapes, "not a rectangle"},
        {"ItemClassNotAllowed",
         handMadeArchive({"$null", QVariantMap{{"NS.objects", QVariantList{uid(3)}}, {"$class", uid(2)}},
                          classEntry("NSArray"), QByteArray("x")}),
         {"NSArray", "NSString"},
         "class NSData is not allowed"},
        {"NestedTooDeep", handMadeArchive(tooDeep), {"NSArray", "NSString"}, "nested deeper"},
        {"RefusedByDecodeFunction", *KeyedArchiver::archivedData(*negative), shapes, "count is negative"},
        {"NullRootForTypedDecode", handMadeArchive({"$null"}, 0), shapes, "not of the class asked for"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        log().clear();
        log().expectWarning(QStringLiteral("KeyedUnarchiver"));
        const QVariant result = row.classes == shapes
                                    ? QVariant::fromValue(ArchivablePtr(
                                          KeyedUnarchiver::unarchivedObjectOfClass<TestShape>(kShapeClass, row.data)))
                                    : KeyedUnarchiver::unarchivedObjectOfClasses(row.classes, row.data);
        EXPECT_TRUE(!result.isValid() || !result.value<ArchivablePtr>());
        ASSERT_EQ(log().count(QStringLiteral("KeyedUnarchiver")), 1);
        EXPECT_TRUE(log().lines().last().contains(QLatin1String(row.reason))) << qPrintable(log().lines().last());
    }
}

TEST_F(KeyedArchiveTest, ArchiverRefusesWhatCannotBeReadBackWithOneLogLine)
{
    auto cyclic = makeShape(QStringLiteral("c"));
    cyclic->self = cyclic;
    auto notFinite = makeShape(QStringLiteral("n"));
    notFinite->frame = QRectF(0, 0, std::numeric_limits<double>::infinity(), 1);
    QVariant deep = QStringLiteral("leaf");
    for (int i = 0; i < 150; ++i)
        deep = QVariantList{deep};

    const struct
    {
        const char *name;
        std::optional<QByteArray> data;
        const char *reason;
    } rows[] = {
        {"Cycle", KeyedArchiver::archivedData(*cyclic), "refers to itself"},
        {"InfiniteRectangle", KeyedArchiver::archivedData(*notFinite), "geometry value is not finite"},
        {"NaNValue", KeyedArchiver::archivedData(QVariant(std::nan(""))), "a real is not finite"},
        {"ForeignValue", KeyedArchiver::archivedData(QVariantList{QPoint(1, 2)}), "cannot be archived"},
        {"TooDeep", KeyedArchiver::archivedData(deep), "nested deeper"},
    };
    log().expectWarning(QStringLiteral("KeyedArchiver"));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(row.data.has_value());
        EXPECT_EQ(log().count(QLatin1String(row.reason)), 1);
    }
    EXPECT_EQ(log().count(QStringLiteral("KeyedArchiver")), 5);
    cyclic->self.reset();
}

TEST_F(KeyedArchiveTest, MissingKeysReadZeroAndEmpty)
{
    struct Reader final : Archivable
    {
        [[nodiscard]] QString archiveClassName() const override { return kShapeClass; }
        void encodeWithCoder(KeyedArchiver &) const override {}
    };
    bool checked = false;
    ASSERT_TRUE(ArchiveClasses::registerClass(kShapeClass, QString(), [&checked](KeyedUnarchiver &coder) {
        EXPECT_FALSE(coder.containsValueForKey(QStringLiteral("count")));
        EXPECT_EQ(coder.decodeInt(QStringLiteral("count")), 0);
        EXPECT_EQ(coder.decodeDouble(QStringLiteral("ratio")), 0.0);
        EXPECT_FALSE(coder.decodeBool(QStringLiteral("visible")));
        EXPECT_TRUE(coder.decodeString(QStringLiteral("name")).isEmpty());
        EXPECT_TRUE(coder.decodeData(QStringLiteral("bytes")).isEmpty());
        EXPECT_EQ(coder.decodeRect(QStringLiteral("frame")), QRectF());
        EXPECT_EQ(coder.decodePoint(QStringLiteral("anchor")), QPointF());
        EXPECT_EQ(coder.decodeSize(QStringLiteral("corner")), QSizeF());
        EXPECT_FALSE(coder.decodeObjectOfClasses({kShapeClass}, QStringLiteral("child")).isValid());
        EXPECT_TRUE(coder.decodeArrayOfObjectsOfClasses({kShapeClass}, QStringLiteral("list")).isEmpty());
        EXPECT_FALSE(coder.hasFailed());
        checked = true;
        return std::make_shared<Reader>();
    }));
    const std::optional<QByteArray> data = KeyedArchiver::archivedData(Reader());
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(KeyedUnarchiver::unarchivedObjectOfClasses({kShapeClass}, *data).isValid());
    EXPECT_TRUE(checked);
}

} // namespace
