#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/UndoManager.h"
#include "tests/canvas/CanvasFixture.h"

using platform::EventType;
using platform::LayerPtr;

namespace {

constexpr quint64 kCtrl = platform::kCommandFlag;

class MRKODrawStaticSelectionTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        inkora::liveSettings().limitMouseFPS = false;
    }
    static platform::UndoManager &undo() { return AppDelegate::undoManager(); }
    static std::shared_ptr<const QImage> image(const QColor &color)
    {
        QImage pixels(20, 20, QImage::Format_RGBA8888_Premultiplied);
        pixels.fill(color);
        return std::make_shared<const QImage>(pixels);
    }
};

} // namespace

TEST_F(MRKODrawStaticSelectionTest, TheDrawingUnderThePointerIsSelectedWithABoxInFreezeModeOnly)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr drawing = addDrawing(canvas, QRectF(50, 50, 40, 30));
    pointAt(canvas, QPointF(60, 60));

    ASSERT_TRUE(canvas.tryToMakeStaticSelection());

    EXPECT_EQ(canvas.staticSelectionLayer(), drawing);
    const LayerPtr box = canvas.staticSelectionBoundingBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->superlayer(), &canvas.viewLayer());
    EXPECT_EQ(box->frame(), drawing->frame());
    EXPECT_EQ(box->borderWidth(), 1.0);
    EXPECT_EQ(box->cornerRadius(), 2.0);
    EXPECT_EQ(box->borderColor(), OnOffColor::iconOnColor());
    EXPECT_NE(canvas.selectedLayerControls(), nullptr);
    EXPECT_FALSE(canvas.tryToMakeStaticSelection()) << "already the selection";

    // The box follows its drawing.
    canvas.setFrameToLayer(QRectF(70, 80, 40, 30), drawing);
    EXPECT_EQ(box->frame(), QRectF(70, 80, 40, 30));

    // Nothing under the pointer, or fade mode, selects nothing.
    pointAt(canvas, QPointF(300, 300));
    EXPECT_FALSE(canvas.tryToMakeStaticSelection());
    RecordingCanvas &fading = makeCanvas();
    fading.setDissolveMode(MRKODissolveModeFade);
    addDrawing(fading, QRectF(50, 50, 40, 30));
    pointAt(fading, QPointF(60, 60));
    EXPECT_FALSE(fading.tryToMakeStaticSelection());
    EXPECT_FALSE(fading.hasStaticSelectionLayer());
}

TEST_F(MRKODrawStaticSelectionTest, SelectingAnotherDrawingFirstRecordsThePixelChangeOfTheFirst)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr first = addDrawing(canvas, QRectF(50, 50, 20, 20));
    const LayerPtr second = addDrawing(canvas, QRectF(200, 200, 20, 20));
    drainMainQueue();
    const platform::ImagePtr before = first->contents();
    pointAt(canvas, QPointF(60, 60));
    ASSERT_TRUE(canvas.tryToMakeStaticSelection());
    const LayerPtr firstBox = canvas.staticSelectionBoundingBox();
    first->setContents(image(Qt::green)); // as a recolour through the controls leaves it

    pointAt(canvas, QPointF(210, 210));
    ASSERT_TRUE(canvas.tryToMakeStaticSelection());

    EXPECT_EQ(canvas.staticSelectionLayer(), second);
    EXPECT_EQ(firstBox->superlayer(), nullptr);
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Change Layer"));
    undo().undo();
    EXPECT_EQ(first->contents(), before);
}

TEST_F(MRKODrawStaticSelectionTest, APressOutsideTheSelectedDrawingEndsTheSelection)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    addDrawing(canvas, QRectF(50, 50, 20, 20));
    pointAt(canvas, QPointF(60, 60));
    ASSERT_TRUE(canvas.tryToMakeStaticSelection());

    post(pointerEvent(EventType::LeftMouseUp, QPointF(300, 300)));
    press(canvas, QPointF(300, 300));

    EXPECT_FALSE(canvas.hasStaticSelectionLayer());
    EXPECT_EQ(canvas.staticSelectionBoundingBox(), nullptr);
    EXPECT_EQ(canvas.selectedLayerControls(), nullptr);
}

TEST_F(MRKODrawStaticSelectionTest, ClearingTakesTheSelectionOrTheGatheredDrawingsAway)
{
    RecordingCanvas &canvas = makeFreezeCanvas();
    const LayerPtr a = addDrawing(canvas, QRectF(10, 10, 20, 20));
    const LayerPtr b = addDrawing(canvas, QRectF(300, 300, 20, 20));
    pointAt(canvas, QPointF(20, 20));
    ASSERT_TRUE(canvas.tryToMakeStaticSelection());

    canvas.clearCanvas();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({b}));
    EXPECT_FALSE(canvas.hasStaticSelectionLayer());
    drainMainQueue();
    undo().undo();
    ASSERT_EQ(canvas.layers(), std::vector<LayerPtr>({a, b}));

    // A band with the hand gathers the first drawing only.
    hover(canvas, QPointF(100, 100), kCtrl);
    postDrags(QPointF(100, 100), QPointF(5, 5), 5, kCtrl);
    post(pointerEvent(EventType::LeftMouseUp, QPointF(5, 5), kCtrl));
    press(canvas, QPointF(100, 100), kCtrl);
    ASSERT_TRUE(MRKODraw::hasMultipleMove());

    canvas.clearCanvas();
    EXPECT_FALSE(MRKODraw::hasMultipleMove());
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>({b}));
}
