#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/helper/XcbWindowProbe.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/Screenshot.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTest>

namespace {

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(20000) && process.exitCode() == 0;
}

// A program of its own: a blue xmessage window at (100, 100), 400 x 300, y down.
struct OtherProgram
{
    QProcess process;
    ~OtherProgram()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

} // namespace

class OverlayX11Test : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->prepareUserDefaults();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        defaults.setBool(true, QStringLiteral("FirstTimeRun"));
        defaults.setInteger(MRKOToolTypeBrush, QStringLiteral("ToolTypeKey"));
        defaults.setInteger(MRKOColorTypeCustom, QStringLiteral("ColorTypeKey"));
        defaults.setInteger(3, QStringLiteral("AllToolsThicknessKey"));
        MRKOToolColor::toolColor().setColor(QColor::fromRgbF(1, 0, 0));
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
        ASSERT_TRUE(m_delegate->launchCompleted());
    }

    // Starts a blue window of another program under (100, 100, 400, 300) and waits until it shows.
    void startOtherProgram(OtherProgram &other)
    {
        other.process.start(QStringLiteral("xmessage"),
                            {QStringLiteral("-geometry"), QStringLiteral("400x300+100+100"), QStringLiteral("-bg"),
                             QStringLiteral("blue"), QStringLiteral("-fg"), QStringLiteral("blue"),
                             QStringLiteral("below")});
        ASSERT_TRUE(other.process.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([] { return screenshotPixel(screenshot(), 300, 250) == QColor(Qt::blue); }, 30000));
    }

    void showOverlay()
    {
        m_delegate->performAction(QStringLiteral("runInkora:"), nullptr);
        ASSERT_TRUE(m_delegate->isActiveAndShown());
        for (MRKOWindowController *controller : m_delegate->windowControllersArray())
            ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
    }

    AppDelegate &delegate() { return *m_delegate; }

private:
    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(OverlayX11Test, TheOverlayLiesAboveAnotherProgramShowsItAndTakesAStroke)
{
    launch();
    OtherProgram other;
    startOtherProgram(other);
    showOverlay();

    const auto controllers = delegate().windowControllersArray();
    ASSERT_EQ(controllers.size(), QGuiApplication::screens().size()) << "one window on every display";
    MRKOWindow *window = controllers.first()->window();
    EXPECT_EQ(window->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(screenshotPixel(screenshot(), 300, 250), QColor(Qt::blue))
        << "the other program shows through the overlay";

    // A drag across the other program's window; the screen is read while the button is still down.
    const QImage shot = screenshotWhileDraggingDiagonally(150, 350, 250, QColor(Qt::red));
    ASSERT_FALSE(shot.isNull());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controllers.first()->drawView()->drawingInProgress(); }, 20000));

    EXPECT_EQ(screenshotPixel(shot, 250, 250), QColor(Qt::red)) << "the stroke, above the other program's window";
    EXPECT_EQ(screenshotPixel(shot, 400, 200), QColor(Qt::blue)) << "the other program, through the overlay";
}

TEST_F(OverlayX11Test, HidingInFadeModeClosesEveryWindowAndInFreezeModeKeepsThem)
{
    launch();
    XcbWindowProbe probe;
    ASSERT_TRUE(probe.isConnected());

    showOverlay();
    const std::uint32_t fadeId = std::uint32_t(delegate().activeWindowController()->window()->winId());
    ASSERT_TRUE(probe.window(fadeId).has_value() && probe.window(fadeId)->mapped);
    delegate().runInkora(nullptr);
    EXPECT_TRUE(delegate().windowControllersArray().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !probe.window(fadeId).has_value(); }, 10000)) << "destroyed";

    MRKOUtils::userDefaults().setInteger(1, QStringLiteral("DissolveModeKey"));
    showOverlay();
    MRKOWindow *window = delegate().activeWindowController()->window();
    QPointer<MRKODraw> canvas = window->drawView();
    const std::uint32_t freezeId = std::uint32_t(window->winId());
    delegate().runInkora(nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.window(freezeId) && !probe.window(freezeId)->mapped; }, 10000));
    EXPECT_FALSE(canvas.isNull()) << "the canvas and its drawings are kept";

    showOverlay();
    EXPECT_EQ(std::uint32_t(delegate().activeWindowController()->window()->winId()), freezeId);
    EXPECT_TRUE(QTest::qWaitFor([&] { return probe.window(freezeId) && probe.window(freezeId)->mapped; }, 10000));
}

TEST_F(OverlayX11Test, InGhostModeAClickOnTheOverlayReachesTheWindowBelow)
{
    launch();
    QProcess xev;
    xev.start(QStringLiteral("stdbuf"), {QStringLiteral("-oL"), QStringLiteral("xev"), QStringLiteral("-geometry"),
                                         QStringLiteral("400x300+100+100")});
    ASSERT_TRUE(xev.waitForStarted(10000));
    QByteArray seen;
    QObject::connect(&xev, &QProcess::readyReadStandardOutput, [&] { seen += xev.readAllStandardOutput(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.contains("MapNotify") || seen.contains("Expose"); }, 20000));
    showOverlay();
    MRKOWindow *window = delegate().activeWindowController()->window();
    XcbWindowProbe probe;

    // Without ghost mode the overlay takes the click.
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("250"),
                         QStringLiteral("250"), QStringLiteral("click"), QStringLiteral("1")}));
    QTest::qWait(300);
    EXPECT_FALSE(seen.contains("ButtonPress"));

    delegate().performAction(QStringLiteral("togglePinOnTop:"), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.window(std::uint32_t(window->winId()))->inputRects == 0; }, 5000));
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("260"),
                         QStringLiteral("260"), QStringLiteral("click"), QStringLiteral("1")}));

    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.contains("ButtonPress"); }, 10000)) << "the window below logged it";
    EXPECT_TRUE(window->isVisible()) << "the drawings stay on screen";
    EXPECT_TRUE(probe.window(std::uint32_t(window->winId()))->mapped);
    xev.kill();
    xev.waitForFinished(5000);
}
