#include "tools/KPColorPickerView.h"

#include "tests/tools/ToolsFixture.h"
#include "tools/KPPickerBall.h"
#include "tools/KVColorOpacityView.h"

#include <cmath>

namespace {

struct Recorder final : KPColorPickerDelegate
{
    void didSelectColor() override { ++reports; }
    void closePopover() override { ++closes; }
    int reports = 0;
    int closes = 0;
};

double hueOf(const inkora::SrgbColor &color)
{
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(color, &h, &s, &b);
    return h;
}

QPointF ballCentre(const KPColorPickerView &picker, const KPPickerBall &ball)
{
    const QRect g = ball.geometry();
    return {g.x() + g.width() / 2.0, picker.height() - (g.y() + g.height() / 2.0)};
}

} // namespace

class KPColorPickerViewTest : public ToolsFixture
{
protected:
    void SetUp() override
    {
        ToolsFixture::SetUp();
        m_picker = std::make_unique<KPColorPickerView>();
        m_picker->setDelegate(&m_recorder);
    }
    void TearDown() override
    {
        m_picker.reset();
        ToolsFixture::TearDown();
    }
    void setHsb(double h, double s, double b)
    {
        m_picker->setColorSource(KPColorSourceProgram);
        m_picker->setColor(inkora::srgbColorWithHsb(h, s, b, 1));
    }

    Recorder m_recorder;
    std::unique_ptr<KPColorPickerView> m_picker;
};

TEST_F(KPColorPickerViewTest, WheelGeometryOfThePopoversPicker)
{
    EXPECT_EQ(m_picker->wheelRect(), QRectF(15, 15, 216, 216));
    setHsb(0, 1, 1);
    const QPointF hueBall = ballCentre(*m_picker, *m_picker->hueBall());
    EXPECT_NEAR(hueBall.x(), 123 + 93, 1.0);
    EXPECT_NEAR(hueBall.y(), 123, 1.0);
    EXPECT_EQ(m_picker->hueBall()->size(), QSize(30, 30));

    // Pure hue sits on the hue vertex, the triangle rotates with the hue.
    const QPointF vertex = m_picker->transform().map(m_picker->indicatorCenterForSaturationBrightness(1, 1));
    EXPECT_NEAR(vertex.x(), 123 + 78, 1e-9);
    setHsb(0.25, 1, 1);
    const QPointF turned = m_picker->transform().map(m_picker->indicatorCenterForSaturationBrightness(1, 1));
    EXPECT_NEAR(turned.x(), 123, 1e-9);
    EXPECT_NEAR(turned.y(), 123 + 78, 1e-9);
}

TEST_F(KPColorPickerViewTest, PressRegionsByDistanceFromTheCentre)
{
    const struct
    {
        double distance;
        KPColorPickerView::Region region;
    } rows[] = {{0, KPColorPickerView::RegionTriangle},
                {78.9, KPColorPickerView::RegionTriangle},
                {79, KPColorPickerView::RegionRing},
                {108.9, KPColorPickerView::RegionRing},
                {109, KPColorPickerView::RegionNone}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.distance);
        EXPECT_EQ(m_picker->mouseInside(QPointF(123 + row.distance, 123)), row.region);
        EXPECT_EQ(m_picker->mouseInside(QPointF(123, 123 - row.distance)), row.region);
    }

    const inkora::SrgbColor before = m_picker->color();
    m_picker->mouseDownAt(QPointF(240, 240));
    m_picker->mouseDraggedAt(QPointF(123, 123));
    EXPECT_EQ(m_picker->color(), before);
    EXPECT_EQ(m_recorder.reports, 0);
}

TEST_F(KPColorPickerViewTest, DragKeepsTheRegionOfThePress)
{
    setHsb(0, 0.5, 0.5);
    // On the ring at 90°, then into the triangle: only the hue moves.
    m_picker->mouseDownAt(QPointF(123, 123 + 93));
    EXPECT_NEAR(hueOf(m_picker->color()), 0.25, 1e-6);
    m_picker->mouseDraggedAt(QPointF(123 - 10, 123 - 10));
    EXPECT_NEAR(hueOf(m_picker->color()), 0.625, 1e-6);
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(m_picker->color(), &h, &s, &b);
    EXPECT_NEAR(s, 0.5, 1e-6);
    EXPECT_NEAR(b, 0.5, 1e-6);
    m_picker->mouseUpAt(QPointF(123 - 10, 123 - 10));
    EXPECT_EQ(m_picker->colorSource(), KPColorSourceHueRing);

    // In the triangle, then far outside it: saturation and brightness clamp, the hue stays.
    setHsb(0, 0.5, 0.5);
    m_picker->mouseDownAt(QPointF(123, 123));
    EXPECT_EQ(m_picker->colorSource(), KPColorSourceTriangle);
    m_picker->mouseDraggedAt(QPointF(400, 123)); // beyond the hue vertex
    inkora::srgbToHsb(m_picker->color(), &h, &s, &b);
    EXPECT_NEAR(h, 0, 1e-6);
    EXPECT_NEAR(s, 1, 1e-6);
    EXPECT_NEAR(b, 1, 1e-6);
    m_picker->mouseDraggedAt(QPointF(0, 123)); // beyond the black-white edge
    inkora::srgbToHsb(m_picker->color(), &h, &s, &b);
    EXPECT_LT(s, 0.001);
    EXPECT_NEAR(hueOf(m_picker->color()), 0, 1e-3);
}

TEST_F(KPColorPickerViewTest, SaturationAndBrightnessOfTrianglePoints)
{
    const QPointF c(123, 123);
    const double ri = 78;
    const struct
    {
        const char *name;
        QPointF point;
        double saturation;
        double brightness;
    } rows[] = {
        {"hue vertex", c + QPointF(ri, 0), 1, 1},
        {"white vertex", c + ri * QPointF(std::cos(2.0944), std::sin(2.0944)), 0.00001, 1},
        {"black vertex", c + ri * QPointF(std::cos(4.18879), std::sin(4.18879)), 0.00001, 0.00001},
        {"middle of the white-hue edge", c + QPointF(ri / 4, ri * std::sqrt(3.0) / 4), 0.5, 1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        double s = 0;
        double b = 0;
        m_picker->getSaturationBrightness(&s, &b, row.point);
        EXPECT_NEAR(s, row.saturation, 1e-4);
        EXPECT_NEAR(b, row.brightness, 1e-4);
        const QPointF back = m_picker->indicatorCenterForSaturationBrightness(row.saturation, row.brightness);
        EXPECT_NEAR(back.x(), row.point.x(), 0.01);
        EXPECT_NEAR(back.y(), row.point.y(), 0.01);
    }
}

TEST_F(KPColorPickerViewTest, TriangleImageShowsTheHueOverWhiteAndBlack)
{
    setHsb(1.0 / 3, 1, 1); // green
    const QImage image = m_picker->triangleImage();
    ASSERT_EQ(image.size(), QSize(156, 156));
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    // Unrotated, y up: the pixel at column x - 45 and row 200 - y shows the point (x, y) of the view.
    const auto at = [&image](double x, double y) { return image.pixelColor(int(x - 45), int(200 - y)); };
    const QColor nearHue = at(195, 123);
    EXPECT_LT(nearHue.red(), 20);
    EXPECT_GT(nearHue.green(), 230);
    const QColor nearWhite = at(89.85, 180.4);
    EXPECT_GT(nearWhite.red(), 200);
    EXPECT_GT(nearWhite.blue(), 200);
    const QColor nearBlack = at(89.85, 65.6);
    EXPECT_LT(nearBlack.green(), 50);
    EXPECT_EQ(image.pixelColor(10, 78), QColor(Qt::black)); // the columns left of the triangle
}

TEST_F(KPColorPickerViewTest, ColoursWithoutChromaKeepTheLastHue)
{
    setHsb(0.6, 0.8, 0.8);
    const QPointF ringBefore = ballCentre(*m_picker, *m_picker->hueBall());
    m_picker->setColor(inkora::SrgbColor(1, 1, 1, 1));
    EXPECT_NEAR(m_picker->lastValidHue(), 0.6, 1e-9);
    EXPECT_NEAR(hueOf(m_picker->color()), 0.6, 1e-3);
    EXPECT_EQ(ballCentre(*m_picker, *m_picker->hueBall()), ringBefore);
    // The saturation and brightness ball sits on the white vertex: 120° past the hue's.
    const double white = 2 * 3.14159265358979 * (0.6 + 1.0 / 3);
    const QPointF sb = ballCentre(*m_picker, *m_picker->saturationBrightnessBall());
    EXPECT_NEAR(sb.x(), 123 + 78 * std::cos(white), 1.0);
    EXPECT_NEAR(sb.y(), 123 + 78 * std::sin(white), 1.0);

    m_picker->setColor(inkora::SrgbColor(0, 0, 0, 1));
    EXPECT_NEAR(hueOf(m_picker->color()), 0.6, 1e-3);
}

TEST_F(KPColorPickerViewTest, ScrollingWrapsTheHue)
{
    const struct
    {
        double from;
        double delta;
        double to;
    } rows[] = {{0.98, 0.05, 0.03}, {0.01, -0.05, 0.96}, {0.5, 0.02, 0.52}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.from);
        setHsb(row.from, 1, 1);
        platform::Event scroll;
        scroll.type = platform::EventType::ScrollWheel;
        scroll.deltaY = row.delta / -0.02 * 2; // line deltas: halved, then -0.02 a line
        scroll.scrollingDeltaY = scroll.deltaY;
        m_picker->scrollWheel(scroll);
        EXPECT_NEAR(hueOf(m_picker->color()), row.to, 1e-6);
        EXPECT_EQ(m_picker->colorSource(), KPColorSourceHueRing);
    }
}

TEST_F(KPColorPickerViewTest, ReportsOnceAtPressAndAgainAtReleaseOnlyInMouseUpMode)
{
    setHsb(0, 1, 1);
    const QPointF onRing(123 + 93, 123); // the colour it already has
    for (const bool mouseUp : {false, true}) {
        SCOPED_TRACE(mouseUp);
        m_recorder.reports = 0;
        m_picker->setSendActionOnMouseUp(mouseUp);
        m_picker->mouseDownAt(onRing);
        EXPECT_EQ(m_recorder.reports, 1);
        m_picker->mouseDraggedAt(onRing);
        EXPECT_EQ(m_recorder.reports, 1);
        m_picker->mouseUpAt(onRing);
        EXPECT_EQ(m_recorder.reports, mouseUp ? 2 : 1);
    }
    m_picker->invokeDelegate();
    EXPECT_EQ(m_recorder.reports, 2);
}

TEST_F(KPColorPickerViewTest, MissingColourIsRefusedWithALine)
{
    const inkora::SrgbColor before = m_picker->color();
    log().expectWarning(QStringLiteral("setColor: Color can not be nil"));
    m_picker->setColor({});
    EXPECT_EQ(m_picker->color(), before);
}

TEST_F(KPColorPickerViewTest, AttachedSliderFollowsProgramColoursAndLendsItsOpacityToFields)
{
    KVColorOpacityView slider;
    slider.resize(226, 16);
    slider.setPickerView(m_picker.get());
    m_picker->setOpacityView(&slider);

    m_picker->setColorSource(KPColorSourceProgram);
    m_picker->setColor(inkora::SrgbColor(1, 0, 0, 0.5));
    EXPECT_DOUBLE_EQ(slider.opacity(), 0.5);
    EXPECT_DOUBLE_EQ(m_picker->color().alpha(), 1);
    EXPECT_DOUBLE_EQ(m_picker->opacityColor().alpha(), 0.5);

    m_picker->setColorSource(KPColorSourceHexField);
    m_picker->setColor(inkora::SrgbColor(0, 0, 1, 1));
    EXPECT_DOUBLE_EQ(m_picker->opacityColor().alpha(), 0.5);
    EXPECT_DOUBLE_EQ(slider.opacity(), 0.5);

    m_picker->setOpacityView(nullptr);
    EXPECT_EQ(m_picker->opacityColor(), m_picker->color());
    EXPECT_DOUBLE_EQ(m_picker->opacity(), 1);
}

TEST_F(KPColorPickerViewTest, CloseButtonAsksTheDelegate)
{
    m_picker->updateCloseButton();
    ASSERT_NE(m_picker->pickerCloseButton(), nullptr);
    EXPECT_EQ(m_picker->pickerCloseButton()->geometry(), QRect(5, 6, 17, 17));
    press(*m_picker->pickerCloseButton(), QPoint(8, 8));
    release(*m_picker->pickerCloseButton(), QPoint(8, 8));
    EXPECT_EQ(m_recorder.closes, 1);
    EXPECT_EQ(m_picker->pickerButton()->geometry(), QRect(221, 5, 20, 20));
}
