#include "tests/support/Screenshot.h"
#include "tests/tools/ProgramFixture.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <vector>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

struct Monitor
{
    QString name;
    QString spec; // as xrandr --setmonitor takes it
    QString output;
    QRect frame;
};

/// The server's RandR monitors, in pixels, y down.
std::vector<Monitor> monitors()
{
    std::vector<Monitor> result;
    static const QRegularExpression line(
        QStringLiteral("^\\s*\\d+: [+*]*(\\S+) ((\\d+)/\\d+x(\\d+)/\\d+\\+(\\d+)\\+(\\d+))\\s*(\\S*)"),
        QRegularExpression::MultilineOption);
    const QString text = run(QStringLiteral("xrandr"), {QStringLiteral("--listmonitors")});
    for (const QRegularExpressionMatch &m : line.globalMatch(text)) {
        result.push_back(
            {m.captured(1), m.captured(2), m.captured(7).isEmpty() ? QStringLiteral("none") : m.captured(7),
             QRect(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(3).toInt(), m.captured(4).toInt())});
    }
    return result;
}

/// The frames of the mapped overlay windows, sorted left to right.
std::vector<QRect> overlayFrames()
{
    std::vector<QRect> frames;
    const QStringList ids = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                            QStringLiteral("--name"), QStringLiteral("^Inkora$")})
                                .split('\n', Qt::SkipEmptyParts);
    static const QRegularExpression field(
        QStringLiteral("(Absolute upper-left X|Absolute upper-left Y|Width|Height):\\s+(-?\\d+)"));
    for (const QString &id : ids) {
        int values[4] = {0, 0, 0, 0};
        int found = 0;
        for (const QRegularExpressionMatch &m :
             field.globalMatch(run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id}))) {
            values[found < 4 ? found : 3] = m.captured(2).toInt();
            ++found;
        }
        if (found == 4 && values[2] > 1)
            frames.emplace_back(values[0], values[1], values[2], values[3]);
    }
    std::sort(frames.begin(), frames.end(), [](const QRect &a, const QRect &b) { return a.x() < b.x(); });
    return frames;
}

std::vector<QRect> framesOf(const std::vector<Monitor> &list)
{
    std::vector<QRect> frames;
    for (const Monitor &m : list)
        frames.push_back(m.frame);
    std::sort(frames.begin(), frames.end(), [](const QRect &a, const QRect &b) { return a.x() < b.x(); });
    return frames;
}

bool waitForOverlayFrames(const std::vector<QRect> &expected)
{
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (overlayFrames() == expected)
            return true;
        QTest::qWait(200);
    }
    return false;
}

/// How many pixels of the column at x, around y, are red: the width of a horizontal red stroke there.
int redRun(const QImage &shot, int x, int y)
{
    int count = 0;
    for (int row = y - 40; row <= y + 40; ++row) {
        const QColor c = screenshotPixel(shot, x, row);
        if (c.isValid() && c.red() > 200 && c.green() < 60 && c.blue() < 60)
            ++count;
    }
    return count;
}

/// Drags from `from` 400 pixels to the right, the button kept down until the stroke shows at its middle; the width of
/// the stroke there, in pixels.
int strokeWidth(QPoint from)
{
    QStringList drag = {QStringLiteral("mousemove"), QStringLiteral("--sync"),    QString::number(from.x()),
                        QString::number(from.y()),   QStringLiteral("mousedown"), QStringLiteral("1")};
    for (int dx = 40; dx <= 400; dx += 40)
        drag << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(from.x() + dx)
             << QString::number(from.y());
    run(QStringLiteral("xdotool"), drag);
    int width = 0;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && width == 0) {
        width = redRun(screenshot(), from.x() + 200, from.y());
        if (width == 0)
            QTest::qWait(200);
    }
    run(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
    return width;
}

} // namespace

// The real program on an Xorg screen of two RandR monitors, the second at backing scale 2.
class TwoDisplaysTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        m_monitors = monitors();
        qputenv("QT_SCREEN_SCALE_FACTORS", "1;2");
    }
    void TearDown() override
    {
        qunsetenv("QT_SCREEN_SCALE_FACTORS");
        // The server outlives the test: a monitor taken away comes back.
        if (monitors().size() < m_monitors.size() && m_monitors.size() == 2)
            run(QStringLiteral("xrandr"),
                {QStringLiteral("--setmonitor"), m_monitors[1].name, m_monitors[1].spec, m_monitors[1].output});
        ProgramFixture::TearDown();
    }

    std::vector<Monitor> m_monitors;
};

TEST_F(TwoDisplaysTest, EachDisplayHasItsOverlayAtItsScaleAndFollowsADisplayLeavingAndComingBack)
{
    ASSERT_EQ(m_monitors.size(), 2u) << "the server should show two monitors";
    writeSettings(QString()); // the brush in red
    ASSERT_TRUE(startAndShowOverlay());
    EXPECT_TRUE(waitForOverlayFrames(framesOf(m_monitors))) << m_output.constData();

    // The same stroke is twice as wide in pixels on the display of scale 2.
    const QRect left = framesOf(m_monitors)[0];
    const QRect right = framesOf(m_monitors)[1];
    const int narrow = strokeWidth(left.topLeft() + QPoint(100, 400));
    const int wide = strokeWidth(right.topLeft() + QPoint(100, 400));
    EXPECT_GT(narrow, 0);
    EXPECT_NEAR(wide, 2 * narrow, 3) << "widths " << narrow << " and " << wide;

    // Taken away and given back while the overlay shows: the overlays follow after the debounce.
    const Monitor &second = m_monitors[1];
    run(QStringLiteral("xrandr"), {QStringLiteral("--delmonitor"), second.name});
    EXPECT_TRUE(waitForOverlayFrames({m_monitors[0].frame})) << m_output.constData();
    run(QStringLiteral("xrandr"), {QStringLiteral("--setmonitor"), second.name, second.spec, second.output});
    EXPECT_TRUE(waitForOverlayFrames(framesOf(m_monitors))) << m_output.constData();
}
