#include "platform/fake/FakeSavePanel.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tests/snapshots/ExternalReaders.h"
#include "tests/snapshots/PsdFile.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class MRKOSnapshotExportTest : public SnapshotsFixture
{
protected:
    QString path(const QString &name) const { return QDir(home()).filePath(name); }

    static QJsonObject child(const QJsonObject &group, int index)
    {
        return group[QStringLiteral("children")].toArray().at(index).toObject();
    }
    static QStringList names(const QJsonArray &layers)
    {
        QStringList out;
        for (const QJsonValue &layer : layers)
            out << layer.toObject()[QStringLiteral("name")].toString();
        return out;
    }

    QJsonObject readPsd(const QString &file)
    {
        QString error;
        const QJsonObject psd = readers::psdTools(file, home(), &error);
        EXPECT_FALSE(psd.isEmpty()) << qPrintable(error);
        return psd;
    }
};

bool isNear(const QColor &a, const QColor &b, int tolerance = 8)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

TEST_F(MRKOSnapshotExportTest, ThumbnailFitsTheDisplayScale)
{
    const auto snapshot = makeSnapshot(true, 1);
    const QImage thumbnail = snapshot->snapshotImage();
    EXPECT_EQ(thumbnail.size(), QSize(304, 190));
    EXPECT_DOUBLE_EQ(thumbnail.devicePixelRatio(), 2.0);
    EXPECT_EQ(thumbnail.deviceIndependentSize(), QSizeF(152, 95));
    // f x 900 with f = 1560 / 1440 comes out a hair below 975 and is rounded down.
    EXPECT_EQ(snapshot->quickLookImage().size(), QSize(1560, 974));
}

TEST_F(MRKOSnapshotExportTest, PictureForFilesIsCentredAndDrawingsStandWhereTheyWereDrawn)
{
    const auto snapshot = makeSnapshot(true, 1); // a red disc in (100, 500, 120, 80) points, y up
    const QImage full = snapshot->imageWithSize(snapshot->documentSize(), true, true, false, true);
    ASSERT_EQ(full.size(), QSize(2880, 1800));
    EXPECT_DOUBLE_EQ(full.devicePixelRatio(), 2.0);
    EXPECT_EQ(full.pixelColor(10, 900), QColor(0, 255, 0));
    EXPECT_EQ(full.pixelColor(2000, 900), QColor(0, 0, 255));
    EXPECT_EQ(full.pixelColor(320, 720), QColor(255, 0, 0)); // top-down pixels: (100 + 60) x 2, (900 - 540) x 2
    EXPECT_EQ(full.pixelColor(320, 1100), QColor(0, 255, 0));

    // A square picture of a wide snapshot: the drawing is centred, transparent above and below.
    const QImage square = snapshot->imageWithSize(QSizeF(400, 400), true, false, false, false);
    ASSERT_EQ(square.size(), QSize(400, 400));
    EXPECT_EQ(square.pixelColor(200, 70).alpha(), 0);
    EXPECT_NE(square.pixelColor(200, 80).alpha(), 0);
    EXPECT_EQ(square.pixelColor(200, 330).alpha(), 0);
    EXPECT_DOUBLE_EQ(square.devicePixelRatio(), 1.0);

    const QImage drawingsOnly = snapshot->imageWithSize(snapshot->documentSize(), false, true, false, true);
    EXPECT_EQ(drawingsOnly.pixelColor(10, 900).alpha(), 0);
    EXPECT_EQ(drawingsOnly.pixelColor(320, 720), QColor(255, 0, 0));
}

TEST_F(MRKOSnapshotExportTest, OverallShadowFallsBelowTheDrawings)
{
    auto snapshot = makeSnapshot(false, 0);
    snapshot->setLayers({rectangleObject(QRectF(100, 500, 120, 80), 2, Qt::red)});
    const QImage plain = snapshot->imageWithSize(snapshot->documentSize(), false, true, false, true);
    snapshot->setOverallShadow(true);
    const QImage shadowed = snapshot->imageWithSize(snapshot->documentSize(), false, true, false, true);
    // Below the rectangle's last painted row, the shadow (offset one point down, at scale 2) is painted.
    int last = 0;
    for (int y = 0; y < plain.height(); ++y) {
        if (plain.pixelColor(320, y).alpha() > 0)
            last = y;
    }
    ASSERT_GT(last, 700);
    EXPECT_EQ(plain.pixelColor(320, last + 2).alpha(), 0);
    EXPECT_GT(shadowed.pixelColor(320, last + 2).alpha(), 0);
    EXPECT_EQ(shadowed.pixelColor(320, 720), plain.pixelColor(320, 720));
}

TEST_F(MRKOSnapshotExportTest, WhiteboardCoversItsPartOfTheScreen)
{
    auto snapshot = makeSnapshot(true, 0);
    snapshot->setWhiteboard(true);
    snapshot->setWhiteboardColorType(0);
    struct Row
    {
        const char *name;
        quint64 layout;
        QPoint white;  // a pixel the whiteboard covers
        QPoint screen; // a pixel where the screen shows, or (-1, -1) for none
    };
    const std::vector<Row> rows = {
        {"Whole", 0, QPoint(2000, 900), QPoint(-1, -1)},
        {"LeftHalf", 1, QPoint(100, 900), QPoint(2000, 900)},
        {"TopHalf", 3, QPoint(2000, 100), QPoint(2000, 1700)},
        {"BottomRightQuarter", 8, QPoint(2000, 1700), QPoint(100, 100)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        snapshot->setWhiteboardLayout(row.layout);
        const QImage image = snapshot->imageWithSize(snapshot->documentSize(), true, true, false, true);
        EXPECT_EQ(image.pixelColor(row.white), QColor(255, 255, 255));
        if (row.screen.x() >= 0) {
            EXPECT_NE(image.pixelColor(row.screen), QColor(255, 255, 255));
        }
        if (row.layout == 0) {
            EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 255, 255)); // no screen pixel behind it
        }
    }
    // A quarter has rounded corners of 10 x f points: its own corner pixel shows the screen.
    snapshot->setWhiteboardLayout(8);
    const QImage quarter = snapshot->imageWithSize(snapshot->documentSize(), true, true, false, true);
    EXPECT_EQ(quarter.pixelColor(2879, 1799), QColor(0, 0, 255));
    EXPECT_EQ(quarter.pixelColor(2860, 1780), QColor(255, 255, 255));
    EXPECT_EQ(quarter.pixelColor(1441, 901), QColor(0, 0, 255));
    snapshot->setWhiteboardLayout(4);
    const QImage half = snapshot->imageWithSize(snapshot->documentSize(), true, true, false, true);
    EXPECT_EQ(half.pixelColor(2879, 1799), QColor(255, 255, 255));
}

TEST_F(MRKOSnapshotExportTest, PngOfAScaleTwoSnapshotHasItsPixelSize)
{
    const auto snapshot = makeSnapshot(true, 2);
    ASSERT_TRUE(snapshot->savePNGWithPath(path(QStringLiteral("shot.png")), true));
    const readers::Result check = readers::run(QStringLiteral("pngcheck"), {path(QStringLiteral("shot.png"))});
    EXPECT_EQ(check.exitCode, 0) << qPrintable(check.out);
    EXPECT_TRUE(check.out.contains(QStringLiteral("2880x1800"))) << qPrintable(check.out);
    const QImage png(path(QStringLiteral("shot.png")));
    EXPECT_EQ(png.pixelColor(320, 720), QColor(255, 0, 0));

    ASSERT_TRUE(snapshot->saveRawBitmapPNGWithPath(path(QStringLiteral("raw.png"))));
    EXPECT_EQ(QImage(path(QStringLiteral("raw.png"))).convertToFormat(QImage::Format_RGBA8888_Premultiplied),
              snapshot->screenBitmap());
}

TEST_F(MRKOSnapshotExportTest, PdfHasOnePageOfTheDocumentSize)
{
    const auto snapshot = makeSnapshot(true, 1);
    ASSERT_TRUE(snapshot->savePDFWithPath(path(QStringLiteral("shot.pdf")), true));
    const readers::Result info = readers::run(QStringLiteral("pdfinfo"), {path(QStringLiteral("shot.pdf"))});
    ASSERT_EQ(info.exitCode, 0) << qPrintable(info.err);
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << qPrintable(info.out);
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Page size:\\s+2880 x 1800 pts"))))
        << qPrintable(info.out);

    // The page shows the screen image and, over it, the drawing where it was drawn.
    const readers::Result raster =
        readers::run(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-singlefile"),
                      path(QStringLiteral("shot.pdf")), path(QStringLiteral("page"))});
    ASSERT_EQ(raster.exitCode, 0) << qPrintable(raster.err);
    const QImage page(path(QStringLiteral("page.png")));
    ASSERT_EQ(page.size(), QSize(1440, 900));
    EXPECT_TRUE(isNear(page.pixelColor(160, 360), QColor(255, 0, 0))) << page.pixelColor(160, 360).name().toStdString();
    EXPECT_TRUE(isNear(page.pixelColor(1000, 450), QColor(0, 0, 255)));
}

TEST_F(MRKOSnapshotExportTest, PsdOfAWholeSnapshotHasBackgroundAndDrawingsGroups)
{
    auto snapshot = makeSnapshot(true, 2);
    snapshot->setWhiteboard(true);
    snapshot->setWhiteboardLayout(1);
    const QString file = path(QStringLiteral("whole.psd"));
    ASSERT_TRUE(snapshot->writeToPath(file, MRKOExportMethodPSD));
    const QJsonObject psd = readPsd(file);
    EXPECT_EQ(psd[QStringLiteral("size")].toArray(), QJsonArray({2880, 1800}));
    const QJsonArray top = psd[QStringLiteral("layers")].toArray();
    ASSERT_EQ(names(top), (QStringList{QStringLiteral("Background"), QStringLiteral("Drawings")}));
    EXPECT_EQ(names(top[0].toObject()[QStringLiteral("children")].toArray()),
              (QStringList{QStringLiteral("ScreenShot"), QStringLiteral("Whiteboard")}));
    const QJsonObject drawings = top[1].toObject();
    EXPECT_EQ(names(drawings[QStringLiteral("children")].toArray()),
              (QStringList{QStringLiteral("001"), QStringLiteral("002")}));
    // 001: frame (100, 500, 120, 80) points at scale 2, y up, in a 900-point-high canvas.
    EXPECT_EQ(child(drawings, 0)[QStringLiteral("bbox")].toArray(), QJsonArray({200, 640, 440, 800}));
    const QImage first(QDir(home()).filePath(QStringLiteral("001.png")));
    EXPECT_EQ(first.pixelColor(120, 80), QColor(255, 0, 0));
    // 002: frame (300, 460, 120, 80) points.
    const QColor orange = QColor::fromHsv(40, 255, 255).toRgb();
    EXPECT_EQ(child(drawings, 1)[QStringLiteral("bbox")].toArray(), QJsonArray({600, 720, 840, 880}));
    EXPECT_EQ(QImage(QDir(home()).filePath(QStringLiteral("002.png"))).pixelColor(120, 80), orange);
    const QImage board(QDir(home()).filePath(QStringLiteral("Whiteboard.png")));
    EXPECT_EQ(board.pixelColor(100, 900), QColor(255, 255, 255));
    EXPECT_EQ(board.pixelColor(2000, 900), QColor(0, 0, 255)); // a half whiteboard carries the screen beside it
    EXPECT_TRUE(drawings[QStringLiteral("effects")].isNull());

    const readers::Result identify = readers::run(QStringLiteral("identify"), {file});
    EXPECT_EQ(identify.exitCode, 0) << qPrintable(identify.err);
    EXPECT_TRUE(identify.err.isEmpty()) << qPrintable(identify.err);
    EXPECT_TRUE(identify.out.contains(QStringLiteral("PSD 2880x1800"))) << qPrintable(identify.out);
    const readers::Result convert =
        readers::run(QStringLiteral("convert"), {file + QStringLiteral("[0]"), path(QStringLiteral("flat.png"))});
    ASSERT_EQ(convert.exitCode, 0) << qPrintable(convert.err);
    const QImage flat(path(QStringLiteral("flat.png")));
    EXPECT_EQ(flat.pixelColor(320, 720), QColor(255, 0, 0));
    EXPECT_EQ(flat.pixelColor(720, 800), orange);
    EXPECT_EQ(flat.pixelColor(100, 900), QColor(255, 255, 255));
}

TEST_F(MRKOSnapshotExportTest, OverallShadowIsAnEffectOfTheDrawingsGroup)
{
    auto snapshot = makeSnapshot(false, 3);
    snapshot->setOverallShadow(true);
    const QString file = path(QStringLiteral("drawings.psd"));
    ASSERT_TRUE(snapshot->writeToPath(file, MRKOExportMethodDrawingsPSD));
    const QJsonArray top = readPsd(file)[QStringLiteral("layers")].toArray();
    ASSERT_EQ(names(top), QStringList{QStringLiteral("Drawings")});
    const QJsonObject drawings = top[0].toObject();
    EXPECT_EQ(names(drawings[QStringLiteral("children")].toArray()),
              (QStringList{QStringLiteral("001"), QStringLiteral("002"), QStringLiteral("003")}));
    const QJsonObject shadow = drawings[QStringLiteral("effects")].toObject()[QStringLiteral("dsdw")].toObject();
    EXPECT_EQ(shadow[QStringLiteral("blur")].toInt(), 8); // 2 x radius 2 x contents scale 2
    EXPECT_EQ(shadow[QStringLiteral("distance")].toInt(), 2);
    EXPECT_EQ(shadow[QStringLiteral("angle")].toInt(), 90);
    EXPECT_EQ(shadow[QStringLiteral("opacity")].toInt(), 255);
    for (const QJsonValue &layer : drawings[QStringLiteral("children")].toArray())
        EXPECT_TRUE(layer.toObject()[QStringLiteral("effects")].isNull());
}

TEST_F(MRKOSnapshotExportTest, DrawingShadowBecomesItsLayerEffect)
{
    auto snapshot = makeSnapshot(false, 1);
    platform::Layer &layer = *snapshot->layers().front();
    layer.setShadowOpacity(0.3);
    layer.setShadowRadius(2);
    layer.setShadowOffset(QPointF(0, -3));
    const QString file = path(QStringLiteral("shadow.psd"));
    ASSERT_TRUE(snapshot->writeToPath(file, MRKOExportMethodDrawingsPSD));
    const QJsonObject drawn = child(readPsd(file)[QStringLiteral("layers")].toArray()[0].toObject(), 0);
    const QJsonObject shadow = drawn[QStringLiteral("effects")].toObject()[QStringLiteral("dsdw")].toObject();
    EXPECT_EQ(shadow[QStringLiteral("blur")].toInt(), 8);
    EXPECT_EQ(shadow[QStringLiteral("distance")].toInt(), 6);
    EXPECT_EQ(shadow[QStringLiteral("angle")].toInt(), 90);
    EXPECT_EQ(shadow[QStringLiteral("opacity")].toInt(), 77);
    EXPECT_EQ(shadow[QStringLiteral("enabled")].toInt(), 1);
    // The shadow belongs to its own drawing: the group carries none.
    EXPECT_TRUE(readPsd(file)[QStringLiteral("layers")].toArray()[0].toObject()[QStringLiteral("effects")].isNull());
}

TEST_F(MRKOSnapshotExportTest, PsdWithNothingToWriteAsLayersHoldsItsCompositeOnly)
{
    MRKOSnapshotManager::sharedSnapshotManager().setDazadUdizsCount(0);
    const auto dazadUdiz = makeSnapshot(true, 0);
    const QString screenOnly = path(QStringLiteral("dazadudiz.psd"));
    ASSERT_TRUE(dazadUdiz->writeToPath(screenOnly, MRKOExportMethodPSD));
    const QJsonArray top = readPsd(screenOnly)[QStringLiteral("layers")].toArray();
    ASSERT_EQ(names(top), QStringList{QStringLiteral("Background")});
    EXPECT_EQ(names(top[0].toObject()[QStringLiteral("children")].toArray()),
              QStringList{QStringLiteral("ScreenShot")});

    // Drawings only of a snapshot without drawings: a valid file with no layers, nothing thrown.
    const QString empty = path(QStringLiteral("empty.psd"));
    ASSERT_TRUE(dazadUdiz->writeToPath(empty, MRKOExportMethodDrawingsPSD));
    QFile file(empty);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString error;
    const auto parsed = psdtest::parse(file.readAll(), &error);
    ASSERT_TRUE(parsed) << qPrintable(error);
    EXPECT_TRUE(parsed->records.isEmpty());
    EXPECT_EQ(parsed->width, 2880);
    EXPECT_TRUE(readPsd(empty)[QStringLiteral("layers")].toArray().isEmpty());
    EXPECT_EQ(readers::run(QStringLiteral("identify"), {empty}).exitCode, 0);

    // Without any picture size there is nothing to write: a log line, no file, no exception.
    MRKOSnapshot nothing;
    log().expectWarning(QStringLiteral("savePSDWithPath"));
    EXPECT_FALSE(nothing.savePSDWithPath(path(QStringLiteral("none.psd")), true));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("none.psd"))));
}

TEST_F(MRKOSnapshotExportTest, WriteToFolderNamesTheFileAfterTheSnapshot)
{
    auto snapshot = makeSnapshot(true, 1);
    snapshot->setName(QStringLiteral("Snapshot 1"));
    EXPECT_EQ(snapshot->writeToFolder(home(), MRKOExportMethodDrawingsPNG), QStringLiteral("Snapshot 1.png"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("Snapshot 1.png"))));
    EXPECT_EQ(snapshot->writeToFolder(home(), MRKOExportMethodDrawingsPNG), QStringLiteral("Snapshot 1.png"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("Snapshot 1 (1).png"))));
    EXPECT_EQ(snapshot->writeToFolder(home(), MRKOExportMethodMultiPagePDF), QStringLiteral("Snapshot 1.pdf"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("Snapshot 1.pdf"))));
}

TEST_F(MRKOSnapshotExportTest, SavePanelCommandsAskForAPathAndWriteThere)
{
    auto snapshot = makeSnapshot(true, 1);
    snapshot->setName(QStringLiteral("Snapshot 4"));
    platform::FakeSavePanel &panel = *fakes().savePanel;

    snapshot->saveWithMethod(MRKOExportMethodMultiPagePDF);
    snapshot->saveWithMethod(9);
    EXPECT_TRUE(panel.requests.isEmpty());

    panel.answer = path(QStringLiteral("chosen.pdf"));
    snapshot->saveWithMethod(MRKOExportMethodDrawingsPDF);
    ASSERT_EQ(panel.requests.size(), 1);
    EXPECT_EQ(panel.requests[0].proposedName, QStringLiteral("Snapshot 4"));
    EXPECT_EQ(panel.requests[0].allowedTypes, QStringList{QStringLiteral("pdf")});
    EXPECT_TRUE(QFile::exists(panel.answer));

    panel.answer.clear(); // cancelled
    snapshot->saveWithMethod(MRKOExportMethodPSD);
    EXPECT_EQ(panel.requests.size(), 2);
    EXPECT_EQ(panel.requests[1].allowedTypes, QStringList{QStringLiteral("psd")});

    MRKOSnapshot noBitmap;
    log().expectWarning(QStringLiteral("Can't save Raw Bitmap as PNG. bitmap is nil"));
    noBitmap.saveWithMethod(MRKOExportMethodScreenShotPNG);
    EXPECT_EQ(panel.requests.size(), 2);
}

TEST_F(MRKOSnapshotExportTest, ClipboardCopiesNeedSomethingToCopy)
{
    auto snapshot = makeSnapshot(true, 1); // green and blue screen, a red disc around pixel (320, 720)
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("left over"));

    ASSERT_TRUE(snapshot->drawingsImageToPasteboard());
    EXPECT_TRUE(clipboard->text().isEmpty()); // cleared before the image went on
    QImage copied = clipboard->image();
    ASSERT_EQ(copied.size(), QSize(2880, 1800));
    EXPECT_EQ(copied.pixelColor(320, 720), QColor(255, 0, 0));
    EXPECT_EQ(copied.pixelColor(10, 900).alpha(), 0); // no screen image behind the drawings

    ASSERT_TRUE(snapshot->wholeSnapshotImageToPasteboard());
    copied = clipboard->image();
    ASSERT_EQ(copied.size(), QSize(2880, 1800));
    EXPECT_EQ(copied.pixelColor(320, 720), QColor(255, 0, 0));
    EXPECT_EQ(copied.pixelColor(10, 900), QColor(0, 255, 0));

    ASSERT_TRUE(snapshot->screenShotToPasteboard());
    EXPECT_DOUBLE_EQ(snapshot->screenBitmap().devicePixelRatio(), 2.0); // the point size stays on the bitmap
    copied = clipboard->image().convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    copied.setDevicePixelRatio(2.0);
    EXPECT_EQ(copied, snapshot->screenBitmap());

    MRKOSnapshot empty;
    log().expectWarning(QStringLiteral("drawingsImageToPasteboard - Can't copy to clipboard. has no Layers"));
    log().expectWarning(QStringLiteral("has no Layers and screenBitmap"));
    log().expectWarning(QStringLiteral("copyScreenShotToClipboard - Can't copy to clipboard. screenBitmap == nil"));
    EXPECT_FALSE(empty.drawingsImageToPasteboard());
    EXPECT_FALSE(empty.wholeSnapshotImageToPasteboard());
    EXPECT_FALSE(empty.screenShotToPasteboard());
}

TEST_F(MRKOSnapshotExportTest, SnapshotWithoutBoundsGivesNoPicture)
{
    auto snapshot = MRKOSnapshot::snapshotWithLayers({}, screenImage(10, 10), QRectF(0, 0, 0, 0), 0);
    log().expectWarning(QStringLiteral("imageWithSize"));
    EXPECT_TRUE(snapshot->snapshotImage().isNull());
    EXPECT_FALSE(snapshot->savePNGWithPath(path(QStringLiteral("none.png")), true));
}

} // namespace
