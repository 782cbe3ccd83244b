#include "remote/RemoteDatagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Datagram = inkora::RemoteDatagram;
using Received = Datagram::Received;

namespace {

QByteArray typing(quint32 n, const QByteArray &text)
{
    QByteArray data = QByteArray::fromHex("FEEDFACED4") + QByteArray(8, '\x55');
    data.append(char(n & 0xFF)).append(char((n >> 8) & 0xFF)).append(char((n >> 16) & 0xFF)).append(char(n >> 24));
    return data + text;
}

QByteArray hue(float value)
{
    return Datagram::hueMessage(value);
}

TEST(RemoteDatagramTest, ToolTypesGoOutAsTheirCodes)
{
    const char *expected[] = {"C0", "C1", "C2", "C5", "C6", "C4", "C3", "00"};
    for (quint64 type = 0; type < 8; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(Datagram::message(Datagram::toolCodeForToolType(type)),
                  QByteArray::fromHex(QByteArray("FEEDFACE") + expected[type]));
    }
    for (quint64 type = 0; type < 7; ++type)
        EXPECT_EQ(Datagram::toolTypeForToolCode(Datagram::toolCodeForToolType(type)), type);
    EXPECT_FALSE(Datagram::toolTypeForToolCode(199));
}

TEST(RemoteDatagramTest, ValueAndStateMessagesKeepTheirLayout)
{
    EXPECT_EQ(Datagram::messageWithValue(245, 3), QByteArray::fromHex("FEEDFACEF503"));
    EXPECT_EQ(hue(0.25f), QByteArray::fromHex("FEEDFACEF20000803E"));
    EXPECT_EQ(Datagram::appStateMessage({}), QByteArray::fromHex("FEEDFACEF0") + QByteArray(20, '\0'));
    // Only the low byte of a command counts.
    EXPECT_EQ(Datagram::message(0x1A0), QByteArray::fromHex("FEEDFACEA0"));
}

TEST(RemoteDatagramTest, CommandsAreReadWithoutLookingAtTheHeader)
{
    const Received undo = Datagram::parse(QByteArray::fromHex("00000000B2"));
    EXPECT_EQ(undo.kind, Received::Command);
    EXPECT_EQ(undo.command, 178);
}

TEST(RemoteDatagramTest, MotionIsInTenThousandthsOfARadian)
{
    const Received motion = Datagram::parse(QByteArray::fromHex("1027F0D8"));
    ASSERT_EQ(motion.kind, Received::Motion);
    EXPECT_DOUBLE_EQ(motion.pitch, 1.0);
    EXPECT_DOUBLE_EQ(motion.yaw, -1.0);
}

TEST(RemoteDatagramTest, HueMustBeAFiniteNumberAfter242)
{
    const Received good = Datagram::parse(hue(0.5f));
    ASSERT_EQ(good.kind, Received::Hue);
    EXPECT_FLOAT_EQ(good.hue, 0.5f);
    QByteArray other = hue(0.5f);
    other[4] = char(241);
    EXPECT_EQ(Datagram::parse(other).kind, Received::Ignored);
    EXPECT_EQ(Datagram::parse(hue(std::numeric_limits<float>::quiet_NaN())).kind, Received::Ignored);
    EXPECT_EQ(Datagram::parse(hue(std::numeric_limits<float>::infinity())).kind, Received::Ignored);
    EXPECT_EQ(Datagram::parse(hue(-std::numeric_limits<float>::infinity())).kind, Received::Ignored);
}

TEST(RemoteDatagramTest, OtherLengthsAreIgnored)
{
    for (int length : {0, 1, 2, 3, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(Datagram::parse(QByteArray(length, char(0xD4))).kind, Received::Ignored);
    }
}

TEST(RemoteDatagramTest, TypingTakesExactlyTheTextItAnnounces)
{
    const Received text = Datagram::parse(typing(3, "abcXYZ"));
    ASSERT_EQ(text.kind, Received::Typing);
    EXPECT_EQ(text.text, QStringLiteral("abc"));
    const Received backspace = Datagram::parse(typing(0, ""));
    ASSERT_EQ(backspace.kind, Received::Typing);
    EXPECT_TRUE(backspace.text.isEmpty());
    EXPECT_EQ(Datagram::parse(typing(0, "")).kind, Received::Typing);
    EXPECT_EQ(Datagram::parse(typing(4, "\xF0\x9F\x91\x8D")).text, QString::fromUtf8("\xF0\x9F\x91\x8D"));
}

TEST(RemoteDatagramTest, TypingThatRunsPastItsEndOrIsNotUtf8IsDroppedWhole)
{
    EXPECT_EQ(Datagram::parse(typing(4, "abc")).kind, Received::Ignored);
    EXPECT_EQ(Datagram::parse(typing(0xFFFFFFFF, "abc")).kind, Received::Ignored);
    EXPECT_EQ(Datagram::parse(typing(2, "a\xFF")).kind, Received::Ignored);
    EXPECT_EQ(Datagram::parse(typing(2, "\xF0\x9F")).kind, Received::Ignored); // a cut sequence
    QByteArray otherCommand = typing(1, "a");
    otherCommand[4] = char(211);
    EXPECT_EQ(Datagram::parse(otherCommand).kind, Received::Ignored);
}

} // namespace
