#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOArrowPill.h"
#include "platform/Defaults.h"
#include "platform/EventQueue.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeCursorStack.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeServices.h"
#include "tests/canvas/CanvasFixture.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolType.h"

#include <QGuiApplication>
#include <QStyleHints>

using platform::EventType;
using platform::LayerPtr;

namespace {

constexpr quint64 kAlt = platform::kOptionFlag;
constexpr quint64 kCtrl = platform::kCommandFlag;

platform::UndoManager &undo()
{
    return AppDelegate::undoManager();
}

class MRKODrawMoveTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
    }
    /// A press at `from` with the keys held, drags to `to` in steps and the release there.
    static void drag(MRKODraw &canvas, QPointF from, QPointF to, quint64 flags, int steps = 10)
    {
        hover(canvas, from, flags);
        postDrags(from, to, steps, flags);
        post(pointerEvent(EventType::LeftMouseUp, to, flags));
        press(canvas, from, flags);
    }
};

} // namespace

TEST_F(MRKODrawMoveTest, AMotionOfOnePointChangesNothing)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr drawing = addDrawing(canvas, QRectF(50, 50, 100, 100));
    drainMainQueue();
    const QString before = undo().undoActionName();

    drag(canvas, QPointF(100, 100), QPointF(101, 100), kCtrl, 1);
    drainMainQueue();

    EXPECT_EQ(drawing->frame(), QRectF(50, 50, 100, 100));
    EXPECT_EQ(undo().undoActionName(), before);
}

TEST_F(MRKODrawMoveTest, APressHeldPastTheDoubleClickIntervalThenDraggedGathersInstead)
{
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(400);
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr drawing = addDrawing(canvas, QRectF(50, 50, 100, 100));
    hover(canvas, QPointF(100, 100), kCtrl);
    ASSERT_EQ(canvas.selectedLayer(), drawing);

    platform::Event late = pointerEvent(EventType::LeftMouseDragged, QPointF(120, 120), kCtrl);
    late.timestamp = 0.41; // the press came at 0
    post(late);
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(160, 160), kCtrl));
    post(pointerEvent(EventType::LeftMouseUp, QPointF(160, 160), kCtrl));
    press(canvas, QPointF(100, 100), kCtrl);

    EXPECT_EQ(drawing->frame(), QRectF(50, 50, 100, 100)) << "not moved";
    EXPECT_TRUE(MRKODraw::hasMultipleMove()) << "the band gathered it";
}

TEST_F(MRKODrawMoveTest, ADraggedDrawingAndItsModelLandOnWholePointsAndUndoPutsThemBack)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr drawing = addDrawing(canvas, QRectF(10, 20, 40, 40));
    const auto arrow = std::make_shared<MRKOArrowPill>(MRKOToolTypeArrow, QPointF(10, 20), QPointF(50, 60), red(),
                                                       red(), MRKOColorTypeCustom, 10, 0);
    OpaqueContent::setPill(*drawing, arrow);
    drainMainQueue();

    drag(canvas, QPointF(30, 40), QPointF(130.4, 90.6), kCtrl);
    drainMainQueue();

    EXPECT_EQ(drawing->frame().topLeft(), QPointF(110, 71));
    EXPECT_EQ(arrow->startPoint(), QPointF(110, 71));
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Move Layer"));
    undo().undo();
    EXPECT_EQ(drawing->frame().topLeft(), QPointF(10, 20));
    EXPECT_EQ(arrow->startPoint(), QPointF(10, 20));
    undo().redo();
    EXPECT_EQ(drawing->frame().topLeft(), QPointF(110, 71));
}

TEST_F(MRKODrawMoveTest, ACopyDragAddsTheCopyWithItsOwnColourAndUndoRemovesOnlyIt)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr source = addDrawing(canvas, QRectF(50, 50, 40, 40));
    source->setBorderColor(Qt::blue);
    drainMainQueue();

    drag(canvas, QPointF(60, 60), QPointF(200, 60), kCtrl | kAlt);
    drainMainQueue();

    ASSERT_EQ(canvas.layers().size(), 2U);
    const LayerPtr copy = canvas.layers().back();
    EXPECT_EQ(source->frame(), QRectF(50, 50, 40, 40));
    EXPECT_EQ(copy->frame(), QRectF(190, 50, 40, 40));
    EXPECT_EQ(copy->borderColor(), QColor(Qt::blue)) << "a copy keeps the colour of its source";
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Add Layer"));
    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({source}));
}

TEST_F(MRKODrawMoveTest, AMultipleMoveFollowsThePointerAndDropsAsOneStep)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    const LayerPtr b = addDrawing(canvas, QRectF(60, 60, 20, 20));
    drainMainQueue();
    pointAt(canvas, QPointF(100, 100));
    canvas.selectAllLayers();

    for (int i = 1; i <= 10; ++i)
        canvas.mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(100 + 15.05 * i, 100 + 10 * i)));
    EXPECT_EQ(a->frame().topLeft(), QPointF(10 + 150.5, 110));
    press(canvas, QPointF(250.5, 200));
    drainMainQueue();

    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    EXPECT_EQ(a->frame().topLeft(), QPointF(161, 110)) << "dropped on whole points";
    EXPECT_EQ(b->frame().topLeft(), QPointF(211, 160));
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Multiple Move Layers"));
    undo().undo();
    EXPECT_EQ(a->frame().topLeft(), QPointF(10, 10));
    EXPECT_EQ(b->frame().topLeft(), QPointF(60, 60));
}

TEST_F(MRKODrawMoveTest, GluingNeedsTwoDrawingsAndMakesOneInTheirPlace)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    drainMainQueue();
    canvas.selectAllLayers();
    EXPECT_FALSE(MRKODraw::canGlueLayers());
    EXPECT_FALSE(MRKODraw::createGlueLayer());
    canvas.selectAllLayers();

    const LayerPtr b = addDrawing(canvas, QRectF(60, 60, 20, 20));
    drainMainQueue();
    pointAt(canvas, QPointF(100, 100));
    canvas.selectAllLayers();
    canvas.mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(150, 100)));
    ASSERT_TRUE(MRKODraw::canGlueLayers());
    ASSERT_TRUE(MRKODraw::createGlueLayer());
    drainMainQueue();

    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    ASSERT_EQ(canvas.layers().size(), 1U);
    EXPECT_EQ(canvas.layers().front()->frame(), QRectF(10, 10, 70, 70)) << "glued where the drawings were";
    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({a, b}));
    EXPECT_EQ(a->frame().topLeft(), QPointF(10, 10));
}

TEST_F(MRKODrawMoveTest, AGluedCopyLeavesTheSourcesAndOneComposite)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    const LayerPtr b = addDrawing(canvas, QRectF(60, 60, 20, 20));
    drainMainQueue();
    drag(canvas, QPointF(200, 200), QPointF(5, 5), kCtrl | kAlt);
    ASSERT_EQ(canvas.layers().size(), 4U);
    canvas.mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(105, 5)));

    ASSERT_TRUE(MRKODraw::createGlueLayer());
    drainMainQueue();

    ASSERT_EQ(canvas.layers().size(), 3U);
    EXPECT_EQ(canvas.layers()[0], a);
    EXPECT_EQ(canvas.layers()[1], b);
    EXPECT_EQ(canvas.layers()[2]->frame(), QRectF(110, 10, 70, 70));
    EXPECT_EQ(canvas.layersContainer()->sublayers(), canvas.layers());
}

TEST_F(MRKODrawMoveTest, CancellingACopyTakesBackOnlyItsCopiesAndTheirStep)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    drainMainQueue();
    drag(canvas, QPointF(200, 200), QPointF(5, 5), kCtrl | kAlt);
    drainMainQueue();
    ASSERT_EQ(canvas.layers().size(), 2U);
    // Meanwhile a change elsewhere becomes the latest step.
    int colour = 1;
    undo().registerUndo(&colour, [&colour] { colour = 0; });
    undo().setActionName(QStringLiteral("Change Layer Color"));
    drainMainQueue();

    ASSERT_TRUE(MRKODraw::cancelMultipleMoveIfNeeded());
    drainMainQueue();

    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({a}));
    EXPECT_EQ(canvas.layersContainer()->sublayers(), canvas.layers());
    EXPECT_EQ(colour, 1) << "the other change is not undone";
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Change Layer Color"));
    undo().undo();
    EXPECT_EQ(colour, 0);
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Add Layer")) << "the copies' step is gone";
}

TEST_F(MRKODrawMoveTest, AClickDuringAMultipleMoveDropsItAndADoubleClickSelectsStatically)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    pointAt(canvas, QPointF(20, 20));
    canvas.selectAllLayers();
    press(canvas, QPointF(20, 20));
    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    EXPECT_EQ(a->frame(), QRectF(10, 10, 20, 20));

    hover(canvas, QPointF(20, 20), kCtrl);
    press(canvas, QPointF(20, 20), kCtrl, 2);
    EXPECT_EQ(canvas.staticSelectionLayer(), a);
    EXPECT_EQ(fakes().cursorStack->depth(), 2) << "the open hand, and the grab for a moment";
    advance(0.5);
    EXPECT_EQ(fakes().cursorStack->depth(), 1);
}

// ---------------------------------------------------------------------------------------------------------------
// Two displays side by side: 800 x 600 points each, the second at backing scale 2.

namespace {

class MRKODrawTwoDisplaysTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
        using platform::FakeScreens;
        fakes().screens->setScreens({FakeScreens::makeScreen(1, QRectF(0, 0, 800, 600), 1.0),
                                     FakeScreens::makeScreen(2, QRectF(800, 0, 800, 600), 2.0)});
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->prepareUserDefaults();
        MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
        m_delegate->applicationDidFinishLaunching();
        drainMainQueue();
        m_delegate->runInkora(nullptr);
        ASSERT_EQ(m_delegate->windowControllersArray().size(), 2);
        first().setDissolveMode(MRKODissolveModeFreeze);
        second().setDissolveMode(MRKODissolveModeFreeze);
    }
    void TearDown() override
    {
        m_delegate.reset();
        CanvasFixture::TearDown();
    }
    MRKODraw &first() { return *m_delegate->windowControllersArray().at(0)->drawView(); }
    MRKODraw &second() { return *m_delegate->windowControllersArray().at(1)->drawView(); }
    MRKOWindowController &secondController() { return *m_delegate->windowControllersArray().at(1); }

    /// Drags the drawing under (710, 310) of the first display across to x = 900 of the first display's
    /// coordinates, that is (100, 310) on the second, and lets go there.
    void dragAcross(quint64 flags)
    {
        hover(first(), QPointF(710, 310), flags);
        pointAt(second(), QPointF(100, 310)); // where the pointer will be
        post(pointerEvent(EventType::LeftMouseDragged, QPointF(720, 310), flags));
        post(pointerEvent(EventType::LeftMouseDragged, QPointF(760, 310), flags));
        post(pointerEvent(EventType::LeftMouseDragged, QPointF(900, 310), flags));
        post(pointerEvent(EventType::LeftMouseUp, QPointF(900, 310), flags));
        press(first(), QPointF(710, 310), flags);
        drainMainQueue();
    }

    std::unique_ptr<AppDelegate> m_delegate;
};

} // namespace

TEST_F(MRKODrawTwoDisplaysTest, ADrawingDroppedOnTheOtherDisplayMovesThereAsOneStep)
{
    const LayerPtr drawing = addDrawing(first(), QRectF(700.3, 300, 40, 40));
    drainMainQueue();

    dragAcross(kCtrl);

    EXPECT_TRUE(first().layers().empty());
    ASSERT_EQ(second().layers().size(), 1U);
    const LayerPtr arrived = second().layers().front();
    EXPECT_EQ(arrived->frame(), QRectF(90, 300, 40, 40)) << "at the pointer, on whole points";
    EXPECT_EQ(arrived->contentsScale(), 2.0);
    EXPECT_EQ(arrived->superlayer(), second().layersContainer().get());

    undo().undo();
    EXPECT_TRUE(second().layers().empty());
    EXPECT_EQ(first().layers(), std::vector<LayerPtr>({drawing}));
    EXPECT_EQ(drawing->frame(), QRectF(700.3, 300, 40, 40));
}

TEST_F(MRKODrawTwoDisplaysTest, ComingBackBeforeTheReleaseLeavesNoVisitor)
{
    const LayerPtr drawing = addDrawing(first(), QRectF(700, 300, 40, 40));
    const size_t shownOnSecond = second().viewLayer().sublayers().size();
    hover(first(), QPointF(710, 310), kCtrl);
    pointAt(second(), QPointF(100, 310));
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(900, 310), kCtrl));
    post(pointerEvent(EventType::LeftMouseDragged, QPointF(700, 310), kCtrl));
    post(pointerEvent(EventType::LeftMouseUp, QPointF(700, 310), kCtrl));
    press(first(), QPointF(710, 310), kCtrl);

    EXPECT_EQ(second().viewLayer().sublayers().size(), shownOnSecond);
    EXPECT_TRUE(second().layers().empty());
    EXPECT_EQ(first().layers(), std::vector<LayerPtr>({drawing}));
    EXPECT_EQ(drawing->frame().topLeft(), QPointF(690, 300));
}

TEST_F(MRKODrawTwoDisplaysTest, AMultipleMoveTravelsAsCopiesWhileTheSourcesKeepInStep)
{
    const LayerPtr a = addDrawing(first(), QRectF(600, 100, 20, 20));
    const LayerPtr b = addDrawing(first(), QRectF(650, 150, 20, 20));
    drainMainQueue();
    pointAt(first(), QPointF(700, 100));
    first().selectAllLayers();

    pointAt(second(), QPointF(10, 100));
    second().mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(10, 100)));
    second().mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(20, 100)));

    EXPECT_EQ(a->frame().topLeft(), QPointF(610, 100)) << "the sources follow invisibly";
    EXPECT_EQ(first().layers(), std::vector<LayerPtr>({a, b}));
    const auto &shown = second().viewLayer().sublayers();
    const auto copyOfA = std::find_if(shown.begin(), shown.end(),
                                      [](const LayerPtr &l) { return l->frame().topLeft() == QPointF(-80, 100); });
    ASSERT_NE(copyOfA, shown.end()) << "the copies on the second display, where the pointer carries them";
    EXPECT_EQ((*copyOfA)->contentsScale(), 2.0);

    press(second(), QPointF(20, 100));
    drainMainQueue();

    EXPECT_TRUE(first().layers().empty());
    EXPECT_EQ(second().layers().size(), 2U);
    undo().undo();
    EXPECT_TRUE(second().layers().empty()) << "one step";
    EXPECT_EQ(first().layers(), std::vector<LayerPtr>({a, b}));
    EXPECT_EQ(a->frame().topLeft(), QPointF(600, 100));
}

TEST_F(MRKODrawTwoDisplaysTest, CancellingPutsEverySourceBackAndHidingCancels)
{
    const LayerPtr a = addDrawing(first(), QRectF(600, 100, 20, 20));
    const LayerPtr b = addDrawing(first(), QRectF(650, 150, 20, 20));
    drainMainQueue();
    const size_t shownOnSecond = second().viewLayer().sublayers().size();
    pointAt(first(), QPointF(700, 100));
    first().selectAllLayers();
    pointAt(second(), QPointF(10, 100));
    second().mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(10, 100)));
    second().mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(50, 120)));

    ASSERT_TRUE(MRKODraw::cancelMultipleMoveIfNeeded());

    EXPECT_EQ(a->frame().topLeft(), QPointF(600, 100));
    EXPECT_EQ(b->frame().topLeft(), QPointF(650, 150));
    EXPECT_EQ(second().viewLayer().sublayers().size(), shownOnSecond);
    EXPECT_FALSE(MRKODraw::cancelMultipleMoveIfNeeded());

    first().selectAllLayers();
    second().mouseMoved(pointerEvent(EventType::MouseMoved, QPointF(70, 120)));
    m_delegate->closeAllDrawableScreens();
    EXPECT_FALSE(MRKODraw::hasMultipleMove());
}

TEST_F(MRKODrawTwoDisplaysTest, ADisabledDisplayLetsDroppedDrawingsFadeAway)
{
    addDrawing(first(), QRectF(700, 300, 40, 40));
    drainMainQueue();
    secondController().setScreenDisabled(true);

    dragAcross(kCtrl);

    EXPECT_TRUE(first().layers().empty());
    EXPECT_TRUE(second().layers().empty());
    const auto &shown = second().viewLayer().sublayers();
    const auto fading = std::find_if(shown.begin(), shown.end(), [](const LayerPtr &l) {
        return l->animationForKey(QStringLiteral("fadeOut")) != nullptr;
    });
    EXPECT_NE(fading, shown.end());
}

TEST_F(MRKODrawTwoDisplaysTest, TheSelectionCommandsActOnTheCanvasUnderThePointer)
{
    const LayerPtr a = addDrawing(first(), QRectF(100, 100, 20, 20));
    addDrawing(first(), QRectF(200, 200, 20, 20));
    drainMainQueue();
    pointAt(first(), QPointF(110, 110));
    const auto command = [this](const char *action) { m_delegate->performAction(QLatin1String(action), nullptr); };

    // A change of the modifier keys selects under the pointer again.
    platform::EventQueue::shared().setCurrentEvent(pointerEvent(EventType::FlagsChanged, QPointF(), kCtrl));
    m_delegate->handleFlagsChangedWithCurrentEvent();
    EXPECT_EQ(first().selectedLayer(), a);
    EXPECT_EQ(first().quickAuxAction(), MRKOAuxActionMove);

    command("selectLayerWithEvent:");
    EXPECT_EQ(first().staticSelectionLayer(), a);
    command("selectAllWithEvent:");
    ASSERT_TRUE(MRKODraw::hasMultipleMove());
    EXPECT_FALSE(first().hasStaticSelectionLayer());
    command("groupWithEvent:");
    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    EXPECT_EQ(first().layers().size(), 1U);

    command("scissorsCutWithEvent:");
    EXPECT_EQ(first().auxAction(), MRKOAuxActionScissors);
    EXPECT_EQ(second().auxAction(), MRKOAuxActionScissors);
    command("handWithEvent:");
    EXPECT_EQ(second().auxAction(), MRKOAuxActionMove);
    command("handWithEvent:");
    EXPECT_EQ(second().auxAction(), MRKOAuxActionNone);
    command("scissorsCutWithEvent:");
    m_delegate->closeAllDrawableScreens();
    EXPECT_EQ(first().auxAction(), MRKOAuxActionNone) << "hiding ends the scissors";
}
