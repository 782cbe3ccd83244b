#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/OverlayProbe.h"
#include "tests/support/PythonReader.h"
#include "tests/support/Screenshot.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace {

bool waitFor(const std::function<bool()> &condition, int milliseconds = 10000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QTest::qWait(100);
    return condition();
}

void xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(process.waitForFinished(20000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
}

// A window under the overlay: all white, or vertical black and white stripes 4 pixels wide.
class Backdrop final : public QWidget
{
public:
    bool stripes = false;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (stripes) {
            for (int x = 0; x < width(); x += 8)
                painter.fillRect(x, 0, 4, height(), Qt::black);
        }
    }
};

int grey(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y));
}

// The longest run of pixels on one side of `threshold` along row y, from x0 to x1: a stripe's width, however
// its edges were smoothed.
int longestRun(const QImage &image, int y, int x0, int x1, int threshold)
{
    int longest = 0, run = 0;
    bool lastDark = false;
    for (int x = x0; x < x1; ++x) {
        const bool dark = grey(image, x, y) < threshold;
        run = x > x0 && dark == lastDark ? run + 1 : 1;
        lastDark = dark;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

class FlashlightX11Test : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun"));
        m_backdrop.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        m_backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    }

    void TearDown() override
    {
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(10000);
        }
        InkoraFixture::TearDown();
    }

    void showBackdrop(bool stripes)
    {
        m_backdrop.stripes = stripes;
        m_backdrop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_backdrop));
        QTest::qWait(300);
    }

    void startInkora()
    {
        MRKOUtils::userDefaults().synchronize();
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_inkora.waitForStarted(10000));
    }

    // Types the keys until the screen shows what is asked: the program answers only once its launch completed.
    bool typeUntil(const QString &keys, const std::function<bool(const QImage &)> &shown)
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            xdotool({QStringLiteral("key"), keys});
            if (waitFor([&] { return shown(screenshot()); }, 6000))
                return true;
        }
        return false;
    }

    bool showOverlay() { return showOverlayByShortcut(); }

    Backdrop m_backdrop;
    QProcess m_inkora;
};

TEST_F(FlashlightX11Test, TheFlashlightShadesAllButTheHoleAndTheWheelGrowsIt)
{
    showBackdrop(false);
    startInkora();
    ASSERT_TRUE(showOverlay()) << m_inkora.readAllStandardError().constData();
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("400"), QStringLiteral("300")});

    ASSERT_TRUE(
        typeUntil(QStringLiteral("grave"), [](const QImage &s) { return !s.isNull() && grey(s, 600, 300) < 200; }));
    const QImage shot = screenshot();
    EXPECT_EQ(grey(shot, 400, 300), 255) << "the hole shows the window below";
    EXPECT_NEAR(grey(shot, 600, 300), 128, 8) << "half-black shade";

    for (int notch = 0; notch < 3; ++notch)
        xdotool({QStringLiteral("click"), QStringLiteral("4")});
    ASSERT_TRUE(waitFor([] { return grey(screenshot(), 400 + 110, 300) == 255; })) << "the hole grew";

    m_inkora.terminate();
    ASSERT_TRUE(m_inkora.waitForFinished(10000));
    QFile plist(home() + QStringLiteral("/config/com.Inkora.Inkora/com.Inkora.Inkora.plist"));
    ASSERT_TRUE(plist.open(QIODevice::ReadOnly));
    const PythonResult read = runPythonOnData(
        plist.readAll(), home() + QStringLiteral("/copy.plist"),
        QStringLiteral("import plistlib,sys\nprint(plistlib.load(open(sys.argv[1],'rb'))['FlashLightRadius'])"));
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    EXPECT_EQ(read.lines, QStringList{QStringLiteral("112.0")});
}

TEST_F(FlashlightX11Test, TheMagnifierDoublesStripesInTheHole)
{
    MRKOUtils::userDefaults().setDouble(2, QStringLiteral("MagnifyScale"));
    MRKOUtils::userDefaults().setInteger(0, QStringLiteral("MagnifyMethod"));
    showBackdrop(true);
    startInkora();
    ASSERT_TRUE(showOverlay());
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("402"), QStringLiteral("300")});

    // Runs of 8 equal pixels along a row inside the hole once the glass has zoomed in.
    const auto doubled = [](const QImage &s) {
        return !s.isNull() && grey(s, 700, 300) < 200 && longestRun(s, 300, 340, 460, 128) >= 7;
    };
    EXPECT_TRUE(typeUntil(QStringLiteral("grave"), doubled));
    const QImage shot = screenshot();
    EXPECT_NEAR(longestRun(shot, 300, 340, 460, 128), 8, 1) << "stripes twice as wide in the hole";
    EXPECT_EQ(longestRun(shot, 300, 700, 800, 64), 4) << "unmagnified under the shade";
}

TEST_F(FlashlightX11Test, TheWhiteboardCommandWhitensAndItsCloseButtonEndsIt)
{
    MRKOUtils::userDefaults().setInteger(2, QStringLiteral("WhiteBoardColor")); // black over a white window
    showBackdrop(false);
    startInkora();
    ASSERT_TRUE(showOverlay());
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("700"), QStringLiteral("500")});

    ASSERT_TRUE(
        typeUntil(QStringLiteral("ctrl+w"), [](const QImage &s) { return !s.isNull() && grey(s, 1000, 800) == 0; }));
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("12"), QStringLiteral("12"),
             QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(waitFor([] { return grey(screenshot(), 1000, 800) == 255; })) << "closed";
}

TEST_F(FlashlightX11Test, AQuarterLayoutCoversTheTopLeftQuarterOnly)
{
    MRKOUtils::userDefaults().setInteger(2, QStringLiteral("WhiteBoardColor"));
    MRKOUtils::userDefaults().setInteger(5, QStringLiteral("wb_0"));
    showBackdrop(false);
    startInkora();
    ASSERT_TRUE(showOverlay());
    ASSERT_TRUE(
        typeUntil(QStringLiteral("ctrl+w"), [](const QImage &s) { return !s.isNull() && grey(s, 300, 200) == 0; }));
    const QImage shot = screenshot();
    EXPECT_EQ(grey(shot, 1000, 200), 255);
    EXPECT_EQ(grey(shot, 300, 700), 255);
    EXPECT_EQ(grey(shot, 1000, 700), 255);
}
