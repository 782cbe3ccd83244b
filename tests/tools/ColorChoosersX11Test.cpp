#include "tests/support/InkoraFixture.h"
#include "tests/support/Screenshot.h"
#include "tests/tools/ProgramFixture.h"
#include "tools/KVHexSignImageView.h"
#include "tools/KVPopoverExtrasController.h"

#include <QDeadlineTimer>
#include <QPalette>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <optional>

namespace {

/// The first mapped window of exactly this size, in root coordinates.
std::optional<QRect> mappedWindowOfSize(QSize size)
{
    QProcess tree;
    tree.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    if (!tree.waitForFinished(10000))
        return std::nullopt;
    const QString text = QString::fromLocal8Bit(tree.readAllStandardOutput());
    static const QRegularExpression geometry(
        QStringLiteral("(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)\\s+\\+(-?\\d+)\\+(-?\\d+)"));
    for (const QRegularExpressionMatch &m : geometry.globalMatch(text)) {
        if (m.captured(1).toInt() != size.width() || m.captured(2).toInt() != size.height())
            continue;
        const QRect frame(m.captured(5).toInt(), m.captured(6).toInt(), size.width(), size.height());
        // Unmapped windows keep their geometry: a mapped one shows in its own query.
        QProcess query;
        const QString id = text.mid(text.lastIndexOf(QStringLiteral("0x"), m.capturedStart()), 10).section(' ', 0, 0);
        query.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
        if (query.waitForFinished(10000) && query.readAllStandardOutput().contains("IsViewable"))
            return frame;
    }
    return std::nullopt;
}

std::optional<QRect> waitForWindowOfSize(QSize size, int milliseconds = 20000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        if (auto frame = mappedWindowOfSize(size))
            return frame;
        QTest::qWait(200);
    }
    return std::nullopt;
}

bool waitUntilNoWindowOfSize(QSize size, int milliseconds = 20000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        if (!mappedWindowOfSize(size))
            return true;
        QTest::qWait(200);
    }
    return false;
}

void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

[[maybe_unused]] bool near(const QColor &a, const QColor &b, int tolerance)
{
    return a.isValid() && std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

/// A frameless window of another colour, as another program's.
class ColouredWindow final : public QWidget
{
public:
    explicit ColouredWindow(const QColor &colour)
    {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, colour);
        setPalette(palette);
        setAutoFillBackground(true);
        setGeometry(600, 300, 200, 200);
    }
};

// The colour wheel and the loupe in the real program: Super+C opens the wheel, Ctrl+I the loupe.
class ColorChoosersX11Test : public ProgramFixture
{
protected:
    /// Ctrl+I with the pointer at `at` until the loupe is up; its frame.
    std::optional<QRect> openLoupeAt(QPoint at)
    {
        xdotool(
            {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()), QString::number(at.y())});
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+i")});
        return waitForWindowOfSize(QSize(120, 120));
    }
};

#ifndef INKORA_DESKTOP_TESTS

TEST_F(ColorChoosersX11Test, WheelShowsTheHueRingAndTheLoupeFollowsThePointer)
{
    writeSettings(QString());
    ASSERT_TRUE(startAndShowOverlay());

    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("300"), QStringLiteral("300")});
    xdotool({QStringLiteral("key"), QStringLiteral("super+c")});
    const std::optional<QRect> popover = waitForWindowOfSize(QSize(246, 294));
    ASSERT_TRUE(popover) << m_output.constData();
    const QPoint centre = popover->topLeft() + QPoint(123, 123);
    QColor right;
    QColor left;
    QDeadlineTimer drawn(20000);
    while (!drawn.hasExpired()) {
        const QImage shot = screenshot();
        right = screenshotPixel(shot, centre.x() + 93, centre.y());
        left = screenshotPixel(shot, centre.x() - 93, centre.y());
        if (near(right, Qt::red, 40) && near(left, Qt::cyan, 40))
            break;
        QTest::qWait(200);
    }
    EXPECT_TRUE(near(right, Qt::red, 40)) << right.name().toStdString();
    EXPECT_TRUE(near(left, Qt::cyan, 40)) << left.name().toStdString();
    xdotool({QStringLiteral("key"), QStringLiteral("super+c")});
    EXPECT_TRUE(waitUntilNoWindowOfSize(QSize(246, 294)));

    // Escape ends the loupe without a colour.
    const std::optional<QRect> loupe = openLoupeAt(QPoint(700, 400));
    ASSERT_TRUE(loupe) << m_output.constData();
    EXPECT_LE((loupe->center() - QPoint(700, 400)).manhattanLength(), 2);
    QTest::qWait(300);
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    EXPECT_TRUE(waitUntilNoWindowOfSize(QSize(120, 120)));

    // A click ends it too, and the overlay takes the pointer again.
    ASSERT_TRUE(openLoupeAt(QPoint(100, 550)));
    QTest::qWait(300);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(waitUntilNoWindowOfSize(QSize(120, 120)));
}

// The "#" of the hexadecimal field copies "#" and the field's text to the clipboard that other programs read.
class HexSignX11Test : public InkoraFixture
{
};

TEST_F(HexSignX11Test, ClickCopiesTheHexWithItsSign)
{
    KVPopoverExtrasController extras;
    extras.view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(extras.view()));
    extras.hex()->setText(QStringLiteral("BFBFBF"));
    QTest::mouseClick(extras.hexSign(), Qt::LeftButton, {}, QPoint(7, 7));
    EXPECT_EQ(extras.hint()->text(), QStringLiteral("Copied"));

    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 20000)); // we serve it meanwhile
    EXPECT_EQ(xclip.readAllStandardOutput(), QByteArray("#BFBFBF"));

    extras.hex()->clear();
    QTest::mouseClick(extras.hexSign(), Qt::LeftButton, {}, QPoint(7, 7));
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(xclip.readAllStandardOutput(), QByteArray("#BFBFBF")); // an empty field copies nothing
}

#else

// Without a compositing manager (a window manager, no compositor): the loupe samples the screen as it was before it
// appeared, and a click takes another program's colour into the strokes.
class ColorChoosersDesktopTest : public ColorChoosersX11Test
{
};

// Disabled while the stroke after a pick is drawn in the previous colour since the tool bar runs the picker.
TEST_F(ColorChoosersDesktopTest, DISABLED_ClickTakesAnotherProgramsColourIntoTheNextStroke)
{
    ColouredWindow other(QColor(0, 160, 80));
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    writeSettings(QString());
    ASSERT_TRUE(startAndShowOverlay());

    const QPoint inside = other.mapToGlobal(other.rect().center());
    ASSERT_TRUE(openLoupeAt(inside)) << m_output.constData();
    QTest::qWait(300);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(waitUntilNoWindowOfSize(QSize(120, 120)));
    EXPECT_EQ(drawnColour(150, 350, 250, QColor(0, 160, 80)), QColor(0, 160, 80));
}

#endif
