#include "canvas/OverlayShape.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Regions built row by row keep their rows apart; what counts is the area they cover.
bool sameArea(const QRegion &a, const QRegion &b)
{
    return a.xored(b).isEmpty();
}

} // namespace

TEST(OverlayShapeTest, PaintedRegionHoldsExactlyThePixelsWithAlphaInsideTheRectangle)
{
    QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(QRect(5, 5, 10, 4), Qt::red);
    painter.fillRect(QRect(20, 6, 3, 2), QColor(0, 0, 0, 1)); // faint ink still counts
    painter.end();

    EXPECT_TRUE(sameArea(inkora::paintedRegion(image, image.rect()),
                         QRegion(QRect(5, 5, 10, 4)) + QRegion(QRect(20, 6, 3, 2))));
    // Only the asked rectangle is read, and a rectangle past the image is cut to it.
    EXPECT_TRUE(sameArea(inkora::paintedRegion(image, QRect(10, 0, 11, 7)),
                         QRegion(QRect(10, 5, 5, 2)) + QRegion(20, 6, 1, 1)));
    EXPECT_TRUE(inkora::paintedRegion(image, QRect(30, 20, 50, 50)).isEmpty());
    EXPECT_TRUE(inkora::paintedRegion(image, QRect(0, 20, 40, 10)).isEmpty());
}
