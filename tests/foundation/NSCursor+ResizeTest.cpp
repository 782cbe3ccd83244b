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
    EXPECT_EQ(Resize::textChangeCursor().hotSpot(), QPoint(12, 12));
    EXPECT_EQ(Resize::eraserCursor().hotSpot(), QPoint(5, 5));
    EXPECT_EQ(Resize::brushCursor().hotSpot(), QPoint(3, 2));
}

TEST_F(ResizeCursorTest, EachHotSpotSitsOnTheDrawnShape)
{
    // The pixel under each hot spot (or one beside it) is painted, so a click lands where the cursor points.
    for (const QCursor *cursor : {&Resize::brushCursor(), &Resize::eraserCursor(), &Resize::scissors(),
                                  &Resize::scissorsCut(), &Resize::textChangeCursor()}) {
        const QImage image = cursor->pixmap().toImage();
        const QPoint hot = cursor->hotSpot() * cursor->pixmap().devicePixelRatio();
        int painted = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                painted += image.valid(hot + QPoint(dx, dy)) && qAlpha(image.pixel(hot + QPoint(dx, dy))) > 0;
        EXPECT_GT(painted, 0) << "hot spot " << hot.x() << "," << hot.y();
    }
}
