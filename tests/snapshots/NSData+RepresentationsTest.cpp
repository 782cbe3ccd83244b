#include "snapshots/NSData+Representations.h"
#include "tests/snapshots/PsdFile.h"
#include "tests/support/InkoraFixture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(char(v));
    return out;
}

QByteArray sequence(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out.append(char(i));
    return out;
}

struct PackRow
{
    const char *name;
    QByteArray source;
    QByteArray packed;
};

void PrintTo(const PackRow &row, std::ostream *os)
{
    *os << row.name;
}

class PackedBitsTest : public testing::TestWithParam<PackRow>
{
};

TEST_P(PackedBitsTest, PacksLikeTheReferenceVectors)
{
    const PackRow &row = GetParam();
    EXPECT_EQ(Representations::packedBitsForRange(row.source, 0, row.source.size(), 1).toHex(' '),
              row.packed.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(All, PackedBitsTest,
                         testing::ValuesIn(std::vector<PackRow>{
                             {"ThreeDifferent", bytes({1, 2, 3}), bytes({0x02, 1, 2, 3})},
                             {"FiveEqual", QByteArray(5, 7), bytes({0xFC, 7})},
                             {"RunLongerThanMaximum", QByteArray(130, 9), bytes({0x82, 9, 0xFE, 9})},
                             {"AllOnesByte", QByteArray(4, char(0xFF)), bytes({0xFD, 0xFF})},
                             {"TwoHundredDifferent", sequence(200),
                              bytes({0x7F}) + sequence(128) + bytes({0x47}) + sequence(200).mid(128)},
                             {"LiteralThenRun", bytes({1, 2, 5, 5, 5, 5}), bytes({0x01, 1, 2, 0xFD, 5})},
                             {"TwoEqualStayLiteral", bytes({4, 4, 6}), bytes({0x02, 4, 4, 6})},
                             {"Empty", QByteArray(), QByteArray()},
                             {"LiteralOf129", sequence(129), bytes({0x7F}) + sequence(128) + bytes({0x00, 128})},
                         }),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(RepresentationsTest, PacksEveryFourthByteOfTheRangeOnly)
{
    // R G B A pixels: the green channel of three pixels, starting at offset 1.
    const QByteArray rgba = bytes({10, 20, 30, 40, 11, 20, 31, 41, 12, 20, 32, 42});
    EXPECT_EQ(Representations::packedBitsForRange(rgba, 1, 12, 4).toHex(' '), bytes({0xFE, 20}).toHex(' '));
    EXPECT_EQ(Representations::packedBitsForRange(rgba, 0, 12, 4).toHex(' '), bytes({0x02, 10, 11, 12}).toHex(' '));
    // A range beyond the data is cut to it rather than read past the end.
    EXPECT_EQ(Representations::packedBitsForRange(rgba, 8, 100, 4).toHex(' '), bytes({0x00, 12}).toHex(' '));
    EXPECT_TRUE(Representations::packedBitsForRange(rgba, 50, 4, 4).isEmpty());
}

TEST(RepresentationsTest, PackedBitsRoundTripMixedData)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray source;
        const int pieces = random.bounded(1, 20);
        for (int p = 0; p < pieces; ++p) {
            const int length = random.bounded(1, 300);
            if (random.bounded(2))
                source += QByteArray(length, char(random.bounded(256)));
            else
                for (int i = 0; i < length; ++i)
                    source += char(random.bounded(4));
        }
        const QByteArray packed = Representations::packedBitsForRange(source, 0, source.size(), 1);
        const auto unpacked = psdtest::unpackBits(packed, source.size());
        ASSERT_TRUE(unpacked.has_value());
        ASSERT_EQ(*unpacked, source);
        for (qsizetype i = 0; i < packed.size();) {
            const int header = static_cast<signed char>(packed[i]);
            ASSERT_NE(header, -128);
            ASSERT_GE(header, -126);
            i += header >= 0 ? header + 2 : 2;
        }
    }
}

TEST(RepresentationsTest, DescribesPackets)
{
    EXPECT_EQ(Representations::packedBitsDescription(bytes({0x01, 1, 2, 0xFD, 5})),
              QStringLiteral("Printing 2 literal bytes. Printing 5 4 times. Total: 6 bytes decoded."));
}

TEST(RepresentationsTest, ZlibRoundTripAndRefusesIncompleteStreams)
{
    QByteArray text;
    for (int i = 0; i < 5000; ++i)
        text += QByteArray::number(i % 97);
    const QByteArray packed = Representations::zlibDeflate(text);
    ASSERT_FALSE(packed.isEmpty());
    EXPECT_LT(packed.size(), text.size());
    EXPECT_EQ(Representations::zlibInflate(packed), text);
    EXPECT_TRUE(Representations::zlibInflate(packed.left(packed.size() / 2)).isNull());
    EXPECT_TRUE(Representations::zlibInflate(QByteArray("not zlib at all")).isNull());
    EXPECT_TRUE(Representations::zlibDeflate(QByteArray()).isEmpty());
    EXPECT_TRUE(Representations::zlibInflate(QByteArray()).isEmpty());

    const QByteArray rgba = bytes({1, 9, 9, 9, 2, 9, 9, 9, 3});
    EXPECT_EQ(Representations::zlibInflate(Representations::deflatedBitsForRange(rgba, 0, rgba.size(), 4)),
              bytes({1, 2, 3}));
}

TEST(RepresentationsTest, RebuildsBitmapsFromPngAndRefusesOtherData)
{
    QImage image(3, 2, QImage::Format_RGBA8888);
    image.fill(QColor(10, 200, 30, 255));
    image.setPixelColor(1, 1, QColor(255, 0, 0, 128));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "png").write(image));

    const QImage back = Representations::repFromPNGData(png);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_EQ(back.size(), QSize(3, 2));
    EXPECT_EQ(back.pixelColor(0, 0), QColor(10, 200, 30, 255));
    EXPECT_EQ(back.pixelColor(1, 1).alpha(), 128);

    EXPECT_TRUE(Representations::repFromPNGData(QByteArray("\x89PNG but not really")).isNull());
    EXPECT_TRUE(Representations::repFromPNGData(png.left(png.size() / 2)).isNull());
    EXPECT_TRUE(Representations::repFromPNGData(QByteArray()).isNull());
}

} // namespace
