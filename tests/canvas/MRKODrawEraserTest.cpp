#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOArrowPill.h"
#include "platform/BitmapContext.h"
#include "platform/Defaults.h"
#include "platform/Keys.h"
#include "platform/NotificationCenter.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeCursorStack.h"
#include "platform/fake/FakeServices.h"
#include "tests/canvas/CanvasFixture.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolType.h"

#include <cmath>
#include <limits>

using platform::EventType;
using platform::LayerPtr;

namespace {

constexpr quint64 kSuper = platform::kControlFlag;
constexpr quint64 kAlt = platform::kOptionFlag;

/// Looks at the stroke cache whenever the eraser moves its ring, that is on every drag of the stroke.
class ProbeCanvas final : public RecordingCanvas
{
public:
    using RecordingCanvas::RecordingCanvas;
    std::function<void()> onRingMoved;

protected:
    void updateColorBall() override
    {
        if (onRingMoved)
            onRingMoved();
    }
};

class MRKODrawEraserTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
    }

    /// Hovers with Super+Alt (the eraser), then drags from `from` to `to` and lets go.
    static void erase(MRKODraw &canvas, QPointF from, QPointF to)
    {
        hover(canvas, from, kSuper | kAlt);
        ASSERT_EQ(canvas.quickAuxAction(), MRKOAuxActionEraser);
        postDrags(from, to, 5, kSuper | kAlt);
        post(pointerEvent(EventType::LeftMouseUp, to, kSuper | kAlt));
        press(canvas, from, kSuper | kAlt);
    }
    /// A pixel of a drawing's image under a view point; the image's first row is the drawing's top.
    static QColor drawingPixel(const LayerPtr &layer, QPointF point)
    {
        const QImage &image = *layer->contents();
        const QRectF frame = layer->frame();
        const double scale = image.width() / frame.width();
        const int x = int(std::floor((point.x() - frame.x()) * scale));
        const int row = image.height() - 1 - int(std::floor((point.y() - frame.y()) * scale));
        return image.pixelColor(x, row);
    }
    static platform::UndoManager &undo() { return AppDelegate::undoManager(); }
};

struct SizeRow
{
    const char *name;
    qint64 size;
    EventType type;
    double dy;
    double magnification;
    qint64 expected;
};

} // namespace

TEST_F(MRKODrawEraserTest, ErasingFlattensTheDrawingsItMeetsIntoOneStepAtTheLowerPlace)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr lower = addDrawing(canvas, QRectF(50, 50, 100, 100));
    const LayerPtr apart = addDrawing(canvas, QRectF(330, 330, 20, 20));
    const LayerPtr upper = addDrawing(canvas, QRectF(100, 100, 100, 100));
    drainMainQueue();

    erase(canvas, QPointF(120, 120), QPointF(130, 130));
    drainMainQueue();

    ASSERT_EQ(canvas.layers().size(), 2U);
    const LayerPtr flat = canvas.layers().front();
    EXPECT_EQ(canvas.layers().back(), apart);
    EXPECT_EQ(OpaqueContent::pill(*flat), nullptr) << "a bitmap without a model";
    EXPECT_EQ(flat->frame(), QRectF(50, 50, 150, 150));
    EXPECT_EQ(drawingPixel(flat, QPointF(125, 125)).alpha(), 0) << "the painted area is cut out";
    EXPECT_EQ(drawingPixel(flat, QPointF(55, 55)).alpha(), 255);
    EXPECT_TRUE(isTransparent(cacheImage(canvas))) << "the erasing stroke is wiped";

    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({lower, apart, upper})) << "both drawings themselves";
    EXPECT_EQ(canvas.layersContainer()->sublayers(), canvas.layers());
    undo().redo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({flat, apart}));
}

TEST_F(MRKODrawEraserTest, AnOddSizePaintsTheNextEvenDiameterInTheEraserColour)
{
    auto view = std::make_unique<QWidget>();
    view->resize(400, 400);
    auto *canvas = new ProbeCanvas(QRectF(0, 0, 400, 400), 1.0, view.get()); // child of the view
    canvas->setDissolveMode(MRKODissolveModeFreeze);
    const LayerPtr sheet = addDrawing(*canvas, QRectF(0, 0, 400, 400));
    inkora::liveSettings().eraserSize = 81;
    QColor painted;
    canvas->onRingMoved = [&] {
        if (painted.isValid() || !canvas->currentCacheContext())
            return;
        const QColor pixel = cachePixel(*canvas, cacheImage(*canvas), QPointF(200, 200));
        if (pixel.alpha() != 0) // the ring also moves before the press
            painted = pixel;
    };

    // A press that moves less than a pixel erases under its first dot only.
    erase(*canvas, QPointF(200, 200), QPointF(200.2, 200));

    ASSERT_TRUE(painted.isValid());
    EXPECT_EQ(painted.red(), 255);
    EXPECT_EQ(painted.green(), 0);
    EXPECT_NEAR(painted.blue(), 76, 1);
    EXPECT_EQ(painted.alpha(), 255);
    ASSERT_EQ(canvas->layers().size(), 1U);
    const LayerPtr flat = canvas->layers().front();
    // 82 points across: the pixels from 159 to 240 go, 158 and 241 stay.
    EXPECT_LT(drawingPixel(flat, QPointF(240.5, 200.5)).alpha(), 128);
    EXPECT_LT(drawingPixel(flat, QPointF(159.5, 200.5)).alpha(), 128);
    EXPECT_GT(drawingPixel(flat, QPointF(241.5, 200.5)).alpha(), 128);
    EXPECT_GT(drawingPixel(flat, QPointF(158.5, 200.5)).alpha(), 128);
}

TEST_F(MRKODrawEraserTest, EscapeChangesNothing)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr drawing = addDrawing(canvas, QRectF(50, 50, 100, 100));
    drainMainQueue();
    const QString before = undo().undoActionName();
    pointAt(canvas, QPointF(100, 100));
    canvas.mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(100, 100), kSuper | kAlt));

    postDrags(QPointF(100, 100), QPointF(120, 120), 5);
    post(keyEvent(EventType::KeyDown, platform::kKeyEscape));
    press(canvas, QPointF(100, 100));
    drainMainQueue();

    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({drawing}));
    EXPECT_EQ(canvas.layersContainer()->sublayers(), canvas.layers());
    EXPECT_EQ(undo().undoActionName(), before);
    EXPECT_TRUE(isTransparent(cacheImage(canvas)));
}

TEST_F(MRKODrawEraserTest, InFadeModeTheStrokeIsWipedAndNoDrawingChanges)
{
    RecordingCanvas &canvas = makeCanvas();
    canvas.setDissolveMode(MRKODissolveModeFade);
    const LayerPtr fading = addDrawing(canvas, QRectF(50, 50, 100, 100));
    const platform::ImagePtr image = fading->contents();

    erase(canvas, QPointF(100, 100), QPointF(120, 120));
    drainMainQueue();

    EXPECT_EQ(canvas.layersContainer()->sublayers(), std::vector<LayerPtr>({fading}));
    EXPECT_EQ(fading->contents(), image);
    EXPECT_FALSE(undo().canUndo());
    EXPECT_TRUE(isTransparent(cacheImage(canvas)));
}

TEST_F(MRKODrawEraserTest, ADrawingErasedCompletelyIsOnlyRemoved)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr small = addDrawing(canvas, QRectF(190, 190, 20, 20));
    drainMainQueue();

    erase(canvas, QPointF(200, 200), QPointF(201, 201));
    drainMainQueue();

    EXPECT_TRUE(canvas.layers().empty());
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Remove Layers"));
    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({small}));
}

TEST_F(MRKODrawEraserTest, APreservedKindStaysWholeWhileTheOthersAreFlattened)
{
    inkora::liveSettings().eraserPreserveArrowLine = true;
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr plain = addDrawing(canvas, QRectF(50, 50, 100, 100));
    const LayerPtr arrow = addDrawing(canvas, QRectF(100, 100, 100, 100));
    OpaqueContent::setPill(*arrow,
                           std::make_shared<MRKOArrowPill>(MRKOToolTypeArrow, QPointF(100, 100), QPointF(200, 200),
                                                           red(), red(), MRKOColorTypeCustom, 10, 0));
    const platform::ImagePtr arrowImage = arrow->contents();
    drainMainQueue();

    erase(canvas, QPointF(120, 120), QPointF(130, 130));

    ASSERT_EQ(canvas.layers().size(), 2U);
    EXPECT_EQ(canvas.layers().back(), arrow);
    EXPECT_EQ(arrow->contents(), arrowImage);
    EXPECT_NE(canvas.layers().front(), plain);
}

TEST_F(MRKODrawEraserTest, WhenTheFlatDrawingCannotBeMadeNothingIsLost)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(50, 50, 100, 100));
    // Its tiny picture stretched over a frame wider than any bitmap may be.
    const LayerPtr wide = platform::Layer::create();
    QImage image(4, 4, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::red);
    wide->setFrame(QRectF(100, 100, 40000, 40));
    wide->setContents(std::make_shared<const QImage>(image));
    canvas.finalizeDrawWithLayerOrNil(wide);
    drainMainQueue();
    const QString before = undo().undoActionName();
    log().expectWarning(QStringLiteral("compositeOfLayers: CGContextRef Create Failed"));

    erase(canvas, QPointF(120, 120), QPointF(130, 130));
    drainMainQueue();

    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({a, wide}));
    EXPECT_EQ(canvas.layersContainer()->sublayers(), canvas.layers());
    EXPECT_EQ(undo().undoActionName(), before);
    EXPECT_EQ(log().count(QStringLiteral("compositeOfLayers")), 1);
}

TEST_F(MRKODrawEraserTest, ScrollAndPinchChangeTheSizeWithinItsBounds)
{
    const std::vector<SizeRow> rows = {
        {"PreciseScrollUp", 80, EventType::ScrollWheel, 10, 0, 87},
        {"Pinch", 80, EventType::Magnify, 0, 0.1, 95},
        {"BelowTheSmallest", 4, EventType::ScrollWheel, -10, 0, 2},
        {"AboveTheLargest", 399, EventType::ScrollWheel, 10, 0, 400},
        {"OtherEvent", 80, EventType::KeyDown, 10, 1, 80},
    };
    RecordingCanvas &canvas = makeFreezeCanvas();
    int posted = 0;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("MRKOUpdateEraserSizeSliderNotification"), nullptr,
        [&](const platform::Notification &) { ++posted; });
    for (const SizeRow &row : rows) {
        SCOPED_TRACE(row.name);
        inkora::liveSettings().eraserSize = row.size;
        platform::Event event;
        event.type = row.type;
        event.hasPreciseScrollingDeltas = true;
        event.scrollingDeltaY = row.dy;
        event.magnification = row.magnification;
        canvas.performEraserSizeChangeWithEvent(event);
        EXPECT_EQ(inkora::liveSettings().eraserSize, row.expected);
        EXPECT_EQ(MRKOUtils::userDefaults().integerForKey(QStringLiteral("EraserSize")), row.expected);
    }
    EXPECT_EQ(posted, int(rows.size()));
    platform::NotificationCenter::defaultCenter().removeObserver(token);

    // A delta that is not a number leaves the size alone.
    log().expectWarning(QStringLiteral("performEraserSizeChangeWithEvent"));
    for (const double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        inkora::liveSettings().eraserSize = 80;
        platform::Event event;
        event.type = EventType::Magnify;
        event.magnification = bad;
        canvas.performEraserSizeChangeWithEvent(event);
        EXPECT_EQ(inkora::liveSettings().eraserSize, 80);
    }
    EXPECT_EQ(log().count(QStringLiteral("performEraserSizeChangeWithEvent")), 2);
}

TEST_F(MRKODrawEraserTest, ScissorsRemoveOnAClickAndGatherOnADragOfMoreThanFourPoints)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(80, 80, 40, 40));
    const LayerPtr b = addDrawing(canvas, QRectF(200, 200, 40, 40));
    const LayerPtr c = addDrawing(canvas, QRectF(330, 30, 40, 40));
    drainMainQueue();
    const auto cut = [&](QPointF to) {
        pointAt(canvas, QPointF(100, 100));
        canvas.mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(100, 100), kSuper));
        ASSERT_EQ(canvas.selectedLayer(), a);
        post(pointerEvent(EventType::LeftMouseDragged, to, kSuper));
        post(pointerEvent(EventType::LeftMouseDragged, QPointF(250, 250), kSuper));
        post(pointerEvent(EventType::LeftMouseUp, QPointF(250, 250), kSuper));
        press(canvas, QPointF(100, 100), kSuper);
        drainMainQueue();
    };

    // Moving exactly 4 points is still a click.
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(104, 100), kSuper));
    post(pointerEvent(EventType::LeftMouseUp, QPointF(104, 100), kSuper));
    pointAt(canvas, QPointF(100, 100));
    canvas.mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(100, 100), kSuper));
    press(canvas, QPointF(100, 100), kSuper);
    drainMainQueue();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({b, c}));
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Remove Layer"));
    undo().undo();
    ASSERT_EQ(canvas.layers(), std::vector<LayerPtr>({a, b, c}));

    // 4.01 points start a band at the press point, which takes every drawing it meets.
    cut(QPointF(104.01, 100));
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({c}));
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Remove Layers"));
    EXPECT_EQ(fakes().cursorStack->depth(), 0);
}
