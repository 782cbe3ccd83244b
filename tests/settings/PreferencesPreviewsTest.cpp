#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "platform/ShapeLayer.h"
#include "platform/fake/FakeSavePanel.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/PrefSlider.h"
#include "tests/settings/PreferencesFixture.h"

#include <QButtonGroup>
#include <QCursor>
#include <QDir>
#include <QPalette>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

using inkora::PrefSlider;

class PreferencesPreviewsTest : public PreferencesFixture
{
protected:
    [[nodiscard]] std::vector<std::shared_ptr<platform::ShapeLayer>> overlayShapes()
    {
        std::vector<std::shared_ptr<platform::ShapeLayer>> shapes;
        for (const platform::LayerPtr &layer : pane().overlayLayer()->sublayers()) {
            if (auto shape = std::dynamic_pointer_cast<platform::ShapeLayer>(layer))
                shapes.push_back(shape);
        }
        return shapes;
    }
};

TEST_F(PreferencesPreviewsTest, RaysShootOutFromTheClickAndGo)
{
    pane().blinkForPoint(QPointF(200, 300));

    const auto rays = overlayShapes();
    ASSERT_EQ(rays.size(), 8u);
    for (const auto &ray : rays) {
        EXPECT_EQ(ray->frame(), QRectF(138, 238, 124, 124));
        EXPECT_EQ(ray->strokeEnd(), 0.35);
        EXPECT_EQ(ray->lineWidth(), 4.0);
        EXPECT_EQ(ray->lineCap(), Qt::RoundCap);
        EXPECT_EQ(ray->path().elementAt(0), QPointF(62, 62));
        EXPECT_NEAR(QLineF(QPointF(62, 62), ray->path().currentPosition()).length(), 60, 0.01);
    }
    advance(0.2);
    EXPECT_EQ(overlayShapes().size(), 8u);
    EXPECT_LT(rays.front()->presentationOpacity(), 1.0);
    advance(0.2);
    EXPECT_TRUE(overlayShapes().empty());
}

TEST_F(PreferencesPreviewsTest, RingGrowsFromFiveToOneHundredInHalfASecond)
{
    pane().blinkForPointCircle(QPointF(100, 100));

    const auto shapes = overlayShapes();
    ASSERT_EQ(shapes.size(), 1u);
    const auto ring = shapes.front();
    EXPECT_EQ(ring->frame(), QRectF(-2.5, -2.5, 205, 205));
    EXPECT_EQ(ring->lineWidth(), 5.0);
    EXPECT_EQ(ring->path().boundingRect(), QRectF(97.5, 97.5, 10, 10));
    advance(0.25);
    const QRectF middle = ring->presentationValue(QStringLiteral("path")).value<QPainterPath>().boundingRect();
    EXPECT_GT(middle.width(), 10);
    EXPECT_LT(middle.width(), 200);
    advance(0.3);
    EXPECT_TRUE(overlayShapes().empty());
}

TEST_F(PreferencesPreviewsTest, ClickHighlightChoicePlaysItsPreviewOnly)
{
    for (const auto &[outlet, layers] :
         {std::pair{"splashDisable", 0u}, std::pair{"splashCircle", 1u}, std::pair{"splashSplatter", 8u}}) {
        SCOPED_TRACE(outlet);
        click(*control<QAbstractButton>(outlet));
        EXPECT_EQ(overlayShapes().size(), layers);
        advance(1);
    }
}

TEST_F(PreferencesPreviewsTest, EraserRingShowsFromPressToReleaseNeverForTheKeyboard)
{
    auto *eraser = control<PrefSlider>("eraserSizeSlider");
    pressAt(*eraser, 100);
    ASSERT_NE(pane().eraserPreviewLayer(), nullptr);
    EXPECT_EQ(pane().eraserPreviewLayer()->frame().width(), 100);
    dragTo(*eraser, 200);
    EXPECT_EQ(pane().eraserPreviewLayer()->frame().width(), 200);
    release(*eraser);
    EXPECT_EQ(pane().eraserPreviewLayer(), nullptr);
    EXPECT_TRUE(overlayShapes().empty());

    eraser->setFocus();
    QTest::keyClick(eraser, Qt::Key_Right);
    EXPECT_EQ(inkora::liveSettings().eraserSize, 201);
    EXPECT_EQ(pane().eraserPreviewLayer(), nullptr);
    EXPECT_TRUE(overlayShapes().empty());
}

TEST_F(PreferencesPreviewsTest, FlashlightPreviewEndsOnlyWhatItStarted)
{
    showOverlay();
    MRKODraw *canvas = delegate().windowControllersArray().first()->drawView();
    ASSERT_NE(canvas, nullptr);
    QCursor::setPos(canvas->mapToGlobal(QPoint(50, 50)));
    auto *radius = control<PrefSlider>("flashlightSlider");

    pressAt(*radius, 150);
    EXPECT_TRUE(canvas->hasDarkOverlay());
    dragTo(*radius, 200);
    release(*radius);
    EXPECT_FALSE(canvas->hasDarkOverlay());

    (void)canvas->makeDarkOverlayWithEvent(nullptr);
    clickAt(*radius, 120);
    EXPECT_TRUE(canvas->hasDarkOverlay());
}

TEST_F(PreferencesPreviewsTest, HelpTextsByAction)
{
    EXPECT_EQ(MRKOPreferencesViewController::prefDescriptionWithSEL(QStringLiteral("forwardUnusedKeysAction:")),
              QStringLiteral("This option allows you to route all unused keystrokes to next application.\nFor "
                             "instance you can forward Space or Arrow keys pressing to presentation app."));
    EXPECT_EQ(MRKOPreferencesViewController::prefDescriptionWithSEL(QStringLiteral("nothing:")),
              QStringLiteral("No Description"));
    const QString with =
        MRKOPreferencesViewController::prefDescriptionWithSEL(QStringLiteral("activationWithToolbarAction:"));
    const QString without =
        MRKOPreferencesViewController::prefDescriptionWithSEL(QStringLiteral("activationWithoutToolbarAction:"));
    EXPECT_TRUE(with.startsWith(QStringLiteral("When option is set to \"Only Show\"\n")));
    EXPECT_EQ(
        QString(with).replace(QStringLiteral("with toolbar Touch Bar"), QStringLiteral("without toolbar Touch Bar")),
        without);
}

TEST_F(PreferencesPreviewsTest, PaneSavesAsOnePagePdfOverItsAppearancesGrey)
{
    pane().resize(640, 720);
    pane().containerView()->adjustSize();
    const QSize size = pane().containerView()->size();
    for (const auto &[dark, grey] : {std::pair{false, 242}, std::pair{true, 33}}) {
        SCOPED_TRACE(dark);
        QPalette palette = pane().palette();
        palette.setColor(QPalette::Window, dark ? QColor(30, 30, 30) : QColor(240, 240, 240));
        pane().setPalette(palette);
        const QString path = home() + (dark ? QStringLiteral("/dark.pdf") : QStringLiteral("/light.pdf"));
        fakes().savePanel->answer = path;

        pane().saveAsPDF();

        ASSERT_EQ(fakes().savePanel->requests.last().proposedName, QStringLiteral("Inkora Settings"));
        EXPECT_EQ(fakes().savePanel->requests.last().allowedTypes, QStringList{QStringLiteral("pdf")});
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        ASSERT_TRUE(info.waitForFinished(30000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << text.toStdString();
        EXPECT_TRUE(text.contains(
            QRegularExpression(QStringLiteral("Page size:\\s+%1 x %2 pts").arg(size.width()).arg(size.height()))))
            << text.toStdString();
        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                                  QStringLiteral("-singlefile"), path, path});
        ASSERT_TRUE(raster.waitForFinished(60000));
        const QImage page(path + QStringLiteral(".png"));
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(qGray(page.pixel(page.width() - 2, page.height() - 2)), grey);
    }
    // Cancelling writes nothing.
    fakes().savePanel->answer.clear();
    pane().saveAsPDF();
    EXPECT_EQ(QDir(home()).entryList({QStringLiteral("*.pdf")}).size(), 2);
}
