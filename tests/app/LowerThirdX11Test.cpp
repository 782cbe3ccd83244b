#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/OverlayProbe.h"
#include "tests/support/Screenshot.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace {

// A white window under the overlay, so the desktop's colour is known.
class Backdrop final : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), Qt::white); }
};

bool lowerThirdWindowMapped()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--name"), QStringLiteral("^Lower Third$")});
    return search.waitForFinished(10000) && search.exitStatus() == QProcess::NormalExit && search.exitCode() == 0;
}

bool isBlue(const QColor &c)
{
    return c.isValid() && c.blue() > 200 && c.red() < 60 && c.green() < 60;
}

bool isWhite(const QColor &c)
{
    return c.isValid() && c.red() > 230 && c.green() > 230 && c.blue() > 230;
}

// The title bar's right part on a 1440 × 900 display, beyond its text: from the top left.
constexpr int kProbeX = 800;
constexpr int kProbeY = 656;

} // namespace

class LowerThirdX11Test : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        defaults.setBool(true, QStringLiteral("FirstTimeRun"));
        defaults.setObject(QStringLiteral("0.000000+0.000000+1.000000+1.000000"),
                           QStringLiteral("LowerThirdTitleBackgroundColor"));
        m_backdrop.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        m_backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
        m_backdrop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_backdrop));
        QTest::qWait(300);
    }

    void TearDown() override
    {
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(10000);
        }
        InkoraFixture::TearDown();
    }

    void startInkora()
    {
        MRKOUtils::userDefaults().synchronize();
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_inkora.waitForStarted(10000));
    }

    // Waits until the pixel matches, for at most `milliseconds`.
    static bool probeUntil(const std::function<bool(const QColor &)> &matches, int milliseconds)
    {
        QDeadlineTimer deadline(milliseconds);
        do {
            if (matches(screenshotPixel(screenshot(), kProbeX, kProbeY)))
                return true;
            QTest::qWait(200);
        } while (!deadline.hasExpired());
        return false;
    }

    Backdrop m_backdrop;
    QProcess m_inkora;
};

TEST_F(LowerThirdX11Test, TheCommandShowsTheCaptionAndTakesItAway)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1440, 900));
    startInkora();
    ASSERT_TRUE(showOverlayByShortcut()) << m_inkora.readAllStandardError().constData();
    ASSERT_FALSE(lowerThirdWindowMapped());

    QElapsedTimer sincePress;
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+l")});
    sincePress.start();
    QTest::qWait(3500);
    const QColor resting = screenshotPixel(screenshot(), kProbeX, kProbeY);
    EXPECT_TRUE(isBlue(resting)) << resting.name().toStdString();
    EXPECT_TRUE(lowerThirdWindowMapped());

    QTest::qWait(int(std::max<qint64>(0, 9000 - sincePress.elapsed())));
    const QColor after = screenshotPixel(screenshot(), kProbeX, kProbeY);
    EXPECT_TRUE(isWhite(after)) << after.name().toStdString();
    EXPECT_FALSE(lowerThirdWindowMapped());
}

TEST_F(LowerThirdX11Test, WithTheSettingTheCaptionPlaysWhenTheOverlayAppears)
{
    MRKOUtils::userDefaults().setInteger(1, QStringLiteral("LowerThirdOnAppear"));
    startInkora();
    ASSERT_TRUE(showOverlayByShortcut()) << m_inkora.readAllStandardError().constData();
    EXPECT_TRUE(probeUntil(isBlue, 6000));
}
