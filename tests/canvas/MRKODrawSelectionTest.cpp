#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "foundation/NSCursor+Resize.h"
#include "platform/Animation.h"
#include "platform/EventQueue.h"
#include "platform/Keys.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeCursorStack.h"
#include "platform/fake/FakeServices.h"
#include "tests/canvas/CanvasFixture.h"

#include <QPainterPath>

using platform::EventType;
using platform::LayerPtr;

namespace {

constexpr quint64 kShift = platform::kShiftFlag;
constexpr quint64 kSuper = platform::kControlFlag; // Control's bit, on the Super key
constexpr quint64 kAlt = platform::kOptionFlag;
constexpr quint64 kCtrl = platform::kCommandFlag;

class MRKODrawSelectionTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
        cursors().nameCursor(Resize::scissors(), QStringLiteral("scissors"));
        cursors().nameCursor(Resize::scissorsCut(), QStringLiteral("scissorsCut"));
        cursors().nameCursor(Resize::eraserCursor(), QStringLiteral("eraser"));
    }

    platform::FakeCursorStack &cursors() { return *fakes().cursorStack; }
    static platform::UndoManager &undo() { return AppDelegate::undoManager(); }
};

struct ActionRow
{
    const char *name;
    quint64 flags;
    quint64 auxAction;
    quint64 expected;
};

} // namespace

TEST_F(MRKODrawSelectionTest, TheModifierKeysChooseTheActionOfTheNextClick)
{
    const std::vector<ActionRow> rows = {
        {"SuperCuts", kSuper, 0, MRKOAuxActionScissors},
        {"SuperShiftCuts", kSuper | kShift, 0, MRKOAuxActionScissors},
        {"SuperAltErases", kSuper | kAlt, 0, MRKOAuxActionEraser},
        {"CtrlAltCopies", kCtrl | kAlt, 0, MRKOAuxActionCopy},
        {"CtrlMoves", kCtrl, 0, MRKOAuxActionMove},
        {"CtrlShiftDraws", kCtrl | kShift, 0, MRKOAuxActionNone},
        {"ShiftDrawsEvenWithTheHand", kShift, MRKOAuxActionMove, MRKOAuxActionNone},
        {"NoKeysKeepTheHand", 0, MRKOAuxActionMove, MRKOAuxActionMove},
        {"AltTurnsTheHandIntoCopying", kAlt, MRKOAuxActionMove, MRKOAuxActionCopy},
        {"AltTurnsScissorsIntoTheEraser", kAlt, MRKOAuxActionScissors, MRKOAuxActionEraser},
        {"AltAloneDraws", kAlt, 0, MRKOAuxActionNone},
    };
    RecordingCanvas &canvas = makeFreezeCanvas();
    for (const ActionRow &row : rows) {
        SCOPED_TRACE(row.name);
        canvas.setAuxAction(row.auxAction);
        hover(canvas, QPointF(200, 200), row.flags);
        EXPECT_EQ(canvas.quickAuxAction(), row.expected);
    }

    // The eraser end of a pen erases whatever the keys say, until a plain mouse moves again.
    canvas.setAuxAction(0);
    platform::Event near = pointerEvent(EventType::MouseMoved, QPointF(200, 200), kCtrl);
    near.subtype = platform::EventSubtype::TabletProximity;
    near.pointingDeviceType = platform::PointingDeviceType::Eraser;
    near.enteringProximity = true;
    canvas.mouseMoved(near);
    EXPECT_TRUE(MRKODraw::penEraserFlag());
    EXPECT_EQ(canvas.quickAuxAction(), MRKOAuxActionEraser);
    hover(canvas, QPointF(200, 200), kCtrl);
    EXPECT_FALSE(MRKODraw::penEraserFlag());
    EXPECT_EQ(canvas.quickAuxAction(), MRKOAuxActionMove);

    // While a multiple move exists nothing is chosen.
    addDrawing(canvas, QRectF(10, 10, 20, 20));
    canvas.selectAllLayers();
    hover(canvas, QPointF(200, 200), kSuper);
    EXPECT_EQ(canvas.quickAuxAction(), MRKOAuxActionMove);
}

TEST_F(MRKODrawSelectionTest, TheUpperOfTwoDrawingsIsHighlightedAndItsShadowFadesIn)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr lower = addDrawing(canvas, QRectF(50, 50, 100, 100));
    const LayerPtr upper = addDrawing(canvas, QRectF(100, 100, 100, 100));

    hover(canvas, QPointF(120, 120), kCtrl);

    ASSERT_EQ(canvas.selectedLayer(), upper);
    EXPECT_EQ(upper->shadowColor(), QColor(Qt::black));
    EXPECT_EQ(upper->shadowOffset(), QPointF(0, -1));
    EXPECT_EQ(upper->shadowRadius(), 2.0);
    EXPECT_EQ(upper->shadowOpacity(), 1.0);
    const platform::Animation *fadeIn = upper->animationForKey(QStringLiteral("shadowOpacity"));
    ASSERT_NE(fadeIn, nullptr);
    EXPECT_DOUBLE_EQ(fadeIn->duration(), 0.15);
    EXPECT_EQ(lower->shadowOpacity(), 0.0);

    // Over the lower one alone it takes the highlight; the first loses it.
    hover(canvas, QPointF(60, 60), kCtrl);
    EXPECT_EQ(canvas.selectedLayer(), lower);
    EXPECT_EQ(upper->shadowOpacity(), 0.0);

    // A drawing with a shadow path of its own gets a lighter shadow.
    EXPECT_EQ(MRKODraw::prepareLayerForSelection(*platform::Layer::create()), 1.0);
    const LayerPtr shaped = platform::Layer::create();
    shaped->setShadowPath(QPainterPath());
    EXPECT_EQ(MRKODraw::prepareLayerForSelection(*shaped), 0.5);
}

TEST_F(MRKODrawSelectionTest, ATransparentPixelSelectsByFrameOnlyWhileNothingIsSelected)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    // Opaque on its left half only.
    QImage half(100, 100, QImage::Format_RGBA8888_Premultiplied);
    half.fill(Qt::transparent);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 50; ++x)
            half.setPixelColor(x, y, Qt::red);
    const LayerPtr a = platform::Layer::create();
    a->setFrame(QRectF(50, 50, 100, 100));
    a->setContents(std::make_shared<const QImage>(half));
    canvas.finalizeDrawWithLayerOrNil(a);
    const LayerPtr b = addDrawing(canvas, QRectF(300, 300, 50, 50));
    const QPointF transparentOfA(125, 100);

    hover(canvas, transparentOfA, kCtrl);
    EXPECT_EQ(canvas.selectedLayer(), a) << "nothing was selected: the frame is enough";

    hover(canvas, QPointF(320, 320), kCtrl);
    ASSERT_EQ(canvas.selectedLayer(), b);
    hover(canvas, transparentOfA, kCtrl);
    EXPECT_EQ(canvas.selectedLayer(), nullptr) << "the first motion out of the selected frame only clears";
    hover(canvas, transparentOfA, kCtrl);
    EXPECT_EQ(canvas.selectedLayer(), a);

    // Once selected, a drawing stays selected anywhere inside its frame.
    hover(canvas, QPointF(60, 60), kCtrl);
    hover(canvas, QPointF(140, 140), kCtrl);
    EXPECT_EQ(canvas.selectedLayer(), a);
}

TEST_F(MRKODrawSelectionTest, ATimerIsFoundBeforeADrawingLyingAboveIt)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr drawing = addDrawing(canvas, QRectF(50, 50, 100, 100));
    const LayerPtr timer = platform::Layer::create();
    QImage image(100, 100, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::blue);
    timer->setFrame(QRectF(50, 50, 100, 100));
    timer->setContents(std::make_shared<const QImage>(image));
    canvas.timersContainer()->addSublayer(timer);

    EXPECT_EQ(canvas.selectedLayerWithPoint(QPointF(100, 100)), timer);
    EXPECT_EQ(canvas.selectedLayerWithPointInLayer(QPointF(100, 100), canvas.layersContainer()), drawing);
}

TEST_F(MRKODrawSelectionTest, TheActionCursorShowsOverADrawingAndEveryPushHasItsPop)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    addDrawing(canvas, QRectF(50, 50, 100, 100));

    hover(canvas, QPointF(300, 300), kCtrl);
    EXPECT_EQ(cursors().depth(), 0) << "no drawing under the pointer, no hand";
    hover(canvas, QPointF(100, 100), kCtrl);
    EXPECT_EQ(cursors().top(), QStringLiteral("openHand"));

    cursors().clearCalls();
    hover(canvas, QPointF(100, 100), kCtrl | kAlt);
    EXPECT_EQ(cursors().calls(), QStringList({QStringLiteral("pop"), QStringLiteral("push dragCopy")}));
    EXPECT_EQ(cursors().depth(), 1);

    hover(canvas, QPointF(300, 300), kCtrl);
    EXPECT_EQ(cursors().depth(), 0);

    // The eraser's cursor shows over the empty canvas too, and goes with the eraser.
    hover(canvas, QPointF(300, 300), kSuper | kAlt);
    EXPECT_EQ(cursors().top(), QStringLiteral("eraser"));
    hover(canvas, QPointF(300, 300));
    EXPECT_EQ(cursors().depth(), 0);
    EXPECT_FALSE(cursors().calls().contains(QStringLiteral("pop on empty")));
}

TEST_F(MRKODrawSelectionTest, TheBandSpansTheRectangleOfTwoPointsAndASquareWithShift)
{
    platform::EventQueue &queue = platform::EventQueue::shared();
    queue.setCurrentEvent(pointerEvent(EventType::LeftMouseDragged, QPointF()));
    EXPECT_EQ(MRKODraw::rectWithPoint1Point2(QPointF(100, 100), QPointF(40, 120)), QRectF(40, 100, 60, 20));
    queue.setCurrentEvent(pointerEvent(EventType::LeftMouseDragged, QPointF(), kShift));
    EXPECT_EQ(MRKODraw::rectWithPoint1Point2(QPointF(100, 100), QPointF(40, 120)), QRectF(40, 100, 60, 60));
    EXPECT_EQ(MRKODraw::rectWithPoint1Point2(QPointF(100, 100), QPointF(130, 40)), QRectF(100, 40, 60, 60));
}

TEST_F(MRKODrawSelectionTest, AScissorsBandRemovesEveryDrawingItMeetsInOneStep)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr d0 = addDrawing(canvas, QRectF(10, 10, 20, 20));
    const LayerPtr kept = addDrawing(canvas, QRectF(300, 300, 20, 20));
    const LayerPtr d2 = addDrawing(canvas, QRectF(60, 60, 20, 20));
    const LayerPtr d3 = addDrawing(canvas, QRectF(110, 20, 20, 20));
    drainMainQueue();
    canvas.setAuxAction(MRKOAuxActionScissors);
    hover(canvas, QPointF(200, 200));
    ASSERT_EQ(canvas.selectedLayer(), nullptr);

    postDrags(QPointF(200, 200), QPointF(5, 5), 10);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(5, 5)));
    press(canvas, QPointF(200, 200));
    drainMainQueue();

    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({kept}));
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Remove Layers"));
    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({d0, kept, d2, d3})) << "each back at its own index";
    EXPECT_EQ(canvas.layersContainer()->sublayers(), canvas.layers());
    EXPECT_EQ(d2->shadowOpacity(), 0.0) << "the band's highlight is gone";
    EXPECT_EQ(cursors().depth(), 0);
    EXPECT_FALSE(cursors().calls().contains(QStringLiteral("pop on empty")));
}

TEST_F(MRKODrawSelectionTest, ABandLetGoWithoutADragOrEndedByEscapeChangesNothing)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    const LayerPtr b = addDrawing(canvas, QRectF(60, 60, 20, 20));
    drainMainQueue();
    const QString before = undo().undoActionName();
    canvas.setAuxAction(MRKOAuxActionMove);
    hover(canvas, QPointF(200, 200));
    const size_t shown = canvas.viewLayer().sublayers().size(); // the canvas's own: the empty layer and the ball

    post(pointerEvent(EventType::LeftMouseUp, QPointF(200, 200)));
    press(canvas, QPointF(200, 200));
    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    advance(0.5); // the band's overlay fades and goes
    ASSERT_EQ(canvas.viewLayer().sublayers().size(), shown);

    postDrags(QPointF(200, 200), QPointF(5, 5), 10);
    post(keyEvent(EventType::KeyDown, platform::kKeyEscape));
    press(canvas, QPointF(200, 200));
    drainMainQueue();

    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({a, b}));
    EXPECT_EQ(a->frame(), QRectF(10, 10, 20, 20));
    EXPECT_EQ(a->shadowOpacity(), 0.0);
    EXPECT_EQ(b->shadowOpacity(), 0.0);
    EXPECT_EQ(undo().undoActionName(), before);
    EXPECT_EQ(canvas.viewLayer().sublayers().size(), shown + 1);
    advance(0.5);
    EXPECT_EQ(canvas.viewLayer().sublayers().size(), shown);
}

TEST_F(MRKODrawSelectionTest, SelectAllToggles)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    const LayerPtr b = addDrawing(canvas, QRectF(60.5, 60, 20, 20));

    canvas.selectAllLayers();
    ASSERT_TRUE(MRKODraw::hasMultipleMove());
    const auto &sublayers = canvas.viewLayer().sublayers();
    const LayerPtr box = sublayers.back();
    EXPECT_EQ(box->frame(), QRectF(10, 10, 71, 70)) << "floored origin, size rounded up";
    EXPECT_EQ(box->borderWidth(), 1.0);
    EXPECT_EQ(box->cornerRadius(), 2.0);

    canvas.selectAllLayers();
    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    EXPECT_EQ(box->superlayer(), nullptr);
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({a, b}));
}

TEST_F(MRKODrawSelectionTest, ACopyBandAddsItsCopiesAtOnceAndUndoLeavesExactlyTheSources)
{
    AppDelegate delegate;
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    const LayerPtr b = addDrawing(canvas, QRectF(60, 60, 20, 20));
    drainMainQueue();
    hover(canvas, QPointF(200, 200), kCtrl | kAlt);

    postDrags(QPointF(200, 200), QPointF(5, 5), 10, kCtrl | kAlt);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(5, 5), kCtrl | kAlt));
    press(canvas, QPointF(200, 200), kCtrl | kAlt);
    drainMainQueue();

    ASSERT_TRUE(MRKODraw::hasMultipleMove());
    ASSERT_EQ(canvas.layers().size(), 4U) << "the copies lie over their sources before the pointer moves";
    EXPECT_EQ(canvas.layers()[2]->frame(), a->frame());
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Add Layers"));

    delegate.undoWithEvent(nullptr);
    drainMainQueue();

    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({a, b}));
    EXPECT_EQ(canvas.layersContainer()->sublayers(), std::vector<LayerPtr>({a, b}));
    EXPECT_FALSE(undo().canRedo()) << "the copies cannot come back";
}
