#include "snapshots/MRKOSnapshotManager.h"

#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotAddedWindow.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/MRKOSnapshotQuicklook.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/SnapshotSegmentedControl.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDir>
#include <QFileInfo>

class MRKOSnapshotManagerTest : public SnapshotsFixture
{
protected:
    /// The panel, opened.
    void SetUp() override
    {
        SnapshotsFixture::SetUp();
        log().expectWarning(QStringLiteral("This plugin does not support setting window masks"));
        MRKOSnapshotManager::showPanel();
        advance(0.3);
    }
    static MRKOSnapshotManager &manager() { return MRKOSnapshotManager::sharedSnapshotManager(); }
    static MRKOSnapshotPanel &panel() { return MRKOSnapshotPanel::sharedSnapshotPanel(); }
    static MRKOSnapshotCollectionView &collection() { return *panel().collectionView(); }
    static int flashing() { return panel().snapshotsTopControl()->flashingSegment(); }
    static bool addedWindowShown()
    {
        return MRKOSnapshotAddedWindow::isMade() && MRKOSnapshotAddedWindow::sharedWindow().isShown();
    }

    /// A shot named by the manager, as the canvas makes it.
    static std::shared_ptr<MRKOSnapshot> namedShot(bool dazadUdiz = false)
    {
        std::vector<platform::LayerPtr> layers;
        if (!dazadUdiz)
            layers.push_back(drawing(QRectF(10, 10, 30, 20), 2, QColor(0, 0, 200)));
        return MRKOSnapshot::snapshotWithLayers(layers, screenImage(160, 100), QRectF(0, 0, 80, 50), 0);
    }
    void addNamed(const QStringList &names)
    {
        for (const QString &name : names)
            manager().addSnapshot(smallShot(name));
        settleWrites();
    }
    QStringList shown() const
    {
        QStringList out;
        for (const auto &record : manager().snapshots())
            out << record->name();
        return out;
    }
};

TEST_F(MRKOSnapshotManagerTest, NewShotsAreNumberedByKindAndDeletionsDoNotLowerTheCount)
{
    EXPECT_EQ(namedShot()->name(), QStringLiteral("Snapshot 1"));
    for (int i = 0; i < 5; ++i)
        manager().addSnapshot(namedShot());
    manager().addDazadUdiz(namedShot(true));
    manager().addDazadUdiz(namedShot(true));
    settleWrites();
    EXPECT_EQ(MRKOPersistentData::sharedData().items().front()->name(), QStringLiteral("Snapshot 5"));
    EXPECT_EQ(MRKOPersistentData::sharedData().dazadUdizsItems().front()->name(), QStringLiteral("DazadUdiz 2"));
    EXPECT_EQ(namedShot()->name(), QStringLiteral("Snapshot 6"));
    EXPECT_EQ(namedShot(true)->name(), QStringLiteral("DazadUdiz 3"));

    ASSERT_EQ(collection().numberOfItems(), 5);
    manager().removeSnapshotsAtIndexes({0, 1});
    EXPECT_EQ(namedShot()->name(), QStringLiteral("Snapshot 6"));
    EXPECT_EQ(manager().countChanges()[2], 2);
    EXPECT_EQ(flashing(), 2) << "Recently Deleted flashes";
    EXPECT_EQ(collection().numberOfItems(), 3);
    EXPECT_EQ(MRKOPersistentTrash::sharedTrash().sequences().size(), 2u);
}

TEST_F(MRKOSnapshotManagerTest, AddingShowsTheShotInTheBrowserOrAnnouncesIt)
{
    manager().addSnapshot(smallShot(QStringLiteral("a")));
    EXPECT_EQ(collection().numberOfItems(), 1);
    EXPECT_FALSE(addedWindowShown()) << "the panel is shown";
    EXPECT_EQ(flashing(), -1);

    manager().addDazadUdiz(smallShot(QStringLiteral("b"), true));
    EXPECT_EQ(collection().numberOfItems(), 1) << "the browser shows Snapshots";
    EXPECT_EQ(flashing(), 1);

    MRKOSnapshotManager::hidePanelAnimated(true);
    advance(0.3);
    manager().addSnapshot(smallShot(QStringLiteral("c")));
    EXPECT_FALSE(addedWindowShown()) << "no delegate, no notification setting";
    settleWrites();
}

TEST_F(MRKOSnapshotManagerTest, DroppedItemsStandTogetherBeforeTheDropIndexAndStaySo)
{
    struct Row
    {
        const char *name;
        std::vector<qint64> dragged;
        qint64 drop;
        QStringList order;
    };
    const std::vector<Row> rows = {
        {"FromAfter", {5, 6}, 2, QString("0 1 5 6 2 3 4").split(' ')},
        {"FromBothSides", {1, 5}, 3, QString("0 2 1 5 3 4 6").split(' ')},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        // Seven shots shown as 0 … 6.
        MRKOPersistentData::sharedData().setSequences({});
        MRKOPersistentData::sharedData().addNewSequenceWithType(0);
        addNamed(QString("6 5 4 3 2 1 0").split(' '));
        ASSERT_EQ(shown(), QString("0 1 2 3 4 5 6").split(' '));

        EXPECT_TRUE(manager().moveSnapshotsAtIndexesToIndex(row.dragged, row.drop));

        EXPECT_EQ(shown(), row.order);
        EXPECT_EQ(collection().selectionIndexes().size(), row.dragged.size()) << "the dropped items stay selected";
        // What the next launch reads.
        const QString foldername = MRKOPersistentData::sharedData().currentSnapshotsSequence()->foldername();
        EXPECT_EQ(sqlite(rollPath(), QStringLiteral("SELECT group_concat(name, ' ') FROM (SELECT i.name FROM snap_info "
                                                    "i JOIN sequence s ON s.id = i.sequence_id WHERE s.foldername = "
                                                    "'%1' ORDER BY i.position);")
                                         .arg(foldername)),
                  QStringList{row.order.join(' ')});
    }
}

TEST_F(MRKOSnapshotManagerTest, SearchingFindsNamesRegardlessOfCaseAndMarksAndBlocksReordering)
{
    addNamed({QStringLiteral("Snapshot 1"), QStringLiteral("Résumé"), QStringLiteral("Board")});
    manager().startSearch();
    manager().updateSearchWithString(QStringLiteral("SNÄP"));
    EXPECT_EQ(shown(), QStringList{QStringLiteral("Snapshot 1")});
    manager().updateSearchWithString(QStringLiteral("resume"));
    EXPECT_EQ(shown(), QStringList{QStringLiteral("Résumé")});

    log().expectWarning(QStringLiteral("moveSnapshotsAtIndexes: Collection In Search. Discard Moving"));
    EXPECT_FALSE(manager().moveSnapshotsAtIndexesToIndex({0}, 1));
    EXPECT_TRUE(log().contains(QStringLiteral("moveSnapshotsAtIndexes: Collection In Search. Discard Moving")));

    // A new shot joins the result 0.1 s later only when it matches.
    manager().addSnapshot(smallShot(QStringLiteral("Resumed")));
    manager().addSnapshot(smallShot(QStringLiteral("Other")));
    EXPECT_EQ(flashing(), 0);
    EXPECT_EQ(collection().numberOfItems(), 1);
    advance(0.1);
    EXPECT_EQ(collection().numberOfItems(), 2);
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Resumed"), QStringLiteral("Résumé")}));
    settleWrites();

    manager().endSearch();
    EXPECT_EQ(shown().size(), 5);
}

TEST_F(MRKOSnapshotManagerTest, PuttingBackCountsByKindAndTheRollShowsThemFirstSelected)
{
    manager().addSnapshot(smallShot(QStringLiteral("s1")));
    manager().addSnapshot(smallShot(QStringLiteral("s2")));
    manager().addSnapshot(smallShot(QStringLiteral("s3")));
    manager().addDazadUdiz(smallShot(QStringLiteral("d1"), true));
    settleWrites();
    manager().removeSnapshotsAtIndexes({0, 1, 2});
    manager().showCollectionWithViewType(1);
    manager().removeSnapshotsAtIndexes({0});
    manager().showCollectionWithViewType(2);
    drainMainQueue();
    ASSERT_EQ(manager().snapshots().size(), 4u);

    manager().putBackSnapshotsAtIndexes({0, 2, 3});

    EXPECT_EQ(manager().countChanges()[0], 2);
    EXPECT_EQ(manager().countChanges()[1], 1);
    EXPECT_EQ(flashing(), 1) << "both rolls flash, DazadUdizs last";
    EXPECT_EQ(manager().snapshots().size(), 1u);
    EXPECT_EQ(collection().numberOfItems(), 1);
    EXPECT_EQ(MRKOPersistentData::sharedData().items().size(), 2u);
    EXPECT_EQ(MRKOPersistentData::sharedData().dazadUdizsItems().size(), 1u);

    manager().showCollectionWithViewType(0);
    EXPECT_EQ(collection().alpha(), 0) << "the roll fades in once its selection is set";
    drainMainQueue();
    EXPECT_EQ(collection().selectionIndexes(), (inkora::ItemIndexes{0, 1}));
    EXPECT_EQ(collection().scrollOrigin(), QPointF(0, 0));
    EXPECT_EQ(collection().alpha(), 1);
    EXPECT_EQ(manager().countChanges()[0], 0);
}

TEST_F(MRKOSnapshotManagerTest, RemovingInRecentlyDeletedAsksFirstAndFollowsTheAnswer)
{
    addNamed({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    manager().removeSnapshotsAtIndexes({0, 1, 2});
    manager().showCollectionWithViewType(2);
    drainMainQueue();
    collection().setSelectionIndexes({0});

    manager().removeSelectedSnapshots();
    EXPECT_TRUE(panel().hasQuestionWindow());
    EXPECT_EQ(manager().snapshots().size(), 3u);

    collection().setSelectionIndexes({0});
    manager().removeFromTrashWithResponse(MRKOSnapshotManager::kTrashResponseCancel);
    EXPECT_EQ(manager().snapshots().size(), 3u) << "cancel removes nothing";

    log().expectWarning(QStringLiteral("without proper Trash Response"));
    manager().removeSnapshotsAtIndexes({0});
    EXPECT_EQ(manager().snapshots().size(), 3u);

    const auto doomed = std::dynamic_pointer_cast<Sequence>(manager().snapshots().front());
    const QString file = doomed->firstInfo()->snapshotFileURL();
    collection().setSelectionIndexes({0});
    manager().removeFromTrashWithResponse(MRKOSnapshotManager::kTrashResponseDelete);
    MRKOPersistentTrash::sharedTrash().waitForFileDeletions();
    EXPECT_EQ(manager().snapshots().size(), 2u);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(manager().trashResponse(), 0);
}

TEST_F(MRKOSnapshotManagerTest, ThePanelSlidesAndThePreviewFollowsTheSelection)
{
    addNamed({QStringLiteral("a"), QStringLiteral("b")});
    MRKOSnapshotManager::hidePanelAnimated(true);
    advance(0.3);
    ASSERT_FALSE(MRKOSnapshotManager::isPanelShown());
    EXPECT_EQ(panel().frame(), QRectF(0, -200, 1440, 200));

    MRKOSnapshotManager::showPanel();
    EXPECT_TRUE(panel().inAnimation());
    advance(0.1);
    EXPECT_LT(panel().frame().y(), 0) << "still sliding";
    advance(0.2);
    EXPECT_FALSE(panel().inAnimation());
    EXPECT_EQ(panel().frame(), QRectF(0, 0, 1440, 200));

    collection().setSelectionIndexes({1});
    EXPECT_TRUE(MRKOSnapshotManager::wantsToRemoveSnapshot());
    manager().toggleQuickLook();
    MRKOSnapshotQuicklook &quicklook = MRKOSnapshotQuicklook::sharedSnapshotQuicklook();
    EXPECT_EQ(quicklook.snapshot(), manager().snapshots()[1]);
    collection().setSelectionIndexes({0});
    EXPECT_EQ(quicklook.snapshot(), manager().snapshots()[0]) << "the preview follows the selection";
    EXPECT_EQ(quicklook.title(), QStringLiteral("b"));
    collection().setSelectionIndexes({});
    EXPECT_FALSE(quicklook.isShown());

    MRKOSnapshotManager::togglePanel();
    advance(0.3);
    EXPECT_FALSE(MRKOSnapshotManager::isPanelShown());
    EXPECT_EQ(panel().frame(), QRectF(0, -200, 1440, 200));
}
