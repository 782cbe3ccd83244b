#include "snapshots/MRKOSnapshotManager.h"

#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "tests/snapshots/RecordingSnapshotViews.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDir>
#include <QFileInfo>

class MRKOSnapshotManagerTest : public SnapshotsFixture
{
protected:
    void SetUp() override
    {
        SnapshotsFixture::SetUp();
        auto views = std::make_unique<RecordingSnapshotViews>();
        m_views = views.get();
        manager().setViews(std::move(views));
    }
    void TearDown() override
    {
        manager().setViews(nullptr);
        SnapshotsFixture::TearDown();
    }
    static MRKOSnapshotManager &manager() { return MRKOSnapshotManager::sharedSnapshotManager(); }
    RecordingSnapshotViews &views() { return *m_views; }

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

private:
    RecordingSnapshotViews *m_views = nullptr;
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

    manager().removeSnapshotsAtIndexes({0, 1});
    EXPECT_EQ(namedShot()->name(), QStringLiteral("Snapshot 6"));
    EXPECT_EQ(manager().countChanges()[2], 2);
    EXPECT_EQ(views().count(QStringLiteral("highlight 2")), 1);
    EXPECT_EQ(views().count(QStringLiteral("removeSnapshotsAtIndexes 0,1")), 1);
    EXPECT_EQ(MRKOPersistentTrash::sharedTrash().sequences().size(), 2u);
}

TEST_F(MRKOSnapshotManagerTest, AddingShowsTheShotInTheBrowserOrAnnouncesIt)
{
    manager().addSnapshot(smallShot(QStringLiteral("a")));
    EXPECT_EQ(views().count(QStringLiteral("insertNewSnapshotAnimated")), 1);
    EXPECT_EQ(views().count(QStringLiteral("showAddedWindowWithRecord")), 0) << "the panel is shown";
    EXPECT_EQ(views().count(QStringLiteral("highlight 0")), 0);

    manager().addDazadUdiz(smallShot(QStringLiteral("b"), true));
    EXPECT_EQ(views().count(QStringLiteral("insertNewSnapshotAnimated")), 1) << "the browser shows Snapshots";
    EXPECT_EQ(views().count(QStringLiteral("highlight 1")), 1);

    views().panelShown = false;
    manager().addSnapshot(smallShot(QStringLiteral("c")));
    EXPECT_EQ(views().count(QStringLiteral("showAddedWindowWithRecord")), 0) << "no delegate, no notification setting";
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
        EXPECT_EQ(views().count(QStringLiteral("selectionDidChanged")), 1);
        views().calls.clear();
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
    views().calls.clear();
    manager().addSnapshot(smallShot(QStringLiteral("Resumed")));
    manager().addSnapshot(smallShot(QStringLiteral("Other")));
    EXPECT_EQ(views().count(QStringLiteral("highlight 0")), 2);
    EXPECT_EQ(views().count(QStringLiteral("insertNewSnapshotAnimated")), 0);
    advance(0.1);
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
    views().calls.clear();

    manager().putBackSnapshotsAtIndexes({0, 2, 3});

    EXPECT_EQ(manager().countChanges()[0], 2);
    EXPECT_EQ(manager().countChanges()[1], 1);
    EXPECT_EQ(views().count(QStringLiteral("highlight 0")), 1);
    EXPECT_EQ(views().count(QStringLiteral("highlight 1")), 1);
    EXPECT_EQ(manager().snapshots().size(), 1u);
    EXPECT_EQ(MRKOPersistentData::sharedData().items().size(), 2u);
    EXPECT_EQ(MRKOPersistentData::sharedData().dazadUdizsItems().size(), 1u);

    views().scroll = QPointF(40, 0);
    manager().showCollectionWithViewType(0);
    drainMainQueue();
    EXPECT_EQ(views().selection, (inkora::ItemIndexes{0, 1}));
    EXPECT_EQ(views().scroll, QPointF(0, 0));
    EXPECT_EQ(views().alpha, 1);
    EXPECT_EQ(manager().countChanges()[0], 0);
}

TEST_F(MRKOSnapshotManagerTest, RemovingInRecentlyDeletedAsksFirstAndFollowsTheAnswer)
{
    addNamed({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    manager().removeSnapshotsAtIndexes({0, 1, 2});
    manager().showCollectionWithViewType(2);
    drainMainQueue();
    views().selection = {0};

    manager().removeSelectedSnapshots();
    EXPECT_EQ(views().count(QStringLiteral("askAQuestion")), 1);
    EXPECT_EQ(manager().snapshots().size(), 3u);

    manager().removeFromTrashWithResponse(MRKOSnapshotManager::kTrashResponseCancel);
    EXPECT_EQ(manager().snapshots().size(), 3u) << "cancel removes nothing";

    log().expectWarning(QStringLiteral("without proper Trash Response"));
    manager().removeSnapshotsAtIndexes({0});
    EXPECT_EQ(manager().snapshots().size(), 3u);

    const auto doomed = std::dynamic_pointer_cast<Sequence>(manager().snapshots().front());
    const QString file = doomed->firstInfo()->snapshotFileURL();
    manager().removeFromTrashWithResponse(MRKOSnapshotManager::kTrashResponseDelete);
    MRKOPersistentTrash::sharedTrash().waitForFileDeletions();
    EXPECT_EQ(manager().snapshots().size(), 2u);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(manager().trashResponse(), 0);
}

TEST_F(MRKOSnapshotManagerTest, ThePanelSlidesAndThePreviewFollowsTheSelection)
{
    addNamed({QStringLiteral("a"), QStringLiteral("b")});
    views().panelShown = false;
    MRKOSnapshotManager::showPanel();
    EXPECT_TRUE(views().calls.contains(QStringLiteral("slidePanel 1 0.25")));
    EXPECT_TRUE(views().calls.contains(QStringLiteral("hideAddedWindowIfShown")));
    EXPECT_TRUE(views().calls.contains(QStringLiteral("showSnapshotsToolTip")));

    views().selection = {1};
    EXPECT_TRUE(MRKOSnapshotManager::wantsToRemoveSnapshot());
    manager().toggleQuickLook();
    EXPECT_EQ(views().quickLook, manager().snapshots()[1]);
    views().selection = {0};
    manager().validateQuicklookSnapshot();
    EXPECT_EQ(views().quickLook, manager().snapshots()[0]);
    views().selection.clear();
    manager().validateQuicklookSnapshot();
    EXPECT_FALSE(views().quickLookVisible);

    views().calls.clear();
    MRKOSnapshotManager::togglePanel();
    EXPECT_TRUE(views().calls.contains(QStringLiteral("slidePanel 0 0.25")));
    EXPECT_TRUE(views().calls.contains(QStringLiteral("makePanelFirstResponderNil")));
    EXPECT_FALSE(MRKOSnapshotManager::isPanelShown());
}
