#include "snapshots/MRKOSnapshot.h"

#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOPill.h"
#include "platform/KeyedArchiver.h"
#include "platform/PropertyList.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tests/snapshots/ExternalReaders.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using Objects = QVariantList;

// Rewrites the root object of an archive, so a test can give it what our own writer never writes.
QByteArray patched(const QByteArray &archive, const std::function<void(QVariantMap &root, Objects &objects)> &change)
{
    QVariantMap top = platform::PropertyList::parse(archive).value.toMap();
    Objects objects = top.value(QStringLiteral("$objects")).toList();
    const quint64 rootUid = top.value(QStringLiteral("$top"))
                                .toMap()
                                .value(QStringLiteral("root"))
                                .value<platform::PropertyListUid>()
                                .value;
    QVariantMap root = objects.at(qsizetype(rootUid)).toMap();
    change(root, objects);
    objects[qsizetype(rootUid)] = root;
    top[QStringLiteral("$objects")] = objects;
    return platform::PropertyList::toBinary(top).value_or(QByteArray());
}

// The same for an archive whose keys sit in "$top" itself, as a layer archive's do.
QByteArray patchedTopLevel(const QByteArray &archive,
                           const std::function<void(QVariantMap &top, Objects &objects)> &change)
{
    QVariantMap plist = platform::PropertyList::parse(archive).value.toMap();
    QVariantMap top = plist.value(QStringLiteral("$top")).toMap();
    Objects objects = plist.value(QStringLiteral("$objects")).toList();
    change(top, objects);
    plist[QStringLiteral("$top")] = top;
    plist[QStringLiteral("$objects")] = objects;
    return platform::PropertyList::toBinary(plist).value_or(QByteArray());
}

QVariant uid(qsizetype index)
{
    return QVariant::fromValue(platform::PropertyListUid{quint64(index)});
}

// Appends an object to the archive's object table and returns a reference to it.
QVariant add(Objects &objects, const QVariant &value)
{
    objects.append(value);
    return uid(objects.size() - 1);
}

class MRKOSnapshotTest : public SnapshotsFixture
{
};

TEST_F(MRKOSnapshotTest, FactoryNamesAndScalesNewShots)
{
    MRKOSnapshotManager::sharedSnapshotManager().setSnapshotsCount(2);
    MRKOSnapshotManager::sharedSnapshotManager().setDazadUdizsCount(0);
    const QImage screen = screenImage(2880, 1800);
    const std::vector<platform::LayerPtr> layers = {drawing(QRectF(0, 0, 10, 10), 2, Qt::red)};

    const auto snapshot = MRKOSnapshot::snapshotWithLayers(layers, screen, QRectF(0, 0, 1440, 900), 3);
    EXPECT_EQ(snapshot->name(), QStringLiteral("Snapshot 3"));
    EXPECT_DOUBLE_EQ(snapshot->displayScale(), 2.0);
    EXPECT_EQ(snapshot->screenIndex(), 3);
    EXPECT_EQ(snapshot->cost(), 20'736'000);

    const auto dazadUdiz = MRKOSnapshot::snapshotWithLayers({}, screen, QRectF(0, 0, 1440, 900), 0);
    EXPECT_EQ(dazadUdiz->name(), QStringLiteral("DazadUdiz 1"));
    EXPECT_FALSE(dazadUdiz->hasLayers());

    const auto drawingsOnly = MRKOSnapshot::snapshotWithLayers(layers, QImage(), QRectF(0, 0, 1440, 900), 0);
    EXPECT_EQ(drawingsOnly->name(), QString());
    EXPECT_DOUBLE_EQ(drawingsOnly->displayScale(), 1.0);
    EXPECT_EQ(drawingsOnly->cost(), 0);
    EXPECT_EQ(drawingsOnly->documentSize(), QSizeF(2880, 1800)); // bounds x the first layer's scale

    const auto noWidth = MRKOSnapshot::snapshotWithLayers({}, screen, QRectF(0, 0, 0, 900), 0);
    EXPECT_DOUBLE_EQ(noWidth->displayScale(), 1.0);
    EXPECT_EQ(MRKOSnapshot::snapshotWithLayers({}, QImage(), QRectF(0, 0, 1440, 900), 0)->documentSize(), QSizeF(0, 0));
}

TEST_F(MRKOSnapshotTest, WhiteboardColorFollowsTheColourType)
{
    MRKOSnapshot snapshot;
    snapshot.setWhiteboardColorType(3);
    EXPECT_EQ(snapshot.whiteboardColor(), QColor::fromRgbF(0, 0, 0));
    snapshot.setWhiteboardCustomColor(QColor::fromRgbF(0.5, 0.25, 1));
    EXPECT_EQ(snapshot.whiteboardColor(), QColor::fromRgbF(0.5, 0.25, 1));
    for (const auto &[type, color] : {std::pair{0, QColor::fromRgbF(1, 1, 1)},
                                      {1, QColor::fromRgbF(0.2f, 0.2f, 0.2f)},
                                      {2, QColor::fromRgbF(0, 0, 0)},
                                      {9, QColor::fromRgbF(0, 0, 0)}}) {
        snapshot.setWhiteboardColorType(type);
        EXPECT_EQ(snapshot.whiteboardColor(), color) << type;
    }
    EXPECT_TRUE(snapshot.whiteboardImage().isNull());
}

TEST_F(MRKOSnapshotTest, EqualityComparesBoundsIndexAndLayersOnly)
{
    const auto a = makeSnapshot(true, 2);
    auto b = MRKOSnapshot::snapshotWithLayers(a->layers(), QImage(), a->bounds(), a->screenIndex());
    b->setName(QStringLiteral("Other"));
    b->setWhiteboard(true);
    EXPECT_TRUE(a->isEqualToSnapshot(b.get()));
    EXPECT_TRUE(a->isEqualToSnapshot(a.get()));
    EXPECT_FALSE(a->isEqualToSnapshot(nullptr));
    b->setScreenIndex(4);
    EXPECT_FALSE(a->isEqualToSnapshot(b.get()));
    b->setScreenIndex(a->screenIndex());
    b->setLayers({a->layers()[1], a->layers()[0]});
    EXPECT_FALSE(a->isEqualToSnapshot(b.get()));
    b->setLayers(a->layers());
    b->setBounds(QRectF(0, 0, 1440, 901));
    EXPECT_FALSE(a->isEqualToSnapshot(b.get()));
}

TEST_F(MRKOSnapshotTest, ArchiveIsAKeyedArchiveThatPythonReads)
{
    const auto snapshot = makeSnapshot(true, 2);
    snapshot->setWhiteboardCustomColor(QColor::fromRgbF(1, 0.5, 0, 1));
    const QString path = QDir(home()).filePath(QStringLiteral("shot.iksnapshot"));
    ASSERT_TRUE(snapshot->writeSnapshotToFile(path));

    const char *script = R"PY(
import io, json, plistlib, sys
from PIL import Image
d = plistlib.load(open(sys.argv[1], 'rb'))
objs = d['$objects']
root = objs[d['$top']['root'].data]
def value(v):
    return objs[v.data] if isinstance(v, plistlib.UID) else v
png = value(root['screenBitmap'])
image = Image.open(io.BytesIO(png))
print(json.dumps({'archiver': d['$archiver'], 'version': d['$version'], 'null': objs[0],
                  'keys': [k for k in root.keys() if k != '$class'],
                  'class': value(root['$class'])['$classname'], 'bounds': value(root['bounds']),
                  'name': value(root['name']), 'color': value(root['whiteboardCustomColor']),
                  'scale': root['displayScale'], 'layers': len(value(root['layers'])['NS.objects']),
                  'png': [image.format, image.size[0], image.size[1]]}))
)PY";
    const readers::Result r =
        readers::run(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o[QStringLiteral("archiver")].toString(), QStringLiteral("NSKeyedArchiver"));
    EXPECT_EQ(o[QStringLiteral("version")].toInt(), 100000);
    EXPECT_EQ(o[QStringLiteral("null")].toString(), QStringLiteral("$null"));
    EXPECT_EQ(o[QStringLiteral("class")].toString(), QStringLiteral("MRKOSnapshot"));
    EXPECT_EQ(o[QStringLiteral("keys")].toArray(),
              QJsonArray({"screenIndex", "bounds", "name", "screenBitmap", "whiteboard", "whiteboardColorType",
                          "whiteboardLayout", "whiteboardCustomColor", "displayScale", "overallShadow", "layers"}));
    EXPECT_EQ(o[QStringLiteral("bounds")].toString(), QStringLiteral("{{0, 0}, {1440, 900}}"));
    EXPECT_EQ(o[QStringLiteral("name")].toString(), snapshot->name());
    EXPECT_EQ(o[QStringLiteral("color")].toString(), QStringLiteral("1.000000+0.500000+0.000000+1.000000"));
    EXPECT_EQ(o[QStringLiteral("scale")].toDouble(), 2.0);
    EXPECT_EQ(o[QStringLiteral("layers")].toInt(), 2);
    EXPECT_EQ(o[QStringLiteral("png")].toArray(), QJsonArray({"PNG", 2880, 1800}));
}

TEST_F(MRKOSnapshotTest, RoundTripKeepsEveryFieldAndTheLayersInOrder)
{
    const auto snapshot = makeSnapshot(true, 3);
    std::vector<platform::LayerPtr> layers = snapshot->layers();
    layers.insert(layers.begin() + 1, rectangleObject(QRectF(300, 200, 50, 40), 2, Qt::yellow));
    snapshot->setLayers(layers);
    snapshot->setScreenIndex(5);
    snapshot->setWhiteboard(true);
    snapshot->setWhiteboardColorType(3);
    snapshot->setWhiteboardLayout(6);
    snapshot->setWhiteboardCustomColor(QColor::fromRgbF(0.25, 0.5, 0.75, 1));
    snapshot->setOverallShadow(true);
    snapshot->setDisplayScale(2.5);
    snapshot->setBounds(QRectF(10, 20, 1440, 900));

    const auto back = MRKOSnapshot::snapshotWithData(snapshot->encodedSnapshotData());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->screenIndex(), 5);
    EXPECT_EQ(back->bounds(), QRectF(10, 20, 1440, 900));
    EXPECT_EQ(back->name(), snapshot->name());
    EXPECT_EQ(back->screenBitmap(), snapshot->screenBitmap());
    EXPECT_TRUE(back->whiteboard());
    EXPECT_EQ(back->whiteboardColorType(), 3);
    EXPECT_EQ(back->whiteboardLayout(), 6u);
    EXPECT_EQ(back->whiteboardCustomColor(), QColor::fromRgbF(0.25, 0.5, 0.75, 1));
    EXPECT_TRUE(back->overallShadow());
    EXPECT_DOUBLE_EQ(back->displayScale(), 2.5);
    ASSERT_EQ(back->layers().size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(back->layers()[i]->frame(), snapshot->layers()[i]->frame()) << i;
        EXPECT_EQ(back->layers()[i]->contents()->size(), snapshot->layers()[i]->contents()->size()) << i;
    }
    const auto model = OpaqueContent::pill(*back->layers()[1]);
    ASSERT_TRUE(model);
    EXPECT_TRUE(model->isEqualToPill(OpaqueContent::pill(*snapshot->layers()[1]).get()));

    // Drawn objects with models compare equal after the round trip; bitmaps are new images and do not.
    auto objects = MRKOSnapshot::snapshotWithLayers({rectangleObject(QRectF(10, 10, 30, 30), 2, Qt::red)}, QImage(),
                                                    QRectF(0, 0, 1440, 900), 1);
    const auto objectsBack = MRKOSnapshot::snapshotWithData(objects->encodedSnapshotData());
    ASSERT_TRUE(objectsBack);
    EXPECT_TRUE(objectsBack->isEqualToSnapshot(objects.get()));
    EXPECT_FALSE(back->isEqualToSnapshot(snapshot.get()));
}

TEST_F(MRKOSnapshotTest, SnapshotWithoutPicturesArchivesScalarsOnly)
{
    MRKOSnapshot snapshot;
    snapshot.setBounds(QRectF(0, 0, 1440, 900));
    const QByteArray data = snapshot.encodedSnapshotData();
    ASSERT_FALSE(data.isEmpty());
    patched(data, [](QVariantMap &root, Objects &) {
        EXPECT_FALSE(root.contains(QStringLiteral("screenBitmap")));
        EXPECT_FALSE(root.contains(QStringLiteral("layers")));
        EXPECT_TRUE(root.contains(QStringLiteral("name")));
        EXPECT_EQ(root.value(QStringLiteral("whiteboardCustomColor")).value<platform::PropertyListUid>().value, 0u);
    });
    const auto back = MRKOSnapshot::snapshotWithData(data);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->screenBitmap().isNull());
    EXPECT_FALSE(back->hasLayers());
    EXPECT_FALSE(back->whiteboardCustomColor().isValid());
    EXPECT_EQ(back->screenIndex(), -1);
}

TEST_F(MRKOSnapshotTest, BackupFilesAreNamedByDisplayIndex)
{
    for (const auto &[index, name] : {std::pair{0, "0000.iksnapshot"},
                                      {26, "001A.iksnapshot"},
                                      {255, "00FF.iksnapshot"},
                                      {0x12345, "12345.iksnapshot"}}) {
        EXPECT_EQ(MRKOSnapshot::fileNameWithIndex(index), QLatin1String(name));
        EXPECT_EQ(MRKOSnapshot::filePathInDocumentsWhithIndex(index), QDir(documents()).filePath(QLatin1String(name)));
    }
}

TEST_F(MRKOSnapshotTest, BackupIsSavedReadAndRemovedPerDisplay)
{
    auto snapshot = makeSnapshot(false, 2);
    snapshot->setScreenIndex(26);
    EXPECT_FALSE(MRKOSnapshot::snapshotFromDocumentsAtIndex(26));
    snapshot->saveToDocumentsDirectory();
    ASSERT_TRUE(QFile::exists(QDir(documents()).filePath(QStringLiteral("001A.iksnapshot"))));
    const auto back = MRKOSnapshot::snapshotFromDocumentsAtIndex(26);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->layers().size(), 2u);
    EXPECT_EQ(back->layers()[1]->frame(), snapshot->layers()[1]->frame());
    EXPECT_FALSE(MRKOSnapshot::snapshotFromDocumentsAtIndex(0));

    // A snapshot whose archive cannot be made removes the old backup rather than leave it behind.
    snapshot->setDisplayScale(std::numeric_limits<double>::infinity());
    log().expectWarning(QStringLiteral("KeyedArchiver"));
    snapshot->saveToDocumentsDirectory();
    EXPECT_FALSE(QFile::exists(snapshot->filePathInDocuments()));

    snapshot->setDisplayScale(2);
    snapshot->saveToDocumentsDirectory();
    MRKOSnapshot::removeSnapshotsFromDocumentsDirectoryAtIndex(26);
    EXPECT_FALSE(QFile::exists(snapshot->filePathInDocuments()));
    MRKOSnapshot::removeSnapshotsFromDocumentsDirectoryAtIndex(26); // nothing there: no error
}

TEST_F(MRKOSnapshotTest, DisplayScaleFromOutsideIsReadByItsRules)
{
    const QByteArray good = makeSnapshot(false, 1)->encodedSnapshotData();
    struct Row
    {
        const char *name;
        QVariant value;  // invalid: the key is absent
        double expected; // NaN: refused
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Row> rows = {
        {"Absent", QVariant(), 1.0},
        {"Zero", QVariant(0.0), 1.0},
        {"Negative", QVariant(-2.0), 1.0},
        {"NaN", QVariant(nan), 1.0},
        {"Integer", QVariant(qint64(3)), 3.0},
        {"Sixteen", QVariant(16.0), 16.0},
        {"AboveSixteen", QVariant(16.5), nan},
        {"Infinite", QVariant(std::numeric_limits<double>::infinity()), nan},
        {"NegativeInfinite", QVariant(-std::numeric_limits<double>::infinity()), nan},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray data = patched(good, [&row](QVariantMap &root, Objects &) {
            if (row.value.isValid())
                root[QStringLiteral("displayScale")] = row.value;
            else
                root.remove(QStringLiteral("displayScale"));
        });
        ASSERT_FALSE(data.isEmpty());
        log().clear();
        const auto snapshot = MRKOSnapshot::snapshotWithData(data);
        if (std::isnan(row.expected)) {
            EXPECT_FALSE(snapshot);
            EXPECT_EQ(log().count(QStringLiteral("not a snapshot")), 1);
        } else {
            ASSERT_TRUE(snapshot);
            EXPECT_DOUBLE_EQ(snapshot->displayScale(), row.expected);
        }
    }
    log().expectWarning(QStringLiteral("not a snapshot"));
}

// A PNG whose header declares a size, followed by an empty image-data chunk: enough to read the size.
QByteArray pngHeader(quint32 width, quint32 height)
{
    const auto crc32 = [](const QByteArray &bytes) {
        quint32 crc = 0xFFFFFFFFu;
        for (const char byte : bytes) {
            crc ^= quint8(byte);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    };
    const auto be = [](quint32 v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    const QByteArray ihdr = QByteArray("IHDR") + be(width) + be(height) + QByteArray("\x08\x06\x00\x00\x00", 5);
    const QByteArray idat("IDAT");
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + be(13) + ihdr + be(crc32(ihdr)) + be(0) + idat + be(crc32(idat));
}

TEST_F(MRKOSnapshotTest, ArchivesFromOutsideThatAreNoSnapshotAreRefused)
{
    const QByteArray good = makeSnapshot(true, 1)->encodedSnapshotData();
    const QByteArray drawingsOnly = makeSnapshot(false, 1)->encodedSnapshotData();
    MRKOSnapshot empty;
    const QByteArray nothing = empty.encodedSnapshotData();
    const auto set = [](const QString &key, const QVariant &value) {
        return [key, value](QVariantMap &root, Objects &) { root[key] = value; };
    };
    const auto setObject = [](const QString &key, const QVariant &value) {
        return [key, value](QVariantMap &root, Objects &objects) { root[key] = add(objects, value); };
    };
    // The layer archives inside are held to their own allow-lists: a model of another class, a name that is data.
    const auto innerWrongClass = [](QVariantMap &top, Objects &objects) {
        top[QStringLiteral("pill")] = add(objects, QStringLiteral("not a model"));
    };
    const auto innerNameIsData = [](QVariantMap &top, Objects &objects) {
        top[QStringLiteral("name")] = add(objects, QByteArray("bytes"));
    };
    const auto withFirstLayer = [](const QByteArray &archive,
                                   const std::function<void(QVariantMap &, Objects &)> &changeLayer) {
        return patched(archive, [&changeLayer](QVariantMap &root, Objects &objects) {
            QVariantMap list =
                objects.at(qsizetype(root.value(QStringLiteral("layers")).value<platform::PropertyListUid>().value))
                    .toMap();
            QVariantList items = list.value(QStringLiteral("NS.objects")).toList();
            const QByteArray layer =
                objects.at(qsizetype(items.at(0).value<platform::PropertyListUid>().value)).toByteArray();
            const QByteArray changed = patchedTopLevel(layer, changeLayer);
            EXPECT_NE(changed, layer);
            items[0] = add(objects, changed);
            list[QStringLiteral("NS.objects")] = items;
            root[QStringLiteral("layers")] = add(objects, list);
        });
    };
    struct Row
    {
        const char *name;
        QByteArray data;
    };
    const std::vector<Row> rows = {
        {"Garbage", QByteArray("definitely not an archive")},
        {"Truncated", good.left(good.size() / 2)},
        {"NameOfWrongClass", patched(good, setObject(QStringLiteral("name"), QByteArray("bytes")))},
        {"BitmapOfWrongClass", patched(good, setObject(QStringLiteral("screenBitmap"), QStringLiteral("png")))},
        {"ColourOfWrongClass", patched(good, setObject(QStringLiteral("whiteboardCustomColor"), qint64(5)))},
        {"LayersNotAnArray", patched(good, setObject(QStringLiteral("layers"), QByteArray("one layer")))},
        {"LayerEntryOfWrongClass",
         patched(good,
                 [](QVariantMap &root, Objects &objects) {
                     QVariantMap list =
                         objects
                             .at(qsizetype(
                                 root.value(QStringLiteral("layers")).value<platform::PropertyListUid>().value))
                             .toMap();
                     QVariantList items = list.value(QStringLiteral("NS.objects")).toList();
                     items[0] = add(objects, QStringLiteral("text"));
                     list[QStringLiteral("NS.objects")] = items;
                     root[QStringLiteral("layers")] = add(objects, list);
                 })},
        {"LayerEntryThatIsNoLayer",
         patched(good,
                 [](QVariantMap &root, Objects &objects) {
                     QVariantMap list =
                         objects
                             .at(qsizetype(
                                 root.value(QStringLiteral("layers")).value<platform::PropertyListUid>().value))
                             .toMap();
                     QVariantList items = list.value(QStringLiteral("NS.objects")).toList();
                     items.append(add(objects, QByteArray("no layer archive")));
                     list[QStringLiteral("NS.objects")] = items;
                     root[QStringLiteral("layers")] = add(objects, list);
                 })},
        {"InnerLayerOfWrongClass", withFirstLayer(good, innerWrongClass)},
        {"InnerLayerNameOfWrongClass", withFirstLayer(good, innerNameIsData)},
        {"Cyclic", patched(good, [](QVariantMap &root, Objects &) { root[QStringLiteral("name")] = uid(1); })},
        {"RootOfWrongClass", platform::KeyedArchiver::archivedData(QVariant(QStringLiteral("snapshot"))).value()},
        {"NegativeWidth", patched(good, setObject(QStringLiteral("bounds"), QStringLiteral("{{0, 0}, {-5, 900}}")))},
        {"TooWide", patched(good, setObject(QStringLiteral("bounds"), QStringLiteral("{{0, 0}, {32769, 900}}")))},
        {"BoundsNotANumber", patched(good, setObject(QStringLiteral("bounds"), QStringLiteral("{{0, 0}, {nan, 9}}")))},
        {"OriginNotFinite",
         patched(good, setObject(QStringLiteral("bounds"), QStringLiteral("{{1e400, 0}, {1440, 900}}")))},
        {"ZeroBoundsWithBitmap",
         patched(good, setObject(QStringLiteral("bounds"), QStringLiteral("{{0, 0}, {0, 0}}")))},
        {"ZeroBoundsWithLayers",
         patched(drawingsOnly, setObject(QStringLiteral("bounds"), QStringLiteral("{{0, 0}, {1440, 0}}")))},
        {"BitmapTooLarge", patched(good, setObject(QStringLiteral("screenBitmap"), pngHeader(9000, 8000)))},
        {"TooManyLayers",
         patched(nothing,
                 [](QVariantMap &root, Objects &objects) {
                     const QVariant entry = add(objects, QByteArray("x"));
                     QVariantList items(10001, entry);
                     QVariantMap list;
                     list[QStringLiteral("NS.objects")] = items;
                     list[QStringLiteral("$class")] = add(
                         objects, QVariantMap{{QStringLiteral("$classname"), QStringLiteral("NSArray")},
                                              {QStringLiteral("$classes"),
                                               QVariantList{QStringLiteral("NSArray"), QStringLiteral("NSObject")}}});
                     root[QStringLiteral("layers")] = add(objects, list);
                 })},
        {"IndexNotAnInteger", patched(good, set(QStringLiteral("screenIndex"), QStringLiteral("five")))},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_FALSE(row.data.isEmpty());
        log().clear();
        EXPECT_FALSE(MRKOSnapshot::snapshotWithData(row.data));
        ASSERT_EQ(log().lines().size(), 1) << qPrintable(log().lines().join(QLatin1Char('\n')));
        EXPECT_TRUE(log().lines().at(0).contains(QStringLiteral("not a snapshot: ")))
            << qPrintable(log().lines().at(0));
    }
    log().expectWarning(QStringLiteral("not a snapshot"));
}

TEST_F(MRKOSnapshotTest, OddButHarmlessArchivesStillDecode)
{
    const QByteArray good = makeSnapshot(true, 0)->encodedSnapshotData();
    MRKOSnapshot emptySnapshot;
    const QByteArray nothing = emptySnapshot.encodedSnapshotData();
    // Zero bounds without pictures, data that is no PNG, a malformed colour text.
    const auto zero = MRKOSnapshot::snapshotWithData(patched(nothing, [](QVariantMap &root, Objects &objects) {
        root[QStringLiteral("bounds")] = add(objects, QStringLiteral("{{0, 0}, {0, 0}}"));
        root[QStringLiteral("whiteboardCustomColor")] = add(objects, QStringLiteral("1+2"));
    }));
    ASSERT_TRUE(zero);
    EXPECT_FALSE(zero->whiteboardCustomColor().isValid());
    const auto noPng = MRKOSnapshot::snapshotWithData(patched(good, [](QVariantMap &root, Objects &objects) {
        root[QStringLiteral("screenBitmap")] = add(objects, QByteArray("GIF89a but not really"));
    }));
    ASSERT_TRUE(noPng);
    EXPECT_TRUE(noPng->screenBitmap().isNull());
    // Data that is no PNG leaves nothing to draw, so a zero size is no reason to refuse.
    const auto noPngNoSize = MRKOSnapshot::snapshotWithData(patched(good, [](QVariantMap &root, Objects &objects) {
        root[QStringLiteral("screenBitmap")] = add(objects, QByteArray("GIF89a but not really"));
        root[QStringLiteral("bounds")] = add(objects, QStringLiteral("{{0, 0}, {0, 900}}"));
    }));
    ASSERT_TRUE(noPngNoSize);
    EXPECT_EQ(noPngNoSize->bounds(), QRectF(0, 0, 0, 900));
    // The largest bounds still decode, with their drawings.
    const auto largest = MRKOSnapshot::snapshotWithData(
        patched(makeSnapshot(false, 1)->encodedSnapshotData(), [](QVariantMap &root, Objects &objects) {
            root[QStringLiteral("bounds")] = add(objects, QStringLiteral("{{-100, 50}, {32768, 32768}}"));
        }));
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->bounds(), QRectF(-100, 50, 32768, 32768));
    EXPECT_EQ(largest->layers().size(), 1u);
    EXPECT_FALSE(MRKOSnapshot::snapshotWithData(QByteArray()));
    log().expectWarning(QStringLiteral("data is nil"));
    EXPECT_FALSE(MRKOSnapshot::snapshotWithContentsOfFile(QDir(home()).filePath(QStringLiteral("missing"))));
}

} // namespace
