#include "tools/KVColorOpacityView.h"

#include "tests/tools/ToolsFixture.h"
#include "tools/KPColorPickerView.h"
#include "tools/KPPickerBall.h"

namespace {

struct Recorder final : KPColorPickerDelegate
{
    void didSelectColor() override { ++reports; }
    int reports = 0;
};

} // namespace

class KVColorOpacityViewTest : public ToolsFixture
{
protected:
    void SetUp() override
    {
        ToolsFixture::SetUp();
        m_picker = std::make_unique<KPColorPickerView>();
        m_picker->setDelegate(&m_recorder);
        m_slider = std::make_unique<KVColorOpacityView>();
        place(*m_slider, QPoint(0, 0), QSize(226, 16));
        m_slider->setPickerView(m_picker.get());
        m_picker->setOpacityView(m_slider.get());
    }
    void TearDown() override
    {
        m_slider.reset();
        m_picker.reset();
        ToolsFixture::TearDown();
    }

    Recorder m_recorder;
    std::unique_ptr<KPColorPickerView> m_picker;
    std::unique_ptr<KVColorOpacityView> m_slider;
};

TEST_F(KVColorOpacityViewTest, PointsMapToValuesBetweenTheTrackEnds)
{
    EXPECT_DOUBLE_EQ(m_slider->lowestX(), 8);
    EXPECT_DOUBLE_EQ(m_slider->travel(), 210);
    const struct
    {
        int x;
        double value;
    } rows[] = {{-20, 0}, {0, 0}, {8, 0}, {113, 0.5}, {218, 1}, {226, 1}, {400, 1}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.x);
        press(*m_slider, QPoint(row.x, 8));
        EXPECT_DOUBLE_EQ(m_slider->opacity(), row.value);
        EXPECT_DOUBLE_EQ(m_picker->opacityColor().alpha(), row.value);
        release(*m_slider, QPoint(row.x, 8));
    }
    EXPECT_EQ(m_picker->colorSource(), KPColorSourceOpacitySlider);
}

TEST_F(KVColorOpacityViewTest, ColourPlacesAndFillsTheHandle)
{
    m_slider->setColor(inkora::SrgbColor(0, 0, 1, 0.25));
    EXPECT_DOUBLE_EQ(m_slider->lowestX() + m_slider->travel() * m_slider->opacity(), 60.5);
    EXPECT_EQ(m_slider->colorBall()->geometry(), QRect(53, 0, 16, 16)); // floor(60.5 + 0.5 - 8)
    EXPECT_EQ(m_slider->colorBall()->fillColor(), inkora::SrgbColor(0, 0, 1, 0.25));

    m_slider->setOpacity(3);
    EXPECT_DOUBLE_EQ(m_slider->opacity(), 1);
    m_slider->setOpacity(-1);
    EXPECT_DOUBLE_EQ(m_slider->opacity(), 0);
}

TEST_F(KVColorOpacityViewTest, VerticalDragKeepsTheValueAndEveryPressReportsOnce)
{
    press(*m_slider, QPoint(113, 8));
    EXPECT_EQ(m_recorder.reports, 1);
    drag(*m_slider, QPoint(113, -40));
    drag(*m_slider, QPoint(113, 60));
    EXPECT_DOUBLE_EQ(m_slider->opacity(), 0.5);
    EXPECT_EQ(m_recorder.reports, 1);
    release(*m_slider, QPoint(113, 60));
    EXPECT_EQ(m_recorder.reports, 1); // continuous mode: nothing new at release

    press(*m_slider, QPoint(113, 8)); // unchanged value, but a press forgets what was told
    EXPECT_EQ(m_recorder.reports, 2);
    m_picker->setSendActionOnMouseUp(true);
    release(*m_slider, QPoint(113, 8));
    EXPECT_EQ(m_recorder.reports, 3);
}

TEST_F(KVColorOpacityViewTest, CheckerboardIsMadeOnce)
{
    const QImage first = KVColorOpacityView::checkerboard4WithSize(QSize(226, 16));
    const QImage second = KVColorOpacityView::checkerboard4WithSize(QSize(10, 10));
    EXPECT_EQ(first.cacheKey(), second.cacheKey());
    EXPECT_EQ(first.size(), QSize(226, 16));
    EXPECT_NE(first.pixel(0, 15), first.pixel(4, 15));
    EXPECT_EQ(first.pixel(0, 15), first.pixel(4, 11));
}

TEST_F(KVColorOpacityViewTest, WithoutAPickerPressesStillMoveTheHandle)
{
    KVColorOpacityView alone;
    place(alone, QPoint(0, 30), QSize(226, 16));
    press(alone, QPoint(218, 8));
    release(alone, QPoint(218, 8));
    EXPECT_DOUBLE_EQ(alone.opacity(), 1);
}
