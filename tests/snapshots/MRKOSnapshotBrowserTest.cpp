#include "app/AppDelegate.h"
#include "platform/UndoManager.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotItem.h"
#include "snapshots/MRKOSnapshotItemView.h"
#include "snapshots/MRKOSnapshotNameField.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/MRKOSnapshotToolbar.h"
#include "snapshots/MRKOSnapshotView.h"
#include "snapshots/MRKOSnapshotsViewController.h"
#include "snapshots/SnapshotDragData.h"
#include "snapshots/SnapshotItemMenus.h"
#include "tests/snapshots/SnapshotPanelFixture.h"
#include "tools/MRKOSmallButton.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <QTest>

class MRKOSnapshotBrowserTest : public SnapshotPanelFixture
{
protected:
    static MRKOSnapshotsViewController &browser() { return *panel().snapshotsViewController(); }
    /// The menu's entries; "-" for separators, submenus as "title>".
    static QStringList titles(const QMenu &menu)
    {
        QStringList out;
        for (const QAction *action : menu.actions())
            out << (action->isSeparator() ? QStringLiteral("-")
                                          : action->text() + (action->menu() ? QStringLiteral(">") : QString()));
        return out;
    }
    static QList<qint64> tags(const QMenu &menu)
    {
        QList<qint64> out;
        for (const QAction *action : menu.actions()) {
            if (!action->isSeparator() && !action->menu() && action->data().toLongLong() >= 0)
                out << action->data().toLongLong();
        }
        return out;
    }
    static QMenu *submenu(const QMenu &menu, const QString &title)
    {
        for (const QAction *action : menu.actions()) {
            if (action->menu() && action->text() == title)
                return action->menu();
        }
        return nullptr;
    }
};

TEST_F(MRKOSnapshotBrowserTest, ShiftClicksSelectRangesEitherWayFromTheLastClick)
{
    addNamed({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e")});
    collection().itemPressed(item(3), Qt::ShiftModifier);
    EXPECT_EQ(collection().selectionIndexes(), inkora::ItemIndexes{3}) << "no anchor yet";

    collection().itemPressed(item(1), Qt::NoModifier);
    collection().itemPressed(item(4), Qt::ShiftModifier);
    EXPECT_EQ(collection().selectionIndexes(), (inkora::ItemIndexes{1, 2, 3, 4}));

    collection().itemPressed(item(2), Qt::NoModifier);
    collection().itemReleased(item(2), Qt::NoModifier, false);
    advance(0.1);
    collection().itemPressed(item(0), Qt::ShiftModifier);
    EXPECT_EQ(collection().selectionIndexes(), (inkora::ItemIndexes{0, 1, 2}));

    // A plain click inside a multiple selection narrows it 0.1 s later.
    collection().itemPressed(item(1), Qt::NoModifier);
    collection().itemReleased(item(1), Qt::NoModifier, false);
    EXPECT_EQ(collection().selectionIndexes().size(), 3u);
    advance(0.1);
    EXPECT_EQ(collection().selectionIndexes(), inkora::ItemIndexes{1});
}

TEST_F(MRKOSnapshotBrowserTest, BinItemsShowTheBadgeAndCannotBeRenamed)
{
    addNamed({QStringLiteral("a")});
    manager().removeSnapshotsAtIndexes({0});
    manager().showCollectionWithViewType(2);
    drainMainQueue();
    MRKOSnapshotItemView &face = item(0).view();
    waitFor([&] {
        advance(0.25);
        return !face.image().isNull();
    });
    EXPECT_TRUE(item(0).trashItem());
    EXPECT_TRUE(face.hasRemovedBadge());
    EXPECT_EQ(face.name(), QStringLiteral("a"));
    EXPECT_FALSE(face.nameField()->isEnabled());
}

TEST_F(MRKOSnapshotBrowserTest, RenamingIsOneUndoStepAgainstTheRecord)
{
    addNamed({QStringLiteral("Old"), QStringLiteral("Other")});
    platform::UndoManager &undo = AppDelegate::undoManager();
    undo.removeAllActions();
    MRKOSnapshotItemView &face = item(1).view();
    const auto record = manager().snapshots()[1];
    ASSERT_EQ(record->name(), QStringLiteral("Old"));

    face.nameField()->startEditingUnregisterKeys();
    EXPECT_TRUE(manager().snapshotNameEditing());
    face.nameField()->setText(QStringLiteral("Meeting"));
    QTest::keyClick(face.nameField(), Qt::Key_Return);
    EXPECT_FALSE(manager().snapshotNameEditing());
    EXPECT_EQ(record->name(), QStringLiteral("Meeting"));
    EXPECT_EQ(face.nameField()->text(), QStringLiteral("Meeting"));
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Name Change"));
    const QString nameInStore = QStringLiteral("SELECT name FROM snap_info ORDER BY position;");

    // Empty and equal names add nothing.
    face.undoSnapshotName(QString());
    face.undoSnapshotName(QStringLiteral("Meeting"));
    EXPECT_EQ(face.nameField()->text(), QStringLiteral("Meeting"));
    EXPECT_EQ(record->name(), QStringLiteral("Meeting"));

    // Undo after switching rolls still renames that shot, not what an item view shows now.
    manager().showCollectionWithViewType(1);
    drainMainQueue();
    undo.undo();
    EXPECT_EQ(record->name(), QStringLiteral("Old"));
    EXPECT_FALSE(undo.canUndo()) << "the equal and empty names registered nothing";
    manager().showCollectionWithViewType(0);
    drainMainQueue();
    EXPECT_EQ(item(1).view().nameField()->text(), QStringLiteral("Old"));
    EXPECT_TRUE(sqlite(rollPath(), nameInStore).contains(QStringLiteral("Old")));
    EXPECT_FALSE(sqlite(rollPath(), nameInStore).contains(QStringLiteral("Meeting")));

    // Escape abandons an edit.
    face.nameField()->startEditingUnregisterKeys();
    face.nameField()->setText(QStringLiteral("Abandoned"));
    QTest::keyClick(face.nameField(), Qt::Key_Escape);
    EXPECT_EQ(record->name(), QStringLiteral("Old"));

    // Removing the record drops its steps.
    undo.redo();
    ASSERT_TRUE(undo.canUndo());
    manager().removeSnapshotsAtIndexes({1});
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(MRKOSnapshotBrowserTest, MenusFollowTheRollAndTheSelection)
{
    addNamed({QStringLiteral("a")});
    collection().setSelectionIndexes({});
    {
        inkora::SnapshotItemMenus menus(item(0));
        const std::unique_ptr<QMenu> menu = menus.menuForEvent();
        EXPECT_EQ(menu->title(), QStringLiteral("Snapshot Menu"));
        EXPECT_EQ(titles(*menu),
                  QString("Quick Look|Apply Snapshot|Select All|-|Save Snapshot|Copy>|Export Snapshot>|-|"
                          "Remove Snapshot")
                      .split('|'))
            << "a roll of one has no entries for all";
    }
    addNamed({QStringLiteral("b"), QStringLiteral("c")});
    collection().setSelectionIndexes({0});
    {
        // A right click moves a single selection to the clicked item.
        inkora::SnapshotItemMenus menus(item(2));
        const std::unique_ptr<QMenu> menu = menus.menuForEvent();
        EXPECT_EQ(collection().selectionIndexes(), inkora::ItemIndexes{2});
        EXPECT_TRUE(titles(*menu).contains(QStringLiteral("Remove All Snapshots")));
        EXPECT_TRUE(titles(*menu).contains(QStringLiteral("Remove Snapshot")));
        const QMenu *exports = submenu(*menu, QStringLiteral("Export Snapshot"));
        ASSERT_NE(exports, nullptr);
        EXPECT_EQ(tags(*exports), (QList<qint64>{0, 1, 2, 3, 4, 5}));
    }
    collection().setSelectionIndexes({0, 1});
    {
        // With two selected the clicked one joins them and titles are plural.
        inkora::SnapshotItemMenus menus(item(2));
        const std::unique_ptr<QMenu> menu = menus.menuForEvent();
        EXPECT_EQ(collection().selectionIndexes(), (inkora::ItemIndexes{0, 1, 2}));
        EXPECT_TRUE(titles(*menu).contains(QStringLiteral("Remove Snapshots")));
        const QMenu *exports = submenu(*menu, QStringLiteral("Export Snapshots"));
        ASSERT_NE(exports, nullptr);
        EXPECT_EQ(tags(*exports), (QList<qint64>{0, 1, 2, 3, 4, 5, 6, 7}));
    }
    addNamed({QStringLiteral("d")}, true);
    manager().showCollectionWithViewType(1);
    drainMainQueue();
    {
        inkora::SnapshotItemMenus menus(item(0));
        const std::unique_ptr<QMenu> menu = menus.menuForEvent();
        EXPECT_EQ(menu->title(), QStringLiteral("DazadUdiz Menu"));
        EXPECT_EQ(menu->actions().at(1)->text(), QStringLiteral("Export DazadUdiz"));
        EXPECT_EQ(menu->actions().at(1)->data().toLongLong(), 8);
    }
    manager().removeSnapshotsAtIndexes({0});
    manager().showCollectionWithViewType(2);
    drainMainQueue();
    {
        inkora::SnapshotItemMenus menus(item(0));
        const std::unique_ptr<QMenu> menu = menus.menuForEvent();
        EXPECT_EQ(menu->title(), QStringLiteral("Snapshot Trash Menu"));
        EXPECT_EQ(titles(*menu), QString("Quick Look|Put Back|Select All|-|Move to Bin|-|Delete").split('|'));
    }
}

TEST_F(MRKOSnapshotBrowserTest, TheSaveMenuCountsTheSelectionAndNeedsShots)
{
    std::unique_ptr<QMenu> empty = manager().saveMenu(true);
    EXPECT_EQ(titles(*empty), QString("Save Selected Snapshot|Save All Snapshots|-|Load Snapshots").split('|'));
    EXPECT_FALSE(empty->actions().at(0)->isEnabled());
    EXPECT_FALSE(empty->actions().at(1)->isEnabled());

    addNamed({QStringLiteral("a"), QStringLiteral("b")});
    collection().setSelectionIndexes({0, 1});
    std::unique_ptr<QMenu> two = manager().saveMenu(false);
    EXPECT_EQ(titles(*two), QString("Save Selected Snapshots|Save All Snapshots").split('|'));
    EXPECT_TRUE(two->actions().at(1)->isEnabled());
}

TEST_F(MRKOSnapshotBrowserTest, TheToolbarFollowsTheSelectionAndTheRoll)
{
    MRKOSnapshotToolbar &toolbar = *browser().snapshotToolbar();
    addNamed({QStringLiteral("d")}, true);
    manager().showCollectionWithViewType(1);
    drainMainQueue();
    collection().setSelectionIndexes({0});
    EXPECT_FALSE(toolbar.applyButton->isEnabled());
    EXPECT_TRUE(toolbar.removeButton->isEnabled());
    EXPECT_TRUE(toolbar.quickLookButton->isEnabled());
    EXPECT_TRUE(toolbar.shareButton->isEnabled());
    EXPECT_FALSE(toolbar.saveButton->isEnabled());
    EXPECT_TRUE(toolbar.cleanUpButton->isEnabled());

    manager().showCollectionWithViewType(0);
    drainMainQueue();
    EXPECT_TRUE(toolbar.saveButton->isEnabled()) << "save is for the Snapshots roll, selection or not";
    EXPECT_FALSE(toolbar.removeButton->isEnabled());
    EXPECT_FALSE(toolbar.cleanUpButton->isEnabled()) << "the roll is empty";
}

TEST_F(MRKOSnapshotBrowserTest, DropsReorderOnlyWhatCameFromThisBrowser)
{
    addNamed({QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")});
    const QString type = QLatin1String(inkora::SnapshotDragData::kIndexPathType);
    QMimeData ours;
    ours.setData(type, inkora::SnapshotDragData::encodeIndexes({2}));

    log().expectWarning(QStringLiteral("acceptDrop:"));
    EXPECT_FALSE(browser().acceptDrop(ours, nullptr, 0)) << "from another source";
    QMimeData outOfRange;
    outOfRange.setData(type, inkora::SnapshotDragData::encodeIndexes({7}));
    EXPECT_FALSE(browser().acceptDrop(outOfRange, &collection(), 0));
    QMimeData notAList;
    notAList.setData(type, QByteArray("bplist00garbage"));
    EXPECT_FALSE(browser().acceptDrop(notAList, &collection(), 0));
    EXPECT_EQ(log().count(QStringLiteral("acceptDrop:")), 3);
    EXPECT_EQ(shown(), QString("a b c").split(' '));

    EXPECT_TRUE(browser().acceptDrop(ours, &collection(), 0));
    EXPECT_EQ(shown(), QString("c a b").split(' '));

    manager().showCollectionWithViewType(2);
    drainMainQueue();
    EXPECT_FALSE(browser().validateDrop(ours, &collection())) << "the bin takes no drops";
}
