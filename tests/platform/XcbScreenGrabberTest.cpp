#include "platform/linux/XcbScreenGrabber.h"

#include "tests/support/InkoraFixture.h"

#include <QPainter>
#include <QTest>
#include <QWidget>

namespace {

// A translucent window showing only a thick red stroke across its diagonal, like a drawing on the overlay.
class StrokeWindow final : public QWidget
{
public:
    StrokeWindow()
    {
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setPen(QPen(Qt::red, 16));
        painter.drawLine(0, 0, width(), height());
    }
};

bool isRed(QColor c)
{
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
}

bool isBlue(QColor c)
{
    return c.blue() > 200 && c.red() < 80 && c.green() < 80;
}

bool hasRed(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isRed(image.pixelColor(x, y)))
                return true;
    return false;
}

} // namespace

class XcbScreenGrabberTest : public InkoraFixture
{
};

TEST_F(XcbScreenGrabberTest, BelowAnOverlayShowsTheWindowBeneathAndNoneOfTheStroke)
{
    const std::unique_ptr<platform::XcbScreenGrabber> grabber = platform::XcbScreenGrabber::create();
    ASSERT_TRUE(grabber);
    ASSERT_TRUE(grabber->hasCompositingManager());

    QWidget beneath;
    beneath.setWindowFlags(Qt::FramelessWindowHint);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::blue);
    beneath.setPalette(palette);
    beneath.setAutoFillBackground(true);
    beneath.setGeometry(100, 100, 200, 200);
    beneath.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&beneath));
    // Global (150, 150) lies on the stroke and on the window beneath; in the grabbed area it is (100, 100).
    const QRect area(50, 50, 300, 300);
    QImage before;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            before = grabber->grabArea(area);
            return !before.isNull() && isBlue(before.pixelColor(100, 100));
        },
        10000));
    StrokeWindow overlay;
    overlay.setGeometry(50, 50, 300, 300);
    overlay.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&overlay));

    const quint64 window = overlay.winId();
    QImage including, below;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            including = grabber->grabBelowWindow(window, true, area);
            below = grabber->grabBelowWindow(window, false, area);
            return !including.isNull() && !below.isNull() && isRed(including.pixelColor(100, 100)) &&
                   isBlue(below.pixelColor(100, 100));
        },
        10000));
    ASSERT_EQ(below.size(), area.size());
    EXPECT_FALSE(hasRed(below));
    // Not even the stroke's soft edge: over the window beneath every pixel is the window's own.
    int changed = 0;
    for (int y = 50; y < 250; ++y)
        for (int x = 50; x < 250; ++x)
            changed += (below.pixel(x, y) & 0xffffff) != (before.pixel(x, y) & 0xffffff) ? 1 : 0;
    EXPECT_EQ(changed, 0);
    EXPECT_TRUE(isBlue(below.pixelColor(200, 60)));  // beneath, off the stroke
    EXPECT_FALSE(isBlue(below.pixelColor(10, 280))); // beside the window beneath

    // The whole screen, our windows included, as the compositing manager shows it.
    QImage screen;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            screen = grabber->grabArea(area);
            return !screen.isNull() && isRed(screen.pixelColor(100, 100)) && isBlue(screen.pixelColor(200, 60));
        },
        10000));
}

TEST_F(XcbScreenGrabberTest, AreaOffTheScreenGivesNothing)
{
    const std::unique_ptr<platform::XcbScreenGrabber> grabber = platform::XcbScreenGrabber::create();
    ASSERT_TRUE(grabber);
    log().expectWarning(QStringLiteral("ScreenGrabber:"));
    EXPECT_TRUE(grabber->grabArea(QRect(-500, -500, 100, 100)).isNull());
    EXPECT_TRUE(grabber->grabBelowWindow(1, false, QRect(-500, -500, 100, 100)).isNull());
    const QImage partly = grabber->grabArea(QRect(-10, -10, 20, 20));
    ASSERT_EQ(partly.size(), QSize(20, 20));
    EXPECT_EQ(partly.pixelColor(2, 2), QColor(Qt::black)); // beyond the screen
}
