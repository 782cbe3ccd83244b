#include "tests/support/InkoraFixture.h"
#include "tests/support/PythonReader.h"
#include "tests/support/Screenshot.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

/// Whether any pixel within two pixels of (x, y) differs from the same pixel of `before`.
bool changedNear(const QImage &before, const QImage &after, int x, int y)
{
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (screenshotPixel(before, x + dx, y + dy) != screenshotPixel(after, x + dx, y + dy))
                return true;
        }
    }
    return false;
}

} // namespace

// The real program under the test's X server: the tool panel comes up with the overlay and its buttons choose the
// tool that a drag then draws with.
class ToolPanelX11Test : public InkoraFixture
{
protected:
    void TearDown() override
    {
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(20000);
        }
        InkoraFixture::TearDown();
    }

    [[nodiscard]] static QString settingsFile()
    {
        return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) +
               QStringLiteral("/com.Inkora.Inkora/com.Inkora.Inkora.plist");
    }

    /// Freeze mode, so that the drawing stays; Super+Alt+D shows the overlay.
    static void writeSettings()
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(settingsFile()).path()));
        const PythonResult result = runPythonOnData(
            QByteArray(), settingsFile(),
            QStringLiteral(
                "import plistlib, sys\n"
                "settings = {'FirstTimeRun': True, 'ToolTypeKey': 0, 'DissolveModeKey': 1,\n"
                "            'AllToolsThicknessKey': 5, 'ShortcutActivate': 'cnVuSW5rb3JhOiw3ODY0MzIsMiww'}\n"
                "with open(sys.argv[1], 'wb') as f:\n"
                "    plistlib.dump(settings, f, fmt=plistlib.FMT_BINARY)\n"
                "print('written')\n"));
        ASSERT_TRUE(result.ok) << qPrintable(result.error);
    }

    [[nodiscard]] qint64 storedInteger(const char *key) const
    {
        const PythonResult result = runPythonOnData(QByteArray(), home() + QStringLiteral("/scratch.py"),
                                                    QStringLiteral("import plistlib, sys\n"
                                                                   "with open('%1', 'rb') as f:\n"
                                                                   "    print(plistlib.load(f).get('%2', -1))\n")
                                                        .arg(settingsFile(), QLatin1String(key)));
        return result.ok && !result.lines.isEmpty() ? result.lines.first().toLongLong() : -2;
    }

    void start()
    {
        m_inkora.setProcessChannelMode(QProcess::MergedChannels);
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_inkora.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return seen("finishAppLaunching"); }, 60000)) << m_output.constData();
    }

    bool seen(const char *line)
    {
        m_output += m_inkora.readAll();
        return m_output.contains(line);
    }

    static void xdotool(const QStringList &arguments) { QProcess::execute(QStringLiteral("xdotool"), arguments); }
    static void moveTo(int x, int y) { xdotool({QStringLiteral("mousemove"), QString::number(x), QString::number(y)}); }

    QProcess m_inkora;
    QByteArray m_output;
};

TEST_F(ToolPanelX11Test, RectangleButtonMakesADragDrawARectangle)
{
    writeSettings();
    start();
    const QImage before = screenshot();
    ASSERT_FALSE(before.isNull());
    xdotool({QStringLiteral("key"), QStringLiteral("super+alt+d")});

    // The panel: 60 x 446 at the left edge, its bottom 341 points above the 900-pixel display's bottom; the
    // Rectangle button's centre lies 124 pixels below its top.
    const int rectangleX = 30;
    const int rectangleY = 900 - 341 - 446 + 124;
    ASSERT_TRUE(QTest::qWaitFor([&] { return changedNear(before, screenshot(), rectangleX, rectangleY); }, 20000))
        << "the panel did not come up\n"
        << m_output.constData();
    moveTo(rectangleX, rectangleY);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return storedInteger("ToolTypeKey") == 2; }, 20000))
        << "ToolTypeKey " << storedInteger("ToolTypeKey") << "\n"
        << m_output.constData();

    moveTo(400, 300);
    xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    for (int step = 1; step <= 20; ++step)
        moveTo(400 + step * 20, 300 + step * 15);
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});

    QImage after;
    const bool edges = QTest::qWaitFor(
        [&] {
            after = screenshot();
            return changedNear(before, after, 600, 300) && changedNear(before, after, 400, 450) &&
                   changedNear(before, after, 800, 450) && changedNear(before, after, 600, 600);
        },
        20000);
    EXPECT_TRUE(edges) << "the rectangle's four edges";
    EXPECT_EQ(screenshotPixel(after, 600, 450), screenshotPixel(before, 600, 450)) << "its inside is not painted";
}
