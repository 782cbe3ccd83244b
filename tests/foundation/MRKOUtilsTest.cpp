#include "foundation/MRKOUtils.h"

#include "app/AppDelegate.h"
#include "foundation/NSAppearance+isDarkAppearance.h"
#include "foundation/NSEvent+MouseEvent.h"
#include "foundation/SrgbColor.h"
#include "platform/Defaults.h"
#include "platform/EventQueue.h"
#include "platform/fake/FakeServices.h"
#include "platform/fake/FakeSyntheticInput.h"
#include "platform/fake/FakeSystemProfile.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "tests/support/InkoraFixture.h"

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QUrl>
#include <QWidget>

#include <vector>

namespace {

/// A delegate whose overlay is shown until it is told to close.
class ShownDelegate final : public AppDelegate
{
public:
    ShownDelegate() { setActiveAndShown(true); }
    void closeAllDrawableScreens() override
    {
        ++closed;
        AppDelegate::closeAllDrawableScreens();
    }
    int closed = 0;
};

/// Receives the URLs the program asks the desktop to open.
class UrlRecorder final : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class MRKOUtilsTest : public InkoraFixture
{
protected:
    platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
};

TEST_F(MRKOUtilsTest, FlashlightRatioKeepsOneAndAboveAndMapsBelowOne)
{
    EXPECT_EQ(MRKOUtils::flashLightRatio(), 1.0);
    struct Row
    {
        double ratio;
        double expected;
    };
    for (const Row row : {Row{1, 1.0}, Row{0.5, 0.725}, Row{0.1, 0.545}, Row{2, 2}, Row{0, 0.5}}) {
        SCOPED_TRACE(row.ratio);
        MRKOUtils::setFlashLightRatio(row.ratio);
        EXPECT_DOUBLE_EQ(MRKOUtils::flashLightRatio(), row.expected);
    }
    // A ratio that is not finite keeps the one in force.
    MRKOUtils::setFlashLightRatio(std::nan(""));
    MRKOUtils::setFlashLightRatio(HUGE_VAL);
    EXPECT_EQ(MRKOUtils::flashLightRatio(), 0.5);
}

TEST_F(MRKOUtilsTest, LaunchFlagsReadTheirSettings)
{
    EXPECT_FALSE(MRKOUtils::cachedLogToDocuments());
    defaults().setBool(true, QStringLiteral("EnableLog"));
    EXPECT_FALSE(MRKOUtils::cachedLogToDocuments());
    EXPECT_TRUE(MRKOUtils::shouldLogToDocuments());
    EXPECT_TRUE(MRKOUtils::cachedLogToDocuments());

    // On exactly at 1.
    defaults().setInteger(2, QStringLiteral("AllowFnShortcutsInGhostMode"));
    EXPECT_FALSE(MRKOUtils::updatedFnShortcutsInGhostMode());
    defaults().setInteger(1, QStringLiteral("AllowFnShortcutsInGhostMode"));
    EXPECT_FALSE(MRKOUtils::cachedFnShortcutsInGhostMode());
    EXPECT_TRUE(MRKOUtils::updatedFnShortcutsInGhostMode());
    EXPECT_TRUE(MRKOUtils::cachedFnShortcutsInGhostMode());

    EXPECT_FALSE(MRKOUtils::disableFullLoadAtLaunch());
    defaults().setBool(true, QStringLiteral("DisableFullLoadAtLaunch"));
    defaults().setInteger(1, QStringLiteral("StartGhostModeAtLaunch"));
    defaults().setObject(QStringLiteral("YES"), QStringLiteral("HighlightClicksGhostMode"));
    EXPECT_TRUE(MRKOUtils::disableFullLoadAtLaunch());
    EXPECT_TRUE(MRKOUtils::shouldEnterGhostModeAtLaunch());
    EXPECT_TRUE(MRKOUtils::shouldHighlightClicksGhostMode());

    EXPECT_EQ(MRKOUtils::ratingNameKey(), QStringLiteral("RateSavedKey_") + MRKOUtils::appVersion());
    EXPECT_FALSE(MRKOUtils::appVersion().isEmpty());
}

TEST_F(MRKOUtilsTest, TouchBarDefaultIsSetOnlyOnTheFirstRun)
{
    AppDelegate delegate;

    MRKOUtils::touchBarAvailable();

    EXPECT_EQ(defaults().integerForKey(QStringLiteral("KeepTouchBarKey")), 1);
    EXPECT_TRUE(delegate.keepTouchBarWOToolbar());
    platform::Defaults reread(defaults().filePath());
    EXPECT_TRUE(reread.boolForKey(QStringLiteral("TouchBarAvailableChecked"))); // synchronised

    // The user's later choice is left alone.
    defaults().setInteger(0, QStringLiteral("KeepTouchBarKey"));
    MRKOUtils::touchBarAvailable();
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("KeepTouchBarKey")), 0);
}

TEST_F(MRKOUtilsTest, OverlayClosesThreeTenthsOfASecondAfterAPrivacyPaneOrTheLog)
{
    ShownDelegate delegate;

    MRKOUtils::openPrivacyScreenRecPreferences();
    advance(0.29);
    EXPECT_EQ(delegate.closed, 0);
    advance(0.01);
    EXPECT_EQ(delegate.closed, 1);

    // Nothing to close once the overlay is hidden.
    MRKOUtils::openPrivacyAccessibilityPreferences();
    advance(0.3);
    EXPECT_EQ(delegate.closed, 1);

    // Opening the log: only when it exists, then the same delayed close.
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    MRKOUtils::openLog();
    EXPECT_TRUE(recorder.urls.isEmpty());
    QFile file(MRKOUtils::logPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    MRKOUtils::openLog();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_EQ(recorder.urls.first().toLocalFile(), home() + "/Documents/console.log");
    EXPECT_EQ(MRKOUtils::logBakPath(), home() + "/Documents/console.bak.log");
}

TEST_F(MRKOUtilsTest, SystemAnswersOnX11AreTheNewestOnes)
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(30, 30, 30));
    EXPECT_TRUE(isDarkAppearance::effectiveAppearanceIsDark(palette));
    palette.setColor(QPalette::Window, QColor(236, 236, 236));
    EXPECT_FALSE(isDarkAppearance::effectiveAppearanceIsDark(palette));

    EXPECT_TRUE(MRKOUtils::mojaveOrLater());
    EXPECT_TRUE(MRKOUtils::sequoiaOrLater());
    EXPECT_FALSE(MRKOUtils::functionKeyDefaultsApply()); // no Function key
    EXPECT_TRUE(MRKOUtils::isTrusted());
    EXPECT_TRUE(MRKOUtils::canRecordScreen());
    EXPECT_EQ(MRKOUtils::screenRecordingPrefString(), QStringLiteral("System Settings > Privacy > Screen Recording"));
    EXPECT_EQ(MRKOUtils::accesibilityPrefString(), QStringLiteral("System Settings > Privacy > Accessibility"));
    EXPECT_EQ(MRKOUtils::moveToBinName(), QStringLiteral("Move to Bin"));
    EXPECT_EQ(MRKOUtils::effectViewMaterial(), 15);
    EXPECT_EQ(MRKOUtils::effectViewMaterialSnapshotsTopBar(), 6);
}

TEST_F(MRKOUtilsTest, OlderSystemsTakeTheOlderBranches)
{
    fakes().systemProfile->setVersion(13);
    fakes().systemProfile->setAccessibilityTrusted(false);
    fakes().systemProfile->setCanRecordScreen(false);

    EXPECT_TRUE(MRKOUtils::mojaveOrLater());
    EXPECT_TRUE(MRKOUtils::catalinaOrLater());
    EXPECT_TRUE(MRKOUtils::bigSurOrLater());
    EXPECT_TRUE(MRKOUtils::montereyOrLater());
    EXPECT_TRUE(MRKOUtils::venturaOrLater());
    EXPECT_FALSE(MRKOUtils::sonomaOrLater());
    EXPECT_FALSE(MRKOUtils::sequoiaOrLater());
    EXPECT_FALSE(MRKOUtils::isTrusted());
    EXPECT_FALSE(MRKOUtils::canRecordScreen());
}

TEST_F(MRKOUtilsTest, SystemsBeforeTheNewerPanesUseTheOlderNames)
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    fakes().systemProfile->setVersion(10, 13);
    fakes().systemProfile->setCanRecordScreen(false);

    EXPECT_EQ(MRKOUtils::accesibilityPrefString(), QStringLiteral("System Preferences > Privacy > Accessibility"));
    EXPECT_EQ(MRKOUtils::screenRecordingPrefString(),
              QStringLiteral("System Preferences > Privacy > Screen Recording"));
    EXPECT_EQ(MRKOUtils::moveToBinName(), QStringLiteral("Move to Trash"));
    EXPECT_EQ(MRKOUtils::effectViewMaterial(), 2);
    EXPECT_EQ(MRKOUtils::effectViewMaterialSnapshotsTopBar(), 2);
    EXPECT_TRUE(MRKOUtils::canRecordScreen());                       // no permission to ask for before 10.15
    EXPECT_FALSE(isDarkAppearance::effectiveAppearanceIsDark(dark)); // no dark appearance before 10.14
}

TEST_F(MRKOUtilsTest, TypingShortcutsGiveWayAndComeBack)
{
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    const auto selectAll = monitor.bindShortCut(KQShortCut::shortCutWithKeyCode(0, 0x100000, nullptr, "selectAll:"));
    const auto slash = monitor.bindShortCut(KQShortCut::shortCutWithKeyCode(44, 0, nullptr, "x:"));
    const auto undo = monitor.bindShortCut(KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, "undo:"));

    MRKOUtils::unregisterKeysForTypingIfNeeded();
    EXPECT_EQ(monitor.allShortCuts(), QList<std::shared_ptr<KQShortCut>>{undo});

    MRKOUtils::registerKeysForTypingIfNeeded();
    EXPECT_EQ(monitor.allShortCuts().size(), 3);
    EXPECT_TRUE(monitor.allShortCuts().contains(selectAll));
    EXPECT_TRUE(monitor.allShortCuts().contains(slash));
}

TEST(MRKOUtilsColourTest, RainbowAndRandomColours)
{
    const QList<inkora::SrgbColor> rainbow = MRKOUtils::rainbowColorsArray();
    ASSERT_EQ(rainbow.size(), 7);
    EXPECT_EQ(rainbow.first(), rainbow.last());
    EXPECT_EQ(rainbow[2], inkora::SrgbColor(0.35, 0.35, 1, 1));

    for (int i = 0; i < 50; ++i) {
        const inkora::SrgbColor c = MRKOUtils::randomColor();
        ASSERT_TRUE(c.isValid());
        EXPECT_LE(c.red(), 254 / 255.0);
        EXPECT_LE(c.blue(), 254 / 255.0);
        EXPECT_EQ(c.alpha(), 1.0);
    }
    const inkora::SrgbColor ranged = MRKOUtils::randomColorHueIntervalWithMinHueMaxHue(0.5, 0.5);
    EXPECT_EQ(ranged, inkora::srgbColorWithHsb(0.5, 0.8, 1, 1));
}

TEST(MRKOUtilsFadeTest, FadeTimesInSeconds)
{
    const std::vector<double> seconds = {1.5, 2.0, 0.5, 3.0, 4.0, 5.0, 0.25, 0.15, 0.075, 1.5};
    for (qint64 setting = 0; setting < qint64(seconds.size()); ++setting)
        EXPECT_EQ(MRKOUtils::secondsWithFadeoutTime(setting), seconds[size_t(setting)]) << setting;
    EXPECT_EQ(MRKOUtils::secondsWithFadeoutTime(-1), 1.5);
}

TEST_F(MRKOUtilsTest, LinksOpenThroughTheDesktopAndTheMailIsEncoded)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder, "open");
    MRKOUtils::openWebPage();
    MRKOUtils::openInkoraWebPage();
    MRKOUtils::openAppStore();
    MRKOUtils::openAppStoreGetInkroaRemote();
    MRKOUtils::openMail();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

    ASSERT_EQ(recorder.urls.size(), 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(recorder.urls[i].scheme(), QStringLiteral("https")) << i;
    EXPECT_EQ(recorder.urls[4].toString(QUrl::FullyEncoded).section(QLatin1Char('?'), 1),
              QStringLiteral("SUBJECT=Inkora%20Feedback&BODY="));
    EXPECT_EQ(recorder.urls[4].scheme(), QStringLiteral("mailto"));
}

TEST_F(MRKOUtilsTest, SyntheticEventsForTheToolbarAndTheQueue)
{
    const platform::Event noWindow = MRKOUtils::mouseDownWithToolbar(nullptr);
    EXPECT_EQ(noWindow.type, platform::EventType::LeftMouseDown);
    EXPECT_EQ(noWindow.locationInWindow, QPointF(20, -2));
    QWidget toolbar;
    toolbar.resize(300, 40);
    const platform::Event up = MRKOUtils::mouseUpWithToolbar(&toolbar);
    EXPECT_EQ(up.type, platform::EventType::LeftMouseUp);
    EXPECT_EQ(up.locationInWindow, QPointF(20, 38));

    const platform::Event detached = MRKOUtils::mouseUpWithNoContext();
    EXPECT_EQ(detached.type, platform::EventType::LeftMouseUp);
    EXPECT_EQ(detached.windowNumber, 0);
    EXPECT_EQ(detached.timestamp, 0);
    EXPECT_EQ(detached.clickCount, 1);
    EXPECT_EQ(detached.pressure, 1.0);

    // Return goes ahead of what already waits.
    platform::EventQueue &queue = platform::EventQueue::shared();
    platform::Event waiting;
    waiting.type = platform::EventType::LeftMouseDragged;
    queue.postEvent(waiting);
    MRKOUtils::postReturnPressing();
    const auto first = queue.nextEventMatchingMask(platform::EventQueue::kAnyEventMask, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->type, platform::EventType::KeyDown);
    EXPECT_EQ(first->keyCode, 36);
    queue.discardEventsMatchingMask(platform::EventQueue::kAnyEventMask);
}

TEST_F(MRKOUtilsTest, FunctionKeyAndDraggingFollowTheCurrentEvent)
{
    platform::EventQueue &queue = platform::EventQueue::shared();
    platform::Event event;
    event.type = platform::EventType::LeftMouseDragged;
    event.modifierFlags = platform::kFunctionFlag | platform::kShiftFlag;
    queue.setCurrentEvent(event);
    EXPECT_TRUE(MRKOUtils::fnPressed());
    EXPECT_TRUE(MouseEvent::isCurrentAppEventTypeDragging());
    event.type = platform::EventType::LeftMouseUp;
    event.modifierFlags = platform::kShiftFlag;
    queue.setCurrentEvent(event);
    EXPECT_FALSE(MRKOUtils::fnPressed());
    EXPECT_FALSE(MouseEvent::isCurrentAppEventTypeDragging());
    EXPECT_EQ(MRKOUtils::screenForMouseLocation(), QGuiApplication::screens().value(0));
}

TEST_F(MRKOUtilsTest, ToolbarPressAndForwardedKeysGoThroughTheWindowSystem)
{
    const platform::FakeSyntheticInput &input = *fakes().syntheticInput;
    QWidget toolbar;
    toolbar.move(100, 50);
    toolbar.resize(300, 40);
    MRKOUtils::pressOnTheToolbarWindow(&toolbar);
    ASSERT_EQ(input.sent().size(), 2);
    // 3 points below the top edge, at x = 20 of the screen space; then the pointer goes back.
    EXPECT_EQ(input.sent()[0], QStringLiteral("click 20,53"));
    EXPECT_TRUE(input.sent()[1].startsWith(QStringLiteral("move ")));

    MRKOUtils::forwardKeystrokeToNextApp(124);
    EXPECT_EQ(input.sent().last(), QStringLiteral("key 124 to 0"));

    fakes().syntheticInput->setFails(true);
    log().expectWarning("forwardKeystrokeToNextApp: key code 124 could not be sent");
    MRKOUtils::forwardKeystrokeToNextApp(124);
}

#include "MRKOUtilsTest.moc"
