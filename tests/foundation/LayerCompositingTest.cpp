#include "foundation/LayerCompositing.h"

#include "platform/Layer.h"
#include "tests/support/InkoraFixture.h"

#include <QImage>

namespace {

// A layer of the frame (points) at scale 2, filled with one colour.
platform::LayerPtr filledLayer(const QRectF &frame, const QColor &color)
{
    QImage image((frame.size() * 2).toSize(), QImage::Format_RGBA8888_Premultiplied);
    image.fill(color);
    auto layer = platform::Layer::create();
    layer->setFrame(frame);
    layer->setContentsScale(2);
    layer->setContents(std::make_shared<const QImage>(image));
    layer->setBorderColor(color);
    return layer;
}

// The colour of the composite's pixel under a point of the shared space (y up).
QColor colorAt(const platform::Layer &layer, QPointF point)
{
    const QImage &image = *layer.contents();
    const QRectF frame = layer.frame();
    const int x = int((point.x() - frame.x()) * 2);
    const int row = image.height() - 1 - int((point.y() - frame.y()) * 2);
    return image.pixelColor(x, row);
}

} // namespace

class LayerCompositingTest : public InkoraFixture
{
};

TEST_F(LayerCompositingTest, MergesLayersIntoOneOverTheirRoundedUnion)
{
    auto parent = platform::Layer::create();
    auto first = filledLayer(QRectF(10.5, 20.25, 20, 10), Qt::red);
    auto second = filledLayer(QRectF(25, 25, 10, 10.5), Qt::blue);
    parent->addSublayer(first);
    parent->addSublayer(second);

    const auto composite = inkora::compositeOfLayers({first, second});

    ASSERT_TRUE(composite);
    EXPECT_EQ(composite->frame(), QRectF(10, 20, 25, 16)); // origin floored, size ceiled
    EXPECT_EQ(composite->contents()->size(), QSize(50, 32));
    EXPECT_EQ(colorAt(*composite, QPointF(12, 22)), QColor(Qt::red));
    EXPECT_EQ(colorAt(*composite, QPointF(27, 27)), QColor(Qt::blue)) << "the later layer lies on top";
    EXPECT_EQ(colorAt(*composite, QPointF(33, 22)).alpha(), 0);
    EXPECT_EQ(composite->zPosition(), -1);
    EXPECT_EQ(composite->borderColor(), QColor(Qt::blue));
    EXPECT_TRUE(composite->sublayers().empty());
    EXPECT_TRUE(parent->sublayers().empty()) << "the layers left their superlayer";
}

TEST_F(LayerCompositingTest, ASingleLayerIsItsOwnComposite)
{
    auto only = filledLayer(QRectF(0, 0, 10, 10), Qt::red);
    EXPECT_EQ(inkora::compositeOfLayers({only}), only);
    EXPECT_FALSE(inkora::compositeOfLayers({}));
}

TEST_F(LayerCompositingTest, CuttingARectangleClearsItFromTheContents)
{
    auto layer = filledLayer(QRectF(100, 100, 20, 10), Qt::red);

    inkora::cutRectInLayer(QRectF(0, 0, 10, 10), *layer);

    EXPECT_EQ(layer->contents()->size(), QSize(40, 20));
    EXPECT_EQ(colorAt(*layer, QPointF(105, 105)).alpha(), 0);
    EXPECT_EQ(colorAt(*layer, QPointF(115, 105)), QColor(Qt::red));
}
