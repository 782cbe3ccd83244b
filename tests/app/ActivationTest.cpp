#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOScreensController.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Keys.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeRawInput.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeWindowSystem.h"
#include "tests/support/InkoraFixture.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWindow>

class ActivationTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->prepareUserDefaults();
        defaults().setBool(true, QStringLiteral("FirstTimeRun")); // no welcome window
    }
    void TearDown() override
    {
        m_delegate.reset();
        InkoraFixture::TearDown();
    }

    void launch()
    {
        m_delegate->applicationDidFinishLaunching();
        drainMainQueue();
    }
    static platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
    AppDelegate &delegate() { return *m_delegate; }
    MRKOWindow *window(int i) { return delegate().windowControllersArray().at(i)->window(); }
    [[nodiscard]] static bool inputTransparent(const MRKOWindow *w)
    {
        return w->windowHandle()->flags().testFlag(Qt::WindowTransparentForInput);
    }

private:
    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(ActivationTest, ShowingBuildsATransparentWindowWithItsCanvasOnEveryDisplay)
{
    launch();
    ASSERT_TRUE(delegate().launchCompleted());

    delegate().performAction(QStringLiteral("runInkora:"), nullptr);

    ASSERT_TRUE(delegate().isActiveAndShown());
    const auto controllers = delegate().windowControllersArray();
    ASSERT_EQ(controllers.size(), 1);
    MRKOWindow *w = controllers.first()->window();
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(w->level(), MRKOAppLevel::kDefaultLevel);
    EXPECT_EQ(w->frame(), fakes().screens->screens().first().frame);
    EXPECT_TRUE(fakes().windowSystem->isPrepared(w)) << "sticky, above, out of the task bar";
    MRKODraw *canvas = controllers.first()->drawView();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->parentWidget(), w);
    EXPECT_EQ(canvas->index(), 0);
    EXPECT_EQ(canvas->size(), w->size());
    EXPECT_EQ(w->drawView(), canvas);

    // Showing what is shown changes nothing.
    delegate().activateInkoraNoToolbar(false);
    EXPECT_EQ(log().count(QStringLiteral("activateInkoraNoToolbar: Already Shown. return;")), 1);
    EXPECT_EQ(delegate().windowControllersArray(), controllers);
}

TEST_F(ActivationTest, HidingInFadeModeDestroysTheWindowsAndTheUndoHistory)
{
    launch();
    delegate().runInkora(nullptr);
    QPointer<MRKOWindow> w = window(0);
    AppDelegate::undoManager().registerUndo(static_cast<const void *>(this), [] {});
    ASSERT_TRUE(AppDelegate::undoManager().canUndo());

    delegate().runInkora(nullptr);

    EXPECT_FALSE(delegate().isActiveAndShown());
    EXPECT_TRUE(delegate().windowControllersArray().isEmpty());
    EXPECT_TRUE(w.isNull());
    EXPECT_FALSE(AppDelegate::undoManager().canUndo());
    EXPECT_TRUE(delegate().observesBecomeActive());
}

TEST_F(ActivationTest, HidingInFreezeModeKeepsWindowsAndCanvasesForTheNextShowing)
{
    defaults().setInteger(1, QStringLiteral("DissolveModeKey"));
    launch();
    delegate().runInkora(nullptr);
    QPointer<MRKOWindow> w = window(0);
    QPointer<MRKODraw> canvas = w->drawView();
    MRKODraw::setHue(0.4);

    delegate().runInkora(nullptr);

    ASSERT_FALSE(w.isNull());
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(canvas.isNull());
    EXPECT_TRUE(delegate().observesUnhide());
    EXPECT_DOUBLE_EQ(defaults().doubleForKey(QStringLiteral("HueSavedKey")), 0.4) << "the canvases saved settings";

    delegate().runInkora(nullptr);

    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(window(0), w.data());
    EXPECT_EQ(w->drawView(), canvas.data());
    EXPECT_FALSE(delegate().observesUnhide());
    EXPECT_FALSE(delegate().observesBecomeActive());
}

TEST_F(ActivationTest, GhostModeLetsClicksThroughWithoutRemakingTheWindow)
{
    launch();
    delegate().runInkora(nullptr);
    MRKOWindow *w = window(0);
    const WId id = w->winId();
    ASSERT_FALSE(inputTransparent(w));

    delegate().performAction(QStringLiteral("togglePinOnTop:"), nullptr);

    EXPECT_TRUE(delegate().isPinnedOnTop());
    EXPECT_TRUE(w->ignoresMouseEvents());
    EXPECT_TRUE(inputTransparent(w));
    EXPECT_EQ(w->winId(), id);
    EXPECT_TRUE(w->isVisible()) << "drawings stay on screen";

    // Ghost mode survives hiding; a new showing builds the windows already click-through.
    delegate().runInkora(nullptr);
    delegate().runInkora(nullptr);
    EXPECT_TRUE(window(0)->ignoresMouseEvents());

    delegate().togglePinOnTop();
    EXPECT_FALSE(window(0)->ignoresMouseEvents());
    EXPECT_FALSE(inputTransparent(window(0)));
}

TEST_F(ActivationTest, ADisabledDisplayStaysClickThroughWhateverGhostModeSays)
{
    launch();
    delegate().runInkora(nullptr);
    MRKOWindowController *controller = delegate().windowControllersArray().first();

    delegate().setScreenDisabledAtIndex(true, 0);
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("screenDisabled_0")));
    controller->window()->setIgnoresMouseEvents(false);
    EXPECT_TRUE(controller->window()->ignoresMouseEvents());
    EXPECT_FALSE(controller->drawView()->shouldDraw());

    delegate().setScreenDisabledAtIndex(false, 7); // out of range: nothing
    EXPECT_TRUE(controller->screenDisabled());
    delegate().validateDisabledScreens();
    EXPECT_FALSE(controller->screenDisabled()) << "with every display disabled the active one comes back";
    EXPECT_FALSE(defaults().objectForKey(QStringLiteral("screenDisabled_0")).isValid());
}

TEST_F(ActivationTest, EveryDisplayOfTheListGetsItsWindowAndCanvasAtItsOwnScaleAndIsRebuiltOnceAfterAChange)
{
    using platform::FakeScreens;
    FakeScreens &screens = *fakes().screens;
    screens.setScreens({FakeScreens::makeScreen(7, QRectF(0, 0, 1440, 900), 1.0),
                        FakeScreens::makeScreen(9, QRectF(1440, -100, 1280, 800), 2.0)});
    defaults().setInteger(1, QStringLiteral("PreferedScreenIndex"));
    MRKOScreensController::updatePreferedScreenIndex();
    (void)MRKOScreensController::sharedScreensController();
    launch();
    delegate().runInkora(nullptr);

    struct Expected
    {
        quint32 number;
        QRectF frame;
        double scale;
    };
    const auto check = [this](const std::vector<Expected> &expected) {
        const auto controllers = delegate().windowControllersArray();
        ASSERT_EQ(controllers.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            const MRKOWindowController *controller = controllers.at(qsizetype(i));
            EXPECT_EQ(controller->screenNumber(), expected[i].number);
            EXPECT_EQ(controller->window()->frame(), expected[i].frame);
            EXPECT_TRUE(controller->window()->isVisible());
            EXPECT_EQ(controller->drawView()->index(), qint64(i));
            EXPECT_EQ(controller->drawView()->displayScale(), expected[i].scale);
            EXPECT_EQ(controller->drawView()->size(), expected[i].frame.size().toSize());
            EXPECT_EQ(delegate().windowControllerForPoint(expected[i].frame.center()), controller);
        }
    };
    // The preferred display first.
    check({{9, QRectF(1440, -100, 1280, 800), 2.0}, {7, QRectF(0, 0, 1440, 900), 1.0}});
    const auto before = delegate().windowControllersArray();

    // The second display moves and changes its scale; the change is noticed twice.
    screens.setScreens({FakeScreens::makeScreen(7, QRectF(0, 0, 1440, 900), 1.0),
                        FakeScreens::makeScreen(9, QRectF(-1920, 0, 1920, 1080), 1.0)});
    advance(0.5);
    screens.postChange();
    advance(0.9);
    EXPECT_EQ(delegate().windowControllersArray(), before) << "nothing is rebuilt before the changes settle";
    advance(0.2);
    EXPECT_EQ(log().count(QStringLiteral("DidChangeScreenParameters:")), 1);
    check({{9, QRectF(-1920, 0, 1920, 1080), 1.0}, {7, QRectF(0, 0, 1440, 900), 1.0}});
    EXPECT_TRUE(delegate().isActiveAndShown());
}

TEST_F(ActivationTest, ADisplayChangeRebuildsByModeAndByWhetherTheOverlayIsShown)
{
    struct Row
    {
        const char *name;
        qint64 mode;  // 1 freeze
        int showings; // activation commands before the change
        std::size_t windowsAfter;
        bool shownAfter;
    };
    const Row rows[] = {
        {"HiddenInFadeModeMakesNoWindows", 0, 2, 0, false},
        {"NeverShownInFreezeModeMakesNoWindows", 1, 0, 0, false},
        {"HiddenInFreezeModeDropsTheKeptWindows", 1, 2, 0, false},
        {"ShownInFreezeModeShowsNewWindows", 1, 1, 1, true},
        {"ShownInFadeModeShowsNewWindows", 0, 1, 1, true},
    };
    (void)MRKOScreensController::sharedScreensController();
    launch();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        delegate().forceRemoveAllWindowControllers();
        delegate().setIsShownToNO();
        defaults().setInteger(row.mode, QStringLiteral("DissolveModeKey"));
        for (int i = 0; i < row.showings; ++i)
            delegate().runInkora(nullptr);
        QList<QPointer<MRKOWindowController>> before;
        for (MRKOWindowController *controller : delegate().windowControllersArray())
            before.append(controller);

        fakes().screens->postChange();
        advance(1.01);

        const auto after = delegate().windowControllersArray();
        EXPECT_EQ(after.size(), row.windowsAfter);
        EXPECT_EQ(delegate().isActiveAndShown(), row.shownAfter);
        for (const QPointer<MRKOWindowController> &old : before)
            EXPECT_TRUE(old.isNull()) << "the old windows went";
        for (MRKOWindowController *controller : after)
            EXPECT_TRUE(controller->window()->isVisible());
    }
}

TEST_F(ActivationTest, AWindowAwayFromItsDisplayMakesTheScreensControllerRebuildAtOnce)
{
    MRKOScreensController &screens = MRKOScreensController::sharedScreensController();
    launch();
    delegate().runInkora(nullptr);
    QPointer<MRKOWindowController> controller = delegate().activeWindowController();
    screens.validateScreensEquality();
    EXPECT_EQ(delegate().activeWindowController(), controller.data()) << "every window where its display is";

    platform::ScreenInfo moved = fakes().screens->screens().first();
    moved.frame.translate(300, 0);
    controller->updateWindowWithScreen(moved);
    screens.validateScreensEquality();

    EXPECT_EQ(log().count(QStringLiteral("Screen frame origins are not equal in some windows. Force Remove All "
                                         "Windows To Perform Screen Changes.")),
              1);
    EXPECT_TRUE(controller.isNull());
    ASSERT_EQ(delegate().windowControllersArray().size(), 1);
    EXPECT_TRUE(delegate().activeWindowController()->isScreenOriginsEqual());
    EXPECT_TRUE(delegate().isActiveAndShown());
}

TEST_F(ActivationTest, WithOneDisplayTheStoredDisabledSwitchIsIgnored)
{
    ASSERT_EQ(fakes().screens->screens().size(), 1);
    defaults().setBool(true, QStringLiteral("screenDisabled_0"));
    launch();
    delegate().runInkora(nullptr);
    EXPECT_FALSE(delegate().windowControllersArray().first()->screenDisabled());
}

TEST_F(ActivationTest, APointOnNoDisplayFindsTheActiveController)
{
    EXPECT_EQ(delegate().windowControllerForPoint(QPointF(10, 10)), nullptr);
    launch();
    delegate().runInkora(nullptr);
    MRKOWindowController *active = delegate().activeWindowController();
    EXPECT_EQ(delegate().windowControllerForPoint(QPointF(-50000, 3)), active);
    EXPECT_EQ(delegate().windowControllerForPoint(QPointF(5, 5)), active);
}

// ---------------------------------------------------------------------------------------------------------------
// Launch and quit

TEST_F(ActivationTest, TheLaunchCompletesOnceWhicheverPathsArriveTogether)
{
    defaults().setInteger(-5, QStringLiteral("UndoSteps"));
    delegate().applicationDidFinishLaunching();
    delegate().finishAppLaunching();
    delegate().prepareToLaunchIfNeeded();
    EXPECT_FALSE(delegate().launchCompleted()) << "the completion is queued";

    drainMainQueue();
    delegate().finishAppLaunching();
    drainMainQueue();

    EXPECT_TRUE(delegate().launchCompleted());
    EXPECT_EQ(log().count(QStringLiteral("finishAppLaunching")), 1);
    EXPECT_EQ(AppDelegate::undoManager().levelsOfUndo(), 0);
    EXPECT_EQ(MRKOAppLevel::appLevel().level(), MRKOAppLevel::kDefaultLevel);
    EXPECT_TRUE(delegate().observesBecomeActive());
}

TEST_F(ActivationTest, ADelayedLaunchWaitsForTheFirstModifierChange)
{
    defaults().setBool(true, QStringLiteral("DisableFullLoadAtLaunch"));
    launch();
    advance(5);
    EXPECT_FALSE(delegate().launchCompleted());
    EXPECT_EQ(fakes().rawInput->monitorCount(), 1);

    fakes().rawInput->postFlagsChanged(platform::kShiftFlag);
    fakes().rawInput->postFlagsChanged(0);
    drainMainQueue();

    EXPECT_TRUE(delegate().launchCompleted());
    EXPECT_EQ(log().count(QStringLiteral("finishAppLaunching")), 1);
    EXPECT_EQ(fakes().rawInput->monitorCount(), 0) << "the initial monitors are gone";
    EXPECT_FALSE(delegate().isActiveAndShown());
}

TEST_F(ActivationTest, ADelayedLaunchWithGhostModeCompletesOnItsOwnAndShowsInGhostMode)
{
    defaults().setBool(true, QStringLiteral("DisableFullLoadAtLaunch"));
    defaults().setBool(true, QStringLiteral("StartGhostModeAtLaunch"));
    launch();
    EXPECT_FALSE(delegate().launchCompleted());

    advance(0.5);

    EXPECT_TRUE(delegate().launchCompleted());
    EXPECT_TRUE(delegate().isActiveAndShown());
    EXPECT_TRUE(delegate().isPinnedOnTop());
    EXPECT_TRUE(delegate().currentNoToolbar());
    EXPECT_TRUE(window(0)->ignoresMouseEvents());
}

TEST_F(ActivationTest, QuittingSavesTheHueOnlyOnceTheOverlayWasBuilt)
{
    launch();
    MRKODraw::setHue(0.3);
    delegate().applicationWillTerminate();
    EXPECT_NE(defaults().doubleForKey(QStringLiteral("HueSavedKey")), 0.3);
}

TEST_F(ActivationTest, QuittingAfterShowingSavesTheHueAndTheSettingsFile)
{
    launch();
    delegate().runInkora(nullptr);
    MRKODraw::setHue(0.3);
    ASSERT_FALSE(MRKOUtils::tempDir().isEmpty());

    delegate().performAction(QStringLiteral("terminate:"), nullptr); // ends the (absent) event loop
    delegate().applicationWillTerminate();
    delegate().applicationWillTerminate(); // once only

    EXPECT_DOUBLE_EQ(defaults().doubleForKey(QStringLiteral("HueSavedKey")), 0.3);
    EXPECT_FALSE(MRKOUtils::isTempDirExists());
    EXPECT_EQ(log().count(QStringLiteral("applicationWillTerminate: done")), 1);
    platform::Defaults reread(defaults().filePath());
    EXPECT_DOUBLE_EQ(reread.doubleForKey(QStringLiteral("HueSavedKey")), 0.3) << "synchronised to the file";
}
