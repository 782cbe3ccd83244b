#include "helper/MRKOShowController.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Row
{
    const char *name;
    QPoint pointer;
    int screen;
    QPoint origin;
};

// A 1440 x 900 primary display with a 1920 x 1080 display to its right, tops aligned (Qt's coordinates, y down).
const QList<QRect> kScreens = {QRect(0, 0, 1440, 900), QRect(1440, 0, 1920, 1080)};

const std::vector<Row> kRows = {
    {"PointerOnPrimary", {700, 400}, 0, {620, 530}},           {"PointerOnSecondary", {2000, 1000}, 1, {2300, 656}},
    {"PointerOnSecondaryEdge", {1440, 0}, 1, {2300, 656}},     {"PointerBelowPrimaryOnly", {700, 1000}, 0, {620, 530}},
    {"PointerOutsideEveryDisplay", {-50, -50}, 0, {620, 530}},
};

class IndicatorPlacementTest : public testing::TestWithParam<Row>
{
};

TEST_P(IndicatorPlacementTest, CentresOnTheDisplayUnderThePointerThirtyPercentUp)
{
    const Row &row = GetParam();
    const int index = MRKOShowController::screenIndexForPoint(kScreens, row.pointer);
    EXPECT_EQ(index, row.screen);
    EXPECT_EQ(MRKOShowController::windowOrigin(kScreens.at(index), QSize(200, 200)), row.origin);
}

INSTANTIATE_TEST_SUITE_P(All, IndicatorPlacementTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(IndicatorPlacementEdgeTest, WithoutDisplaysThereIsNoScreenAndTheZeroFrameIsUsed)
{
    EXPECT_EQ(MRKOShowController::screenIndexForPoint({}, QPoint(10, 10)), -1);
    EXPECT_EQ(MRKOShowController::windowOrigin(QRect(), QSize(200, 200)), QPoint(-100, -100));
}

} // namespace
