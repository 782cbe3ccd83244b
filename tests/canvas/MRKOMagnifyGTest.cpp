#include "canvas/MRKOMagnifyG.h"

#include "app/LiveSettings.h"
#include "foundation/MRKOUtils.h"
#include "platform/Animation.h"
#include "platform/Defaults.h"
#include "platform/fake/FakeScreenGrabber.h"
#include "platform/fake/FakeWindowSystem.h"
#include "tests/canvas/CanvasFixture.h"

#include <limits>

namespace {

const QPointF kNoPoint(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());

class MRKOMagnifyGTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        MRKOUtils::setFlashLightRatio(1);
        live().flashlightRadius = 100;
        live().flashlightEdgeSmoothness = 0;
        live().useMagnifying = true;
        live().magnifyScale = 2;
        live().magnifyToggleScale = 2;
        live().magnifyMethod = 0;
        live().magnifyMode = 0;
    }

    static inkora::LiveSettings &live() { return inkora::liveSettings(); }

    RecordingCanvas &magnifying(QPointF pointer = QPointF(400, 300))
    {
        RecordingCanvas &canvas = makeCanvas(QSizeF(800, 600));
        EXPECT_TRUE(canvas.makeDarkOverlayWithEvent(nullptr));
        canvas.showCircleAtPoint(pointer, kNoPoint, false);
        advance(0.3); // past the opening zoom
        return canvas;
    }

    platform::FakeScreenGrabber &grabber() { return *fakes().screenGrabber; }
};

TEST_F(MRKOMagnifyGTest, CapturesARegionOneScaleOfTheHoleAndEnlargesIt)
{
    struct Row
    {
        const char *name;
        double scale;
        QSizeF capture;
        QSizeF glass;
        platform::Layer::Filter filter;
    };
    const std::vector<Row> rows = {
        {"OneAndAHalf", 1.5, {134, 134}, {201, 201}, platform::Layer::Filter::Linear},
        {"Four", 4, {50, 50}, {200, 200}, platform::Layer::Filter::Linear},
        {"SixIsCrisp", 6, {34, 34}, {204, 204}, platform::Layer::Filter::Nearest},
    };
    RecordingCanvas &canvas = magnifying();
    ASSERT_TRUE(canvas.hasMagnifyG());
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        live().magnifyScale = row.scale;
        canvas.showCircleAtPoint(QPointF(400, 300), kNoPoint, false);
        MRKOMagnifyG &magnifier = *canvas.magnifyG();
        EXPECT_EQ(magnifier.currentBitmapRect().size(), row.capture);
        EXPECT_EQ(magnifier.currentBitmapRect().center(), QPointF(400, 300)) << "centred on the pointer";
        EXPECT_EQ(canvas.magnifyGlassLayer()->frame().size(), row.glass);
        EXPECT_EQ(canvas.magnifyGlassLayer()->magnificationFilter(), row.filter);
        ASSERT_FALSE(grabber().calls().empty());
        const auto &call = grabber().calls().back();
        EXPECT_FALSE(call.includeWindow) << "below the overlay only";
        EXPECT_EQ(QSizeF(call.area.size()), row.capture) << "only the region is captured";
    }
}

TEST_F(MRKOMagnifyGTest, TheMethodPlacesTheGlass)
{
    struct Row
    {
        const char *name;
        qint64 method;
    };
    for (const Row &row :
         std::vector<Row>{{"BelowDrawings", 0}, {"AboveDrawings", 2}, {"OwnWindow", 1}, {"Unknown", 7}}) {
        SCOPED_TRACE(row.name);
        live().magnifyMethod = row.method;
        RecordingCanvas &canvas = magnifying();
        ASSERT_TRUE(canvas.magLayer());
        const platform::Layer *parent = canvas.magLayer()->superlayer();
        if (row.method == 0) {
            EXPECT_EQ(parent, canvas.backRoot().get());
        } else if (row.method == 2) {
            ASSERT_EQ(parent, canvas.overlayRoot().get());
            EXPECT_EQ(canvas.overlayRoot()->sublayers().front(), canvas.magLayer()) << "below the shade";
        } else if (row.method == 1) {
            EXPECT_TRUE(canvas.hasMagnifyGWithWidnow());
            EXPECT_NE(parent, nullptr);
            EXPECT_TRUE(grabber().calls().back().includeWindow) << "the drawings are magnified too";
        } else {
            EXPECT_EQ(parent, nullptr) << "no glass placed";
        }
        canvas.removeDarkOverlay();
        EXPECT_FALSE(canvas.hasMagnifyG()) << "switching off removes it at once";
    }
}

TEST_F(MRKOMagnifyGTest, ToggleZoomsOutToOneAndBackToTheRememberedScale)
{
    live().magnifyScale = 3;
    RecordingCanvas &canvas = magnifying();
    ASSERT_TRUE(canvas.toggle2xMagnifying());
    EXPECT_EQ(live().magnifyScale, 1);
    EXPECT_EQ(live().magnifyToggleScale, 3);
    EXPECT_EQ(MRKOUtils::userDefaults().doubleForKey(QStringLiteral("MagnifyToggleScale")), 3);
    const platform::Animation *down = canvas.magnifyGlassLayer()->animationForKey(QStringLiteral("scaleDown"));
    ASSERT_TRUE(down);
    EXPECT_DOUBLE_EQ(down->duration(), 0.2);
    advance(0.1);
    EXPECT_TRUE(canvas.hasMagnifyG()) << "still shrinking";
    advance(0.15);
    EXPECT_FALSE(canvas.hasMagnifyG());

    ASSERT_TRUE(canvas.toggle2xMagnifying());
    EXPECT_EQ(live().magnifyScale, 3);
    ASSERT_TRUE(canvas.hasMagnifyG());
    EXPECT_TRUE(canvas.magnifyGlassLayer()->animationForKey(QStringLiteral("scaleUp")));
}

TEST_F(MRKOMagnifyGTest, AZoomInDuringAZoomOutLastsAsLongAsItRan)
{
    live().magnifyScale = 3;
    RecordingCanvas &canvas = magnifying();
    ASSERT_TRUE(canvas.toggle2xMagnifying());
    advance(0.08);
    ASSERT_TRUE(canvas.toggle2xMagnifying());
    const platform::Animation *up = canvas.magnifyGlassLayer()->animationForKey(QStringLiteral("scaleUp"));
    ASSERT_TRUE(up);
    EXPECT_NEAR(up->duration(), 0.08, 1e-9);
    EXPECT_FALSE(canvas.magnifyGlassLayer()->animationForKey(QStringLiteral("scaleDown")));
    advance(0.3);
    EXPECT_TRUE(canvas.hasMagnifyG()) << "the zoom in keeps the glass";
}

TEST_F(MRKOMagnifyGTest, ARestingGlassRefreshesAtMostThirtyTimesASecond)
{
    RecordingCanvas &canvas = magnifying();
    const size_t before = grabber().calls().size();
    for (int i = 0; i < 200; ++i)
        advance(0.005);
    const size_t refreshes = grabber().calls().size() - before;
    EXPECT_GE(refreshes, 25u);
    EXPECT_LE(refreshes, 30u);
    (void)canvas;
}

TEST_F(MRKOMagnifyGTest, StillModeCapturesOnceAndShowsBlackBeyondTheDisplay)
{
    live().magnifyMode = 1;
    RecordingCanvas &canvas = magnifying(QPointF(10, 300));
    const size_t grabs = grabber().calls().size();
    EXPECT_EQ(grabs, 1u) << "one still image";
    EXPECT_FALSE(canvas.magnifyG()->isUpdating());
    canvas.showCircleAtPoint(QPointF(20, 290), kNoPoint, false);
    EXPECT_EQ(grabber().calls().size(), grabs);

    const QImage image = *canvas.magnifyG()->cachedImage();
    EXPECT_EQ(image.pixelColor(0, image.height() / 2), QColor(0, 0, 0)) << "left of the display";
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() / 2), QColor(0, 255, 0)) << "the screen below";
}

TEST_F(MRKOMagnifyGTest, LiveCapturesAreCutToTheDisplay)
{
    RecordingCanvas &canvas = magnifying(QPointF(790, 10));
    const QRect area = grabber().calls().back().area;
    EXPECT_LE(area.right(), 799) << "nothing beyond the display becomes pixels";
    const QImage image = *canvas.magnifyG()->cachedImage();
    EXPECT_EQ(image.pixelColor(image.width() - 1, 0), QColor(0, 0, 0));
}

TEST_F(MRKOMagnifyGTest, WithoutACompositingManagerLiveModeTakesOneStillImage)
{
    fakes().windowSystem->setCompositing(false);
    RecordingCanvas &canvas = magnifying();
    canvas.showCircleAtPoint(QPointF(300, 300), kNoPoint, false);
    EXPECT_EQ(grabber().calls().size(), 1u);
    EXPECT_EQ(log().count(QStringLiteral("no compositing manager")), 1);
}

TEST_F(MRKOMagnifyGTest, AnAbsurdRatioAllocatesNothingDisplaySized)
{
    MRKOUtils::setFlashLightRatio(1e9);
    log().expectWarning(QStringLiteral("bitmapWithRect"));
    RecordingCanvas &canvas = magnifying();
    EXPECT_TRUE(canvas.hasMagnifyG());
    for (const auto &call : grabber().calls())
        EXPECT_LE(double(call.area.width()) * call.area.height(), 800.0 * 600);
}

} // namespace
