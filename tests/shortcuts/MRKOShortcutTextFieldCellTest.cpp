#include "shortcuts/MRKOShortcutTextFieldCell.h"

#include <gtest/gtest.h>

namespace {

TEST(MRKOShortcutTextFieldCellTest, PaddingMovesTheTextOnlyWhereThereIsRoom)
{
    MRKOShortcutTextFieldCell cell;
    const QRectF bounds(0, 0, 100, 20);
    EXPECT_EQ(cell.drawingRectForBounds(bounds), bounds);
    cell.setLeftPadding(12);
    EXPECT_EQ(cell.drawingRectForBounds(bounds), QRectF(12, 0, 88, 20));
    EXPECT_EQ(cell.drawingRectForBounds(QRectF(0, 0, 10, 20)), QRectF(0, 0, 10, 20));
}

} // namespace
