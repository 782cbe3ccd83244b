#include "foundation/MRKOUtils.h"
#include "foundation/NSString+Bezier.h"
#include "platform/Defaults.h"
#include "tests/helper/XcbWindowProbe.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/Screenshot.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <functional>

namespace {

// Keycodes of the US evdev keymap the virtual X server starts with.
constexpr xcb_keycode_t kTab = 23;
constexpr xcb_keycode_t kD = 40;
constexpr std::uint16_t kAlt = XCB_MOD_MASK_1;
constexpr std::uint16_t kSuperAlt = XCB_MOD_MASK_4 | XCB_MOD_MASK_1;

xcb_connection_t *connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

/// Whether another client holds the combination: our own grab of it is refused. A grab we get is released.
bool heldByAnotherClient(xcb_keycode_t keycode, std::uint16_t modifiers)
{
    const auto cookie =
        xcb_grab_key_checked(connection(), 1, root(), modifiers, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (xcb_generic_error_t *error = xcb_request_check(connection(), cookie)) {
        free(error);
        return true;
    }
    xcb_ungrab_key(connection(), keycode, root(), modifiers);
    xcb_flush(connection());
    return false;
}

// Waits for the other program with a deadline; it runs on its own, so there is no clock of ours to advance.
bool waitFor(const std::function<bool()> &condition, int milliseconds = 10000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

void typeKeys(const char *keys)
{
    QProcess xdotool;
    QStringList arguments{QStringLiteral("key")};
    arguments += QString::fromLatin1(keys).split(QLatin1Char(' '));
    xdotool.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(xdotool.waitForFinished(10000));
    ASSERT_EQ(xdotool.exitCode(), 0) << xdotool.readAllStandardError().constData();
}

/// Another program's focused window: records the keys that reach it.
class KeyWindow final : public QWidget
{
public:
    QStringList keys;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        // The modifier keys themselves are never grabbed; only the combinations count.
        if (event->key() == Qt::Key_Alt || event->key() == Qt::Key_Control || event->key() == Qt::Key_Shift ||
            event->key() == Qt::Key_Meta || event->key() == Qt::Key_Super_L)
            return;
        keys.append(QKeySequence(event->keyCombination()).toString(QKeySequence::PortableText));
    }
};

} // namespace

class ShortcutsX11Test : public InkoraFixture
{
protected:
    void TearDown() override
    {
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(10000);
        }
        InkoraFixture::TearDown();
    }

    void startInkora(const QString &quitAfterMs = {})
    {
        auto env = QProcessEnvironment::systemEnvironment();
        if (!quitAfterMs.isEmpty())
            env.insert(QStringLiteral("INKORA_QUIT_AFTER_MS"), quitAfterMs);
        m_inkora.setProcessEnvironment(env);
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_inkora.waitForStarted(10000));
    }

    QProcess m_inkora;
};

TEST_F(ShortcutsX11Test, ActivationShortcutBindsTheOverlayCommandsAndGivesThemBack)
{
    // The shown tool panel leaves the keyboard with this window.
    MRKOUtils::userDefaults().setInteger(0, QStringLiteral("KeepTouchBarWithToolbarKey"));
    MRKOUtils::userDefaults().synchronize();
    KeyWindow window;
    window.resize(200, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    startInkora();

    // Types the keys and a plain "a" behind them, and answers which of the keys reached this window: the X server
    // keeps their order, so once the "a" is here the others have gone wherever they go. Probing by grabbing would
    // race with the program's own grabs.
    const auto reachingUs = [&](const char *keys) {
        window.keys.clear();
        typeKeys((QByteArray(keys) + " a").constData());
        EXPECT_TRUE(waitFor([&] { return window.keys.contains(QStringLiteral("A")); }, 5000));
        window.keys.removeAll(QStringLiteral("A"));
        return window.keys;
    };
    // Retries while the program has not yet answered the previous keys; each key that did reach us changed
    // nothing in the program.
    // Counted in time, not attempts: a loaded machine may take seconds to complete the launch.
    const auto until = [](const std::function<bool()> &condition) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < 60000) {
            if (condition())
                return true;
        }
        return false;
    };

    // Super+Alt+D is bound from the launch on and shows the overlay.
    ASSERT_TRUE(until([&] { return reachingUs("super+alt+d").isEmpty(); }))
        << m_inkora.readAllStandardError().constData();
    // While it is shown Command-Z is the program's.
    ASSERT_TRUE(until([&] { return reachingUs("ctrl+z").isEmpty(); }));
    // Hidden again, Command-Z reaches other programs.
    EXPECT_TRUE(reachingUs("super+alt+d").isEmpty());
    ASSERT_TRUE(until([&] { return reachingUs("ctrl+z") == QStringList{QStringLiteral("Ctrl+Z")}; }));

    // Shown again, its quit command ends the program cleanly.
    EXPECT_TRUE(reachingUs("super+alt+d").isEmpty());
    ASSERT_TRUE(until([&] {
        typeKeys("ctrl+q");
        return m_inkora.waitForFinished(500);
    }));
    EXPECT_EQ(m_inkora.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_inkora.exitCode(), 0) << m_inkora.readAllStandardError().constData();
    EXPECT_FALSE(heldByAnotherClient(kD, kSuperAlt));
}

TEST_F(ShortcutsX11Test, ActivationShortcutShowsARealOverlayWhoseDrawingCommandZUndoes)
{
    // Freeze mode, so the drawing stays until it is undone instead of fading by itself.
    MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
    MRKOUtils::userDefaults().setInteger(1, QStringLiteral("DissolveModeKey"));
    MRKOUtils::userDefaults().synchronize();
    KeyWindow window;
    window.resize(200, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    startInkora();
    XcbWindowProbe probe;
    ASSERT_TRUE(probe.isConnected());

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const auto overlay = [&]() -> std::optional<XcbWindowProbe::Window> {
        for (const XcbWindowProbe::Window &w : probe.mappedWindowsOfProcess(m_inkora.processId())) {
            if (w.geometry == screen)
                return w;
        }
        return std::nullopt;
    };
    // The program answers the shortcut only once its launch is complete, so the keys are typed again until then.
    const auto pressUntil = [&](const char *keys, const std::function<bool()> &condition) {
        for (int attempt = 0; attempt < 20; ++attempt) {
            typeKeys(keys);
            if (waitFor(condition, 4000))
                return true;
        }
        return false;
    };

    ASSERT_TRUE(pressUntil("super+alt+d", [&] { return overlay().has_value(); }))
        << m_inkora.readAllStandardError().constData();
    const std::uint32_t overlayId = overlay()->id;
    const QImage before = screenshot();
    ASSERT_FALSE(before.isNull());

    // A diagonal drag well away from the other window.
    const QPoint from(500, 300);
    const QPoint to(800, 600);
    const QPoint middle = (from + to) / 2;
    QStringList drag{QStringLiteral("mousemove"), QStringLiteral("--sync"),    QString::number(from.x()),
                     QString::number(from.y()),   QStringLiteral("mousedown"), QStringLiteral("1")};
    for (int step = 1; step <= 15; ++step) {
        const QPoint p = from + (to - from) * step / 15;
        drag << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(p.x())
             << QString::number(p.y());
    }
    drag << QStringLiteral("mouseup") << QStringLiteral("1");
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), drag);
    ASSERT_TRUE(xdotool.waitForFinished(20000));
    ASSERT_EQ(xdotool.exitCode(), 0);

    // The stroke crosses the middle of the drag and stays there after the button is up.
    const auto strokeShown = [&] {
        const QImage now = screenshot();
        return !now.isNull() && now.pixel(middle) != before.pixel(middle);
    };
    ASSERT_TRUE(waitFor(strokeShown, 15000)) << "the drag left a stroke";

    // Under a window manager a click gives the overlay the keyboard; the shortcuts must still be the program's.
    QProcess focus;
    focus.start(QStringLiteral("xdotool"),
                {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(overlayId)});
    ASSERT_TRUE(focus.waitForFinished(10000));
    ASSERT_EQ(focus.exitCode(), 0);
    ASSERT_TRUE(strokeShown()) << "in freeze mode the stroke stays until it is undone";
    // The colour ball rests under the pointer: it goes where the stroke is not looked at.
    QProcess away;
    away.start(QStringLiteral("xdotool"),
               {QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("60"), QStringLiteral("840")});
    ASSERT_TRUE(away.waitForFinished(10000));

    const auto strokeGone = [&] {
        const QImage now = screenshot();
        return !now.isNull() && now.pixel(middle) == before.pixel(middle) && now.pixel(from) == before.pixel(from) &&
               now.pixel(to) == before.pixel(to);
    };
    EXPECT_TRUE(pressUntil("ctrl+z", strokeGone)) << "Command-Z undid the stroke";
    EXPECT_TRUE(overlay().has_value()) << "undo leaves the overlay shown";

    // Hidden again, the overlay is unmapped and Command-Z goes to the focused program.
    ASSERT_TRUE(pressUntil("super+alt+d", [&] { return !overlay().has_value(); }));
    // Without a window manager nobody hands the keyboard back once the focused overlay is unmapped.
    QProcess refocus;
    refocus.start(QStringLiteral("xdotool"),
                  {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window.winId())});
    ASSERT_TRUE(refocus.waitForFinished(10000));
    ASSERT_EQ(refocus.exitCode(), 0);
    window.keys.clear();
    typeKeys("ctrl+z");
    EXPECT_TRUE(waitFor([&] { return window.keys.contains(QStringLiteral("Ctrl+Z")); }, 5000))
        << window.keys.join(' ').toStdString();
}

TEST_F(ShortcutsX11Test, CombinationHeldByAnotherClientIsLoggedAsRefused)
{
    const struct
    {
        const char *name;
        xcb_keycode_t keycode;
        std::uint16_t modifiers;
        QString storedActivation; // empty: the default
        QString line;
    } rows[] = {
        {"DefaultSuperAltD",
         kD,
         kSuperAlt,
         {},
         QStringLiteral("Can't register the shortcut Super+Alt+D flags - (c0000) - Err 10")},
        {"StoredAltTab", kTab, kAlt, QStringLiteral("runInkora:,524288,48,0"),
         QStringLiteral("Can't register the shortcut Alt+Tab flags - (80000) - Err 10")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.storedActivation.isEmpty()) {
            MRKOUtils::userDefaults().removeObjectForKey(QStringLiteral("ShortcutActivate"));
        } else {
            MRKOUtils::userDefaults().setObject(Bezier::base64EncodedString(row.storedActivation),
                                                QStringLiteral("ShortcutActivate"));
        }
        MRKOUtils::userDefaults().synchronize();
        const auto cookie = xcb_grab_key_checked(connection(), 1, root(), row.modifiers, row.keycode,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t *error = xcb_request_check(connection(), cookie);
        ASSERT_EQ(error, nullptr);

        startInkora(QStringLiteral("1500"));
        ASSERT_TRUE(m_inkora.waitForFinished(30000));
        xcb_ungrab_key(connection(), row.keycode, root(), row.modifiers);
        xcb_flush(connection());

        const QString errors = QString::fromUtf8(m_inkora.readAllStandardError());
        // BadAccess (10) from the X server; the shortcut without tool bar still got its key.
        EXPECT_TRUE(errors.contains(row.line)) << qPrintable(errors);
        EXPECT_EQ(errors.count(QStringLiteral("Can't register the shortcut")), 1) << qPrintable(errors);
        EXPECT_EQ(m_inkora.exitCode(), 0);
    }
}
