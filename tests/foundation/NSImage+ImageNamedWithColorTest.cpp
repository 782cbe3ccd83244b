#include "foundation/NSImage+ImageNamedWithColor.h"
#include "tests/support/InkoraFixture.h"

#include <QPainter>

#include <cmath>

namespace {

const QColor kGreen = QColor::fromRgbF(0, 1, 0, 1);

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 1 && std::abs(a.green() - b.green()) <= 1 &&
           std::abs(a.blue() - b.blue()) <= 1 && std::abs(a.alpha() - b.alpha()) <= 1;
}

} // namespace

class ImageNamedWithColorTest : public InkoraFixture
{
};

TEST_F(ImageNamedWithColorTest, TintingFollowsTheIconsAlphaAndItsOrientation)
{
    // A 4 x 4 icon whose top row alone is opaque.
    QImage icon(4, 4, QImage::Format_RGBA8888_Premultiplied);
    icon.fill(Qt::transparent);
    for (int x = 0; x < 4; ++x)
        icon.setPixelColor(x, 0, Qt::black);

    enum class Space { YDown, YUp };
    const struct
    {
        const char *name;
        Space space;
        void (*draw)(QPainter &, const QImage &, const QRectF &, const QColor &);
        int colouredRow; // of the target, top first
    } rows[] = {
        {"alternateYDownIsUpright", Space::YDown, ImageNamedWithColor::drawAlternateInRect, 0},
        {"alternateYUpIsOnItsHead", Space::YUp, ImageNamedWithColor::drawAlternateInRect, 3},
        {"withoutFlippingYUpIsUpright", Space::YUp, ImageNamedWithColor::drawAlternateInRectWOFlipping, 0},
        {"etchedYUpIsUpright", Space::YUp, ImageNamedWithColor::drawEtchedInRect, 0},
        {"airWholeDeviceYDownIsUpright", Space::YDown, ImageNamedWithColor::drawAIR, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QImage target(4, 4, QImage::Format_RGBA8888_Premultiplied);
        target.fill(Qt::transparent);
        {
            QPainter painter(&target);
            if (row.space == Space::YUp) {
                painter.translate(0, 4);
                painter.scale(1, -1);
            }
            row.draw(painter, icon, QRectF(0, 0, 4, 4), kGreen);
        }
        for (int y = 0; y < 4; ++y) {
            const QColor pixel = target.pixelColor(1, y);
            if (y == row.colouredRow)
                EXPECT_TRUE(near(pixel, kGreen)) << y;
            else
                EXPECT_EQ(pixel.alpha(), 0) << y;
        }
    }

    const QImage tinted = ImageNamedWithColor::imageWithColor(icon, kGreen, 2.0);
    ASSERT_EQ(tinted.size(), QSize(8, 8));
    EXPECT_TRUE(near(tinted.pixelColor(3, 0), kGreen)) << "upright";
    EXPECT_EQ(tinted.pixelColor(3, 7).alpha(), 0);

    log().expectWarning("namedImage: no image named NoSuchIcon");
    EXPECT_TRUE(ImageNamedWithColor::imageNamedWithColor(QStringLiteral("NoSuchIcon"), kGreen, 1.0).isNull());
}
