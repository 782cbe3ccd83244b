#include "canvas/MRKOProxyDoc.h"

#include "canvas/MRKOLayerOrder.h"
#include "platform/UndoManager.h"
#include "tests/support/InkoraFixture.h"

namespace {

class MRKOProxyDocTest : public InkoraFixture
{
protected:
    platform::LayerPtr container = platform::Layer::create();
    platform::UndoManager undo;
    MRKOLayerOrder order{*container, undo};
    int autosaves = 0;
    MRKOProxyDoc doc{&undo, [this] { ++autosaves; }};

    void draw()
    {
        const platform::LayerPtr layer = platform::Layer::create();
        order.performUserAction(QStringLiteral("Add Layer"), [&] { order.undoAddLayerToIndex(layer); });
    }
};

} // namespace

TEST_F(MRKOProxyDocTest, CountsStepsAndAutosavesFifteenSecondsAfterTheLast)
{
    draw();
    draw();
    draw();
    undo.undo();
    EXPECT_EQ(doc.changeCount(), 2);
    EXPECT_TRUE(doc.hasUnautosavedChanges());

    advance(14.9);
    EXPECT_EQ(autosaves, 0);
    undo.redo(); // every change restarts the wait
    EXPECT_EQ(doc.changeCount(), 3);
    advance(14.9);
    EXPECT_EQ(autosaves, 0);
    advance(0.2);
    EXPECT_EQ(autosaves, 1);
    EXPECT_EQ(doc.changeCount(), 0);
    advance(30);
    EXPECT_EQ(autosaves, 1);

    // Undoing back to the saved state leaves nothing to save.
    draw();
    undo.undo();
    EXPECT_EQ(doc.changeCount(), 0);
    advance(20);
    EXPECT_EQ(autosaves, 1);
}

TEST_F(MRKOProxyDocTest, ChangesWhileTypingAreDropped)
{
    draw();
    platform::NotificationCenter::defaultCenter().post(kMRKONotificationTextEditingDidStart);
    advance(0.1);
    ASSERT_TRUE(doc.textEditing());
    EXPECT_EQ(doc.changeCount(), 0);
    draw();
    EXPECT_EQ(doc.changeCount(), 1);
    platform::NotificationCenter::defaultCenter().post(kMRKONotificationTextEditingDidEnd);
    EXPECT_EQ(doc.changeCount(), 1); // the drawing change before typing remains
    advance(15);
    EXPECT_EQ(autosaves, 1);

    doc.updateChangeCount(MRKOProxyDoc::ChangeDone);
    doc.updateChangeCount(MRKOProxyDoc::ChangeRedone);
    doc.updateChangeCount(MRKOProxyDoc::ChangeUndone);
    EXPECT_EQ(doc.changeCount(), 1);
    doc.updateChangeCount(MRKOProxyDoc::ChangeCleared);
    EXPECT_EQ(doc.changeCount(), 0);

    doc.close();
    draw();
    EXPECT_EQ(doc.changeCount(), 0);
}
