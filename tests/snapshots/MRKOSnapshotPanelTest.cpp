#include "snapshots/MRKOSnapshotPanel.h"

#include "canvas/MRKODarkOverlayWindow.h"
#include "canvas/MRKOModalOverlayView.h"
#include "canvas/MRKORoundCornerWindow.h"
#include "platform/fake/FakeScreens.h"
#include "snapshots/MRKOCollectionFlowLayout.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSearchField.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotView.h"
#include "snapshots/MRKOSnapshotsViewController.h"
#include "snapshots/SnapshotPanelSheet.h"
#include "snapshots/SnapshotSegmentedControl.h"
#include "tests/snapshots/SnapshotPanelFixture.h"
#include "tools/MRKOSmallButton.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QWindow>

#include <thread>

class MRKOSnapshotPanelTest : public SnapshotPanelFixture
{
protected:
    static MRKOSnapshotView &view() { return *panel().snapshotView(); }
    /// Three shots moved into the bin, the bin shown.
    void fillBin()
    {
        addNamed({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        manager().removeSnapshotsAtIndexes({0, 1, 2});
        manager().showCollectionWithViewType(2);
        drainMainQueue();
    }
};

TEST_F(MRKOSnapshotPanelTest, LaysOutTheStripOnTheFirstDisplay)
{
    EXPECT_EQ(MRKOSnapshotPanel::closedFrameWithFrame(QRectF(0, 0, 1440, 900)), QRectF(0, -200, 1440, 200));
    EXPECT_EQ(panel().frame(), QRectF(0, 0, 1440, 200));
    EXPECT_EQ(view().frameOfChild(*view().segmentedTop()), QRectF(495, 174, 450, 20));
    const QRectF search = view().frameOfChild(*view().serachField());
    EXPECT_EQ(search.width(), 288);
    EXPECT_EQ(search.x(), 1144);
    EXPECT_EQ(view().frameOfChild(*view().snapshotsViewController()), QRectF(30, 0, 1410, 170));
    EXPECT_EQ(view().frameOfChild(*view().closeButton()), QRectF(9, 176, 17, 17));

    EXPECT_EQ(MRKOCollectionFlowLayout::frameForItem(1).x(), 185);
    EXPECT_EQ(MRKOCollectionFlowLayout::separatorFrameForItem(0, 2), QRectF(182, 18, 1, 134));
    EXPECT_TRUE(MRKOCollectionFlowLayout::separatorFrameForItem(1, 2).isEmpty()) << "none after the last item";
    EXPECT_EQ(MRKOCollectionFlowLayout::interItemGapBeforeItem(1), QRectF(185 - 3 - 8, 0, 17, 170));
}

TEST_F(MRKOSnapshotPanelTest, FollowsTheFirstDisplayWhetherShownOrHidden)
{
    fakes().screens->setScreens({platform::FakeScreens::makeScreen(2, QRectF(100, 50, 1920, 1080))});
    panel().applicationDidChangeScreenParameters();
    EXPECT_EQ(panel().frame(), QRectF(100, 50, 1920, 200));

    MRKOSnapshotManager::hidePanelAnimated(true);
    advance(0.3);
    fakes().screens->setScreens({platform::FakeScreens::makeScreen(3, QRectF(0, 0, 1280, 800))});
    panel().applicationDidChangeScreenParameters();
    EXPECT_EQ(panel().frame(), QRectF(0, -200, 1280, 200));
}

TEST_F(MRKOSnapshotPanelTest, TakesTheKeyboardOnlyWhileANameIsTyped)
{
    EXPECT_FALSE(panel().canBecomeKeyWindow());
    EXPECT_TRUE(panel().windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus);
    const WId native = panel().winId();

    manager().setSnapshotNameEditing(true);
    EXPECT_TRUE(panel().canBecomeKeyWindow());
    EXPECT_FALSE(panel().windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus);
    manager().setSnapshotNameEditing(false);
    EXPECT_TRUE(panel().windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(panel().winId(), native) << "the window is never made again";
}

TEST_F(MRKOSnapshotPanelTest, AsksBeforeDeletingFromTheBinWithTheSelectionsWording)
{
    fillBin();
    struct Row
    {
        const char *name;
        inkora::ItemIndexes selection;
        const char *text;
    };
    const std::vector<Row> rows = {
        {"One", {0}, "Do you want to delete this snapshot? ⚠️"},
        {"Some", {0, 1}, "Do you want to delete these snapshots? ⚠️"},
        {"All", {0, 1, 2}, "Do you want to delete all snapshots? ⚠️"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        collection().setSelectionIndexes(row.selection);
        manager().removeSelectedSnapshots();
        ASSERT_TRUE(panel().hasQuestionWindow());
        EXPECT_EQ(view().questionWindow()->label()->text(), QString::fromUtf8(row.text));
        EXPECT_EQ(view().questionWindow()->finalFrame(), QRectF(720 - 251, 100 - 45, 502, 90));
        panel().removeQuestionWindowIfNeeded();
        advance(0.35);
    }
    EXPECT_EQ(manager().snapshots().size(), 3u);
}

TEST_F(MRKOSnapshotPanelTest, EscapeKeepsADimmedClickAnswersNothingAndReturnDeletes)
{
    fillBin();
    collection().setSelectionIndexes({0});
    manager().removeSelectedSnapshots();
    advance(0.35);
    QTest::keyClick(view().questionWindow()->window(), Qt::Key_Escape);
    advance(0.35);
    EXPECT_FALSE(panel().hasQuestionWindow());
    EXPECT_EQ(manager().snapshots().size(), 3u);

    collection().setSelectionIndexes({0});
    manager().removeSelectedSnapshots();
    advance(0.35);
    QTest::mouseClick(view().questionWindow()->darkOverlayWindow()->modalOverlayView(), Qt::LeftButton);
    advance(0.35);
    EXPECT_FALSE(panel().hasQuestionWindow());
    EXPECT_EQ(manager().snapshots().size(), 3u);
    EXPECT_EQ(manager().trashResponse(), 0) << "the manager heard no answer";

    collection().setSelectionIndexes({0});
    manager().removeSelectedSnapshots();
    advance(0.35);
    QTest::keyClick(view().questionWindow()->window(), Qt::Key_Return);
    advance(0.35);
    MRKOPersistentTrash::sharedTrash().waitForFileDeletions();
    EXPECT_EQ(manager().snapshots().size(), 2u);
    EXPECT_EQ(sqlite(binPath(), QStringLiteral("SELECT count(*) FROM sequence;")), QStringList{QStringLiteral("2")});
}

TEST_F(MRKOSnapshotPanelTest, AskingWithNothingSelectedOnlyLogs)
{
    fillBin();
    collection().setSelectionIndexes({});
    log().expectWarning(QStringLiteral("No one snapshots selected in Recently Deleted"));
    view().askAQuestion();
    EXPECT_FALSE(panel().hasQuestionWindow());
    EXPECT_TRUE(log().contains(QStringLiteral("No one snapshots selected in Recently Deleted")));
}

TEST_F(MRKOSnapshotPanelTest, TheExportSheetShowsProgressFromAnyThreadAndCancels)
{
    panel().makeExportOverlay(QStringLiteral("Exporting 3 PNG files..."));
    ASSERT_TRUE(panel().hasExportOverlay());
    EXPECT_EQ(view().exportWindow()->label()->text(), QStringLiteral("Exporting 3 PNG files..."));
    std::thread worker([] { MRKOSnapshotPanel::sharedSnapshotPanel().setPrgressValue(66.6); });
    worker.join();
    drainMainQueue();
    EXPECT_EQ(view().exportWindow()->progress()->value(), 67);

    EXPECT_FALSE(panel().isExportCancelled());
    panel().cancelExport();
    EXPECT_TRUE(panel().isExportCancelled());
    panel().makeExportOverlay(QStringLiteral("again"));
    EXPECT_FALSE(panel().isExportCancelled()) << "a new sheet starts uncancelled";
    panel().removeExportWindowIfNeeded();
    advance(0.35);
    EXPECT_FALSE(panel().hasExportOverlay());
}

TEST_F(MRKOSnapshotPanelTest, AnEmptyRollSaysHowToFillIt)
{
    MRKOSnapshotsViewController &browser = *panel().snapshotsViewController();
    manager().showCollectionWithViewType(1);
    drainMainQueue();
    ASSERT_NE(browser.emptyTextField(), nullptr);
    EXPECT_EQ(browser.emptyTextField()->text(), QStringLiteral("No DazadUdizs"));
    EXPECT_EQ(browser.emptyTextFieldDesc()->text(),
              QStringLiteral("You can take a DazadUdiz by selecting a screen portion in Flashlight"));

    addNamed({QStringLiteral("d")}, true);
    EXPECT_EQ(browser.emptyTextField(), nullptr);
    view().serachField()->setText(QStringLiteral("zzz"));
    EXPECT_EQ(browser.emptyTextField()->text(), QStringLiteral("No DazadUdizs Found"));
    EXPECT_EQ(browser.emptyTextFieldDesc()->text(), QStringLiteral("Can't find anything for this request"));
}
