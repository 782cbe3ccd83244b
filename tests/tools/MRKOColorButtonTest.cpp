#include "tools/MRKOColorButton.h"

#include "tests/tools/ToolsFixture.h"

#include <QImage>

class MRKOColorButtonTest : public ToolsFixture
{
};

TEST_F(MRKOColorButtonTest, CustomButtonShowsItsColourInsideTheRainbowRing)
{
    MRKOColorButton custom(QStringLiteral("ColorWheel"), 1);
    place(custom);
    custom.setState(1);
    EXPECT_FALSE(custom.allowsVibrancy());

    QImage image = rendered(custom);
    EXPECT_EQ(image.pixelColor(20, 20), QColor(0, 0, 0)); // no colour: a black disc
    // The ring, r = 16 round the centre, shows red at 3 o'clock.
    const QColor ringRight = image.pixelColor(36, 20);
    EXPECT_GT(ringRight.red(), 200);
    EXPECT_LT(ringRight.blue(), 150);
    EXPECT_EQ(image.pixelColor(20, 20 - 16).alpha(), 255);
    EXPECT_EQ(image.pixelColor(2, 2).alpha(), 0); // outside the ring

    custom.setColor(inkora::SrgbColor(0, 0, 1, 1));
    image = rendered(custom);
    EXPECT_EQ(image.pixelColor(20, 20), QColor(0, 0, 255));
}

TEST_F(MRKOColorButtonTest, RainbowButtonShowsTheGradientInItsIconsShape)
{
    MRKOColorButton rainbow(QStringLiteral("Rainbow"), 0);
    place(rainbow);
    rainbow.setState(1);

    const QImage image = rendered(rainbow);
    // The icon is a ring: its right side is the gradient's start, the centre is a hole.
    const QColor right = image.pixelColor(31, 20);
    EXPECT_EQ(right.alpha(), 255);
    EXPECT_GT(right.red(), 200);
    EXPECT_EQ(image.pixelColor(20, 20).alpha(), 0);

    rainbow.setState(0);
    EXPECT_TRUE(rainbow.allowsVibrancy());
    EXPECT_NE(rendered(rainbow), image);
}
