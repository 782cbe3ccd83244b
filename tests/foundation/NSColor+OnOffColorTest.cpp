#include "foundation/NSColor+OnOffColor.h"
#include "foundation/SrgbColor.h"

#include <gtest/gtest.h>

#include <vector>

using namespace OnOffColor;

namespace {

using inkora::SrgbColor;

SrgbColor rgba(double r, double g, double b, double a = 1.0)
{
    return {r, g, b, a};
}

void expectComponents(const SrgbColor &c, double r, double g, double b, double a, double tolerance = 1e-6)
{
    ASSERT_TRUE(c.isValid());
    EXPECT_NEAR(c.red(), r, tolerance);
    EXPECT_NEAR(c.green(), g, tolerance);
    EXPECT_NEAR(c.blue(), b, tolerance);
    EXPECT_NEAR(c.alpha(), a, tolerance);
}

} // namespace

TEST(OnOffColorTest, StringFormWritesSixDecimalsAndReadsBack)
{
    EXPECT_EQ(srgbColorStringValue(rgba(0.5, 0.25, 0, 1)), QStringLiteral("0.500000+0.250000+0.000000+1.000000"));
    EXPECT_EQ(srgbColorStringValue(rgba(1, 0, 0, 1)), QStringLiteral("1.000000+0.000000+0.000000+1.000000"));
    EXPECT_EQ(srgbColorStringValue(rgba(1.0 / 3, 0.35, 0.568, 0.999)),
              QStringLiteral("0.333333+0.350000+0.568000+0.999000"));

    expectComponents(srgbColorWithString(QStringLiteral("0.500000+0.250000+0.000000+1.000000")), 0.5, 0.25, 0, 1);
    EXPECT_TRUE(srgbColorStringValue(SrgbColor()).isNull());
}

TEST(OnOffColorTest, StringFormWithOtherThanFourPartsIsNoColour)
{
    for (const char *text : {"0.5+0.25+0", "0.5+0.25+0+1+1", "", "garbage"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(srgbColorWithString(QString::fromLatin1(text)).isValid());
    }
    // A part that is no number reads 0; blanks before a number are skipped.
    expectComponents(srgbColorWithString(QStringLiteral("x+ 0.5+1e999+1")), 0, 0.5, 0, 1);
}

TEST(OnOffColorTest, HexadecimalFormsTruncateOrRoundAsEachDefines)
{
    const SrgbColor grey = rgba(0.5, 0.5, 0.5);
    EXPECT_EQ(hexadecimalString(grey), QStringLiteral("#7F7F7F"));
    EXPECT_EQ(RGBHexString(grey), QStringLiteral("808080"));
    EXPECT_EQ(uint32HexOpaqueAlpha(grey), 0x7F7F7FFFu);
    EXPECT_EQ(uint32HexOpaqueAlpha(rgba(1, 1, 1, 0.2)), 0xFFFFFFFFu);
    EXPECT_EQ(uint32HexOpaqueAlpha(SrgbColor()), 0u);
    EXPECT_TRUE(hexadecimalString(SrgbColor()).isNull());
    EXPECT_EQ(RGBRedIntegerString(grey), QStringLiteral("128"));
    EXPECT_EQ(RGBBlueIntegerString(rgba(0, 0, 0.2)), QStringLiteral("51"));
}

TEST(OnOffColorTest, HexadecimalTextsReadAsOpaqueColours)
{
    EXPECT_TRUE(isEqualToSRGBColor(colorFromHexadecimalString(QStringLiteral("#FF8000")),
                                   colorFromHexadecimalString(QStringLiteral("FF8000"))));
    expectComponents(colorFromHexadecimalString(QStringLiteral("#FF8000")), 1, 128 / 255.0, 0, 1);
    expectComponents(colorFromHexadecimalString(QStringLiteral("not hex")), 0, 0, 0, 1);
    expectComponents(colorWithRGBHexString(QStringLiteral("0080FF")), 0, 128 / 255.0, 1, 1);
    expectComponents(colorWithRGBHexString(QString()), 0, 0, 0, 1);

    expectComponents(colorFromUint32Hex(0xFF000080u), 1, 0, 0, 128 / 255.0);
    EXPECT_NEAR(hueWithUint32Hex(0x00FF00FFu), 1.0 / 3, 1e-9);
}

TEST(OnOffColorTest, ContrastAndMonochromeClassification)
{
    EXPECT_TRUE(isEqualToSRGBColor(contrastTextColor(rgba(0.5, 0.5, 0.5)), rgba(0, 0, 0)));
    EXPECT_TRUE(isEqualToSRGBColor(contrastTextColor(rgba(0, 0, 0.5)), rgba(1, 1, 1)));
    EXPECT_TRUE(isEqualToSRGBColor(contrastTextColor(SrgbColor()), rgba(0, 0, 0)));

    struct Row
    {
        const char *name;
        SrgbColor color;
        MRKOMonochromeType type;
        bool enoughSaturation;
    };
    const std::vector<Row> rows = {
        {"black", rgba(0, 0, 0), MRKOMonochromeTypeNearBlack, false},
        {"darkGrey", rgba(0.08, 0.08, 0.08), MRKOMonochromeTypeNearBlack, false},
        {"white", rgba(1, 1, 1), MRKOMonochromeTypeNearWhite, false},
        {"lightGrey", rgba(0.92, 0.92, 0.92), MRKOMonochromeTypeNearWhite, false},
        {"midGrey", rgba(0.5, 0.5, 0.5), MRKOMonochromeTypeChromatic, false},
        {"red", rgba(1, 0, 0), MRKOMonochromeTypeChromatic, true},
        {"paleDarkBlue", rgba(0.2, 0.2, 0.25), MRKOMonochromeTypeChromatic, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(monochromeType(row.color), row.type);
        EXPECT_EQ(enoughSatToSave(row.color), row.enoughSaturation);
    }
}

TEST(OnOffColorTest, ComparisonIsExactAndInterpolationClampsTheFraction)
{
    EXPECT_TRUE(isEqualToSRGBColor(rgba(1, 0, 0, 1), rgba(1, 0, 0, 1)));
    EXPECT_FALSE(isEqualToSRGBColor(rgba(1, 0, 0, 1), rgba(1, 0, 0, 0.999)));

    const SrgbColor from = rgba(0.2, 0.4, 0.6, 1);
    const SrgbColor to = rgba(0.6, 0.8, 1.0, 0.5);
    expectComponents(colorBylinearInterpolationFromColor(from, to, 0.5), 0.4, 0.6, 0.8, 0.75, 1e-4);
    expectComponents(colorBylinearInterpolationFromColor(from, to, 1.5), 0.6, 0.8, 1.0, 0.5);
    expectComponents(colorBylinearInterpolationFromColor(from, to, -1), 0.2, 0.4, 0.6, 1);

    const SrgbColor hue09 = inkora::srgbColorWithHsb(0.9, 1, 1, 1);
    const SrgbColor hue01 = inkora::srgbColorWithHsb(0.1, 1, 1, 1);
    double hue = 0, saturation = 0, brightness = 0;
    inkora::srgbToHsb(colorByChromaticInterpollationFromColor(hue09, hue01, 0.5), &hue, &saturation, &brightness);
    EXPECT_NEAR(hue, 0.5, 1e-4);
    // Through hue, saturation and brightness and back: equal up to the doubles' rounding.
    expectComponents(colorByChromaticInterpollationFromColor(hue09, hue01, 1.5), hue01.red(), hue01.green(),
                     hue01.blue(), 1, 1e-12);
    expectComponents(colorByChromaticInterpollationFromColor(hue09, hue01, -1), hue09.red(), hue09.green(),
                     hue09.blue(), 1, 1e-12);
}

TEST(OnOffColorTest, RainbowColoursHaveSeventyPercentSaturation)
{
    expectComponents(rainbowColorWithHue(0), 1, 1 - double(0.7f), 1 - double(0.7f), 1, 1e-4);
    expectComponents(rainbowColorWithHue(std::nan("")), 1, 1 - double(0.7f), 1 - double(0.7f), 1, 1e-4);
    expectComponents(rainbowColorWithHueSaturationBrightness(2.0 / 3, 1, 0.5), 0, 0, 0.5, 1, 1e-4);
}

TEST(OnOffColorTest, HsvConversionTreatsHue360AsZero)
{
    double r0 = 0, g0 = 0, b0 = 0, r1 = 0, g1 = 0, b1 = 0;
    hsvToRgb(0, 0.5, 0.8, &r0, &g0, &b0);
    hsvToRgb(360, 0.5, 0.8, &r1, &g1, &b1);
    EXPECT_EQ(r0, r1);
    EXPECT_EQ(g0, g1);
    EXPECT_EQ(b0, b1);

    hsvToRgb(120, 1, 1, &r0, &g0, &b0);
    EXPECT_EQ(r0, 0.0);
    EXPECT_EQ(g0, 1.0);
    EXPECT_EQ(b0, 0.0);

    hsvToRgb(-30, 1, 1, &r0, &g0, &b0); // a negative hue falls to the last sector
    EXPECT_EQ(r0, 1.0);
    hsvToRgb(200, 0, 0.25, &r0, &g0, &b0);
    EXPECT_EQ(b0, 0.25);
}

TEST(OnOffColorTest, HslConversionsRoundTrip)
{
    struct Row
    {
        float r, g, b;
    };
    for (const Row row : {Row{1, 0, 0}, Row{0.2f, 0.6f, 0.4f}, Row{0.9f, 0.7f, 0.1f}, Row{0.3f, 0.2f, 0.8f}}) {
        float h = 0, s = 0, l = 0, r = 0, g = 0, b = 0;
        rgbToHsl(row.r, row.g, row.b, &h, &s, &l);
        hslToRgb(h, s, l, &r, &g, &b);
        EXPECT_NEAR(r, row.r, 1e-5);
        EXPECT_NEAR(g, row.g, 1e-5);
        EXPECT_NEAR(b, row.b, 1e-5);
    }
    float h = -1, s = -1, l = -1;
    rgbToHsl(0.5f, 0.5f, 0.5f, &h, &s, &l);
    EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(l, 0.5f);
    rgbToHsl(0, 0, 0, nullptr, nullptr, nullptr); // every out-pointer is optional
    hslToRgb(0.5f, 0, 0.3f, nullptr, nullptr, &l);
    EXPECT_EQ(l, 0.3f);
}
