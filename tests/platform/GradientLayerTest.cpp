#include "platform/GradientLayer.h"

#include "tests/platform/LayerTestSupport.h"
#include "tests/support/InkoraFixture.h"

using platform::GradientLayer;

namespace {

class GradientLayerTest : public InkoraFixture
{
};

TEST_F(GradientLayerTest, RunsFromItsStartPointInUnitCoordinatesWithYUp)
{
    auto gradient = GradientLayer::create();
    gradient->setFrame({0, 0, 100, 100});
    gradient->setColors({QColor(255, 0, 0), QColor(0, 0, 255)});
    // Default axis: (0.5, 0) at the bottom to (0.5, 1) at the top.
    QImage image = renderToImage(*gradient, {100, 100});
    EXPECT_GT(pixelAt(image, 50, 1).red(), 245);
    EXPECT_GT(pixelAt(image, 50, 98).blue(), 245);

    gradient->setStartPoint({0, 0.5});
    gradient->setEndPoint({0.5, 0.5});
    gradient->setLocations({0.5, 1.0});
    image = renderToImage(*gradient, {100, 100});
    EXPECT_EQ(pixelAt(image, 10, 50), QColor(255, 0, 0)); // before the first location
    EXPECT_EQ(pixelAt(image, 90, 50), QColor(0, 0, 255)); // past the end point
}

} // namespace
