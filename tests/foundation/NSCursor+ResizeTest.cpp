#include "foundation/NSCursor+Resize.h"
#include "tests/support/InkoraFixture.h"

#include <QPixmap>

class ResizeCursorTest : public InkoraFixture
{
};

TEST_F(ResizeCursorTest, CursorsComeFromTheirImagesWithTheirHotSpots)
{
    const QCursor &scissors = Resize::scissors();
    EXPECT_EQ(&scissors, &Resize::scissors()) << "made once";
    EXPECT_EQ(scissors.shape(), Qt::BitmapCursor);
    EXPECT_EQ(scissors.hotSpot(), QPoint(12, 12)) << "the middle of the picture";
    EXPECT_EQ(Resize::scissorsCut().hotSpot(), QPoint(12, 12));
    EXPECT_EQ(Resize::eraserCursor().hotSpot(), QPoint(5, 5));
}

TEST_F(ResizeCursorTest, ACursorWithoutItsImageFallsBackToTheArrowOnce)
{
    log().expectWarning("namedImage: no image named MRKOTextCursor");
    const QCursor &first = Resize::textChangeCursor();
    const QCursor &again = Resize::textChangeCursor();
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(first.shape(), Qt::ArrowCursor);
    EXPECT_EQ(log().count(QStringLiteral("no image named MRKOTextCursor")), 1);
}
