#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Keys.h"
#include "shortcuts/KQShortCut.h"
#include "tests/helper/XcbWindowProbe.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/Screenshot.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolType.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <functional>
#include <optional>

// The real program under the pointer: the server's cursor image is ours, a click leaves the mark "SplashMethod"
// chooses, the ball rests under the pointer and the right button runs its action.

namespace {

bool waitFor(const std::function<bool()> &condition, int milliseconds = 20000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

/// The activation shortcut as xdotool types it (Super+Alt+D here).
QString activationKeys()
{
    const auto shortcut = MRKOUtils::defaultShortCutForAction(QStringLiteral("runInkora:"));
    QStringList keys;
    if (!shortcut)
        return {};
    const quint64 flags = shortcut->modifierFlags();
    if (flags & platform::kCommandFlag)
        keys << QStringLiteral("ctrl");
    if (flags & platform::kOptionFlag)
        keys << QStringLiteral("alt");
    if (flags & platform::kShiftFlag)
        keys << QStringLiteral("shift");
    if (flags & platform::kControlFlag)
        keys << QStringLiteral("super");
    keys << QStringLiteral("d");
    return keys.join(QLatin1Char('+'));
}

/// The cursor the server shows now: its size in pixels and its hot spot.
struct CursorImage
{
    int width = 0;
    int height = 0;
    int xhot = 0;
    int yhot = 0;
};

std::optional<CursorImage> serverCursor()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return std::nullopt;
    }
    std::free(xcb_xfixes_query_version_reply(connection, xcb_xfixes_query_version(connection, 4, 0), nullptr));
    xcb_xfixes_get_cursor_image_reply_t *reply =
        xcb_xfixes_get_cursor_image_reply(connection, xcb_xfixes_get_cursor_image(connection), nullptr);
    std::optional<CursorImage> image;
    if (reply)
        image = CursorImage{reply->width, reply->height, reply->xhot, reply->yhot};
    std::free(reply);
    xcb_disconnect(connection);
    return image;
}

bool serverCursorIs(int size, int xhot, int yhot)
{
    const std::optional<CursorImage> now = serverCursor();
    return now && now->width == size && now->height == size && now->xhot == xhot && now->yhot == yhot;
}

bool isRed(const QColor &c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

class PointerX11Test : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        defaults.setBool(true, QStringLiteral("FirstTimeRun"));
        defaults.setInteger(MRKOToolTypeBrush, QStringLiteral("ToolTypeKey"));
        defaults.setInteger(MRKOColorTypeCustom, QStringLiteral("ColorTypeKey")); // red until chosen otherwise
        defaults.setInteger(2, QStringLiteral("AllToolsThicknessKey"));           // 10 points
    }
    void TearDown() override
    {
        xdotool({QStringLiteral("keyup"), QStringLiteral("super"), QStringLiteral("alt")});
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(10000);
        }
        if (HasFailure())
            ADD_FAILURE() << "the program said: " << m_inkora.readAllStandardError().constData();
        InkoraFixture::TearDown();
    }

    /// The overlay window while it is mapped.
    std::optional<std::uint32_t> overlay()
    {
        XcbWindowProbe probe;
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QSize size = screen->size() * screen->devicePixelRatio();
        for (const XcbWindowProbe::Window &w : probe.mappedWindowsOfProcess(m_inkora.processId()))
            if (w.geometry.size() == size)
                return w.id;
        return std::nullopt;
    }
    bool overlayShown() { return overlay().has_value(); }
    /// Gives the overlay the keyboard: the program is then the one in front, as when its tool panel takes the
    /// keys. Without a window manager nothing else makes it so.
    void bringToFront()
    {
        const std::optional<std::uint32_t> window = overlay();
        ASSERT_TRUE(window);
        ASSERT_TRUE(xdotool({QStringLiteral("windowfocus"), QString::number(*window)}));
    }

    /// Starts the program (with `scale` as Qt's scale factor) and shows its overlay by the activation shortcut.
    void startAndShow(const char *scale = nullptr)
    {
        MRKOUtils::userDefaults().synchronize();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (scale)
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QLatin1String(scale));
        m_inkora.setProcessEnvironment(environment);
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_inkora.waitForStarted(10000));
        const QString keys = activationKeys();
        ASSERT_FALSE(keys.isEmpty());
        // The program answers the shortcut once its launch is complete, so the keys are typed until then.
        for (int attempt = 0; attempt < 20 && !overlayShown(); ++attempt) {
            ASSERT_TRUE(xdotool({QStringLiteral("key"), keys}));
            waitFor([this] { return overlayShown(); }, 4000);
        }
        ASSERT_TRUE(overlayShown());
    }

    /// Moves the pointer onto the point from beside it, so that the canvas sees a motion there.
    static bool moveTo(QPoint point)
    {
        return xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x() + 3),
                        QString::number(point.y()), QStringLiteral("mousemove"), QStringLiteral("--sync"),
                        QString::number(point.x()), QString::number(point.y())});
    }

    QProcess m_inkora;
};

} // namespace

TEST_F(PointerX11Test, TheServerShowsOurBrushAndEraserCursorsWithTheirHotSpots)
{
    MRKOUtils::userDefaults().setInteger(1, QStringLiteral("UseBrushCursor"));
    startAndShow();
    bringToFront();
    // Motion keeps coming until the loaded program has set the cursor.
    EXPECT_TRUE(waitFor([] { return moveTo({600, 300}) && serverCursorIs(24, 3, 2); })) << "the brush";
    ASSERT_TRUE(xdotool({QStringLiteral("keydown"), QStringLiteral("super"), QStringLiteral("alt")}));
    EXPECT_TRUE(waitFor([] { return moveTo({620, 320}) && serverCursorIs(24, 5, 5); })) << "the eraser";
    ASSERT_TRUE(xdotool({QStringLiteral("keyup"), QStringLiteral("super"), QStringLiteral("alt")}));
}

TEST_F(PointerX11Test, AtTwicePixelsTheCursorsComeFromTheLargerImages)
{
    startAndShow("2");
    ASSERT_TRUE(xdotool({QStringLiteral("keydown"), QStringLiteral("super"), QStringLiteral("alt")}));
    EXPECT_TRUE(waitFor([] { return moveTo({600, 300}) && serverCursorIs(48, 10, 10); })) << "the eraser at 2x";
    ASSERT_TRUE(xdotool({QStringLiteral("keyup"), QStringLiteral("super"), QStringLiteral("alt")}));
}

TEST_F(PointerX11Test, AClickLeavesARedDotThatStaysAndTheBallRestsUnderThePointer)
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(1, QStringLiteral("DissolveModeKey"));
    defaults.setInteger(2, QStringLiteral("SplashMethod"));
    startAndShow();
    ASSERT_TRUE(moveTo({400, 300}));
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    const auto dotAndBall = [] {
        if (!moveTo({600, 300}))
            return false;
        const QImage shot = screenshot();
        // The dot is a 10-point disc: red at its centre and 4 points out, not 8 points out.
        return isRed(screenshotPixel(shot, 400, 300)) && isRed(screenshotPixel(shot, 404, 300)) &&
               !isRed(screenshotPixel(shot, 408, 300)) && isRed(screenshotPixel(shot, 600, 300));
    };
    EXPECT_TRUE(waitFor(dotAndBall)) << "the dot stays at (400, 300) and the ball shows at (600, 300)";
}

TEST_F(PointerX11Test, InFadeModeAPlainRightClickHidesTheOverlay)
{
    MRKOUtils::userDefaults().setInteger(0, QStringLiteral("DissolveModeKey"));
    startAndShow();
    ASSERT_TRUE(moveTo({500, 400}));
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("3")}));
    EXPECT_TRUE(waitFor([this] { return !overlayShown(); }));
}
