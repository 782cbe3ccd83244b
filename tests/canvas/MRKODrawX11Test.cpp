#include "canvas/MRKODraw.h"
#include "tests/canvas/CanvasFixture.h"
#include "tests/support/Screenshot.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QTimer>

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
    QStringList drag = {QStringLiteral("mousemove"), QStringLiteral("--sync"),    QStringLiteral("150"),
                        QStringLiteral("150"),       QStringLiteral("mousedown"), QStringLiteral("1")};
    for (int p = 170; p <= 450; p += 20)
        drag << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(p) << QString::number(p);
    QProcess xdotool;
    QProcess release;
    QImage shot;
    int tries = 0;
    QTimer poll;
    poll.setInterval(100);
    // Runs inside the press's own loop: looks until the stroke shows, then lets the button go.
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const QImage image = screenshot();
        ++tries;
        const bool shown = !image.isNull() && screenshotPixel(image, 300, 300) == QColor(Qt::red);
        if (!shown && tries < 100)
            return;
        poll.stop();
        shot = image;
        release.start(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
    });
    QObject::connect(&xdotool, &QProcess::finished, &poll, qOverload<>(&QTimer::start));
    xdotool.start(QStringLiteral("xdotool"), drag);

    ASSERT_TRUE(QTest::qWaitFor([&] { return release.state() == QProcess::NotRunning && !shot.isNull(); }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !canvas->drawingInProgress() && canvas->finalizeCalls == 1; }, 20000));

    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(screenshotPixel(shot, 300, 300), QColor(Qt::red)) << "the stroke";
    EXPECT_EQ(screenshotPixel(shot, 200, 200), QColor(Qt::red));
    EXPECT_EQ(screenshotPixel(shot, 400, 200), QColor(Qt::blue)) << "the window below, through the canvas";
    EXPECT_EQ(screenshotPixel(shot, 200, 400), QColor(Qt::blue));
    EXPECT_GE(canvas->drawnDrags, 10);
}
