#include "platform/linux/QtScreens.h"

#include "tests/support/InkoraFixture.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

struct FrameRow
{
    const char *name;
    QRect qt;   // y down, as Qt places it
    QRect main; // the main display, as Qt places it
    QRectF expected;
};

} // namespace

class QtScreensTest : public InkoraFixture
{
};

TEST_F(QtScreensTest, FramesAreYUpAroundTheMainDisplaysBottomLeftCorner)
{
    const QRect main(0, 0, 1440, 900);
    const FrameRow rows[] = {
        {"Main", main, main, QRectF(0, 0, 1440, 900)},
        {"TallerOnTheRight", QRect(1440, 0, 1920, 1080), main, QRectF(1440, -180, 1920, 1080)},
        {"Above", QRect(0, -1080, 1920, 1080), main, QRectF(0, 900, 1920, 1080)},
        {"Left", QRect(-1280, 100, 1280, 800), main, QRectF(-1280, 0, 1280, 800)},
        {"MainNotAtTheOrigin", QRect(1920, 0, 1440, 900), QRect(1920, 0, 1440, 900), QRectF(0, 0, 1440, 900)},
    };
    for (const FrameRow &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(platform::frameFromQt(row.qt, row.main), row.expected);
        // Windows are placed by the way back.
        EXPECT_EQ(platform::qtFromFrame(row.expected, row.main), row.qt);
    }
}

TEST_F(QtScreensTest, ListsTheMainDisplayFirstWithItsScaleAndAStableNumber)
{
    const platform::QtScreens screens;
    const QList<platform::ScreenInfo> list = screens.screens();
    ASSERT_EQ(list.size(), QGuiApplication::screens().size());
    const QScreen *main = QGuiApplication::primaryScreen();
    EXPECT_EQ(list.first().name, main->name());
    EXPECT_EQ(list.first().frame.topLeft(), QPointF(0, 0));
    EXPECT_EQ(list.first().frame.size(), QSizeF(main->geometry().size()));
    EXPECT_EQ(list.first().backingScale, main->devicePixelRatio());
    EXPECT_NE(list.first().number, 0u);
    EXPECT_EQ(screens.screens().first().number, list.first().number);
}
