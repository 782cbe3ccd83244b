#include "canvas/MRKOGLLayer.h"

#include "tests/canvas/CanvasFixture.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

class MRKOGLLayerTest : public CanvasFixture
{
protected:
    std::shared_ptr<MRKOGLLayer> ringLayer(QSizeF size, double scale, QPointF pointer, const MRKODraw *canvas = nullptr)
    {
        auto layer = MRKOGLLayer::create();
        layer->setBounds(QRectF(QPointF(), size));
        layer->setContentsScale(scale);
        layer->setMouseLocationProvider([pointer] { return pointer; });
        layer->setActiveCanvasProvider([canvas] { return canvas; });
        return layer;
    }

    // The layer drawn at its backing scale; pixel (x, y) counts from the bottom left.
    static QImage render(const MRKOGLLayer &layer)
    {
        const QSize size = layer.scaledBounds().size().toSize();
        QImage image(size, QImage::Format_RGBA8888_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.translate(0, size.height());
        painter.scale(layer.contentsScale(), -layer.contentsScale());
        layer.renderInContext(painter);
        return image;
    }

    static QColor pixelFromBottomLeft(const QImage &image, int x, int y)
    {
        return image.pixelColor(x, image.height() - 1 - y);
    }
};

TEST_F(MRKOGLLayerTest, FanAndStripHaveTheirVertexCounts)
{
    const std::vector<QPointF> fan = MRKOGLLayer::roundedRectFan(QRectF(0, 0, 100, 50), 10, 8);
    ASSERT_EQ(fan.size(), 38u);
    EXPECT_EQ(fan.front(), QPointF(50, 25));
    EXPECT_EQ(fan[1], QPointF(100, 40));
    EXPECT_EQ(fan.back(), QPointF(100, 40));
    EXPECT_NEAR(fan[9].x(), 90, 1e-5); // the top of the first corner's arc
    EXPECT_NEAR(fan[9].y(), 50, 1e-5);
    EXPECT_EQ(MRKOGLLayer::roundedRectFan(QRectF(0, 0, 100, 50), 10, 0).size(), 4u * 15 + 6);
    EXPECT_EQ(MRKOGLLayer::roundedRectFan(QRectF(0, 0, 100, 50), 0.5, 0).size(), 4u * 2 + 6);
    const std::vector<QPointF> strip = MRKOGLLayer::ellipseStrip(QRectF(0, 0, 100, 50), 5);
    ASSERT_EQ(strip.size(), 242u);
    EXPECT_EQ(strip[0], QPointF(45, 0));
    EXPECT_EQ(strip[1], QPointF(55, 0));
}

TEST_F(MRKOGLLayerTest, BandSurroundsTheRectangleToThePointer)
{
    RecordingCanvas &canvas = makeCanvas();
    canvas.setThickness(3);
    const auto layer = ringLayer({400, 300}, 1, {300, 200}, &canvas);
    EXPECT_EQ(layer->thickness(), 15);
    const QImage image = render(*layer);
    const QColor ring = pixelFromBottomLeft(image, 150, 14);
    EXPECT_EQ(ring.red(), 255);
    EXPECT_EQ(ring.green(), 0);
    EXPECT_NEAR(ring.blueF(), 0.3, 1.0 / 255);
    EXPECT_EQ(ring.alpha(), 255);
    EXPECT_EQ(pixelFromBottomLeft(image, 150, 15).alpha(), 0);
    EXPECT_EQ(pixelFromBottomLeft(image, 150, 100).alpha(), 0);
    EXPECT_EQ(pixelFromBottomLeft(image, 314, 100).alpha(), 255); // right band, up to 15 beyond the edge
    EXPECT_EQ(pixelFromBottomLeft(image, 315, 100).alpha(), 0);
}

TEST_F(MRKOGLLayerTest, PointsAreScaledButTheThicknessIsNot)
{
    const auto layer = ringLayer({200, 100}, 2, {100, 50});
    EXPECT_EQ(layer->frameRect(), QRectF(0, 0, 200, 100));
    EXPECT_EQ(layer->endPoint(), QPointF(200, 100));
    EXPECT_EQ(layer->thickness(), 2); // no active canvas

    layer->setStartPoint({10, 10});
    EXPECT_EQ(layer->frameRect(), QRectF(20, 20, 180, 80));
    EXPECT_EQ(layer->startPoint(), QPointF(10, 10));
    EXPECT_EQ(layer->scaledBounds(), QRectF(0, 0, 400, 200));
    EXPECT_EQ(layer->ciContext(), nullptr);
}

TEST_F(MRKOGLLayerTest, PointerOnTheStartDrawsTheFoldedFansAsTrianglesDo)
{
    // Outer corners of 30 around a 4 × 4 square fold the fan over itself; the inner fan, of negative size, erases
    // where its triangles fall. Whatever is left lies within the outer fan's reach.
    const auto layer = ringLayer({100, 100}, 1, {50, 50});
    layer->setStartPoint({50, 50});
    const QImage image = render(*layer);
    const std::vector<QPointF> outer = MRKOGLLayer::roundedRectFan(QRectF(48, 48, 4, 4), 30, 8);
    QRectF reach;
    for (const QPointF &p : outer)
        reach |= QRectF(p, QSizeF(0.001, 0.001));
    int opaque = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (pixelFromBottomLeft(image, x, y).alpha() == 255) {
                ++opaque;
                EXPECT_TRUE(reach.adjusted(-1, -1, 1, 1).contains(QPointF(x + 0.5, y + 0.5))) << x << ", " << y;
            }
    EXPECT_GT(opaque, 0);
}

TEST_F(MRKOGLLayerTest, RedrawsEveryFrameOnlyInATree)
{
    const auto layer = ringLayer({100, 100}, 1, {50, 50});
    int redraws = 0;
    auto root = platform::Layer::create();
    root->setBounds(QRectF(0, 0, 100, 100));
    root->setDisplayObserver([&redraws](const QRectF &) { ++redraws; });
    advance(0.1);
    EXPECT_EQ(redraws, 0);
    root->addSublayer(layer);
    redraws = 0;
    advance(1.0);
    EXPECT_GE(redraws, 59);
    EXPECT_LE(redraws, 61);
}

} // namespace
