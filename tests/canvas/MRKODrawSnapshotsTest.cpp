#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODraw.h"
#include "platform/UndoManager.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tests/canvas/CanvasFixture.h"

using platform::LayerPtr;

namespace {

class MRKODrawSnapshotsTest : public CanvasFixture
{
protected:
    static platform::UndoManager &undo() { return AppDelegate::undoManager(); }

    static std::vector<LayerPtr> sublayers(const MRKODraw &canvas) { return canvas.layersContainer()->sublayers(); }
    /// A stored shot of display `index` with one drawing at `at` and a screen image, as the roll gives it back.
    static std::shared_ptr<MRKOSnapshot> storedShot(qint64 index, QPointF at)
    {
        LayerPtr layer = platform::Layer::create();
        QImage image(20, 20, QImage::Format_RGBA8888_Premultiplied);
        image.fill(QColor(0, 0, 255));
        layer->setFrame(QRectF(at, QSizeF(20, 20)));
        layer->setContents(std::make_shared<const QImage>(image));
        QImage screen(400, 400, QImage::Format_RGBA8888_Premultiplied);
        screen.fill(Qt::white);
        return MRKOSnapshot::snapshotWithLayers({layer}, screen, QRectF(0, 0, 400, 400), index);
    }
};

} // namespace

TEST_F(MRKODrawSnapshotsTest, ASnapshotHoldsCopiesOverTheScreenAndTheCurrentSnapshotTheDrawingsThemselves)
{
    RecordingCanvas &canvas = makeCanvas();
    canvas.setDissolveMode(MRKODissolveModeFreeze);
    canvas.setIndex(1);
    const LayerPtr drawn = finishSquare(canvas, QPointF(10, 10), red());

    const std::shared_ptr<MRKOSnapshot> current = canvas.currentSnapshot();
    EXPECT_EQ(current->layers(), std::vector<LayerPtr>{drawn});
    EXPECT_TRUE(current->screenBitmap().isNull());
    EXPECT_EQ(current->screenIndex(), 1);
    EXPECT_EQ(current->bounds(), QRectF(0, 0, 400, 400));

    inkora::liveSettings().overallShadow = true;
    const std::shared_ptr<MRKOSnapshot> shot = canvas.snapshot();
    ASSERT_EQ(shot->layers().size(), 1u);
    EXPECT_NE(shot->layers().front(), drawn) << "a copy";
    EXPECT_EQ(shot->layers().front()->frame(), drawn->frame());
    EXPECT_EQ(shot->name(), MRKOSnapshotManager::sharedSnapshotManager().snapshotName());
    EXPECT_TRUE(shot->overallShadow());
    EXPECT_EQ(shot->screenIndex(), 1);
}

TEST_F(MRKODrawSnapshotsTest, InFreezeModeLoadingIsOneUndoStepThatSwapsTheWholeSetOfDrawings)
{
    RecordingCanvas &canvas = makeCanvas();
    canvas.setDissolveMode(MRKODissolveModeFreeze);
    const LayerPtr before = finishSquare(canvas, QPointF(10, 10), red());
    const std::shared_ptr<MRKOSnapshot> shot = storedShot(0, QPointF(100, 100));

    canvas.loadSnapshot(shot);
    ASSERT_EQ(canvas.layers().size(), 1u);
    const LayerPtr loaded = canvas.layers().front();
    EXPECT_NE(loaded, shot->layers().front()) << "a stored snapshot's drawings are copied";
    EXPECT_EQ(loaded->frame(), QRectF(100, 100, 20, 20));
    EXPECT_EQ(sublayers(canvas), canvas.layers());
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Apply Snapshot"));

    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>{before}) << "the very drawings that were there";
    EXPECT_EQ(sublayers(canvas), canvas.layers());
    undo().redo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>{loaded});

    canvas.loadSnapshot(shot);
    drainMainQueue();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>{loaded}) << "what is on the canvas already is left alone";
    undo().undo();
    EXPECT_EQ(canvas.layers(), std::vector<LayerPtr>{before}) << "and it registered no step of its own";
}

TEST_F(MRKODrawSnapshotsTest, ASnapshotOfAnotherDisplayOrWithoutDrawingsLoadsNothing)
{
    RecordingCanvas &canvas = makeCanvas();
    canvas.setDissolveMode(MRKODissolveModeFreeze);
    canvas.setIndex(1);
    canvas.loadSnapshot(storedShot(2, QPointF(5, 5)));
    auto empty = MRKOSnapshot::snapshotWithLayers({}, QImage(), QRectF(0, 0, 400, 400), 1);
    canvas.loadSnapshot(empty);
    EXPECT_TRUE(canvas.layers().empty());
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(MRKODrawSnapshotsTest, InFadeModeLoadedDrawingsFadeLikeFreshOnesWithoutAnUndoStep)
{
    RecordingCanvas &canvas = makeCanvas();
    canvas.setDissolveMode(MRKODissolveModeFade);
    canvas.loadSnapshot(storedShot(0, QPointF(30, 30)));
    EXPECT_EQ(sublayers(canvas).size(), 1u);
    EXPECT_TRUE(canvas.layers().empty());
    EXPECT_FALSE(undo().canUndo());
    advance(10);
    EXPECT_TRUE(sublayers(canvas).empty()) << "faded out";
}

TEST_F(MRKODrawSnapshotsTest, TheDrawingsShadowTreatsAScaleNotAboveZeroAsOne)
{
    for (const double scale : {0.0, -2.0, 1.0}) {
        SCOPED_TRACE(scale);
        platform::Layer layer;
        MRKODraw::enableShadowOnLayerScale(layer, scale);
        EXPECT_EQ(layer.shadowRadius(), 2);
        EXPECT_EQ(layer.shadowOffset(), QPointF(0, -1));
        EXPECT_EQ(layer.shadowOpacity(), 1);
    }
    platform::Layer layer;
    MRKODraw::enableShadowOnLayerScale(layer, 2);
    EXPECT_EQ(layer.shadowRadius(), 4);
    MRKODraw::disableShadowOnLayer(layer);
    EXPECT_EQ(layer.shadowOpacity(), 0);
}
