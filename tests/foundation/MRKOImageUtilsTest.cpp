#include "foundation/MRKOImageUtils.h"

#include "tests/support/InkoraFixture.h"

namespace {

// The pixel under a point of a y-up image of the given height in points.
QColor pixelAt(const QImage &image, QPointF point)
{
    const double scale = image.devicePixelRatio();
    const int row = int((image.height() / scale - point.y()) * scale);
    return image.pixelColor(int(point.x() * scale), row);
}

const QColor kGrey = QColor::fromRgbF(0.82f, 0.82f, 0.82f, 1);

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 1 && std::abs(a.green() - b.green()) <= 1 &&
           std::abs(a.blue() - b.blue()) <= 1 && std::abs(a.alpha() - b.alpha()) <= 1;
}

} // namespace

class MRKOImageUtilsTest : public InkoraFixture
{
};

TEST_F(MRKOImageUtilsTest, CheckerboardHasTwoPointSquaresFromTwoTwo)
{
    const QImage board = MRKOImageUtils::swatchCheckerboardWithSize(QSizeF(17, 17));
    ASSERT_EQ(board.size(), QSize(17, 17));
    EXPECT_TRUE(near(pixelAt(board, QPointF(2.5, 2.5)), kGrey));
    EXPECT_TRUE(near(pixelAt(board, QPointF(4.5, 2.5)), Qt::white));
    EXPECT_TRUE(near(pixelAt(board, QPointF(4.5, 4.5)), kGrey));
    EXPECT_TRUE(near(pixelAt(board, QPointF(0.5, 0.5)), kGrey)) << "the square below and left of (2, 2)";
    EXPECT_TRUE(near(pixelAt(board, QPointF(0.5, 2.5)), Qt::white));

    // The 17-point board is made once; other sizes anew, at their scale.
    EXPECT_EQ(MRKOImageUtils::swatchCheckerboardForSize(QSizeF(17, 17)).cacheKey(),
              MRKOImageUtils::swatchCheckerboard17x17().cacheKey());
    const QImage doubled = MRKOImageUtils::swatchCheckerboardForSize(QSizeF(10, 6), 2.0);
    EXPECT_EQ(doubled.size(), QSize(20, 12));
    EXPECT_TRUE(near(pixelAt(doubled, QPointF(2.5, 2.5)), kGrey));
}

TEST_F(MRKOImageUtilsTest, SwatchesAreDiscsInsetWithARingAndCheckersUnderTranslucentColours)
{
    const QColor red = QColor::fromRgbF(1, 0, 0, 1);
    const QImage off = MRKOImageUtils::colorSwatchImageWithSize(QSizeF(24, 24), red);
    const QImage on = MRKOImageUtils::colorSwatchImageOnWithSize(QSizeF(24, 24), red);
    EXPECT_TRUE(near(pixelAt(off, QPointF(12, 12)), red));
    EXPECT_EQ(pixelAt(off, QPointF(0.5, 0.5)).alpha(), 0);
    // On the middle row: the "on" disc begins at 3 points, the other at 4 with its ring at 2.5.
    EXPECT_GT(pixelAt(on, QPointF(3.5, 12)).alpha(), 200);
    EXPECT_LT(pixelAt(off, QPointF(3.5, 12)).alpha(), 64) << "only the ring's soft edge";
    const QColor ring = pixelAt(off, QPointF(2.5, 12));
    EXPECT_GT(ring.alpha(), 0);
    EXPECT_EQ(ring.red(), ring.blue()) << "grey";

    const QImage translucent =
        MRKOImageUtils::colorSwatchImageWithSize(QSizeF(24, 24), QColor::fromRgbF(0, 0, 1, 0.5f));
    const QColor overGrey = pixelAt(translucent, QPointF(12.5, 12.5));
    const QColor overWhite = pixelAt(translucent, QPointF(10.5, 12.5));
    EXPECT_EQ(overGrey.alpha(), 255) << "the checkerboard shows through";
    EXPECT_NE(overGrey, overWhite);
}
