#include "platform/Layer.h"

#include "tests/platform/LayerTestSupport.h"
#include "tests/support/InkoraFixture.h"

#include <QPainter>

using platform::Layer;
using platform::LayerPtr;

namespace {

class LayerTest : public InkoraFixture
{
};

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kWhite(255, 255, 255);

TEST_F(LayerTest, FrameFollowsPositionAnchorAndTransform)
{
    auto layer = Layer::create();
    layer->setFrame({10, 20, 40, 30});
    EXPECT_EQ(layer->bounds(), QRectF(0, 0, 40, 30));
    EXPECT_EQ(layer->position(), QPointF(30, 35));

    layer->setAnchorPoint({0, 0});
    EXPECT_EQ(layer->frame(), QRectF(30, 35, 40, 30));

    QMatrix4x4 scale;
    scale.scale(2, 2);
    layer->setTransform(scale);
    EXPECT_EQ(layer->frame(), QRectF(30, 35, 80, 60)); // scaled about the anchor, the bottom-left corner
}

TEST_F(LayerTest, RendersSublayersWithYUpAndBottomLeftFrames)
{
    auto root = makeLayer({0, 0, 100, 100}, kWhite);
    root->addSublayer(makeLayer({10, 10, 20, 20}, kRed));

    const QImage image = renderToImage(*root, {100, 100});

    EXPECT_EQ(pixelAt(image, 15, 15), kRed);
    EXPECT_EQ(pixelAt(image, 15, 85), kWhite); // the same x near the top stays white
    EXPECT_EQ(pixelAt(image, 35, 15), kWhite);
}

TEST_F(LayerTest, SiblingsDrawByZPositionThenOrder)
{
    auto root = makeLayer({0, 0, 50, 50});
    auto first = makeLayer({0, 0, 30, 30}, kRed);
    auto second = makeLayer({10, 10, 30, 30}, kBlue);
    auto third = makeLayer({20, 20, 30, 30}, kGreen);
    root->setSublayers({first, second, third});

    QImage image = renderToImage(*root, {50, 50});
    EXPECT_EQ(pixelAt(image, 25, 25), kGreen);
    EXPECT_EQ(pixelAt(image, 15, 15), kBlue);

    first->setZPosition(1);
    third->setZPosition(-1);
    image = renderToImage(*root, {50, 50});
    EXPECT_EQ(pixelAt(image, 15, 15), kRed);
    EXPECT_EQ(pixelAt(image, 25, 25), kRed);
    EXPECT_EQ(pixelAt(image, 35, 35), kBlue); // second is above third now
}

TEST_F(LayerTest, OpacityMasksToBoundsCornerRadiusAndBorder)
{
    auto root = makeLayer({0, 0, 100, 100});
    auto clip = makeLayer({20, 20, 60, 60}, kWhite);
    clip->setMasksToBounds(true);
    clip->setCornerRadius(10);
    clip->setBorderColor(kBlue);
    clip->setBorderWidth(4);
    auto overflow = makeLayer({-20, -20, 40, 40}, kRed); // sticks out of the clip's bottom-left corner
    overflow->setOpacity(0.5);
    clip->addSublayer(overflow);
    root->addSublayer(clip);

    const QImage image = renderToImage(*root, {100, 100});

    EXPECT_EQ(pixelAt(image, 10, 10).alpha(), 0); // outside the clip
    EXPECT_EQ(pixelAt(image, 21, 21).alpha(), 0); // cut off by the rounded corner
    EXPECT_EQ(pixelAt(image, 50, 21), kBlue);     // border drawn above the sublayers
    EXPECT_EQ(pixelAt(image, 50, 50), kWhite);
    const QColor half = pixelAt(image, 30, 30); // half red over white
    EXPECT_EQ(half.red(), 255);
    EXPECT_NEAR(half.green(), 128, 2);
}

TEST_F(LayerTest, MaskAlphaLimitsTheLayerAndShadowFallsBelow)
{
    auto root = makeLayer({0, 0, 100, 100});
    auto masked = makeLayer({10, 50, 40, 40}, kRed);
    auto mask = makeLayer({0, 0, 20, 40}, QColor(0, 0, 0)); // the left half
    masked->setMask(mask);
    root->addSublayer(masked);
    auto shadowed = makeLayer({60, 50, 20, 20}, kRed);
    shadowed->setShadowOpacity(1);
    shadowed->setShadowRadius(0);
    shadowed->setShadowOffset({5, -5});
    root->addSublayer(shadowed);

    const QImage image = renderToImage(*root, {100, 100});

    EXPECT_EQ(pixelAt(image, 20, 70), kRed);
    EXPECT_EQ(pixelAt(image, 40, 70).alpha(), 0);
    EXPECT_EQ(pixelAt(image, 70, 60), kRed);
    EXPECT_EQ(pixelAt(image, 82, 47), QColor(0, 0, 0)); // shadow 5 pt right of and below the layer
    EXPECT_EQ(pixelAt(image, 62, 47).alpha(), 0);
}

TEST_F(LayerTest, ContentsDrawUprightAtTheirScaleWithGravity)
{
    QImage picture(20, 20, QImage::Format_RGBA8888_Premultiplied);
    picture.fill(kBlue);
    QPainter(&picture).fillRect(0, 0, 20, 10, kRed); // top half red
    auto layer = makeLayer({0, 0, 10, 10});
    layer->setContents(std::make_shared<const QImage>(picture));
    layer->setContentsScale(2);

    QImage image = renderToImage(*layer, {10, 10}, 2);
    EXPECT_EQ(pixelAt(image, 5, 8, 2), kRed);
    EXPECT_EQ(pixelAt(image, 5, 2, 2), kBlue);

    layer->setBounds({0, 0, 40, 10});
    layer->setContentsGravity(Layer::ContentsGravity::ResizeAspect);
    image = renderToImage(*layer, {40, 10}, 2);
    EXPECT_EQ(pixelAt(image, 2, 5, 2).alpha(), 0); // pillarboxed: a 10 x 10 picture in the middle
    EXPECT_EQ(pixelAt(image, 20, 8, 2), kRed);
}

TEST_F(LayerTest, ContentsKeepTheirIdentity)
{
    auto picture = std::make_shared<const QImage>(4, 4, QImage::Format_RGBA8888_Premultiplied);
    auto a = Layer::create();
    auto b = Layer::create();
    a->setContents(picture);
    b->setContents(a->contents());
    EXPECT_EQ(a->contents(), b->contents());
    b->setContents(std::make_shared<const QImage>(*picture)); // equal pixels, another image
    EXPECT_NE(a->contents(), b->contents());
}

TEST_F(LayerTest, TreeOperationsMoveLayersBetweenParentsAndKeepThemAlive)
{
    auto a = Layer::create();
    auto b = Layer::create();
    auto x = Layer::create();
    auto y = Layer::create();
    auto z = Layer::create();
    a->setSublayers({x, y});
    a->insertSublayerBelow(z, y.get());
    EXPECT_EQ(a->sublayers(), (std::vector<LayerPtr>{x, z, y}));
    a->insertSublayerAbove(x, y.get());
    EXPECT_EQ(a->sublayers(), (std::vector<LayerPtr>{z, y, x}));
    a->insertSublayer(x, 0);
    EXPECT_EQ(a->sublayers(), (std::vector<LayerPtr>{x, z, y}));

    b->addSublayer(z); // leaves a
    EXPECT_EQ(a->sublayers(), (std::vector<LayerPtr>{x, y}));
    EXPECT_EQ(z->superlayer(), b.get());

    auto w = Layer::create();
    a->replaceSublayer(x.get(), w);
    EXPECT_EQ(a->sublayers(), (std::vector<LayerPtr>{w, y}));
    EXPECT_EQ(x->superlayer(), nullptr);

    std::weak_ptr<Layer> weak = y;
    y->removeFromSuperlayer();
    y.reset();
    EXPECT_TRUE(weak.expired());

    b.reset(); // z outlives its superlayer and forgets it
    EXPECT_EQ(z->superlayer(), nullptr);
}

TEST_F(LayerTest, RefusesCyclesWithALogLine)
{
    log().expectWarning(QStringLiteral("addSublayer: a layer cannot contain itself"));
    auto a = Layer::create();
    auto b = Layer::create();
    a->addSublayer(b);
    b->addSublayer(a);
    a->addSublayer(a);
    EXPECT_EQ(a->superlayer(), nullptr);
    EXPECT_EQ(b->sublayers().size(), 0u);
}

TEST_F(LayerTest, ConvertsPointsAndRectsBetweenLayers)
{
    auto root = makeLayer({0, 0, 200, 200});
    auto left = makeLayer({10, 10, 50, 50});
    auto right = makeLayer({100, 20, 50, 50});
    QMatrix4x4 scale;
    scale.scale(2, 2);
    right->setTransform(scale); // about its centre (125, 45)
    root->setSublayers({left, right});

    EXPECT_EQ(left->convertPointToLayer({0, 0}, root.get()), QPointF(10, 10));
    EXPECT_EQ(right->convertPointToLayer({0, 0}, root.get()), QPointF(75, -5));
    EXPECT_EQ(right->convertPointFromLayer({5, 5}, left.get()), QPointF(-30, 10));
    EXPECT_EQ(left->convertRectToLayer({0, 0, 10, 10}, right.get()), QRectF(-32.5, 7.5, 5, 5));
    EXPECT_EQ(left->convertPointToLayer({1, 2}, nullptr), QPointF(11, 12));

    root->setGeometryFlipped(true); // sublayers now measured from the top
    EXPECT_EQ(left->convertPointToLayer({0, 0}, root.get()), QPointF(10, 190));
    EXPECT_EQ(left->frame(), QRectF(10, 10, 50, 50));
}

class RoundLayer final : public Layer
{
public:
    [[nodiscard]] bool containsPoint(QPointF p) const override
    {
        const QPointF d = p - bounds().center();
        return d.x() * d.x() + d.y() * d.y() <= 100;
    }
};

TEST_F(LayerTest, HitTestFindsTheTopmostVisibleLayer)
{
    auto root = makeLayer({0, 0, 100, 100});
    auto low = makeLayer({0, 0, 50, 50});
    auto high = makeLayer({25, 25, 50, 50});
    auto round = std::make_shared<RoundLayer>();
    round->setFrame({60, 60, 20, 20});
    root->setSublayers({high, low, round});
    high->setZPosition(1);

    EXPECT_EQ(root->hitTest({30, 30}), high.get());
    EXPECT_EQ(root->hitTest({10, 10}), low.get());
    EXPECT_EQ(root->hitTest({61, 61}), high.get()); // outside the circle in the corner of its bounds
    EXPECT_EQ(root->hitTest({150, 150}), nullptr);
    high->setHidden(true);
    EXPECT_EQ(root->hitTest({30, 30}), low.get());
    EXPECT_EQ(root->hitTest({70, 70}), round.get());
}

class RecordingDelegate final : public platform::LayerDelegate
{
public:
    void drawLayerInContext(Layer &, QPainter &painter) override
    {
        ++calls;
        painter.fillRect(QRectF(0, 0, 5, 5), kGreen);
    }
    int calls = 0;
};

TEST_F(LayerTest, DelegateDrawsInLayerSpaceAndIsWeak)
{
    auto layer = makeLayer({0, 0, 10, 10});
    auto delegate = std::make_unique<RecordingDelegate>();
    layer->setDelegate(delegate.get());
    QImage image = renderToImage(*layer, {10, 10});
    EXPECT_EQ(delegate->calls, 1);
    EXPECT_EQ(pixelAt(image, 2, 2), kGreen);
    EXPECT_EQ(pixelAt(image, 2, 8).alpha(), 0);

    delegate.reset();
    EXPECT_EQ(layer->delegate(), nullptr);
    image = renderToImage(*layer, {10, 10});
    EXPECT_EQ(pixelAt(image, 2, 2).alpha(), 0);
}

TEST_F(LayerTest, DisplayObserverHearsChangedAreasOfTheRootSpace)
{
    auto root = makeLayer({0, 0, 100, 100});
    auto child = makeLayer({10, 10, 10, 10});
    root->addSublayer(child);
    QRectF dirty;
    root->setDisplayObserver([&](const QRectF &r) { dirty |= r; });

    child->setPosition({55, 55}); // from (15, 15)
    EXPECT_TRUE(dirty.contains(QRectF(10, 10, 10, 10)));
    EXPECT_TRUE(dirty.contains(QRectF(50, 50, 10, 10)));

    dirty = {};
    child->setNeedsDisplayInRect({0, 0, 2, 2});
    EXPECT_EQ(dirty, QRectF(50, 50, 2, 2));
}

} // namespace
