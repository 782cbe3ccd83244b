#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOScreensController.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/fake/FakeScreens.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDir>
#include <QFileInfo>

using platform::FakeScreens;

// Freeze-mode drawings kept across display changes (in memory) and across launches (Documents), on three fake
// displays.
class CanvasBackupTest : public SnapshotsFixture
{
protected:
    void SetUp() override
    {
        SnapshotsFixture::SetUp();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        fakes().screens->setScreens({FakeScreens::makeScreen(1, QRectF(0, 0, 1440, 900)),
                                     FakeScreens::makeScreen(2, QRectF(1440, 0, 1280, 800)),
                                     FakeScreens::makeScreen(3, QRectF(2720, 0, 1024, 768))});
        // Settings are read at launch.
        defaults.setInteger(1, QStringLiteral("DissolveModeKey"));
        defaults.setInteger(1, QStringLiteral("SaveBeforeQuit"));
        launch();
    }
    void TearDown() override
    {
        m_delegate.reset();
        SnapshotsFixture::TearDown();
    }

    /// A new run of the program: a fresh delegate, launched, its overlay shown.
    void launch()
    {
        m_delegate.reset();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->prepareUserDefaults();
        MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
        m_delegate->applicationDidFinishLaunching();
        drainMainQueue();
        // The launch completes once per process; a later run is played by its completion step.
        if (!m_delegate->launchCompleted()) {
            m_delegate->applicationWillFinishLaunchingINKRA();
            m_delegate->applicationDidFinishLaunchingINKRA();
        }
    }
    void show()
    {
        m_delegate->runInkora(nullptr);
        drainMainQueue();
    }
    MRKODraw &canvas(int index) { return *m_delegate->windowControllersArray().at(index)->drawView(); }
    /// A finished drawing on the canvas.
    void draw(int index)
    {
        MRKODraw &target = canvas(index);
        ASSERT_EQ(target.dissolveMode(), 1);
        target.finalizeDrawWithLayerOrNil(drawing(QRectF(50, 50, 40, 40), 1, QColor(255, 0, 0)));
    }
    [[nodiscard]] std::vector<size_t> drawingCounts()
    {
        std::vector<size_t> counts;
        for (MRKOWindowController *controller : m_delegate->windowControllersArray())
            counts.push_back(controller->drawView()->layers().size());
        return counts;
    }
    [[nodiscard]] QString backupFile(int index) const
    {
        return QDir(documents()).filePath(MRKOSnapshot::fileNameWithIndex(index));
    }

    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(CanvasBackupTest, QuitWritesTheDrawnDisplaysAndARelaunchRestoresExactlyThose)
{
    show();
    draw(0);
    draw(2);
    draw(2);
    writeFile(QStringLiteral("Documents/0001.iksnapshot"), "left from an earlier run");

    m_delegate->applicationWillTerminate();

    EXPECT_TRUE(QFileInfo::exists(backupFile(0)));
    EXPECT_FALSE(QFileInfo::exists(backupFile(1))) << "an empty display's file goes";
    EXPECT_TRUE(QFileInfo::exists(backupFile(2)));

    launch();
    ASSERT_EQ(MRKOSnapshotManager::sharedSnapshotManager().backupSnapshots().size(), 2u);
    show();
    EXPECT_EQ(drawingCounts(), (std::vector<size_t>{1, 0, 2}));
    EXPECT_TRUE(MRKOSnapshotManager::sharedSnapshotManager().backupSnapshots().empty());
}

TEST_F(CanvasBackupTest, ADisplaysFileGoesBackToThatDisplayOnly)
{
    // Only display 2 had drawings at the last quit; display 0 must not take them.
    auto shot = MRKOSnapshot::snapshotWithLayers({drawing(QRectF(5, 5, 10, 10), 1, QColor(0, 255, 0))}, QImage(),
                                                 QRectF(0, 0, 1024, 768), 2);
    shot->saveToDocumentsDirectory();
    launch();
    show();
    EXPECT_EQ(drawingCounts(), (std::vector<size_t>{0, 0, 1}));

    // Two displays from now on: the third display's drawings wait, their file stays.
    m_delegate->applicationWillTerminate();
    fakes().screens->setScreens(
        {FakeScreens::makeScreen(1, QRectF(0, 0, 1440, 900)), FakeScreens::makeScreen(2, QRectF(1440, 0, 1280, 800))});
    launch();
    show();
    EXPECT_EQ(drawingCounts(), (std::vector<size_t>{0, 0}));
    m_delegate->applicationWillTerminate();
    EXPECT_TRUE(QFileInfo::exists(backupFile(2)));
}

TEST_F(CanvasBackupTest, ADisplayChangeInFreezeModeBringsEveryDrawingBack)
{
    (void)MRKOScreensController::sharedScreensController();
    show();
    draw(0);
    draw(1);
    draw(2);
    const platform::LayerPtr first = canvas(0).layers().front();

    fakes().screens->postChange();
    advance(MRKOScreensController::kSettleDelay);

    ASSERT_TRUE(m_delegate->isActiveAndShown());
    EXPECT_EQ(drawingCounts(), (std::vector<size_t>{1, 1, 1}));
    EXPECT_EQ(canvas(0).layers().front(), first) << "the drawings themselves move to the new canvas";

    // Hidden, and a display goes: its drawings wait for it while the others come back at the next showing.
    m_delegate->runInkora(nullptr);
    fakes().screens->setScreens(
        {FakeScreens::makeScreen(1, QRectF(0, 0, 1440, 900)), FakeScreens::makeScreen(2, QRectF(1440, 0, 1280, 800))});
    advance(MRKOScreensController::kSettleDelay);
    show();
    EXPECT_EQ(drawingCounts(), (std::vector<size_t>{1, 1}));
    ASSERT_EQ(MRKOSnapshotManager::sharedSnapshotManager().backupSnapshots().size(), 1u);
    EXPECT_EQ(MRKOSnapshotManager::sharedSnapshotManager().backupSnapshots().front()->screenIndex(), 2);
}
