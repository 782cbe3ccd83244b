#include "platform/TextLayer.h"

#include "tests/platform/LayerTestSupport.h"
#include "tests/support/InkoraFixture.h"

using platform::TextLayer;

namespace {

class TextLayerTest : public InkoraFixture
{
};

TEST_F(TextLayerTest, DrawsUprightTextFromTheTopEdge)
{
    auto text = TextLayer::create();
    text->setFrame({0, 0, 200, 100});
    text->setString(QStringLiteral("TTTT"));
    text->setFontSize(30);
    text->setForegroundColor(QColor(0, 0, 0));

    const QImage image = renderToImage(*text, {200, 100});
    int inkTop = 0, inkBottom = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            (y >= 50 ? inkTop : inkBottom) += pixelAt(image, x, y).alpha() > 128;
    EXPECT_GT(inkTop, 50);
    EXPECT_EQ(inkBottom, 0);

    // Laid out from the top edge: the highest ink lies just below it.
    int firstInkRow = -1;
    for (int y = 99; y >= 0 && firstInkRow < 0; --y)
        for (int x = 0; x < 200; ++x)
            if (pixelAt(image, x, y).alpha() > 128) {
                firstInkRow = y;
                break;
            }
    EXPECT_GT(firstInkRow, 80);

    // Upright, not mirrored: a T's bar at the top holds more ink than its stem lower down.
    auto inkInRow = [&](int y) {
        int ink = 0;
        for (int x = 0; x < 200; ++x)
            ink += pixelAt(image, x, y).alpha() > 128;
        return ink;
    };
    EXPECT_GT(inkInRow(firstInkRow - 1), 2 * inkInRow(firstInkRow - 12));
}

TEST_F(TextLayerTest, TruncationCutsTheEndToTheBounds)
{
    auto layer = platform::TextLayer::create();
    layer->setBounds(QRectF(0, 0, 120, 40));
    layer->setFontSize(20);
    layer->setString(QString(80, QLatin1Char('W')));
    EXPECT_EQ(layer->displayedString(), layer->string()); // no truncation: clipped when drawn
    layer->setTruncationMode(platform::TextLayer::Truncation::End);
    const QString shown = layer->displayedString();
    EXPECT_TRUE(shown.startsWith(QLatin1Char('W')));
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_LT(shown.size(), 20);
    layer->setString(QStringLiteral("W"));
    EXPECT_EQ(layer->displayedString(), QStringLiteral("W"));
}

} // namespace
