#include "tools/MRKOCircleMenu.h"

#include "platform/ShapeLayer.h"
#include "tests/tools/ToolsFixture.h"
#include "tools/MRKOToolType.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

QList<QImage> icons(int count)
{
    QList<QImage> images;
    for (int i = 0; i < count; ++i) {
        QImage image(32, 32, QImage::Format_RGBA8888_Premultiplied);
        image.fill(Qt::black);
        images.append(image);
    }
    return images;
}

} // namespace

class MRKOCircleMenuTest : public ToolsFixture
{
protected:
    /// A menu around (300, 200) of the canvas, with the pointer where the test puts it.
    template <typename Menu> std::unique_ptr<Menu> open(int count, double length = 75)
    {
        auto menu = std::make_unique<Menu>(QRectF(200, 100, 200, 200));
        menu->setMouseLocationProvider([this] { return m_pointer; });
        m_pointer = QPointF(300, 200);
        menu->setMenuImages(icons(count), length, 2.0, &m_target, [this](MRKOCircleMenuProtocol &) { ++m_reports; });
        menu->updateDownPoint();
        return menu;
    }
    void moveTo(MRKOCircleMenuProtocol &menu, QPointF offset)
    {
        m_pointer = QPointF(300, 200) + offset;
        menu.mouseMoved(platform::Event());
    }

    QObject m_target;
    QPointF m_pointer;
    int m_reports = 0;
};

TEST_F(MRKOCircleMenuTest, ToolMenuChoosesByDirection)
{
    const struct
    {
        const char *name;
        QPointF offset;
        quint64 toolType;
    } rows[] = {
        {"up", {0, 100}, MRKOToolTypeQuickArrow},
        {"right", {100, 0}, MRKOToolTypeLine},
        {"left", {-100, 0}, MRKOToolTypeText},
        {"far up, outside the ring", {3, 900}, MRKOToolTypeQuickArrow},
        {"down, a little right", {10, -100}, MRKOToolTypeRectangle},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto menu = open<MRKOCircleMenu>(7);
        EXPECT_EQ(menu->downPoint(), QPointF(100, 100));
        moveTo(*menu, row.offset);
        menu->mouseUpped();
        EXPECT_EQ(menu->toolType(), row.toolType);
        EXPECT_EQ(menu->lineLayer(), nullptr);
        EXPECT_EQ(menu->currentSelection(), nullptr);
    }
    EXPECT_EQ(m_reports, 5);
}

TEST_F(MRKOCircleMenuTest, DeadZoneChoosesNothing)
{
    auto menu = open<MRKOCircleMenu>(7);
    moveTo(*menu, {0, 100});
    EXPECT_NE(menu->currentSelection(), nullptr);
    moveTo(*menu, {0, 44});
    EXPECT_EQ(menu->currentSelection(), nullptr);
    menu->mouseUpped();
    EXPECT_EQ(menu->toolType(), MRKOCircleMenuProtocol::kNotFound);
    EXPECT_EQ(menu->rawSelection(), MRKOCircleMenuProtocol::kNotFound);
    EXPECT_EQ(m_reports, 0);
}

TEST_F(MRKOCircleMenuTest, GuideLineStopsAtTheRingsEdge)
{
    auto menu = open<MRKOCircleMenu>(7);
    moveTo(*menu, {0, 400});
    ASSERT_NE(menu->lineLayer(), nullptr);
    const QRectF line = menu->lineLayer()->path().boundingRect();
    EXPECT_NEAR(line.height(), 100, 1e-3);
    EXPECT_EQ(menu->lineLayer()->lineWidth(), 2.0);
}

TEST_F(MRKOCircleMenuTest, IntervalsAndItemPlaces)
{
    auto menu = open<MRKOCircleMenu>(7, 0);
    EXPECT_DOUBLE_EQ(menu->length(), 80);
    const QPointF top = menu->pointForItemAtIndex(1);
    EXPECT_NEAR(top.x(), 100, 1e-9);
    EXPECT_NEAR(top.y(), 180, 1e-9);
    ASSERT_EQ(menu->items().size(), 7u);
    EXPECT_EQ(menu->items()[1]->position(), top);
    EXPECT_DOUBLE_EQ(menu->items()[0]->contentsScale(), 2.0);

    // A direction on the boundary of two intervals belongs to neither: the last item.
    const QPointF second = menu->radiansRangeForItemAtIndex(2);
    EXPECT_EQ(menu->indexForBeta(second.x()), 6u);
    EXPECT_EQ(menu->indexForBeta(second.x() + 0.01), 2u);
    EXPECT_EQ(menu->indexForBeta(kPi + 0.01), 6u); // before the first interval: wraps to the last
    EXPECT_EQ(MRKOCircleMenu::toolTypeForIndex(7), 0u);
}

TEST_F(MRKOCircleMenuTest, TargetWithoutActionIsNotToldButTheResultIsKept)
{
    auto menu = std::make_unique<MRKOCircleMenu>(QRectF(200, 100, 200, 200));
    menu->setMouseLocationProvider([this] { return m_pointer; });
    m_pointer = QPointF(300, 200);
    menu->setMenuImages(icons(7), 75, 1, nullptr, {});
    menu->updateDownPoint();
    moveTo(*menu, {100, 0});
    menu->mouseUpped();
    EXPECT_EQ(menu->rawSelection(), 3u);
    EXPECT_EQ(menu->toolType(), MRKOToolTypeLine);
}

TEST_F(MRKOCircleMenuTest, SwatchMenuReportsTheSwatchIndex)
{
    const struct
    {
        const char *name;
        QPointF offset;
        quint64 index;
    } rows[] = {{"up", {0, 100}, 1},
                {"down", {0, -100}, 6},
                {"right, a little up", {100, 10}, 3},
                {"left, a little down", {-100, -10}, 8},
                {"left, a little up: past the last boundary", {-100, 10}, 9}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto menu = open<MRKOCircleSwatchMenu>(10);
        EXPECT_NEAR(menu->angle(), 2 * kPi / 10, 1e-12);
        moveTo(*menu, row.offset);
        ASSERT_NE(menu->currentSelection(), nullptr);
        EXPECT_NE(menu->currentSelection()->contents()->cacheKey(), 0);
        menu->mouseUpped();
        EXPECT_EQ(menu->rawSelection(), row.index);
        EXPECT_EQ(menu->toolType(), MRKOCircleMenuProtocol::kNotFound);
    }
}
