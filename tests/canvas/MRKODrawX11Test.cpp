#include "canvas/MRKODraw.h"
#include "tests/canvas/CanvasFixture.h"
#include "tests/support/Screenshot.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QImage>
#include <QStringList>
#include <QTest>

#include <memory>
#include <optional>

class MRKODrawX11Test : public CanvasFixture
{
};

TEST_F(MRKODrawX11Test, ATransparentCanvasShowsAStrokeOverTheWindowBelow)
{
    const QRect area(100, 100, 400, 400); // global, y down
    QWidget below;
    below.setWindowFlags(Qt::FramelessWindowHint);
    below.setAutoFillBackground(true);
    QPalette palette = below.palette();
    palette.setColor(QPalette::Window, Qt::blue);
    below.setPalette(palette);
    below.setGeometry(area);
    below.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&below));

    QWidget overlay;
    overlay.setWindowFlags(Qt::FramelessWindowHint);
    overlay.setAttribute(Qt::WA_TranslucentBackground);
    overlay.setGeometry(area);
    auto *canvas = new RecordingCanvas(QRectF(0, 0, 400, 400), 1.0, &overlay); // child of the overlay
    MRKOToolColor::toolColor().setColor(red());
    canvas->setColorType(MRKOColorTypeCustom);
    canvas->setThickness(3);
    canvas->setToolType(MRKOToolTypeBrush);
    overlay.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&overlay));

    // Press at (150, 150) and drag down the diagonal to (450, 450), holding the button.
    // Inside the press's own loop the screen is read until the stroke shows, then the button goes up.
    const QImage shot = screenshotWhileDraggingDiagonally(150, 450, 300, QColor(Qt::red));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !canvas->drawingInProgress() && canvas->finalizeCalls == 1; }, 20000));

    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(screenshotPixel(shot, 300, 300), QColor(Qt::red)) << "the stroke";
    EXPECT_EQ(screenshotPixel(shot, 200, 200), QColor(Qt::red));
    EXPECT_EQ(screenshotPixel(shot, 400, 200), QColor(Qt::blue)) << "the window below, through the canvas";
    EXPECT_EQ(screenshotPixel(shot, 200, 400), QColor(Qt::blue));
    EXPECT_GE(canvas->drawnDrags, 10);
}
