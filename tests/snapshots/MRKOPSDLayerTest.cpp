#include "snapshots/MRKOPSDLayer.h"

#include "snapshots/NSString+Bezier.h"
#include "tests/snapshots/PsdFile.h"

#include <gtest/gtest.h>

namespace {

quint32 be32(const QByteArray &data, qsizetype at)
{
    return quint32(quint8(data[at])) << 24 | quint32(quint8(data[at + 1])) << 16 | quint32(quint8(data[at + 2])) << 8 |
           quint8(data[at + 3]);
}

// The record and channel blocks of one entry, written as the engine writes them.
struct Written
{
    QByteArray record;
    std::vector<QByteArray> channels;
};

Written write(const MRKOPSDLayer &layer)
{
    std::vector<QByteArray> records(1);
    Written w;
    w.channels.resize(4);
    layer.fillLayerChannels(w.channels, 0);
    layer.fillLayerInfo(records, w.channels, 0);
    w.record = records[0];
    return w;
}

// Parses a lone record by wrapping it in the smallest file around it.
psdtest::Record parseRecord(const Written &w)
{
    QByteArray info;
    info.append("\x00\x01", 2);
    info += w.record;
    for (const QByteArray &c : w.channels)
        info += c;
    if (info.size() % 2)
        info.append('\0');
    QByteArray file("8BPS\x00\x01\x00\x00\x00\x00\x00\x00\x00\x04\x00\x00\x00\x01\x00\x00\x00\x01\x00\x08\x00\x03", 26);
    file.append(QByteArray(8, '\0')); // no colour mode data, no resources
    const auto len = [](quint32 v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    file += len(quint32(info.size() + 4)) + len(quint32(info.size())) + info;
    file.append("\x00\x01", 2); // a 1 x 1 composite: PackBits rows of one literal byte each
    for (int i = 0; i < 4; ++i)
        file.append("\x00\x02", 2);
    for (int i = 0; i < 4; ++i)
        file.append("\x00\xFF", 2);
    QString error;
    const auto parsed = psdtest::parse(file, &error);
    EXPECT_TRUE(parsed.has_value()) << qPrintable(error);
    return parsed ? parsed->records.value(0) : psdtest::Record();
}

MRKOPSDLayer imageLayer(const QRectF &rect, const QByteArray &pixels, float opacity = 1.0f)
{
    return MRKOPSDLayer::layer(pixels, QStringLiteral("001"), rect, opacity);
}

TEST(MRKOPSDLayerTest, RecordRectangleIsRoundedDownToWholePixels)
{
    const auto rec = parseRecord(write(imageLayer(QRectF(10.7, 20.2, 3, 2), QByteArray(3 * 2 * 4, '\x40'))));
    EXPECT_EQ(rec.top, 20);
    EXPECT_EQ(rec.left, 10);
    EXPECT_EQ(rec.bottom, 22);
    EXPECT_EQ(rec.right, 13);
}

TEST(MRKOPSDLayerTest, OpacityIsRoundedUpToAByte)
{
    for (const auto &[opacity, expected] : {std::pair{0.5f, 128}, {1.0f, 255}, {0.0f, 0}, {0.3f, 77}}) {
        SCOPED_TRACE(opacity);
        EXPECT_EQ(parseRecord(write(imageLayer(QRectF(0, 0, 1, 1), QByteArray(4, '\0'), opacity))).opacity, expected);
    }
}

TEST(MRKOPSDLayerTest, ChannelsDecodeToThePixelsInRedGreenBlueAlphaOrder)
{
    QByteArray pixels;
    for (int i = 0; i < 5 * 3; ++i)
        for (const int v : {i, 100 + i % 2, 200, i * 17})
            pixels += char(v);
    const auto rec = parseRecord(write(imageLayer(QRectF(4, 5, 5, 3), pixels)));
    ASSERT_EQ(rec.channels.size(), 4);
    EXPECT_EQ(rec.channels[0].id, 0);
    EXPECT_EQ(rec.channels[1].id, 1);
    EXPECT_EQ(rec.channels[2].id, 2);
    EXPECT_EQ(rec.channels[3].id, -1);
    for (int c = 0; c < 4; ++c) {
        QByteArray expected;
        for (int i = 0; i < 15; ++i)
            expected += pixels[i * 4 + c];
        const auto decoded = rec.decodedChannel(rec.channels[c].id);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, expected) << c;
    }
}

TEST(MRKOPSDLayerTest, NamesTakePascalAndUnicodeForms)
{
    EXPECT_EQ(Bezier::pascalName(QStringLiteral("Hop")).toHex(' '), QByteArray("03 48 6f 70"));
    EXPECT_EQ(Bezier::pascalName(QStringLiteral("Drawings")), QByteArray("\x08"
                                                                         "Drawings \x00\x00",
                                                                         12));
    EXPECT_EQ(Bezier::pascalName(QString()).toHex(' '), QByteArray("00 20 00 00"));
    EXPECT_EQ(Bezier::pascalName(QStringLiteral("</Layer group>")), QByteArray("\x0E</Layer group> ", 16));
    // The length byte holds at most 255, so a longer name is cut and the padding still follows the length byte.
    const QByteArray longName = Bezier::pascalName(QString(300, QLatin1Char('x')));
    EXPECT_EQ(quint8(longName[0]), 255);
    EXPECT_EQ(longName.size(), 256);

    EXPECT_EQ(Bezier::unicodeName(QString()), QByteArray("8BIMluni\x00\x00\x00\x04\x00\x00\x00\x00", 16));
    const QByteArray group = Bezier::unicodeName(QStringLiteral("</Layer group>"));
    EXPECT_EQ(group.size(), 44);
    EXPECT_EQ(be32(group, 8), 32u);
    EXPECT_EQ(be32(group, 12), 14u);
    EXPECT_EQ(group.mid(16, 4), QByteArray("\x00<\x00/", 4));
    EXPECT_EQ(Bezier::unicodeName(QStringLiteral("é")).mid(16), QByteArray("\x00\xE9", 2));

    EXPECT_EQ(Bezier::pascalLengthPaddedTo(QStringLiteral("abcde"), 4), 8);
    EXPECT_EQ(Bezier::pascalPaddedTo(QStringLiteral("abcde"), 4), QByteArray("abcde\0\0\0", 8));
    EXPECT_EQ(Bezier::pascalPaddedToAndString(QStringLiteral("ab"), 4, QStringLiteral(" ")), QByteArray("ab  "));
}

TEST(MRKOPSDLayerTest, DropShadowReproducesTheObjectShadow)
{
    MRKOPSDLayer layer = imageLayer(QRectF(0, 0, 1, 1), QByteArray(4, '\0'));
    layer.addExtrasFromCALayerIfNeeded(MRKOPSDLayer::ShadowSource{0.3, 2, QPointF(0, -3), 2});
    EXPECT_FLOAT_EQ(layer.shadowRadius(), 8);
    EXPECT_FLOAT_EQ(layer.shadowAngle(), 90);
    EXPECT_FLOAT_EQ(layer.shadowAngleOffset(), 6);

    const auto rec = parseRecord(write(layer));
    const QByteArray fx = rec.block("lrFX");
    ASSERT_FALSE(fx.isEmpty());
    EXPECT_EQ(fx.left(4), QByteArray("\x00\x00\x00\x07", 4)); // version 0, seven effects
    // Each effect: 8BIM, key, size, contents; the solid fill adds two bytes its size does not count.
    const std::vector<std::pair<QByteArray, quint32>> expected = {
        {"cmnS", 7}, {"dsdw", 51}, {"isdw", 51}, {"oglw", 42}, {"iglw", 43}, {"bevl", 78}, {"sofi", 34}};
    qsizetype at = 4;
    QByteArray dropShadow;
    for (const auto &[key, size] : expected) {
        ASSERT_EQ(fx.mid(at, 4), QByteArray("8BIM"));
        ASSERT_EQ(fx.mid(at + 4, 4), key);
        ASSERT_EQ(be32(fx, at + 8), size) << key.constData();
        if (key == "dsdw")
            dropShadow = fx.mid(at + 12, size);
        at += 12 + size;
    }
    EXPECT_EQ(fx.mid(at), QByteArray(2, '\0'));

    EXPECT_EQ(be32(dropShadow, 0), 2u);         // version
    EXPECT_EQ(be32(dropShadow, 4), 8u << 16);   // blur
    EXPECT_EQ(be32(dropShadow, 8), 0u);         // intensity
    EXPECT_EQ(be32(dropShadow, 12), 90u << 16); // angle
    EXPECT_EQ(be32(dropShadow, 16), 6u << 16);  // distance
    EXPECT_EQ(dropShadow.mid(20, 10), QByteArray(10, '\0'));
    EXPECT_EQ(dropShadow.mid(30, 8), QByteArray("8BIMmul "));
    EXPECT_EQ(quint8(dropShadow[38]), 1);  // enabled
    EXPECT_EQ(quint8(dropShadow[39]), 0);  // global angle
    EXPECT_EQ(quint8(dropShadow[40]), 77); // opacity
}

TEST(MRKOPSDLayerTest, NoShadowGivesNoEffects)
{
    MRKOPSDLayer layer = imageLayer(QRectF(0, 0, 1, 1), QByteArray(4, '\0'));
    layer.addExtrasFromCALayerIfNeeded(std::nullopt);
    EXPECT_TRUE(layer.fxData().isEmpty());
    layer.addExtrasFromCALayerIfNeeded(MRKOPSDLayer::ShadowSource{0, 5, QPointF(1, 1), 2});
    EXPECT_TRUE(layer.fxData().isEmpty());
    const auto rec = parseRecord(write(layer));
    ASSERT_EQ(rec.blocks.size(), 1);
    EXPECT_EQ(rec.blocks[0].key, QByteArray("luni"));
}

TEST(MRKOPSDLayerTest, ExtraDataLengthCoversExactlyWhatFollowsForEveryKind)
{
    MRKOPSDLayer plain = imageLayer(QRectF(0, 0, 2, 2), QByteArray(16, '\x11'));
    MRKOPSDLayer start;
    start.setGroupMarker(true);
    start.setName(QStringLiteral("Drawings"));
    start.setOpacity(1);
    start.setRect(QRectF(0, 0, 20, 10));
    start.addExtrasFromCALayerIfNeeded(MRKOPSDLayer::ShadowSource{1, 2, QPointF(0, -1), 1});
    MRKOPSDLayer end;
    end.setGroupMarker(true);
    end.setGroupMarkerEnd(true);
    end.setName(QStringLiteral("</Layer group>"));

    for (const auto &[name, layer] : {std::pair{"layer", plain}, {"start", start}, {"end", end}}) {
        SCOPED_TRACE(name);
        const Written w = write(layer);
        // parseRecord fails unless the stated length lands exactly on the end of the record.
        const auto rec = parseRecord(w);
        EXPECT_EQ(rec.recordBytes.size(), w.record.size());
        EXPECT_EQ(rec.extraLength, quint32(rec.extra.size()));
        EXPECT_FALSE(rec.block("luni").isEmpty());
    }

    const auto startRec = parseRecord(write(start));
    EXPECT_EQ(startRec.block("lsct"), QByteArray("\x00\x00\x00\x02"
                                                 "8BIMpass\x00\x00\x00\x00",
                                                 16));
    EXPECT_FALSE(startRec.block("lrFX").isEmpty());
    EXPECT_EQ(startRec.rect, QRect(0, 0, 20, 10));
    // Every channel of a marker holds its 2-byte compression code: readers refuse a channel of length 0.
    ASSERT_EQ(startRec.channels.size(), 4);
    for (const psdtest::Channel &channel : startRec.channels)
        EXPECT_EQ(channel.block, QByteArray(2, '\0'));

    const auto endRec = parseRecord(write(end));
    EXPECT_EQ(endRec.block("lsct"), QByteArray("\x00\x00\x00\x03", 4));
    EXPECT_EQ(endRec.pascalName, QByteArray("</Layer group>"));
    EXPECT_EQ(endRec.flags, 0x0A);
    EXPECT_EQ(endRec.extraLength, 84u);
}

TEST(MRKOPSDLayerTest, EndMarkerRecordIsTheSameForEveryGroup)
{
    MRKOPSDLayer a;
    a.setGroupMarker(true);
    a.setGroupMarkerEnd(true);
    a.setName(QStringLiteral("</Layer group>"));
    MRKOPSDLayer b = a;
    b.setRect(QRectF(5, 5, 50, 50));
    b.setOpacity(0.2f);
    EXPECT_EQ(write(a).record, write(b).record);
    EXPECT_EQ(write(a).record, MRKOPSDLayer::groupEndMarkerInfoData());
    for (const QByteArray &channel : write(a).channels)
        EXPECT_EQ(channel, QByteArray(2, '\0'));
}

} // namespace
