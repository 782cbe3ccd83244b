#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLowpassFilter.h"
#include "objects/MRKOBallLayer.h"
#include "tests/canvas/CanvasFixture.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

namespace {

/// Counts the text a click would make.
class RemoteCanvas final : public RecordingCanvas
{
public:
    using RecordingCanvas::RecordingCanvas;
    int texts = 0;

protected:
    bool finalizeTextLayerByClick() override
    {
        ++texts;
        return true;
    }
};

class MRKODrawRemotePointerTest : public CanvasFixture
{
protected:
    void TearDown() override
    {
        m_view.reset();
        CanvasFixture::TearDown();
    }
    RemoteCanvas &makeRemoteCanvas()
    {
        m_view = std::make_unique<QWidget>();
        m_view->resize(400, 400);
        return *new RemoteCanvas(QRectF(0, 0, 400, 400), 1.0, m_view.get()); // child of the view
    }

private:
    std::unique_ptr<QWidget> m_view;
};

} // namespace

TEST_F(MRKODrawRemotePointerTest, APressAndReleaseInPlaceMakeADotATextOrAHighlight)
{
    RemoteCanvas &canvas = makeRemoteCanvas();
    canvas.setDissolveMode(1);
    canvas.setColorType(MRKOColorTypeCustom);
    MRKOToolColor::toolColor().setColor(inkora::SrgbColor(1, 0, 0, 1));
    canvas.simulateUpdateColorBall();
    canvas.setBallPosition(QPointF(200.3, 100.6));

    inkora::liveSettings().splashMethod = 2;
    canvas.simulateMouseDown();
    canvas.simulateMouseUp();
    ASSERT_EQ(canvas.finalizeCalls, 1);
    const platform::LayerPtr dot = canvas.finalizedLayer;
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot->name(), QStringLiteral("Dot"));
    EXPECT_EQ(dot->frame(), QRectF(195, 96, 10, 10)) << "the 10-point ball, origin rounded";
    EXPECT_EQ(canvas.layers(), std::vector<platform::LayerPtr>({dot})) << "it stays in freeze mode";
    const QImage pixels = *dot->contents();
    EXPECT_EQ(pixels.pixelColor(pixels.width() / 2, pixels.height() / 2), QColor(Qt::red));
    EXPECT_FALSE(canvas.drawingInProgress());

    canvas.setToolType(MRKOToolTypeText);
    canvas.simulateMouseDown();
    canvas.simulateMouseUp();
    EXPECT_EQ(canvas.texts, 1);

    canvas.setToolType(MRKOToolTypeBrush);
    inkora::liveSettings().splashMethod = 0;
    canvas.simulateMouseDown();
    canvas.simulateMouseUp();
    EXPECT_EQ(canvas.blinks, 1);
    EXPECT_EQ(canvas.finalizeCalls, 1);
}

TEST_F(MRKODrawRemotePointerTest, RemoteStrokesUseFullPressureAndMeasureSpeedFromThePress)
{
    inkora::liveSettings().penPressure = true;
    RemoteCanvas &canvas = makeRemoteCanvas();
    canvas.setColorType(MRKOColorTypeRainbow);
    MRKODraw::setHue(0.5);
    MRKOLowpassFilter::sharedFilter().setPressure(0.2);
    canvas.setBallPosition(QPointF(100, 100));
    canvas.simulateMouseDown();
    advance(0.05);
    canvas.setBallPosition(QPointF(150, 100)); // 50 points in 0.05 s: half the full speed
    canvas.simulateMouseDragged();
    EXPECT_EQ(MRKOLowpassFilter::sharedFilter().pressure(), 1.0);
    EXPECT_NEAR(MRKODraw::hue(), 0.5 + 0.0025 * 0.5, 1e-12);

    // No distance in no time leaves the hue; a distance in no time counts as full speed.
    canvas.simulateMouseDragged();
    EXPECT_NEAR(MRKODraw::hue(), 0.5 + 0.0025 * 0.5, 1e-12);
    canvas.setBallPosition(QPointF(160, 100));
    canvas.simulateMouseDragged();
    EXPECT_NEAR(MRKODraw::hue(), 0.5 + 0.0025 * 1.5, 1e-12);
    for (int x = 170; x <= 250; x += 10) {
        canvas.setBallPosition(QPointF(x, 100 + x % 20));
        canvas.simulateMouseDragged();
    }
    canvas.simulateMouseUp();
    EXPECT_EQ(canvas.finalizeCalls, 1);
    EXPECT_GE(canvas.finalizedRect.right(), 200.0) << "the stroke was drawn along the ball's path";
}
