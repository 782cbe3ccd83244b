#include "foundation/NSCursor+Resize.h"
#include "tests/support/InkoraFixture.h"

class ResizeCursorTest : public InkoraFixture
{
};

TEST_F(ResizeCursorTest, CursorsWithoutTheirImagesFallBackToTheArrowOnce)
{
    log().expectWarning("namedImage: no image named MRKOScissorsCursor");
    const QCursor &first = Resize::scissors();
    const QCursor &again = Resize::scissors();
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(first.shape(), Qt::ArrowCursor);
}
