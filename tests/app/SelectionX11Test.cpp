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
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>

#include <functional>

// The real program in freeze mode, driven by xdotool the way a user drives it: drawings are moved with Ctrl,
// gathered with Ctrl+A and erased with Super+Alt, and the screen is read back.

namespace {

bool waitFor(const std::function<bool()> &condition, int milliseconds = 15000)
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

/// xdotool's words for a stored shortcut: the modifiers as a PC keyboard names them, then the key.
QString keysOf(const KQShortCut &shortcut)
{
    QStringList keys;
    const quint64 flags = shortcut.modifierFlags();
    if (flags & platform::kCommandFlag)
        keys << QStringLiteral("ctrl");
    if (flags & platform::kOptionFlag)
        keys << QStringLiteral("alt");
    if (flags & platform::kShiftFlag)
        keys << QStringLiteral("shift");
    if (flags & platform::kControlFlag)
        keys << QStringLiteral("super");
    switch (shortcut.keyCode()) {
    case 48:
        keys << QStringLiteral("Tab");
        break;
    case 2:
        keys << QStringLiteral("d");
        break;
    default:
        keys << QStringLiteral("unknown");
        break;
    }
    return keys.join(QLatin1Char('+'));
}

/// Moves the pointer from `from` (where it is) to `to` in steps, each waiting until the server has moved it. A
/// position the pointer already has is left out: waiting for a move there would never end.
QStringList motion(QPoint from, QPoint to, int steps = 12)
{
    QStringList words;
    QPoint last = from;
    for (int step = 1; step <= steps; ++step) {
        const QPoint p = from + (to - from) * step / steps;
        if (p == last)
            continue;
        words << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(p.x())
              << QString::number(p.y());
        last = p;
    }
    return words;
}

/// CPU time the process has used, in clock ticks; -1 when it cannot be read.
qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields.at(11).toLongLong() + fields.at(12).toLongLong() : -1;
}

/// Waits until the process has used no CPU for half a second: it has handled all the input it was given. The
/// program drops motion that comes while it still finishes a gesture, so each gesture waits for the one before.
void waitUntilIdle(qint64 pid)
{
    QDeadlineTimer deadline(30000);
    qint64 last = cpuTicks(pid);
    int quiet = 0;
    while (quiet < 5 && !deadline.hasExpired()) {
        waitFor([] { return false; }, 100);
        const qint64 now = cpuTicks(pid);
        quiet = now == last ? quiet + 1 : 0;
        last = now;
    }
}

/// Motion next to the point and onto it, so that the hover sees the pointer (and the keys held) there.
bool hoverAt(QPoint point)
{
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x() + 1),
                    QString::number(point.y()), QStringLiteral("mousemove"), QStringLiteral("--sync"),
                    QString::number(point.x()), QString::number(point.y())});
}

/// With the pointer at `from`: presses, drags to `to` and lets go.
QStringList dragWords(QPoint from, QPoint to)
{
    return QStringList{QStringLiteral("mousedown"), QStringLiteral("1")} + motion(from, to) +
           QStringList{QStringLiteral("mouseup"), QStringLiteral("1")};
}

} // namespace

class SelectionX11Test : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        defaults.setBool(true, QStringLiteral("FirstTimeRun"));
        defaults.setInteger(1, QStringLiteral("DissolveModeKey"));
        defaults.setInteger(MRKOToolTypeBrush, QStringLiteral("ToolTypeKey"));
        defaults.setInteger(MRKOColorTypeCustom, QStringLiteral("ColorTypeKey"));
        defaults.setInteger(3, QStringLiteral("AllToolsThicknessKey"));
        // Every drag counts, however late the loaded program gets to it.
        defaults.setInteger(0, QStringLiteral("MouseFPSLimit"));
        defaults.synchronize();
    }
    void TearDown() override
    {
        xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl"), QStringLiteral("alt"), QStringLiteral("super")});
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(10000);
        }
        if (HasFailure())
            ADD_FAILURE() << "the program said: " << m_inkora.readAllStandardError().constData();
        InkoraFixture::TearDown();
    }

    /// Starts the program and shows its overlay by the activation shortcut.
    void startAndShow()
    {
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_inkora.waitForStarted(10000));
        XcbWindowProbe probe;
        ASSERT_TRUE(probe.isConnected());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const auto shown = [&] {
            for (const XcbWindowProbe::Window &w : probe.mappedWindowsOfProcess(m_inkora.processId()))
                if (w.geometry == screen)
                    return true;
            return false;
        };
        const auto activation = MRKOUtils::defaultShortCutForAction(QStringLiteral("runInkora:"));
        ASSERT_TRUE(activation);
        // The program answers the shortcut once its launch is complete, so the keys are typed until then.
        for (int attempt = 0; attempt < 20 && !shown(); ++attempt) {
            ASSERT_TRUE(xdotool({QStringLiteral("key"), keysOf(*activation)}));
            waitFor(shown, 4000);
        }
        ASSERT_TRUE(shown()) << m_inkora.readAllStandardError().constData();
        settle();
        m_before = screenshot();
        ASSERT_FALSE(m_before.isNull());
    }

    /// Whether every point shows ink (`inked`) or the desktop as it was before any drawing.
    bool shows(const QList<QPoint> &points, bool inked) const
    {
        const QImage now = screenshot();
        if (now.isNull())
            return false;
        for (const QPoint &p : points)
            if ((now.pixel(p) != m_before.pixel(p)) != inked)
                return false;
        return true;
    }
    bool becomes(const QList<QPoint> &inked, const QList<QPoint> &clear) const
    {
        return waitFor([&] { return shows(inked, true) && shows(clear, false); });
    }
    void settle() const { waitUntilIdle(m_inkora.processId()); }
    void draw(QPoint from, QPoint to)
    {
        ASSERT_TRUE(hoverAt(from));
        ASSERT_TRUE(xdotool(dragWords(from, to)));
        ASSERT_TRUE(becomes({(from + to) / 2}, {})) << "the stroke is drawn";
        settle();
    }
    void keys(const char *combination) const
    {
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QString::fromLatin1(combination)}));
        settle();
    }
    /// Holds the keys, hovers at `from`, drags to `to` and lets everything go.
    void dragWithKeysHeld(const QStringList &held, QPoint from, QPoint to) const
    {
        ASSERT_TRUE(xdotool(QStringList{QStringLiteral("keydown")} + held));
        ASSERT_TRUE(hoverAt(from));
        settle();
        ASSERT_TRUE(xdotool(dragWords(from, to)));
        ASSERT_TRUE(xdotool(QStringList{QStringLiteral("keyup")} + held));
        // The colour ball rests under the pointer: it goes where no drawing is looked at.
        ASSERT_TRUE(hoverAt({60, 840}));
        settle();
    }

    QProcess m_inkora;
    QImage m_before;
};

TEST_F(SelectionX11Test, DrawingsAreMovedGatheredAndErasedAndUndoPutsThemBack)
{
    startAndShow();
    draw({300, 300}, {600, 300});

    // Ctrl: the stroke is taken where the pointer holds it; Ctrl+Z puts it back.
    dragWithKeysHeld({QStringLiteral("ctrl")}, {450, 300}, {450, 450});
    EXPECT_TRUE(becomes({{450, 450}}, {{450, 300}})) << "moved by the Ctrl-drag";
    keys("ctrl+z");
    EXPECT_TRUE(becomes({{450, 300}}, {{450, 450}})) << "back after Ctrl+Z";

    // Ctrl+A gathers both strokes; they follow the pointer and a click drops them.
    draw({300, 500}, {600, 500});
    ASSERT_TRUE(hoverAt({700, 200}));
    settle();
    keys("ctrl+a");
    ASSERT_TRUE(xdotool(motion({700, 200}, {850, 300}) << QStringLiteral("click") << QStringLiteral("1")));
    EXPECT_TRUE(becomes({{550, 400}, {550, 600}}, {{350, 300}, {350, 500}})) << "both moved by (150, 100)";
    settle();

    // Ctrl+Z during a multiple move only ends it.
    ASSERT_TRUE(hoverAt({800, 300}));
    settle();
    keys("ctrl+a");
    ASSERT_TRUE(xdotool(motion({800, 300}, {950, 400})));
    EXPECT_TRUE(becomes({{700, 500}}, {})) << "they follow the pointer";
    settle();
    keys("ctrl+z");
    EXPECT_TRUE(becomes({{550, 400}, {550, 600}}, {{350, 300}, {700, 500}})) << "back where they were dropped";

    // Super+Alt: the eraser takes the ink where it passes and leaves the ends.
    dragWithKeysHeld({QStringLiteral("super"), QStringLiteral("alt")}, {565, 340}, {565, 460});
    EXPECT_TRUE(becomes({{470, 400}, {660, 400}}, {{565, 400}})) << "the desktop shows where the eraser passed";
    keys("ctrl+z");
    EXPECT_TRUE(becomes({{470, 400}, {565, 400}, {660, 400}}, {})) << "whole again";
}
