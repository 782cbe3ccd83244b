#include "platform/BitmapContext.h"

#include "platform/Layer.h"
#include "tests/platform/LayerTestSupport.h"
#include "tests/support/InkoraFixture.h"

#include <array>
#include <vector>

using platform::BitmapContext;

namespace {

class BitmapContextTest : public InkoraFixture
{
protected:
    // Bytes R, G, B, A of the pixel at (x, y), y up.
    static std::array<int, 4> bytesAt(const BitmapContext &context, int x, int y)
    {
        const uchar *p = context.data() + (context.height() - 1 - y) * context.bytesPerRow() + x * 4;
        return {p[0], p[1], p[2], p[3]};
    }
    static std::unique_ptr<BitmapContext> make(int w, int h, BitmapContext::Format f = BitmapContext::Format::RGBA)
    {
        auto context = BitmapContext::create(w, h, f);
        EXPECT_NE(context, nullptr);
        return context;
    }
};

using Bytes = std::array<int, 4>;

TEST_F(BitmapContextTest, StoresPremultipliedRgbaWithAlphaLastAndYUp)
{
    auto context = make(4, 4);
    context->setFillColor(QColor(255, 0, 0, 128));
    context->fillRect({0, 0, 1, 1});
    EXPECT_EQ(bytesAt(*context, 0, 0), (Bytes{128, 0, 0, 128}));
    EXPECT_EQ(bytesAt(*context, 0, 3), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(context->bytesPerRow(), 16);
}

struct BlendRow
{
    const char *name;
    BitmapContext::BlendMode mode;
    double alpha;
    Bytes expected;
};

TEST_F(BitmapContextTest, BlendModesOverAnOpaqueBackground)
{
    const std::vector<BlendRow> rows = {
        {"normal", BitmapContext::BlendMode::Normal, 1.0, {128, 0, 127, 255}},
        {"copy", BitmapContext::BlendMode::Copy, 1.0, {128, 0, 0, 128}},
        {"copyWithAlphaBakesItIn", BitmapContext::BlendMode::Copy, 0.5, {64, 0, 0, 64}},
        {"destinationOut", BitmapContext::BlendMode::DestinationOut, 1.0, {0, 0, 127, 127}},
        {"clear", BitmapContext::BlendMode::Clear, 1.0, {0, 0, 0, 0}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto context = make(2, 2);
        context->setFillColor(QColor(0, 0, 255));
        context->fillRect({0, 0, 2, 2});
        context->setBlendMode(row.mode);
        context->setAlpha(row.alpha);
        context->setFillColor(QColor(255, 0, 0, 128));
        context->fillRect({0, 0, 1, 2});
        const Bytes got = bytesAt(*context, 0, 0);
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got[size_t(c)], row.expected[size_t(c)], 1) << "channel " << c;
        EXPECT_EQ(bytesAt(*context, 1, 0), (Bytes{0, 0, 255, 255})); // outside the shape untouched
    }
}

TEST_F(BitmapContextTest, CopyingAnImageBackWithAlphaScalesEveryChannel)
{
    auto context = make(2, 1);
    context->setFillColor(QColor(255, 255, 255));
    context->fillRect({0, 0, 1, 1});
    const QImage cut = context->makeImage().copy(0, 0, 1, 1);
    context->saveGState();
    context->setBlendMode(BitmapContext::BlendMode::Copy);
    context->setAlpha(0.5);
    context->drawImage({0, 0, 1, 1}, cut);
    context->restoreGState();
    const Bytes got = bytesAt(*context, 0, 0);
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(got[size_t(c)], 127, 1);
}

TEST_F(BitmapContextTest, SaveAndRestoreTransformAndClip)
{
    auto context = make(20, 20);
    context->saveGState();
    context->scaleCTM(2, 2);
    context->translateCTM(1, 1);
    context->clipToRect({0, 0, 2, 2});
    EXPECT_EQ(context->clipBoundingBox(), QRectF(0, 0, 2, 2));
    context->setFillColor(QColor(255, 0, 0));
    context->fillRect({0, 0, 100, 100}); // clipped to pixels (2, 2)-(6, 6)
    context->restoreGState();
    EXPECT_EQ(bytesAt(*context, 3, 3), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(bytesAt(*context, 7, 3), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(bytesAt(*context, 1, 1), (Bytes{0, 0, 0, 0}));

    context->setFillColor(QColor(0, 0, 255)); // fill colour is part of the restored state too
    context->fillRect({10, 10, 1, 1});
    EXPECT_EQ(bytesAt(*context, 10, 10), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(context->ctm(), QTransform());
}

TEST_F(BitmapContextTest, ClipsToPathAndToAGreyMask)
{
    auto context = make(20, 10);
    QImage mask(2, 1, QImage::Format_Grayscale8);
    mask.scanLine(0)[0] = 255;
    mask.scanLine(0)[1] = 0;
    context->clipToMask({0, 0, 20, 10}, mask);
    QPainterPath top;
    top.addRect(0, 5, 20, 5);
    context->clipToPath(top);
    context->setFillColor(QColor(0, 255, 0));
    context->fillRect({0, 0, 20, 10});
    EXPECT_EQ(bytesAt(*context, 2, 8), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(bytesAt(*context, 17, 8)[3], 0); // masked out: black half of the mask
    EXPECT_EQ(bytesAt(*context, 2, 2)[3], 0);  // clipped out by the path
}

TEST_F(BitmapContextTest, GradientsExtendOnlyWhereAsked)
{
    const QGradientStops stops = {{0.0, QColor(255, 0, 0)}, {1.0, QColor(0, 0, 255)}};
    auto both = make(100, 10);
    both->drawLinearGradient(stops, {40, 0}, {60, 0}, BitmapContext::DrawsBeyondBothEnds);
    EXPECT_EQ(bytesAt(*both, 5, 5), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(bytesAt(*both, 95, 5), (Bytes{0, 0, 255, 255}));
    EXPECT_NEAR(bytesAt(*both, 50, 5)[0], 128, 8);

    auto none = make(100, 10);
    none->drawLinearGradient(stops, {40, 0}, {60, 0}, 0);
    EXPECT_EQ(bytesAt(*none, 5, 5)[3], 0);
    EXPECT_EQ(bytesAt(*none, 95, 5)[3], 0);
    EXPECT_EQ(bytesAt(*none, 50, 5)[3], 255);

    auto radial = make(40, 40);
    radial->drawRadialGradient(stops, {20, 20}, 0, {20, 20}, 10, BitmapContext::DrawsBeforeStart);
    EXPECT_GT(bytesAt(*radial, 20, 20)[0], 230); // the start colour at the centre
    EXPECT_EQ(bytesAt(*radial, 20, 20)[3], 255);
    EXPECT_EQ(bytesAt(*radial, 2, 2)[3], 0);
    radial->drawRadialGradient(stops, {20, 20}, 0, {20, 20}, 10, BitmapContext::DrawsBeyondBothEnds);
    EXPECT_EQ(bytesAt(*radial, 2, 2), (Bytes{0, 0, 255, 255}));
}

TEST_F(BitmapContextTest, ShadowFallsAtItsPixelOffset)
{
    auto context = make(40, 40);
    context->scaleCTM(2, 2); // the offset stays in pixels
    context->setShadow({4, -4}, 0, QColor(0, 0, 0));
    context->setFillColor(QColor(255, 0, 0));
    context->fillRect({5, 10, 5, 5}); // pixels (10, 20)-(20, 30)
    EXPECT_EQ(bytesAt(*context, 12, 22), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(bytesAt(*context, 22, 17), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(bytesAt(*context, 8, 32)[3], 0);
}

TEST_F(BitmapContextTest, SnapshotIsACopyAndImageSharesTheBytes)
{
    auto context = make(2, 2);
    const QImage snapshot = context->makeImage();
    const QImage own = context->image();
    context->setFillColor(QColor(255, 255, 255));
    context->fillRect({0, 0, 2, 2});
    EXPECT_EQ(snapshot.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(context->image().constBits(), context->data());
    EXPECT_EQ(context->image().pixelColor(0, 0), QColor(255, 255, 255));
    EXPECT_EQ(snapshot.format(), QImage::Format_RGBA8888_Premultiplied);
}

TEST_F(BitmapContextTest, CreationFailsForImpossibleSizes)
{
    EXPECT_EQ(BitmapContext::create(0, 10), nullptr);
    EXPECT_EQ(BitmapContext::create(10, -1), nullptr);
    EXPECT_EQ(BitmapContext::create(40000, 10), nullptr);
    EXPECT_EQ(BitmapContext::create(30000, 30000), nullptr); // 3.6 GB
}

TEST_F(BitmapContextTest, AlphaAndGreyContextsHoldOneBytePerPixel)
{
    auto alpha = make(4, 4, BitmapContext::Format::Alpha);
    alpha->setFillColor(QColor(0, 0, 0, 128));
    alpha->fillRect({0, 0, 1, 1});
    EXPECT_EQ(alpha->data()[3 * alpha->bytesPerRow()], 128);
    EXPECT_EQ(alpha->image().format(), QImage::Format_Alpha8);

    auto grey = make(4, 4, BitmapContext::Format::Gray);
    grey->setFillColor(QColor(255, 255, 255));
    grey->fillRect({0, 3, 1, 1});
    EXPECT_EQ(grey->data()[0], 255);
    EXPECT_EQ(grey->image().format(), QImage::Format_Grayscale8);
}

TEST_F(BitmapContextTest, RendersALayerTreeAndErasesWithItsShape)
{
    auto context = make(20, 20);
    context->scaleCTM(2, 2);
    auto drawing = makeLayer({0, 0, 10, 10}, QColor(255, 0, 0));
    context->draw([&](QPainter &p) { drawing->renderInContext(p); });
    EXPECT_EQ(bytesAt(*context, 10, 10), (Bytes{255, 0, 0, 255}));

    auto eraser = makeLayer({0, 0, 5, 10}, QColor(0, 0, 0, 255));
    context->setBlendMode(BitmapContext::BlendMode::DestinationOut);
    context->draw([&](QPainter &p) { eraser->renderInContext(p); });
    EXPECT_EQ(bytesAt(*context, 5, 10)[3], 0);
    EXPECT_EQ(bytesAt(*context, 15, 10), (Bytes{255, 0, 0, 255}));
}

TEST_F(BitmapContextTest, DashedStrokeLeavesGaps)
{
    auto context = make(40, 4);
    context->setStrokeColor(QColor(0, 0, 0));
    context->setLineWidth(2);
    context->setLineDash(0, {10, 10});
    QPainterPath line;
    line.moveTo(0, 2);
    line.lineTo(40, 2);
    context->strokePath(line);
    EXPECT_EQ(bytesAt(*context, 5, 2)[3], 255);
    EXPECT_EQ(bytesAt(*context, 15, 2)[3], 0);
    EXPECT_EQ(bytesAt(*context, 25, 2)[3], 255);
}

} // namespace
