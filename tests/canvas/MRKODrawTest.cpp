#include "canvas/MRKODraw.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODrawBaseLayer.h"
#include "canvas/MRKODrawToScreenMethod.h"
#include "canvas/MRKOLowpassFilter.h"
#include "foundation/MRKOUtils.h"
#include "platform/BitmapContext.h"
#include "platform/Defaults.h"
#include "tests/canvas/CanvasFixture.h"

#include <QCoreApplication>
#include <QPainter>

#include <cmath>
#include <optional>
#include <vector>

namespace {

// A target image standing for the screen: view points, y up, `scale` pixels per point.
struct Screen
{
    QImage image;
    QTransform flip;

    Screen(QSizeF points, double scale, const QColor &fill)
        : image((points * scale).toSize(), QImage::Format_RGBA8888_Premultiplied)
    {
        image.setDevicePixelRatio(scale);
        image.fill(fill);
        flip = QTransform(1, 0, 0, -1, 0, points.height());
    }
    void draw(MRKODraw &canvas, const QRectF &dirty)
    {
        QPainter painter(&image);
        painter.setTransform(flip);
        canvas.drawRect(dirty, painter);
    }
    QColor at(QPointF point) const
    {
        const double s = image.devicePixelRatio();
        const int x = int(point.x() * s);
        const int row = int((image.height() / s - point.y()) * s) - 1;
        const uchar *p = image.constScanLine(row) + x * 4;
        return QColor(p[0], p[1], p[2], p[3]);
    }
};

// Paints a rectangle of the cache, in view points, with a colour given as stored bytes.
void paintCache(MRKODraw &canvas, const QRectF &rect, const QColor &bytes)
{
    platform::BitmapContext *cache = canvas.currentCacheContext();
    ASSERT_NE(cache, nullptr);
    cache->saveGState();
    cache->setBlendMode(platform::BitmapContext::BlendMode::Copy);
    cache->setFillColor(bytes);
    cache->fillRect(rect);
    cache->restoreGState();
}

} // namespace

class MRKODrawTest : public CanvasFixture
{
};

TEST_F(MRKODrawTest, CacheCoversTheViewGrownByAHundredPointsAtTheBackingScale)
{
    MRKODraw &canvas = makeCanvas(QSizeF(1440, 900), 2.0);

    ASSERT_NE(canvas.currentCacheContext(), nullptr);
    EXPECT_EQ(canvas.currentCacheContext()->width(), 3280);
    EXPECT_EQ(canvas.currentCacheContext()->height(), 2200);
    EXPECT_EQ(canvas.bitmapContextRect(), QRectF(-100, -100, 1640, 1100));
    EXPECT_EQ(canvas.displayScale(), 2.0);
    ASSERT_NE(canvas.layersContainer(), nullptr);
    EXPECT_EQ(canvas.layersContainer()->frame(), QRectF(0, 0, 1440, 900));
}

TEST_F(MRKODrawTest, DrawsInViewPointsAndStrokesJustOutsideTheViewLandInTheCache)
{
    MRKODraw &canvas = makeCanvas(QSizeF(200, 100), 2.0);
    paintCache(canvas, QRectF(-50, -50, 10, 10), red());
    paintCache(canvas, QRectF(10, 20, 1, 1), red());

    const QImage cache = cacheImage(canvas);

    EXPECT_EQ(cachePixel(canvas, cache, QPointF(-45, -45)), red());
    EXPECT_EQ(cachePixel(canvas, cache, QPointF(10.5, 20.5)), red());
    // Point (10, 20) is pixel column (10 + 100) x 2, rows counted from the top of the 600-pixel bitmap.
    const uchar *p = cache.constScanLine(600 - 1 - (20 + 100) * 2) + (10 + 100) * 2 * 4;
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[3], 255);
}

TEST_F(MRKODrawTest, ThicknessPresetsDrawTheirWidths)
{
    const struct
    {
        quint64 preset;
        double width;
    } rows[] = {{0, 2}, {1, 5}, {2, 10}, {3, 15}, {4, 20}, {5, 25}, {6, 10}, {1000, 10}};
    MRKODraw &canvas = makeCanvas();
    EXPECT_EQ(canvas.brushSize(), 10);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.preset);
        EXPECT_EQ(MRKODraw::valueWithThinckness(row.preset), row.width);
        canvas.setThickness(row.preset);
        EXPECT_EQ(canvas.brushSize(), row.width);
    }
}

TEST_F(MRKODrawTest, StoredHueStartsTheRainbowOnlyWhenInRange)
{
    const struct
    {
        const char *name;
        std::optional<double> stored;
        double hue;
    } rows[] = {
        {"missing", std::nullopt, 0}, {"inside", 0.4, 0.4},     {"one", 1.0, 1.0}, {"above", 1.2, 0},
        {"below", -0.1, 0},           {"nan", std::nan(""), 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        MRKODraw::setHue(0.7);
        if (row.stored)
            MRKOUtils::userDefaults().setDouble(*row.stored, QStringLiteral("HueSavedKey"));
        else
            MRKOUtils::userDefaults().removeObjectForKey(QStringLiteral("HueSavedKey"));
        makeCanvas(QSizeF(50, 50));
        EXPECT_EQ(MRKODraw::hue(), row.hue);
    }
}

TEST_F(MRKODrawTest, EraserSizeIsRoundedUpToAnEvenNumber)
{
    inkora::liveSettings().eraserSize = 81;
    EXPECT_EQ(MRKODraw::eraserSize(), 82);
    inkora::liveSettings().eraserSize = 80;
    EXPECT_EQ(MRKODraw::eraserSize(), 80);
}

TEST_F(MRKODrawTest, EveryMethodCopiesTheDirtyPixelsOverWhatTheScreenHad)
{
    const qint64 methods[] = {MRKODrawToScreenMethodDataProvider, MRKODrawToScreenMethodCreateImage,
                              MRKODrawToScreenMethodCopyDirtyPixels, 7};
    for (qint64 method : methods) {
        SCOPED_TRACE(method);
        inkora::liveSettings().drawToScreenMethod = method;
        inkora::liveSettings().drawCroppedChunks = false;
        MRKODraw &canvas = makeCanvas(QSizeF(100, 100), 2.0);
        paintCache(canvas, QRectF(10, 10, 10, 10), red());
        Screen screen(QSizeF(100, 100), 2.0, Qt::blue);

        screen.draw(canvas, QRectF(0, 0, 30, 30));

        EXPECT_EQ(screen.at(QPointF(15, 15)), red());
        EXPECT_EQ(screen.at(QPointF(25, 25)).alpha(), 0) << "a transparent cache pixel replaces the screen's";
        EXPECT_EQ(screen.at(QPointF(35, 35)), QColor(Qt::blue)) << "outside the dirty rectangle nothing changes";
    }
}

TEST_F(MRKODrawTest, CopyingDirtyPixelsBakesTheDrawingOpacityIn)
{
    // Through the settings, as the Preferences controls set them.
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(MRKODrawToScreenMethodCopyDirtyPixels, QStringLiteral("DrawToScreenMethod"));
    defaults.setInteger(1, QStringLiteral("SemitransparentDrawingKey"));
    defaults.setFloat(0.5f, QStringLiteral("DrawingOpacity"));
    defaults.setInteger(0, QStringLiteral("DrawCroppedChunks"));
    AppDelegate settings;
    settings.updateDrawToScreenMethod();
    settings.updateNeedSemitransparent();
    settings.updateDrawingOpacity();
    settings.updateDrawCroppedChunks();
    ASSERT_EQ(inkora::liveSettings().drawingOpacity, 0.5);
    MRKODraw &canvas = makeCanvas(QSizeF(100, 100), 2.0);
    paintCache(canvas, QRectF(10, 10, 10, 10), Qt::white);
    Screen screen(QSizeF(100, 100), 2.0, Qt::transparent);

    screen.draw(canvas, QRectF(0, 0, 50, 50));

    EXPECT_EQ(screen.at(QPointF(15, 15)), QColor(127, 127, 127, 127));
    EXPECT_EQ(screen.at(QPointF(30, 30)), QColor(0, 0, 0, 0));
}

TEST_F(MRKODrawTest, AnUntouchedCacheReachesTheScreenAsACacheOfTransparentPixelsWould)
{
    // An empty cache skips reading its pixels; the screen must still end up the same.
    struct Row
    {
        qint64 method;
        bool semitransparent;
    };
    const std::vector<Row> rows = {
        {MRKODrawToScreenMethodDataProvider, false},    {MRKODrawToScreenMethodCreateImage, false},
        {MRKODrawToScreenMethodCopyDirtyPixels, false}, {MRKODrawToScreenMethodDataProvider, true},
        {MRKODrawToScreenMethodCreateImage, true},      {MRKODrawToScreenMethodCopyDirtyPixels, true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.method << (row.semitransparent ? " semitransparent" : ""));
        inkora::liveSettings().drawToScreenMethod = row.method;
        inkora::liveSettings().needSemitransparent = row.semitransparent;
        inkora::liveSettings().drawingOpacity = 0.5;
        inkora::liveSettings().drawCroppedChunks = false;
        MRKODraw &untouched = makeCanvas(QSizeF(100, 100), 2.0);
        MRKODraw &cleared = makeCanvas(QSizeF(100, 100), 2.0);
        paintCache(cleared, QRectF(-50, -50, 200, 200), Qt::transparent);
        Screen fromUntouched(QSizeF(100, 100), 2.0, Qt::blue);
        Screen fromCleared(QSizeF(100, 100), 2.0, Qt::blue);
        const QRectF dirty(5.25, 7.5, 40.5, 30.25);

        fromUntouched.draw(untouched, dirty);
        fromCleared.draw(cleared, dirty);

        EXPECT_NE(fromCleared.at(QPointF(20, 20)), QColor(Qt::blue)) << "the dirty rectangle is replaced";
        EXPECT_EQ(fromUntouched.image, fromCleared.image);
    }
}

TEST_F(MRKODrawTest, DirtyRectanglesReachingPastTheViewAreClippedToIt)
{
    for (qint64 method : {0, 1, 2}) {
        SCOPED_TRACE(method);
        inkora::liveSettings().drawToScreenMethod = method;
        inkora::liveSettings().drawCroppedChunks = false;
        MRKODraw &canvas = makeCanvas(QSizeF(100, 100), 1.0);
        paintCache(canvas, QRectF(-100, -100, 300, 300), red());
        // A screen larger than the view, so that drawing outside the view would show.
        Screen screen(QSizeF(600, 600), 1.0, Qt::blue);

        screen.draw(canvas, QRectF(-400, -400, 1000, 1000));

        EXPECT_EQ(screen.at(QPointF(50, 50)), red());
        EXPECT_EQ(screen.at(QPointF(150, 50)), QColor(Qt::blue));
        EXPECT_EQ(screen.at(QPointF(50, 150)), QColor(Qt::blue));
    }
}

TEST_F(MRKODrawTest, APreparedChunkServesExactlyItsRectangleOnce)
{
    MRKODraw &canvas = makeCanvas(QSizeF(100, 100), 1.0);
    ASSERT_NE(canvas.drawBaseLayer(), nullptr) << "the base layer is in use by default";
    paintCache(canvas, QRectF(0, 0, 100, 100), red());
    canvas.prepareCroppedChunkWithRect(QRectF(10, 10, 20, 20));
    // The cache changes after the chunk was cut: the chunk keeps what was there.
    paintCache(canvas, QRectF(0, 0, 100, 100), Qt::white);
    ASSERT_FALSE(canvas.currentCroppedImage().isNull());

    Screen other(QSizeF(100, 100), 1.0, Qt::transparent);
    other.draw(canvas, QRectF(10, 10, 30, 30));
    EXPECT_EQ(other.at(QPointF(15, 15)), QColor(Qt::white)) << "another rectangle goes through the method";
    EXPECT_EQ(canvas.currentCroppedDrawRect(), QRectF(10, 10, 20, 20)) << "and leaves the chunk in place";

    Screen exact(QSizeF(100, 100), 1.0, Qt::transparent);
    exact.draw(canvas, QRectF(10, 10, 20, 20));
    EXPECT_EQ(exact.at(QPointF(15, 15)), red());
    EXPECT_TRUE(canvas.currentCroppedImage().isNull());
    EXPECT_EQ(canvas.currentCroppedDrawRect(), QRectF());
}

TEST_F(MRKODrawTest, AChunkIsClippedToTheViewAndNoneIsMadeOutsideIt)
{
    MRKODraw &canvas = makeCanvas(QSizeF(100, 100), 2.0);

    canvas.prepareCroppedChunkWithRect(QRectF(90, 90, 50, 50));
    EXPECT_EQ(canvas.currentCroppedDrawRect(), QRectF(90, 90, 10, 10));
    EXPECT_EQ(canvas.currentCroppedImage().size(), QSize(20, 20));

    canvas.prepareCroppedChunkWithRect(QRectF(200, 200, 10, 10));
    EXPECT_TRUE(canvas.currentCroppedImage().isNull());
    EXPECT_TRUE(canvas.currentCroppedDrawRect().isEmpty());
}

TEST_F(MRKODrawTest, OnlyANewBackingScaleRemakesTheCache)
{
    MRKODraw &same = makeCanvas(QSizeF(100, 100), 1.0); // the offscreen screen's scale is 1
    const platform::BitmapContext *before = same.currentCacheContext();
    same.viewDidChangeBackingProperties();
    EXPECT_EQ(same.currentCacheContext(), before);

    MRKODraw &other = makeCanvas(QSizeF(100, 100), 2.0);
    other.viewDidChangeBackingProperties();
    EXPECT_EQ(other.displayScale(), 1.0);
    ASSERT_NE(other.currentCacheContext(), nullptr);
    EXPECT_EQ(other.currentCacheContext()->width(), 300);
}

TEST_F(MRKODrawTest, ANewFrameRemakesTheCacheAndMovesTheContainer)
{
    MRKODraw &canvas = makeCanvas(QSizeF(100, 100), 1.0);

    canvas.updateFrameIfNeededWithNewFrame(QRectF(0, 0, 300, 200));

    EXPECT_EQ(canvas.bitmapContextRect(), QRectF(-100, -100, 500, 400));
    EXPECT_EQ(canvas.layersContainer()->frame(), QRectF(0, 0, 300, 200));
    EXPECT_EQ(canvas.viewLayer().frame(), QRectF(0, 0, 300, 200));
}

TEST_F(MRKODrawTest, TheBaseLayerCanBeSwitchedOffAndTheCanvasStillDraws)
{
    inkora::liveSettings().drawCroppedChunks = false;
    MRKODraw &canvas = makeCanvas(QSizeF(100, 100), 1.0);
    paintCache(canvas, QRectF(0, 0, 50, 50), red());
    inkora::liveSettings().allowDrawBaseLayer = false;

    canvas.updateDrawBaseLayerOrMakeBackingLayer();

    EXPECT_EQ(canvas.drawBaseLayer(), nullptr);
    Screen screen(QSizeF(100, 100), 1.0, Qt::transparent);
    QPainter painter(&screen.image);
    painter.setTransform(screen.flip);
    canvas.viewLayer().renderPresentationInContext(painter, QRectF(0, 0, 20, 20));
    painter.end();
    EXPECT_EQ(screen.at(QPointF(10, 10)), red());
}

TEST_F(MRKODrawTest, AShownCanvasKeepsPointerInputUncompressed)
{
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, true);
    MRKODraw &canvas = makeCanvas(QSizeF(100, 100));
    QWidget *window = canvas.window();

    window->show();
    EXPECT_FALSE(QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents));
    window->hide();
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents));
}

TEST_F(MRKODrawTest, QuittingHidesTheWindowRunsTheBlockAndStopsTheSmoother)
{
    MRKOLowpassFilter::sharedFilter().makeFilter();
    MRKOLowpassFilter::sharedFilter().startFilter();
    MRKODraw &canvas = makeCanvas(QSizeF(100, 100));
    canvas.window()->show();
    bool ran = false;

    canvas.cleanUpMonitorsAndQuit([&] { ran = true; });

    EXPECT_TRUE(ran);
    EXPECT_FALSE(canvas.window()->isVisible());
    EXPECT_FALSE(MRKOLowpassFilter::sharedFilter().isRunning());
    MRKOLowpassFilter::sharedFilter().removeFilter();
}
