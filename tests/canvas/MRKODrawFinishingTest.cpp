#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOHolder.h"
#include "canvas/MRKOProxyDoc.h"
#include "canvas/MRKOTopUndoActionCutter.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOArrowPill.h"
#include "platform/Animation.h"
#include "platform/UndoManager.h"
#include "tests/canvas/CanvasFixture.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QRandomGenerator>

#include <cmath>

using platform::EventType;
using platform::LayerPtr;

namespace {

class MRKODrawFinishingTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
        MRKOToolColor::toolColor().setColor(red());
    }

    static platform::UndoManager &undo() { return AppDelegate::undoManager(); }

    /// A brush canvas in the custom colour red, 15 points wide, in the given mode.
    RecordingCanvas &makeBrushCanvas(qint64 mode, double scale = 1.0)
    {
        RecordingCanvas &canvas = makeCanvas(QSizeF(400, 400), scale);
        canvas.setColorType(MRKOColorTypeCustom);
        canvas.setThickness(3);
        canvas.setToolType(MRKOToolTypeBrush);
        canvas.setDissolveMode(mode);
        return canvas;
    }

    static void stroke(MRKODraw &canvas, QPointF from, QPointF to)
    {
        postDrags(from, to, 20);
        post(pointerEvent(EventType::LeftMouseUp, to));
        press(canvas, from);
    }

    /// A finished drawing handed straight to the canvas: a square of colour at the point.
    static LayerPtr finish(MRKODraw &canvas, QPointF at, const QColor &color = red())
    {
        return finishSquare(canvas, at, color);
    }

    static std::vector<LayerPtr> sublayers(const MRKODraw &canvas) { return canvas.layersContainer()->sublayers(); }
};

class AutosavingDelegate final : public AppDelegate
{
public:
    int autosaves = 0;
    void autosaveIfNeeded() override { ++autosaves; }
};

} // namespace

TEST_F(MRKODrawFinishingTest, ABrushStrokeInFreezeModeStaysAsOneUndoableDrawing)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze, 2.0);
    stroke(canvas, QPointF(100, 100), QPointF(300, 300));

    ASSERT_EQ(canvas.layers().size(), 1u);
    const LayerPtr layer = canvas.layers().front();
    EXPECT_EQ(sublayers(canvas), canvas.layers());
    EXPECT_EQ(OpaqueContent::pill(*layer), nullptr) << "brush strokes carry no model";
    EXPECT_EQ(layer->zPosition(), -1);
    const QRectF frame = layer->frame();
    EXPECT_EQ(frame, frame.toAlignedRect().toRectF()) << "whole points";
    // The stroke's own rectangle: the last segment ends short of the release, at the batch's midpoint.
    EXPECT_TRUE(frame.contains(QRectF(100, 100, 180, 180)));
    EXPECT_LT(frame.width(), 240);
    EXPECT_EQ(layer->borderColor(), red());
    EXPECT_EQ(layer->contentsScale(), 2.0);
    ASSERT_TRUE(layer->contents());
    EXPECT_EQ(layer->contents()->size(), (frame.size() * 2).toSize()) << "only the stroke's rectangle is kept";
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Add Layer"));
    EXPECT_TRUE(isTransparent(cacheImage(canvas)));
    EXPECT_EQ(MRKOHolder::sharedHolder().layer(), layer);
    EXPECT_EQ(MRKOHolder::sharedHolder().draw(), &canvas);

    undo().undo();
    EXPECT_TRUE(canvas.layers().empty());
    EXPECT_TRUE(sublayers(canvas).empty());
    undo().redo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>{layer});
    EXPECT_EQ(sublayers(canvas), canvas.layers());
    drainMainQueue();
    EXPECT_EQ(sublayers(canvas), canvas.layers()) << "nothing fades in freeze mode";
}

TEST_F(MRKODrawFinishingTest, TheWorkingModelGoesOntoTheFinishedDrawing)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    canvas.onDrawnDrag = [&](int) {
        canvas.setWorkingPill(std::make_shared<MRKOArrowPill>(MRKOToolTypeArrow, QPointF(100, 100), QPointF(200, 150),
                                                              red(), red(), MRKOColorTypeCustom, 15, 0));
    };
    // The shape itself is the shape tool's; here a brush segment stands in for it in the cache.
    canvas.setToolType(MRKOToolTypeBrush);
    stroke(canvas, QPointF(100, 100), QPointF(200, 150));

    ASSERT_EQ(canvas.layers().size(), 1u);
    const auto pill = std::dynamic_pointer_cast<MRKOArrowPill>(OpaqueContent::pill(*canvas.layers().front()));
    ASSERT_TRUE(pill);
    EXPECT_EQ(pill->toolType(), quint64(MRKOToolTypeArrow));
    EXPECT_EQ(pill->startPoint(), QPointF(100, 100));
    EXPECT_EQ(pill->endPoint(), QPointF(200, 150));
    EXPECT_FALSE(canvas.workingPill()) << "the next drawing starts without a model";
}

TEST_F(MRKODrawFinishingTest, AnArrowDragLeavesADrawingCarryingItsArrowModel)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    canvas.setToolType(MRKOToolTypeArrow);
    stroke(canvas, QPointF(100, 100), QPointF(300, 250));

    ASSERT_EQ(canvas.layers().size(), 1u);
    EXPECT_EQ(sublayers(canvas), canvas.layers());
    const auto pill = std::dynamic_pointer_cast<MRKOArrowPill>(OpaqueContent::pill(*canvas.layers().front()));
    ASSERT_TRUE(pill);
    EXPECT_EQ(pill->toolType(), quint64(MRKOToolTypeArrow));
    EXPECT_EQ(pill->startPoint(), QPointF(100, 100));
    EXPECT_EQ(pill->endPoint(), QPointF(300, 250));
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Add Layer"));
}

TEST_F(MRKODrawFinishingTest, InFadeModeTheStrokeFadesOverTheFadeTimeAndIsGone)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFade);
    stroke(canvas, QPointF(100, 100), QPointF(300, 300));

    EXPECT_TRUE(canvas.layers().empty()) << "a fading drawing never enters the list";
    ASSERT_EQ(sublayers(canvas).size(), 1u);
    const LayerPtr layer = sublayers(canvas).front();
    const platform::Animation *fade = layer->animationForKey(QStringLiteral("fadeOut"));
    ASSERT_TRUE(fade);
    EXPECT_EQ(fade->duration(), 1.5);
    EXPECT_FALSE(undo().canUndo());

    advance(0.75);
    EXPECT_NEAR(layer->presentationOpacity(), 0.5, 1e-6);
    EXPECT_EQ(layer->opacity(), 1.0);
    advance(0.75);
    drainMainQueue();
    EXPECT_TRUE(sublayers(canvas).empty());
    EXPECT_EQ(layer->superlayer(), nullptr);
}

TEST_F(MRKODrawFinishingTest, AnInterruptedFadeLeavesTheDrawingUnlessBlinkingRepeats)
{
    for (const bool blinking : {false, true}) {
        SCOPED_TRACE(blinking);
        inkora::liveSettings().blinkingRepeat = blinking;
        RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFade);
        const LayerPtr layer = finish(canvas, QPointF(50, 50));
        advance(0.5);
        layer->removeAllAnimations(); // as repeat-last-drawing does
        drainMainQueue();
        EXPECT_EQ(layer->superlayer() != nullptr, !blinking);
    }
}

TEST_F(MRKODrawFinishingTest, RepeatTogglesInFreezeModeAndFadesAgainInFadeMode)
{
    RecordingCanvas &freeze = makeBrushCanvas(MRKODissolveModeFreeze);
    const LayerPtr kept = finish(freeze, QPointF(10, 10));
    MRKOHolder &holder = MRKOHolder::sharedHolder();
    freeze.repeatLayer(holder.layer());
    EXPECT_TRUE(freeze.layers().empty());
    holder.draw()->repeatLayer(holder.layer());
    EXPECT_EQ(freeze.layers(), std::vector<LayerPtr>{kept});
    holder.draw()->repeatLayer(holder.layer());
    EXPECT_TRUE(freeze.layers().empty());

    RecordingCanvas &fade = makeBrushCanvas(MRKODissolveModeFade);
    const LayerPtr faded = finish(fade, QPointF(10, 10));
    advance(2);
    drainMainQueue();
    ASSERT_EQ(faded->superlayer(), nullptr);
    fade.repeatLayer(faded);
    EXPECT_EQ(sublayers(fade), std::vector<LayerPtr>{faded});
    EXPECT_TRUE(faded->animationForKey(QStringLiteral("fadeOut")));
    advance(2);
    drainMainQueue();
    EXPECT_EQ(faded->superlayer(), nullptr);
}

TEST_F(MRKODrawFinishingTest, SwitchingToFadeFlattensTheDrawingsIntoOneFadingCompositeThatUndoBringsBack)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    finish(canvas, QPointF(10, 10), red());
    finish(canvas, QPointF(100, 50), QColor(Qt::green));
    finish(canvas, QPointF(200, 300), QColor(Qt::blue));

    canvas.setDissolveMode(MRKODissolveModeFade);

    EXPECT_TRUE(canvas.layers().empty());
    ASSERT_EQ(sublayers(canvas).size(), 1u);
    const LayerPtr composite = sublayers(canvas).front();
    EXPECT_TRUE(OpaqueContent::isCompositeLayer(*composite));
    EXPECT_EQ(composite->frame(), QRectF(10, 10, 210, 310));
    EXPECT_TRUE(composite->sublayers().empty());
    ASSERT_TRUE(composite->contents());
    const QImage pixels = *composite->contents();
    EXPECT_EQ(pixels.pixelColor(5, pixels.height() - 5), red()); // rows count from the top
    EXPECT_EQ(pixels.pixelColor(205, 5), QColor(Qt::blue));
    EXPECT_EQ(pixels.pixelColor(150, 150).alpha(), 0);
    EXPECT_TRUE(composite->animationForKey(QStringLiteral("fadeOut")));
    EXPECT_EQ(MRKOHolder::sharedHolder().layer(), composite);

    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>{composite}) << "one drawing again";
    EXPECT_EQ(sublayers(canvas), canvas.layers());
    undo().redo();
    EXPECT_TRUE(canvas.layers().empty());
}

TEST_F(MRKODrawFinishingTest, AFailedCompositeLeavesTheDrawingsWhereTheyWere)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    const LayerPtr small = finish(canvas, QPointF(10, 10));
    const LayerPtr huge = finish(canvas, QPointF(20, 20));
    huge->setFrame(QRectF(0, 0, 4e9, 20)); // no bitmap that wide can be made
    const std::vector<LayerPtr> before = canvas.layers();
    log().expectWarning("compositeLayer: CGContextRef Create Failed");

    canvas.setDissolveMode(MRKODissolveModeFade);

    EXPECT_EQ(canvas.layers(), before);
    EXPECT_EQ(sublayers(canvas), before);
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Add Layer")) << "no composite steps";
}

TEST_F(MRKODrawFinishingTest, FreezingRightAfterAFadeMakesTheLastDrawingRecoverableOnce)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFade);
    const LayerPtr faded = finish(canvas, QPointF(10, 10));
    advance(2);
    drainMainQueue();

    canvas.setDissolveMode(MRKODissolveModeFreeze);
    canvas.setDissolveMode(MRKODissolveModeFreeze); // a second switch registers nothing more
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Remove Layer"));
    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>{faded});
    EXPECT_EQ(sublayers(canvas), canvas.layers());
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Add Layer"));
    undo().undo();
    EXPECT_TRUE(canvas.layers().empty());
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(MRKODrawFinishingTest, ClearingInFreezeModeIsOneStepThatRestoresTheOrder)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    for (int i = 0; i < 4; ++i)
        finish(canvas, QPointF(10 + 30 * i, 10));
    ASSERT_TRUE(canvas.bringLayerBack(canvas.layers()[2]));
    drainMainQueue(); // the move's event is over
    const std::vector<LayerPtr> before = canvas.layers();

    canvas.clearCanvas();
    canvas.clearCanvasAuxillary();

    EXPECT_TRUE(canvas.layers().empty());
    EXPECT_TRUE(sublayers(canvas).empty());
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Remove Layers"));
    undo().undo();
    EXPECT_EQ(canvas.layers(), before);
    EXPECT_EQ(sublayers(canvas), before);
    undo().redo();
    EXPECT_TRUE(sublayers(canvas).empty());
}

TEST_F(MRKODrawFinishingTest, ClearingInFadeModeEmptiesTheCanvasWithoutAStep)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFade);
    finish(canvas, QPointF(10, 10));
    canvas.clearCanvas();
    EXPECT_TRUE(sublayers(canvas).empty());
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(MRKODrawFinishingTest, AFreezeClearCanFadeACopyBelowTheDrawings)
{
    inkora::liveSettings().fadeClearScreenInFreezeMode = true;
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    finish(canvas, QPointF(10, 10));
    finish(canvas, QPointF(60, 10));
    canvas.clearCanvas();

    EXPECT_TRUE(sublayers(canvas).empty());
    const platform::Layer *root = canvas.layersContainer()->superlayer();
    ASSERT_TRUE(root);
    ASSERT_EQ(root->sublayers().size(), 2u);
    EXPECT_EQ(root->sublayers().back(), canvas.layersContainer()) << "the fading copy lies below the drawings";
    advance(2);
    drainMainQueue();
    EXPECT_EQ(root->sublayers().size(), 1u);
    undo().undo();
    EXPECT_EQ(canvas.layers().size(), 2u);
}

TEST_F(MRKODrawFinishingTest, ForcedClearDropsTheCanvasStepsOnceTheOpenGroupCloses)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    finish(canvas, QPointF(10, 10));
    undo().beginUndoGrouping();
    canvas.forceClearCanvasAndCleanUpUndo();
    EXPECT_TRUE(sublayers(canvas).empty());
    undo().endUndoGrouping();
    EXPECT_TRUE(undo().canUndo());
    advance(0);
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(MRKODrawFinishingTest, AnEmptyRectangleFinishesNothing)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    canvas.finalizeDrawWithLayerOrNil(nullptr);
    EXPECT_TRUE(sublayers(canvas).empty());
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(MRKODrawFinishingTest, SemitransparentDrawingsCarryTheOpacityInTheirPixels)
{
    inkora::liveSettings().needSemitransparent = true;
    inkora::liveSettings().drawingOpacity = 0.5;
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    stroke(canvas, QPointF(100, 100), QPointF(300, 300));

    ASSERT_EQ(canvas.layers().size(), 1u);
    const LayerPtr layer = canvas.layers().front();
    EXPECT_EQ(layer->opacity(), 1.0);
    const QImage &pixels = *layer->contents();
    const QPointF at = QPointF(200, 200) - layer->frame().topLeft();
    const QColor pixel = pixels.pixelColor(int(at.x()), pixels.height() - 1 - int(at.y()));
    EXPECT_NEAR(pixel.alphaF(), 0.5, 0.01);
}

TEST_F(MRKODrawFinishingTest, ListAndContainerAgreeOverRandomOperationsUndosAndRedos)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    QRandomGenerator random(7);
    auto pick = [&]() -> LayerPtr {
        const auto &list = canvas.layers();
        return list.empty() ? nullptr : list[random.bounded(int(list.size()))];
    };
    auto gesture = [&](const std::function<void()> &action) {
        undo().setGroupsByEvent(false);
        undo().beginUndoGrouping();
        action();
        undo().endUndoGrouping();
        undo().setGroupsByEvent(true);
    };
    for (int step = 0; step < 1000; ++step) {
        const int op = random.bounded(10);
        const LayerPtr some = pick();
        const size_t count = canvas.layers().size();
        switch (op) {
        case 0:
        case 1:
            finish(canvas, QPointF(random.bounded(300), random.bounded(300)));
            break;
        case 2:
            if (some)
                gesture([&] { canvas.undoRemoveLayer(some); });
            break;
        case 3:
            if (some)
                gesture([&] { canvas.undoLayerUp(some); });
            break;
        case 4:
            if (some)
                gesture([&] { canvas.undoLayerDown(some); });
            break;
        case 5:
            if (some) {
                const size_t from =
                    size_t(std::find(canvas.layers().begin(), canvas.layers().end(), some) - canvas.layers().begin());
                const size_t to = size_t(random.bounded(int(count)));
                gesture([&] { canvas.undoMoveLayerFromIndexToIndex(some, from, to); });
            }
            break;
        case 6:
            if (random.bounded(4) == 0)
                canvas.clearCanvas();
            break;
        case 7:
            undo().undo();
            break;
        case 8:
            undo().redo();
            break;
        default:
            if (some)
                gesture([&] { random.bounded(2) ? canvas.bringLayerFront(some) : canvas.bringLayerBack(some); });
            break;
        }
        const auto &list = canvas.layers();
        ASSERT_EQ(sublayers(canvas), list) << "step " << step << " op " << op;
        std::vector<const platform::Layer *> unique;
        for (const LayerPtr &layer : list)
            unique.push_back(layer.get());
        std::sort(unique.begin(), unique.end());
        ASSERT_EQ(std::adjacent_find(unique.begin(), unique.end()), unique.end()) << "step " << step;
    }
}

TEST_F(MRKODrawFinishingTest, ThreeDrawingsAndOneUndoCountTwoChangesUntilTheAutosave)
{
    AutosavingDelegate delegate;
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    finish(canvas, QPointF(10, 10));
    finish(canvas, QPointF(40, 10));
    finish(canvas, QPointF(70, 10));
    undo().undo();
    EXPECT_EQ(delegate.proxyDoc().changeCount(), 2);

    advance(14.9);
    EXPECT_EQ(delegate.autosaves, 0);
    advance(0.1);
    EXPECT_EQ(delegate.autosaves, 1);
    EXPECT_EQ(delegate.proxyDoc().changeCount(), 0);
    advance(30);
    EXPECT_EQ(delegate.autosaves, 1);
}

TEST_F(MRKODrawFinishingTest, CuttingTheTopStepLeavesItNeitherUndoableNorRedoable)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    const LayerPtr first = finish(canvas, QPointF(10, 10));
    finish(canvas, QPointF(40, 10));

    MRKOTopUndoActionCutter::cutter().cutAction();
    advance(0); // the placeholder goes once the event is over

    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>{first});
    EXPECT_FALSE(undo().canRedo());
    undo().undo();
    EXPECT_TRUE(canvas.layers().empty()) << "the step below is the next undo";
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(MRKODrawFinishingTest, ContentAndModelChangesUndoAndRedo)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    const LayerPtr layer = finish(canvas, QPointF(10, 10));
    const auto before = layer->contents();
    const QColor colour = layer->borderColor();

    const LayerPtr capsule = platform::Layer::create();
    capsule->setFrame(QRectF(5, 5, 40, 40));
    capsule->setBorderColor(QColor(Qt::blue));
    canvas.undoLayerContentWithCapsuleLayer(layer, capsule);
    EXPECT_EQ(layer->frame(), QRectF(5, 5, 40, 40));
    undo().undo();
    EXPECT_EQ(undo().redoActionName(), QStringLiteral("Change Layer"));
    EXPECT_EQ(layer->frame(), QRectF(10, 10, 20, 20));
    EXPECT_EQ(layer->contents(), before);
    EXPECT_EQ(layer->borderColor(), colour);
    undo().redo();
    EXPECT_EQ(layer->borderColor(), QColor(Qt::blue));

    const auto arrow = std::make_shared<MRKOArrowPill>(MRKOToolTypeArrow, QPointF(10, 10), QPointF(100, 60), red(),
                                                       red(), MRKOColorTypeCustom, 10, 0);
    canvas.undoGraphicPillForLayer(arrow, layer);
    EXPECT_EQ(OpaqueContent::pill(*layer), arrow);
    drainMainQueue();
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Change Graphic Object"));
    undo().undo();
    EXPECT_EQ(OpaqueContent::pill(*layer), nullptr);
    undo().redo();
    const auto back = std::dynamic_pointer_cast<MRKOArrowPill>(OpaqueContent::pill(*layer));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->endPoint(), QPointF(100, 60));
}

TEST_F(MRKODrawFinishingTest, TheHolderRebindsOnlyToACanvasOfTheSameIndexAndBounds)
{
    RecordingCanvas &canvas = makeBrushCanvas(MRKODissolveModeFreeze);
    canvas.setIndex(1);
    finish(canvas, QPointF(10, 10));
    MRKOHolder &holder = MRKOHolder::sharedHolder();

    RecordingCanvas &otherBounds = makeCanvas(QSizeF(300, 400));
    otherBounds.setIndex(1);
    EXPECT_FALSE(holder.setDrawIfMatched(&otherBounds));
    EXPECT_EQ(holder.draw(), &canvas);
    RecordingCanvas &same = makeCanvas(QSizeF(400, 400));
    same.setIndex(1);
    EXPECT_TRUE(holder.setDrawIfMatched(&same));
    EXPECT_EQ(holder.draw(), &same);

    holder.cleanUp();
    EXPECT_FALSE(holder.setDrawIfMatched(&same)) << "nothing held";
    EXPECT_EQ(holder.index(), 0);
}
