#include "platform/LayerWidget.h"

#include "platform/Animation.h"
#include "tests/platform/LayerTestSupport.h"
#include "tests/support/InkoraFixture.h"

using platform::LayerWidget;

namespace {

class LayerWidgetTest : public InkoraFixture
{
};

TEST_F(LayerWidgetTest, ShowsTheTreeWithYUpAndAnimatedValues)
{
    LayerWidget widget;
    widget.resize(100, 80);
    auto square = makeLayer({10, 10, 20, 20}, QColor(255, 0, 0));
    widget.rootLayer()->addSublayer(square);

    QImage shown = widget.grab().toImage(); // delivers the pending resize too
    EXPECT_EQ(widget.rootLayer()->bounds(), QRectF(0, 0, 100, 80));
    EXPECT_EQ(shown.pixelColor(15, 80 - 15), QColor(255, 0, 0)); // y up: near the bottom edge
    EXPECT_NE(shown.pixelColor(15, 15), QColor(255, 0, 0));

    platform::BasicAnimation move(QStringLiteral("position"));
    move.setToValue(QPointF(70, 20));
    move.setDuration(1.0);
    move.setFillMode(platform::Animation::FillMode::Forwards);
    move.setRemovedOnCompletion(false);
    square->addAnimation(move);
    advance(1.0);
    shown = widget.grab().toImage();
    EXPECT_EQ(shown.pixelColor(70, 80 - 20), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(15, 80 - 15), QColor(255, 0, 0));
}

} // namespace
