#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/helper/XcbWindowProbe.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/Screenshot.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <functional>
#include <optional>

// The program under a real window manager (openbox) and without a compositing manager, as on a plain desktop.
namespace {

void xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(process.waitForFinished(20000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
}

/// Another program's window: blue, and it counts the clicks that reach it.
class ClickWindow final : public QWidget
{
public:
    int clicks = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++clicks; }
};

} // namespace

class DesktopX11Test : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        // Freeze mode, so that a stroke stays for the screenshots.
        MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
        MRKOUtils::userDefaults().setInteger(1, QStringLiteral("DissolveModeKey"));
        MRKOUtils::userDefaults().synchronize();
        m_screen = QGuiApplication::primaryScreen()->geometry();
    }
    void TearDown() override
    {
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(10000);
        }
        InkoraFixture::TearDown();
    }

    std::optional<XcbWindowProbe::Window> overlay()
    {
        for (const XcbWindowProbe::Window &w : m_probe.mappedWindowsOfProcess(m_inkora.processId())) {
            if (w.geometry == m_screen)
                return w;
        }
        return std::nullopt;
    }

    /// Starts the program and shows the overlay by its shortcut, typed again until the launch has completed.
    void startAndShow()
    {
        // A bus of its own: this display's tests run beside the other display's, whose programs claim the shared bus.
        ASSERT_TRUE(m_bus.isRunning());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
        m_inkora.setProcessEnvironment(env);
        m_inkora.setProcessChannelMode(QProcess::MergedChannels);
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_inkora.waitForStarted(10000));
        ASSERT_TRUE(m_probe.isConnected());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                xdotool({QStringLiteral("key"), QStringLiteral("super+alt+d")});
                return QTest::qWaitFor([&] { return overlay().has_value(); }, 3000);
            },
            60000))
            << m_inkora.readAll().constData();
    }

    void drag(QPoint from, QPoint to, const QStringList &modifiers = {}, const QString &button = QStringLiteral("1"))
    {
        QStringList arguments;
        for (const QString &key : modifiers)
            arguments << QStringLiteral("keydown") << key;
        arguments << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(from.x())
                  << QString::number(from.y()) << QStringLiteral("mousedown") << button;
        for (int step = 1; step <= 10; ++step) {
            const QPoint p = from + (to - from) * step / 10;
            arguments << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(p.x())
                      << QString::number(p.y());
        }
        arguments << QStringLiteral("mouseup") << button;
        for (const QString &key : modifiers)
            arguments << QStringLiteral("keyup") << key;
        xdotool(arguments);
    }

    PrivateBus m_bus;
    QProcess m_inkora;
    XcbWindowProbe m_probe;
    QRect m_screen;
};

TEST_F(DesktopX11Test, TheWindowManagerNeitherMovesNorHidesTheOverlay)
{
    startAndShow();
    ASSERT_TRUE(overlay()->overrideRedirect);

    // openbox moves windows on Alt+left-drag and resizes them on Alt+right-drag.
    drag(QPoint(300, 300), QPoint(500, 450), {QStringLiteral("alt")});
    drag(QPoint(600, 300), QPoint(700, 500), {QStringLiteral("alt")}, QStringLiteral("3"));
    ASSERT_TRUE(overlay().has_value());
    EXPECT_EQ(overlay()->geometry, m_screen);

    // openbox's "show desktop".
    xdotool({QStringLiteral("key"), QStringLiteral("super+d")});
    QTest::qWait(500);
    EXPECT_TRUE(overlay().has_value()) << "still mapped";
    EXPECT_EQ(overlay()->geometry, m_screen);
}

TEST_F(DesktopX11Test, WithoutACompositingManagerTheDesktopShowsAroundTheInk)
{
    ClickWindow below;
    below.setStyleSheet(QStringLiteral("background: blue;"));
    below.setAutoFillBackground(true);
    QPalette palette = below.palette();
    palette.setColor(QPalette::Window, Qt::blue);
    below.setPalette(palette);
    below.setGeometry(100, 100, 600, 500);
    below.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&below));
    const QPoint away(250, 450);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return screenshotPixel(screenshot(), away.x(), away.y()) == QColor(Qt::blue); }, 20000));
    startAndShow();

    const QPoint from(200, 200);
    const QPoint to(500, 350);
    drag(from, to);
    const QPoint middle = (from + to) / 2;
    const auto inkShows = [&] {
        const QColor pixel = screenshotPixel(screenshot(), middle.x(), middle.y());
        return pixel.isValid() && pixel != QColor(Qt::blue);
    };
    ASSERT_TRUE(QTest::qWaitFor(inkShows, 20000)) << "the stroke shows";
    const QImage shot = screenshot();
    EXPECT_EQ(screenshotPixel(shot, away.x(), away.y()), QColor(Qt::blue)) << "the desktop 100 pixels away";
    EXPECT_EQ(screenshotPixel(shot, 650, 150), QColor(Qt::blue));

    // In ghost mode a click away from the ink reaches the window below.
    xdotool({QStringLiteral("key"), QStringLiteral("F1")});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(away.x()),
                     QString::number(away.y()), QStringLiteral("click"), QStringLiteral("1")});
            return QTest::qWaitFor([&] { return below.clicks > 0; }, 1000);
        },
        20000));
    EXPECT_TRUE(inkShows()) << "the ink stays in ghost mode";
}
