#include "snapshots/MRKOPSDEngine.h"

#include "platform/fake/FakeSavePanel.h"
#include "snapshots/MRKOPSDBitmapLayer.h"
#include "tests/snapshots/ExternalReaders.h"
#include "tests/snapshots/PsdFile.h"
#include "tests/support/InkoraFixture.h"

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sched.h>

namespace {

QImage solid(int w, int h, const QColor &color)
{
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    image.fill(color);
    return image;
}

// A drawing-like bitmap: transparent with an opaque disc and soft edges.
QImage disc(int size, const QColor &color)
{
    QImage image(size, size, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    return image;
}

psdtest::File parsed(const QByteArray &bytes)
{
    QString error;
    const auto file = psdtest::parse(bytes, &error);
    EXPECT_TRUE(file.has_value()) << qPrintable(error);
    return file.value_or(psdtest::File());
}

// The layout a snapshot export makes: a background group with a screen image, a drawings group with a shadow.
std::unique_ptr<MRKOPSDEngine> groupedEngine()
{
    auto engine = std::make_unique<MRKOPSDEngine>(QSizeF(64, 48));
    engine->addEndGroupMarker();
    QImage screen = solid(64, 48, QColor(0, 0, 255));
    {
        QPainter p(&screen);
        p.fillRect(0, 0, 32, 48, QColor(0, 128, 0));
    }
    engine->addLayerWithPremultipledBitmap(screen, QStringLiteral("ScreenShot"), 1.0f, QPointF(0, 0), std::nullopt);
    engine->addGroupMarkerWithName(QStringLiteral("Background"), 1.0f, QRectF(0, 0, 64, 48), std::nullopt);
    engine->addEndGroupMarker();
    const MRKOPSDLayer::ShadowSource shadow{0.3, 2, QPointF(0, -3), 2};
    engine->addLayerWithPremultipledBitmap(disc(16, Qt::red), QStringLiteral("001"), 1.0f, QPointF(4, 6), shadow);
    engine->addLayerWithPremultipledBitmap(solid(10, 8, QColor(255, 255, 0)), QStringLiteral("002"), 0.5f,
                                           QPointF(40, 30), std::nullopt);
    engine->addGroupMarkerWithName(QStringLiteral("Drawings"), 1.0f, QRectF(4, 6, 46, 32), std::nullopt);
    return engine;
}

TEST(MRKOPSDEngineTest, HeaderOfATwoByOneDocument)
{
    MRKOPSDEngine engine(QSizeF(2, 1));
    engine.addLayerWithPremultipledBitmap(solid(2, 1, Qt::red), QStringLiteral("red"), 1.0f, QPointF(0, 0),
                                          std::nullopt);
    const QByteArray data = engine.makePSDDataConcurrent();
    EXPECT_EQ(data.left(30).toHex(' '), QByteArray("38 42 50 53 00 01 00 00 00 00 00 00 00 04 00 00 00 01 "
                                                   "00 00 00 02 00 08 00 03 00 00 00 00"));
    const psdtest::File file = parsed(data);
    ASSERT_EQ(file.records.size(), 1);
    EXPECT_EQ(file.records[0].decodedChannel(0), QByteArray(2, char(255)));
    EXPECT_EQ(file.records[0].decodedChannel(-1), QByteArray(2, char(255)));
}

TEST(MRKOPSDEngineTest, ImageResourcesInTheirOrder)
{
    const QByteArray resolution("\x00\x48\x00\x00\x00\x01\x00\x01\x00\x48\x00\x00\x00\x01\x00\x01", 16);
    const QByteArray icc = QColorSpace(QColorSpace::SRgb).iccProfile();
    ASSERT_FALSE(icc.isEmpty());

    MRKOPSDEngine flat(QSizeF(4, 4));
    flat.addLayerWithPremultipledBitmap(solid(4, 4, Qt::blue), QStringLiteral("a"), 1.0f, QPointF(), std::nullopt);
    const psdtest::File plain = parsed(flat.makePSDDataConcurrent());
    EXPECT_EQ(plain.resourceOrder, (QList<int>{0x03ED, 0x0400, 0x040F}));
    EXPECT_EQ(plain.resources[0x03ED], resolution);
    EXPECT_EQ(plain.resources[0x0400], QByteArray(2, '\0'));
    EXPECT_EQ(plain.resources[0x040F], icc);

    // Seven entries with groups: an odd count, so the group-enabled resource gets a pad byte the reader skips.
    const auto engine = groupedEngine();
    const psdtest::File grouped = parsed(engine->makePSDDataConcurrent());
    EXPECT_EQ(grouped.resourceOrder, (QList<int>{0x03ED, 0x0400, 0x040F, 0x0402, 0x0430}));
    EXPECT_EQ(grouped.resources[0x0402], QByteArray(14, '\0'));
    EXPECT_EQ(grouped.resources[0x0430], QByteArray(7, '\1'));
    EXPECT_TRUE(engine->needGroup());
}

TEST(MRKOPSDEngineTest, LayersAndMarkersKeepTheirOrderAndPixels)
{
    const auto engine = groupedEngine();
    const psdtest::File file = parsed(engine->makePSDDataConcurrent());
    EXPECT_EQ(file.layerCount, 7);
    QList<QByteArray> names;
    for (const auto &r : file.records)
        names << r.pascalName;
    EXPECT_EQ(names, (QList<QByteArray>{"</Layer group>", "ScreenShot", "Background", "</Layer group>", "001", "002",
                                        "Drawings"}));
    const psdtest::Record &yellow = file.records[5];
    EXPECT_EQ(yellow.rect, QRect(40, 30, 10, 8));
    EXPECT_EQ(yellow.opacity, 128);
    EXPECT_EQ(yellow.decodedChannel(0), QByteArray(80, char(255)));
    EXPECT_EQ(yellow.decodedChannel(2), QByteArray(80, char(0)));
    EXPECT_FALSE(file.records[4].block("lrFX").isEmpty());
    EXPECT_TRUE(file.records[5].block("lrFX").isEmpty());
}

TEST(MRKOPSDEngineTest, PixelsAreWrittenUnpremultiplied)
{
    QImage image(2, 1, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    // Premultiplied (100, 50, 0, 128) is about (199, 100, 0) at half alpha.
    image.bits()[0] = 100;
    image.bits()[1] = 50;
    image.bits()[2] = 0;
    image.bits()[3] = 128;
    MRKOPSDEngine engine(QSizeF(2, 1));
    engine.addLayerWithPremultipledBitmap(image, QStringLiteral("a"), 1.0f, QPointF(), std::nullopt);
    const psdtest::File file = parsed(engine.makePSDDataConcurrent());
    ASSERT_EQ(file.records.size(), 1);
    EXPECT_EQ(file.records[0].decodedChannel(0), QByteArray("\xC7\x00", 2));
    EXPECT_EQ(file.records[0].decodedChannel(1), QByteArray("\x64\x00", 2));
    EXPECT_EQ(file.records[0].decodedChannel(-1), QByteArray("\x80\x00", 2));
}

TEST(MRKOPSDEngineTest, CompositeIsTheLayersOverWhite)
{
    MRKOPSDEngine engine(QSizeF(4, 2));
    engine.addLayerWithPremultipledBitmap(solid(2, 2, QColor(0, 0, 0)), QStringLiteral("a"), 1.0f, QPointF(0, 0),
                                          std::nullopt);
    engine.addLayerWithPremultipledBitmap(solid(1, 1, QColor(255, 0, 0)), QStringLiteral("b"), 0.5f, QPointF(3.6, 1.2),
                                          std::nullopt);
    const psdtest::File file = parsed(engine.makePSDDataConcurrent());
    ASSERT_EQ(file.composite.size(), 4);
    EXPECT_EQ(file.composite[0].toHex(' '), QByteArray("00 00 ff ff 00 00 ff ff"));
    EXPECT_NEAR(quint8(file.composite[1][7]), 127.5, 1); // half red over white: green is about half
    EXPECT_EQ(file.composite[3], QByteArray(8, char(255)));
}

TEST(MRKOPSDEngineTest, DocumentWithoutLayersHoldsItsCompositeOnly)
{
    MRKOPSDEngine engine(QSizeF(3, 2));
    const psdtest::File file = parsed(engine.makePSDDataConcurrent());
    EXPECT_EQ(file.layerCount, 0);
    EXPECT_TRUE(file.records.isEmpty());
    ASSERT_EQ(file.composite.size(), 4);
    for (const QByteArray &plane : file.composite)
        EXPECT_EQ(plane, QByteArray(6, char(255)));

    // Markers alone are no drawn layer either: the composite still decodes, white.
    MRKOPSDEngine markers(QSizeF(3, 2));
    markers.addEndGroupMarker();
    markers.addGroupMarkerWithName(QStringLiteral("Drawings"), 1.0f, QRectF(0, 0, 3, 2), std::nullopt);
    const psdtest::File grouped = parsed(markers.makePSDDataConcurrent());
    EXPECT_EQ(grouped.layerCount, 2);
    EXPECT_EQ(grouped.composite.value(0), QByteArray(6, char(255)));
}

TEST(MRKOPSDEngineTest, MisuseThrowsWithItsMessage)
{
    MRKOPSDEngine engine(QSizeF(0, 0));
    try {
        engine.addLayerWithPremultipledBitmap(solid(1, 1, Qt::red), QStringLiteral("a"), 1.0f, QPointF(), std::nullopt);
        FAIL() << "no exception";
    } catch (const MRKOPSDEngine::Misuse &e) {
        EXPECT_STREQ(e.what(), "You must specify a non-zero documentSize before calling addLayer:");
    }
    EXPECT_EQ(engine.layers().size(), 1u);
    try {
        (void)engine.makePSDDataConcurrent();
        FAIL() << "no exception";
    } catch (const MRKOPSDEngine::Misuse &e) {
        EXPECT_STREQ(e.what(), "Please provide layer data, flattened data and set layer channel count to at least 3.");
    }
    MRKOPSDEngine huge(QSizeF(30001, 10));
    EXPECT_THROW((void)huge.makePSDDataConcurrent(), MRKOPSDEngine::Misuse);
}

TEST(MRKOPSDEngineTest, LayersFromBitmapRecordsAllSitAtTheOrigin)
{
    MRKOPSDEngine engine(
        {MRKOPSDBitmapLayer::psdBitmapLayer(solid(1, 1, Qt::green), QStringLiteral("Hop"), QRectF(5, 5, 1, 1), 0.2)},
        QSizeF(1, 1));
    const psdtest::File file = parsed(engine.makePSDDataConcurrent());
    ASSERT_EQ(file.records.size(), 1);
    EXPECT_EQ(file.records[0].rect, QRect(0, 0, 1, 1));
    EXPECT_EQ(file.records[0].opacity, 255);
    EXPECT_EQ(file.records[0].pascalName, QByteArray("Hop"));
}

TEST(MRKOPSDEngineTest, ParallelOutputEqualsSerialOutput)
{
    const auto build = [] {
        MRKOPSDEngine engine(QSizeF(300, 200));
        for (int i = 0; i < 24; ++i) {
            QImage image = disc(40 + i * 3, QColor::fromHsv(i * 15, 255, 255));
            engine.addLayerWithPremultipledBitmap(image, QString::number(i), 1.0f, QPointF(i * 7, i * 5),
                                                  MRKOPSDLayer::ShadowSource{0.5, 1, QPointF(1, -1), 2});
        }
        return engine.makePSDDataConcurrent();
    };
    cpu_set_t all;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &all)) {
            CPU_SET(cpu, &one);
            break;
        }
    }
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const QByteArray serial = build();
    ASSERT_EQ(sched_setaffinity(0, sizeof all, &all), 0);
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(build(), serial);
}

class PSDReadersTest : public InkoraFixture
{
protected:
    QString writeGrouped()
    {
        const QString path = QDir(home()).filePath(QStringLiteral("grouped.psd"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(groupedEngine()->makePSDDataConcurrent());
        return path;
    }
};

TEST_F(PSDReadersTest, PsdToolsReadsGroupsLayersPixelsAndShadow)
{
    const QString path = writeGrouped();
    QString error;
    const QJsonObject psd = readers::psdTools(path, home(), &error);
    ASSERT_FALSE(psd.isEmpty()) << qPrintable(error);
    EXPECT_EQ(psd[QStringLiteral("size")].toArray(), QJsonArray({64, 48}));
    EXPECT_EQ(psd[QStringLiteral("channels")].toInt(), 4);
    const QJsonArray top = psd[QStringLiteral("layers")].toArray();
    ASSERT_EQ(top.size(), 2);
    const QJsonObject background = top[0].toObject();
    const QJsonObject drawings = top[1].toObject();
    EXPECT_EQ(background[QStringLiteral("name")].toString(), QStringLiteral("Background"));
    EXPECT_TRUE(background[QStringLiteral("group")].toBool());
    EXPECT_EQ(drawings[QStringLiteral("name")].toString(), QStringLiteral("Drawings"));
    const QJsonArray shots = background[QStringLiteral("children")].toArray();
    ASSERT_EQ(shots.size(), 1);
    EXPECT_EQ(shots[0].toObject()[QStringLiteral("name")].toString(), QStringLiteral("ScreenShot"));
    const QJsonArray drawn = drawings[QStringLiteral("children")].toArray();
    ASSERT_EQ(drawn.size(), 2);
    const QJsonObject first = drawn[0].toObject();
    EXPECT_EQ(first[QStringLiteral("name")].toString(), QStringLiteral("001"));
    EXPECT_EQ(first[QStringLiteral("bbox")].toArray(), QJsonArray({4, 6, 20, 22}));
    const QJsonObject shadow = first[QStringLiteral("effects")].toObject()[QStringLiteral("dsdw")].toObject();
    EXPECT_EQ(shadow[QStringLiteral("blur")].toInt(), 8);
    EXPECT_EQ(shadow[QStringLiteral("angle")].toInt(), 90);
    EXPECT_EQ(shadow[QStringLiteral("distance")].toInt(), 6);
    EXPECT_EQ(shadow[QStringLiteral("opacity")].toInt(), 77);
    EXPECT_EQ(shadow[QStringLiteral("enabled")].toInt(), 1);
    const QJsonObject second = drawn[1].toObject();
    EXPECT_EQ(second[QStringLiteral("bbox")].toArray(), QJsonArray({40, 30, 50, 38}));
    EXPECT_EQ(second[QStringLiteral("opacity")].toInt(), 128);

    const QImage screenShot(QDir(home()).filePath(QStringLiteral("ScreenShot.png")));
    ASSERT_FALSE(screenShot.isNull());
    EXPECT_EQ(screenShot.pixelColor(5, 5), QColor(0, 128, 0));
    EXPECT_EQ(screenShot.pixelColor(50, 5), QColor(0, 0, 255));
    const QImage red(QDir(home()).filePath(QStringLiteral("001.png")));
    ASSERT_FALSE(red.isNull());
    EXPECT_EQ(red.pixelColor(8, 8), QColor(255, 0, 0));
    EXPECT_EQ(red.pixelColor(0, 0).alpha(), 0);
    const QImage composite(QDir(home()).filePath(QStringLiteral("composite.png")));
    ASSERT_EQ(composite.size(), QSize(64, 48));
    EXPECT_EQ(composite.pixelColor(12, 14), QColor(255, 0, 0));
    EXPECT_EQ(composite.pixelColor(50, 40), QColor(0, 0, 255));
}

TEST_F(PSDReadersTest, ImageMagickReadsTheFileAndItsComposite)
{
    const QString path = writeGrouped();
    const readers::Result identify = readers::run(QStringLiteral("identify"), {path});
    ASSERT_EQ(identify.exitCode, 0) << qPrintable(identify.err);
    EXPECT_TRUE(identify.out.contains(QStringLiteral("PSD 64x48"))) << qPrintable(identify.out);
    EXPECT_TRUE(identify.err.isEmpty()) << qPrintable(identify.err);

    const QString png = QDir(home()).filePath(QStringLiteral("flat.png"));
    const readers::Result convert = readers::run(QStringLiteral("convert"), {path + QStringLiteral("[0]"), png});
    ASSERT_EQ(convert.exitCode, 0) << qPrintable(convert.err);
    const QImage flat(png);
    ASSERT_EQ(flat.size(), QSize(64, 48));
    EXPECT_EQ(flat.pixelColor(12, 14), QColor(255, 0, 0));
    EXPECT_EQ(flat.pixelColor(5, 40), QColor(0, 128, 0));
}

TEST_F(PSDReadersTest, OnePixelDocumentGoesWhereTheSavePanelPoints)
{
    platform::FakeSavePanel &panel = *fakes().savePanel;
    MRKOPSDEngine::saveOnePxPSD(); // cancelled: nothing written
    ASSERT_EQ(panel.requests.size(), 1);
    EXPECT_EQ(panel.requests[0].allowedTypes, QStringList{QStringLiteral("psd")});

    panel.answer = QDir(home()).filePath(QStringLiteral("one.psd"));
    MRKOPSDEngine::saveOnePxPSD();
    QFile file(panel.answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const psdtest::File psd = parsed(file.readAll());
    EXPECT_EQ(psd.width, 1);
    ASSERT_EQ(psd.records.size(), 1);
    EXPECT_EQ(psd.records[0].pascalName, QByteArray("Hop"));
}

TEST_F(PSDReadersTest, ReadersAcceptADocumentWithoutLayers)
{
    const QString path = QDir(home()).filePath(QStringLiteral("empty.psd"));
    {
        MRKOPSDEngine engine(QSizeF(5, 3));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(engine.makePSDDataConcurrent());
    }
    QString error;
    const QJsonObject psd = readers::psdTools(path, home(), &error);
    ASSERT_FALSE(psd.isEmpty()) << qPrintable(error);
    EXPECT_TRUE(psd[QStringLiteral("layers")].toArray().isEmpty());
    EXPECT_EQ(QImage(QDir(home()).filePath(QStringLiteral("composite.png"))).pixelColor(2, 1), QColor(Qt::white));
    const readers::Result identify = readers::run(QStringLiteral("identify"), {path});
    EXPECT_EQ(identify.exitCode, 0) << qPrintable(identify.err);
    EXPECT_TRUE(identify.out.contains(QStringLiteral("PSD 5x3"))) << qPrintable(identify.out);
}

} // namespace
