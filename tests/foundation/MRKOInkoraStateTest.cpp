#include "foundation/MRKOInkoraState.h"

#include <gtest/gtest.h>

TEST(MRKOInkoraStateUtils, WhiteboardRectanglesOfEveryLayout)
{
    const QRectF bounds(0, 0, 1001, 600);
    const struct
    {
        qint64 layout;
        QRectF expected;
    } cases[] = {
        {1, {0, 0, 500, 600}},
        {2, {501, 0, 500, 600}},
        {3, {0, 300, 1001, 300}},
        {4, {0, 0, 1001, 300}},
        {5, {0, 300, 500, 300}},
        {6, {501, 300, 500, 300}},
        {7, {0, 0, 500, 300}},
        {8, {501, 0, 500, 300}},
        {0, bounds},
        {9, bounds},
        {-1, bounds},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MRKOInkoraStateUtils::whiteboardRectWithRect(bounds, c.layout), c.expected) << c.layout;

    // Odd heights floor too; the whole rectangle keeps its origin, the pieces do not.
    EXPECT_EQ(MRKOInkoraStateUtils::whiteboardRectWithRect(QRectF(0, 0, 11, 7), 6), QRectF(6, 4, 5, 3));
    EXPECT_EQ(MRKOInkoraStateUtils::whiteboardRectWithRect(QRectF(10, 20, 100, 50), 7), QRectF(0, 0, 50, 25));
    EXPECT_EQ(MRKOInkoraStateUtils::whiteboardRectWithRect(QRectF(10, 20, 100, 50), 42), QRectF(10, 20, 100, 50));
}

TEST(MRKOInkoraStateUtils, StateRecordIsTwentyLittleEndianBytes)
{
    MRKOInkoraState state;
    state.toolType = 5;
    state.colorType = 2;
    state.thickness = 12;
    state.dissolveMode = 1;
    state.toolColor = 0xFF8000FF;
    state.hue = 0.5f; // 0x3F000000
    state.undoMask = 3;
    state.toolbarShown = 1;
    state.overlayShown = 0;
    state.screenCount = 2;
    state.activeScreenIndex = 1;

    const QByteArray bytes = MRKOInkoraStateUtils::encodeInkoraState(state);
    const QByteArray expected = QByteArray::fromHex("05020c01"
                                                    "ff0080ff"
                                                    "0000003f"
                                                    "0301000201"
                                                    "000000");
    EXPECT_EQ(bytes.size(), 20);
    EXPECT_EQ(bytes.toHex(), expected.toHex());
    EXPECT_EQ(MRKOInkoraStateUtils::encodeInkoraState(MRKOInkoraState{}), QByteArray(20, '\0'));
}

TEST(MRKOInkoraStateUtils, PlaceholderLists)
{
    const auto nulls = MRKOInkoraStateUtils::arrayWithCapacityNulled(3);
    ASSERT_EQ(nulls.size(), 3);
    for (const auto &value : nulls)
        EXPECT_FALSE(value.isValid());
    const auto datas = MRKOInkoraStateUtils::arrayWithCapacityNulledNSData(4);
    ASSERT_EQ(datas.size(), 4);
    for (const auto &data : datas)
        EXPECT_TRUE(data.isEmpty());
    EXPECT_TRUE(MRKOInkoraStateUtils::arrayWithCapacityNulled(0).isEmpty());
    EXPECT_TRUE(MRKOInkoraStateUtils::arrayWithCapacityNulledNSData(-2).isEmpty());
}
