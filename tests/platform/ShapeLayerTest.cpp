#include "platform/ShapeLayer.h"

#include "platform/Animation.h"
#include "tests/platform/LayerTestSupport.h"
#include "tests/support/InkoraFixture.h"

using platform::ShapeLayer;

namespace {

class ShapeLayerTest : public InkoraFixture
{
protected:
    static std::shared_ptr<ShapeLayer> makeShape(const QRectF &frame)
    {
        auto shape = ShapeLayer::create();
        shape->setFrame(frame);
        return shape;
    }
};

TEST_F(ShapeLayerTest, EvenOddRuleCutsTheHoleOfAFlashlightShade)
{
    auto shade = makeShape({0, 0, 100, 100});
    QPainterPath path;
    path.addRect(0, 0, 100, 100);
    path.addEllipse(QPointF(30, 70), 10, 10);
    shade->setPath(path);
    shade->setFillRule(ShapeLayer::FillRule::EvenOdd);

    QImage image = renderToImage(*shade, {100, 100});
    EXPECT_EQ(pixelAt(image, 30, 70).alpha(), 0);
    EXPECT_EQ(pixelAt(image, 70, 30), QColor(0, 0, 0)); // black fill unless set

    shade->setFillRule(ShapeLayer::FillRule::NonZero);
    image = renderToImage(*shade, {100, 100});
    EXPECT_EQ(pixelAt(image, 30, 70), QColor(0, 0, 0));
}

TEST_F(ShapeLayerTest, StrokeStartAndEndTrimTheStrokeOnly)
{
    auto stripe = makeShape({0, 0, 100, 20});
    QPainterPath line;
    line.moveTo(0, 10);
    line.lineTo(100, 10);
    stripe->setPath(line);
    stripe->setFillColor({});
    stripe->setStrokeColor(QColor(255, 0, 0));
    stripe->setLineWidth(4);
    stripe->setStrokeStart(0.25);
    stripe->setStrokeEnd(0.5);

    const QImage image = renderToImage(*stripe, {100, 20});
    EXPECT_EQ(pixelAt(image, 10, 10).alpha(), 0);
    EXPECT_EQ(pixelAt(image, 40, 10), QColor(255, 0, 0));
    EXPECT_EQ(pixelAt(image, 40, 11), QColor(255, 0, 0)); // 4 wide about y 10
    EXPECT_EQ(pixelAt(image, 40, 13).alpha(), 0);
    EXPECT_EQ(pixelAt(image, 60, 10).alpha(), 0);
}

TEST_F(ShapeLayerTest, AnimatedStrokeEndShowsInThePresentationRender)
{
    auto stripe = makeShape({0, 0, 100, 20});
    QPainterPath line;
    line.moveTo(0, 10);
    line.lineTo(100, 10);
    stripe->setPath(line);
    stripe->setStrokeColor(QColor(0, 0, 255));
    stripe->setLineWidth(4);
    platform::BasicAnimation grow(QStringLiteral("strokeEnd"));
    grow.setFromValue(0.0);
    grow.setToValue(1.0);
    grow.setDuration(1.0);
    stripe->addAnimation(grow);
    advance(0.3);

    const QImage shown = renderToImage(*stripe, {100, 20}, 1, true);
    EXPECT_EQ(pixelAt(shown, 20, 10), QColor(0, 0, 255));
    EXPECT_EQ(pixelAt(shown, 50, 10).alpha(), 0);
    EXPECT_EQ(pixelAt(renderToImage(*stripe, {100, 20}), 50, 10), QColor(0, 0, 255)); // the model is whole
}

TEST_F(ShapeLayerTest, ChangingOnePartOfAFilledPathRepaintsThatPartOnly)
{
    const auto shade = [](QPointF hole) {
        QPainterPath path;
        path.addRect(0, 0, 1000, 800);
        path.addEllipse(hole, 50, 50);
        path.setFillRule(Qt::OddEvenFill);
        return path;
    };
    auto root = platform::Layer::create();
    root->setFrame(QRectF(0, 0, 1000, 800));
    auto layer = ShapeLayer::create();
    layer->setFrame(root->bounds());
    layer->setFillRule(ShapeLayer::FillRule::EvenOdd);
    layer->setPath(shade({200, 200}));
    root->setMask(layer);
    QRectF dirty;
    root->setDisplayObserver([&](const QRectF &r) { dirty |= r; });

    layer->setPath(shade({600, 500}));
    EXPECT_TRUE(QRectF(148, 148, 504, 404).contains(dirty)) << "the old and the new hole, not the whole mask";
    EXPECT_TRUE(dirty.contains(QRectF(150, 150, 500, 400)));

    // A stroked path changes along its outline too: the whole layer repaints.
    layer->setStrokeColor(QColor(255, 0, 0));
    layer->setLineWidth(4);
    dirty = QRectF();
    layer->setPath(shade({300, 300}));
    EXPECT_GE(dirty.width(), 1000);
}

} // namespace
