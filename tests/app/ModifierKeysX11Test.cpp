#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/OverlayProbe.h"
#include "tests/support/Screenshot.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolType.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <functional>
#include <set>

// The real program with its overlay up: the Menu key lets clicks through to the window below, and with click sounds
// on, clicks in another program are heard once the overlay is gone.

namespace {

bool waitFor(const std::function<bool()> &condition, int milliseconds = 20000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QTest::qWait(100);
    return condition();
}

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

bool isRed(const QColor &c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

// Another client's window under the overlay: white, counting the presses that reach it.
class Backdrop final : public QWidget
{
public:
    int presses = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
    }
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

} // namespace

class ModifierKeysX11Test : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        platform::Defaults &defaults = MRKOUtils::userDefaults();
        defaults.setBool(true, QStringLiteral("FirstTimeRun"));
        defaults.setInteger(MRKOToolTypeBrush, QStringLiteral("ToolTypeKey"));
        defaults.setInteger(MRKOColorTypeCustom, QStringLiteral("ColorTypeKey")); // red
        defaults.setInteger(2, QStringLiteral("AllToolsThicknessKey"));
        defaults.setInteger(1, QStringLiteral("DissolveModeKey"));
        m_backdrop.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        m_backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
        m_backdrop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_backdrop));
    }
    void TearDown() override
    {
        (void)xdotool({QStringLiteral("keyup"), QStringLiteral("Menu")});
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(10000);
        }
        if (HasFailure())
            ADD_FAILURE() << "the program said: " << m_stderr.constData();
        InkoraFixture::TearDown();
    }

    void startAndShow()
    {
        MRKOUtils::userDefaults().synchronize();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("inkora.platform.debug=true"));
        m_inkora.setProcessEnvironment(environment);
        QObject::connect(&m_inkora, &QProcess::readyReadStandardError,
                         [this] { m_stderr += m_inkora.readAllStandardError(); });
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        ASSERT_TRUE(m_inkora.waitForStarted(10000));
        ASSERT_TRUE(showOverlayByShortcut());
    }

    /// Clicks at the point until the backdrop counts a press, or the deadline passes.
    bool clickReachesBackdrop(int x, int y)
    {
        const int before = m_backdrop.presses;
        return waitFor([&] {
            if (!xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(x), QString::number(y),
                          QStringLiteral("click"), QStringLiteral("1")}))
                return false;
            return waitFor([&] { return m_backdrop.presses > before; }, 1000);
        });
    }

    /// The sound names the program logged, in order.
    [[nodiscard]] QStringList playedSounds() const
    {
        static const QRegularExpression played(QStringLiteral("play (Crispy\\w+)"));
        QStringList names;
        for (auto it = played.globalMatch(QString::fromUtf8(m_stderr)); it.hasNext();)
            names << it.next().captured(1);
        return names;
    }

    Backdrop m_backdrop;
    QProcess m_inkora;
    QByteArray m_stderr;
};

TEST_F(ModifierKeysX11Test, HeldMenuLetsClicksThroughAndAfterItsReleaseADragDraws)
{
    startAndShow();
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("500"),
                         QStringLiteral("400"), QStringLiteral("click"), QStringLiteral("1")}));
    QTest::qWait(500);
    EXPECT_EQ(m_backdrop.presses, 0) << "the overlay takes the clicks";

    ASSERT_TRUE(xdotool({QStringLiteral("keydown"), QStringLiteral("Menu")}));
    EXPECT_TRUE(clickReachesBackdrop(520, 420)) << "Menu held: the click reaches the window below";
    ASSERT_TRUE(xdotool({QStringLiteral("keyup"), QStringLiteral("Menu")}));

    // Once Menu is up the overlay takes the mouse again: a drag leaves a red stroke.
    const QImage shot = screenshotWhileDraggingDiagonally(200, 320, 260, QColor(Qt::red));
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(isRed(screenshotPixel(shot, 260, 260)));
}

TEST_F(ModifierKeysX11Test, ClicksInAnotherProgramAreHeardOnceTheOverlayIsHidden)
{
    MRKOUtils::userDefaults().setInteger(1, QStringLiteral("PlayMouseSounds"));
    startAndShow();
    if (!m_stderr.contains("no audio output"))
        GTEST_SKIP() << "an audio output plays the clicks, so they are not logged";
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("super+alt+d")}));
    ASSERT_TRUE(waitFor([] { return !overlayVisible(); }));

    const int before = int(playedSounds().size());
    for (int i = 0; i < 7; ++i) {
        const int presses = m_backdrop.presses;
        ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(300 + 10 * i),
                             QStringLiteral("300"), QStringLiteral("click"), QStringLiteral("1")}));
        ASSERT_TRUE(waitFor([&] { return m_backdrop.presses > presses; }));
        ASSERT_TRUE(waitFor([&] { return playedSounds().size() > before + i; })) << "click " << i;
    }
    const QStringList clicks = playedSounds().mid(before);
    ASSERT_EQ(clicks.size(), 7);
    for (const QString &name : clicks)
        EXPECT_TRUE(name.startsWith(QLatin1String("CrispyMouse0"))) << name.toStdString();
    const std::set<QString> firstSix(clicks.begin(), clicks.begin() + 6);
    EXPECT_EQ(firstSix.size(), 6u) << clicks.join(QLatin1Char(' ')).toStdString();
    EXPECT_NE(clicks.at(6), clicks.at(5));
}
