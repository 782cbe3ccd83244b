#include "foundation/LayerCompositing.h"

#include "foundation/MRKOUtils.h"
#include "platform/fake/FakeScreenGrabber.h"
#include "tests/support/InkoraFixture.h"

#include <QPainter>

using platform::Layer;
using platform::LayerPtr;

namespace {

LayerPtr solidLayer(const QRectF &frame, QColor color, double scale = 1.0)
{
    QImage image(int(frame.width() * scale), int(frame.height() * scale), QImage::Format_RGBA8888_Premultiplied);
    image.fill(color);
    LayerPtr layer = Layer::create();
    layer->setFrame(frame);
    layer->setContentsScale(scale);
    layer->setContents(std::make_shared<const QImage>(image));
    layer->setBorderColor(color);
    layer->setZPosition(-1);
    return layer;
}

// The colour of the composite's pixel at a point of the canvas (points, y up).
QColor pixelAt(const Layer &layer, QPointF point)
{
    const QImage &image = *layer.contents();
    const double s = layer.contentsScale();
    const QRectF f = layer.frame();
    return image.pixelColor(int((point.x() - f.x()) * s), int(image.height() - (point.y() - f.y()) * s));
}

} // namespace

class LayerCompositingTest : public InkoraFixture
{
protected:
    LayerPtr container = Layer::create();
};

TEST_F(LayerCompositingTest, SingleLayerWithoutMaskComesBackItself)
{
    const LayerPtr layer = solidLayer({0, 0, 10, 10}, Qt::red);
    container->addSublayer(layer);
    EXPECT_EQ(inkora::compositeOfLayers({layer}, nullptr), layer);
    EXPECT_TRUE(log().contains(QStringLiteral("compositeOfLayers: Layer already is composite")));
    EXPECT_EQ(layer->superlayer(), container.get());
}

TEST_F(LayerCompositingTest, CompositeMergesTheLayersIntoTheRoundedUnion)
{
    const LayerPtr red = solidLayer({0.5, 0.5, 10, 10}, Qt::red, 2);
    const LayerPtr blue = solidLayer({20, 5.25, 10, 10}, Qt::blue, 2);
    container->addSublayer(red);
    container->addSublayer(blue);

    const LayerPtr composite = inkora::compositeOfLayers({red, blue}, nullptr);
    ASSERT_TRUE(composite);
    EXPECT_EQ(composite->frame(), QRectF(0, 0, 30, 15)); // origin floored, size ceiled on its own
    EXPECT_EQ(composite->contentsScale(), 2.0);
    EXPECT_EQ(composite->contents()->size(), QSize(60, 30));
    EXPECT_EQ(composite->zPosition(), -1.0);
    EXPECT_EQ(composite->borderColor(), QColor(Qt::blue));
    EXPECT_TRUE(composite->sublayers().empty());
    EXPECT_NE(composite->name(), QStringLiteral("Empty"));
    EXPECT_EQ(red->superlayer(), nullptr); // the inputs moved into the composite and were let go
    EXPECT_EQ(pixelAt(*composite, {5, 5}), QColor(Qt::red));
    EXPECT_EQ(pixelAt(*composite, {25, 10}), QColor(Qt::blue));
    EXPECT_EQ(pixelAt(*composite, {15, 2}).alpha(), 0);
}

TEST_F(LayerCompositingTest, MaskCutsAndTheRestIsTrimmedToWholePoints)
{
    const LayerPtr a = solidLayer({0, 0, 20, 10}, Qt::red, 2);
    const LayerPtr b = solidLayer({20, 0, 20, 10}, Qt::green, 2);
    // The mask erases everything right of x = 12.5; the trim keeps whole points.
    const LayerPtr mask = solidLayer({12.5, -5, 40, 20}, Qt::black, 2);
    const LayerPtr composite = inkora::compositeOfLayers({a, b}, mask);
    ASSERT_TRUE(composite);
    EXPECT_EQ(composite->frame(), QRectF(0, 0, 13, 10));
    EXPECT_EQ(composite->contents()->size(), QSize(26, 20));
    EXPECT_EQ(pixelAt(*composite, {1, 1}), QColor(Qt::red));
    EXPECT_TRUE(composite->sublayers().empty());
}

TEST_F(LayerCompositingTest, MaskOverEveryPixelLeavesALayerNamedEmpty)
{
    const LayerPtr a = solidLayer({0.5, 0, 10, 10}, Qt::red);
    const LayerPtr b = solidLayer({5, 5, 10, 10}, Qt::blue);
    const LayerPtr mask = solidLayer({-10, -10, 50, 50}, Qt::black);
    const LayerPtr composite = inkora::compositeOfLayers({a, b}, mask);
    ASSERT_TRUE(composite);
    EXPECT_EQ(composite->name(), QStringLiteral("Empty"));
    EXPECT_EQ(composite->frame(), QRectF(0, 0, 15, 15));
    const QImage &image = *composite->contents();
    bool clear = true;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            clear = clear && image.pixelColor(x, y).alpha() == 0;
    EXPECT_TRUE(clear);
}

TEST_F(LayerCompositingTest, TheUtilitiesPassTheMaskThrough)
{
    const LayerPtr a = solidLayer({0, 0, 20, 10}, Qt::red, 2);
    const LayerPtr b = solidLayer({20, 0, 20, 10}, Qt::green, 2);
    const LayerPtr cut = MRKOUtils::compositeOfLayers({a, b}, solidLayer({12.5, -5, 40, 20}, Qt::black, 2));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->frame(), QRectF(0, 0, 13, 10));

    const LayerPtr c = solidLayer({0, 0, 10, 10}, Qt::red);
    const LayerPtr gone = MRKOUtils::compositeOfLayers({c}, solidLayer({-5, -5, 20, 20}, Qt::black));
    ASSERT_TRUE(gone);
    EXPECT_NE(gone, c) << "a single layer with a mask is still composited";
    EXPECT_EQ(gone->name(), QStringLiteral("Empty"));

    const LayerPtr d = solidLayer({0, 0, 10, 10}, Qt::red);
    const LayerPtr e = solidLayer({10, 0, 10, 10}, Qt::blue);
    const LayerPtr plain = MRKOUtils::compositeOfLayers({d, e});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->frame(), QRectF(0, 0, 20, 10)) << "without a mask nothing is trimmed";
}

TEST_F(LayerCompositingTest, FailedBitmapLeavesTheLayersWhereTheyWere)
{
    const LayerPtr a = solidLayer({0, 0, 10, 10}, Qt::red, 0); // no pixels per point: no bitmap can be made
    const LayerPtr b = solidLayer({5, 5, 10, 10}, Qt::blue);
    container->addSublayer(a);
    container->addSublayer(b);
    log().expectWarning(QStringLiteral("compositeOfLayers: CGContextRef Create Failed"));
    EXPECT_EQ(inkora::compositeOfLayers({a, b}, solidLayer({0, 0, 1, 1}, Qt::black)), nullptr);
    EXPECT_EQ(a->superlayer(), container.get());
    EXPECT_EQ(b->superlayer(), container.get());
    EXPECT_EQ(container->sublayers(), (std::vector<LayerPtr>{a, b}));

    log().expectWarning(QStringLiteral("compositeOfLayers: no layers"));
    EXPECT_EQ(inkora::compositeOfLayers({}, nullptr), nullptr);
}

TEST_F(LayerCompositingTest, CutRectClearsPartOfTheBitmap)
{
    const LayerPtr layer = solidLayer({100, 100, 20, 10}, Qt::red, 2);
    inkora::cutRectInLayer(QRectF(0, 0, 10, 10), *layer);
    EXPECT_EQ(layer->contents()->size(), QSize(40, 20));
    EXPECT_EQ(pixelAt(*layer, {103, 105}).alpha(), 0);
    EXPECT_EQ(pixelAt(*layer, {115, 105}), QColor(Qt::red));

    const LayerPtr broken = solidLayer({0, 0, 20, 10}, Qt::red, 0);
    const platform::ImagePtr before = broken->contents();
    log().expectWarning(QStringLiteral("cutRect:inLayer: CGContextRef Create Failed"));
    inkora::cutRectInLayer(QRectF(0, 0, 10, 10), *broken);
    EXPECT_EQ(broken->contents(), before);
}

TEST_F(LayerCompositingTest, RenderedLayerHasTheScaleAsked)
{
    const LayerPtr layer = solidLayer({3, 4, 10.5, 5}, Qt::green, 1);
    const LayerPtr rendered = inkora::renderedLayerForScale(*layer, 2);
    ASSERT_TRUE(rendered);
    EXPECT_EQ(rendered->frame(), layer->frame());
    EXPECT_EQ(rendered->contentsScale(), 2.0);
    EXPECT_EQ(rendered->contents()->size(), QSize(21, 10));
    EXPECT_EQ(rendered->contents()->pixelColor(5, 5), QColor(Qt::green));

    log().expectWarning(QStringLiteral("capturedLayer: CGContextRef Create Failed"));
    EXPECT_EQ(inkora::renderedLayerForScale(*layer, 0), nullptr);
}

TEST_F(LayerCompositingTest, UnionOfLayerFrames)
{
    EXPECT_EQ(inkora::unionRectOfLayers({}), QRectF());
    const LayerPtr one = solidLayer({1, 2, 3, 4}, Qt::red);
    EXPECT_EQ(inkora::unionRectOfLayers({one}), QRectF(1, 2, 3, 4));
    LayerPtr point = Layer::create();
    point->setFrame({10, 10, 0, 0});
    EXPECT_EQ(inkora::unionRectOfLayers({one, point}), QRectF(1, 2, 9, 8));
}

TEST_F(LayerCompositingTest, BitmapOfASizeIsDarkGreyWithoutAColour)
{
    const QImage grey = inkora::bitmapWithSize({4.7, 3.2}, QColor());
    ASSERT_EQ(grey.size(), QSize(4, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(grey.pixelColor(x, y), QColor(51, 51, 51));
    EXPECT_EQ(inkora::bitmapWithSize({2, 2}, Qt::red).pixelColor(1, 1), QColor(Qt::red));
    log().expectWarning(QStringLiteral("emptyBitmapWithSize: Failed to create context."));
    EXPECT_TRUE(inkora::bitmapWithSize({0, 5}, QColor()).isNull());
}

TEST_F(LayerCompositingTest, CaptureRectanglesAreGlobalWithYDown)
{
    const QRectF first(0, 0, 1440, 900);
    struct Row
    {
        const char *name;
        QRectF screen;
        QRectF rect;
        QRectF global;
    };
    const Row rows[] = {
        {"FirstScreen", first, {100, 100, 50, 20}, {100, 780, 50, 20}},
        {"ScreenAboveTheFirst", {0, 900, 1920, 1080}, {0, 0, 1920, 1080}, {0, -1080, 1920, 1080}},
        {"ScreenRightOfTheFirst", {1440, 0, 1280, 1024}, {10, 0, 20, 10}, {1450, 890, 20, 10}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(inkora::globalCaptureRect(row.rect, {row.screen, first, 1}), row.global);
    }
}

TEST_F(LayerCompositingTest, CapturesAskTheGrabberInPixels)
{
    platform::FakeScreenGrabber &grabber = *fakes().screenGrabber;
    const inkora::CaptureDisplay display{{0, 0, 100, 50}, {0, 0, 100, 50}, 2};
    const QImage below = inkora::fullScreenRepWithWindowID(42, display, false);
    EXPECT_EQ(below.size(), QSize(200, 100));
    EXPECT_EQ(below.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_EQ(below.pixelColor(0, 0), QColor(0, 255, 0));
    ASSERT_EQ(grabber.calls().size(), 1u);
    EXPECT_EQ(grabber.calls()[0].window, 42u);
    EXPECT_FALSE(grabber.calls()[0].includeWindow);
    EXPECT_EQ(grabber.calls()[0].area, QRect(0, 0, 200, 100));

    EXPECT_EQ(inkora::fullScreenRepWithDisplayID(display).pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_FALSE(grabber.calls()[1].window.has_value());

    grabber.setFails(true);
    log().expectWarning(QStringLiteral("FakeScreenGrabber"));
    EXPECT_TRUE(inkora::fullScreenRepWithWindowID(42, display, true).isNull());
    EXPECT_TRUE(inkora::screenPortionWithRect({1, 1, 5, 5}, 42, display, true, true, {1, 1, 5, 5}).isNull());
}

TEST_F(LayerCompositingTest, ScreenPortionKeepsTheCutShape)
{
    platform::FakeScreenGrabber &grabber = *fakes().screenGrabber;
    const inkora::CaptureDisplay display{{0, 0, 100, 50}, {0, 0, 100, 50}, 2};
    const QImage oval = inkora::screenPortionWithRect({10.5, 10, 19, 20}, 7, display, true, true, {10, 10, 20, 20});
    ASSERT_EQ(oval.size(), QSize(40, 40)); // (10, 10, 20, 20) after rounding outwards, at scale 2
    EXPECT_EQ(grabber.calls().back().area, QRect(20, 40, 40, 40));
    EXPECT_TRUE(grabber.calls().back().includeWindow);
    EXPECT_EQ(oval.pixelColor(20, 20), QColor(255, 0, 0));
    EXPECT_EQ(oval.pixelColor(1, 1).alpha(), 0);

    const QImage square = inkora::screenPortionWithRect({10, 10, 20, 20}, 7, display, true, false, {10, 10, 10, 10});
    EXPECT_EQ(square.pixelColor(5, 35), QColor(255, 0, 0)); // bottom-left quarter kept
    EXPECT_EQ(square.pixelColor(35, 5).alpha(), 0);
    EXPECT_EQ(inkora::screenPortionWithRect({10, 10, 20, 20}, 7, display, false, false, {}).pixelColor(35, 5),
              QColor(255, 0, 0));
}
