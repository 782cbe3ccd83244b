#include "foundation/NSString+Bezier.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace Bezier;

TEST(BezierTest, HashOffWritesEachDigestByteWithoutLeadingZero)
{
    // MD5 of nothing is d41d8cd98f00b204e9800998ecf8427e: the bytes 00, 04 and 09 give "0", "4" and "9".
    EXPECT_EQ(hashOff(QString()), QStringLiteral("D41D8CD98F0B24E980998ECF8427E"));
}

TEST(BezierTest, HashedNamesAreFreshUpperCaseHexadecimal)
{
    const QRegularExpression hex(QStringLiteral("^[0-9A-F]{16,32}$"));
    const QString first = makeHashName();
    const QString second = uniqueHashFolderName();
    EXPECT_TRUE(hex.match(first).hasMatch()) << qPrintable(first);
    EXPECT_TRUE(hex.match(second).hasMatch()) << qPrintable(second);
    EXPECT_NE(first, second);

    const QString named = nameWithFileExtention(QStringLiteral("png"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{16,32}\\.png$")).match(named).hasMatch());
}

TEST(BezierTest, Base64CarriesUtf8TextAndRefusesMalformedInput)
{
    const QString text = QStringLiteral("undoWithEvent:,1048576,6,0");
    EXPECT_EQ(base64EncodedString(text), QStringLiteral("dW5kb1dpdGhFdmVudDosMTA0ODU3Niw2LDA="));
    EXPECT_EQ(decodedFromBase64String(base64EncodedString(text)), text);
    EXPECT_EQ(decodedFromBase64String(base64EncodedString(QStringLiteral("Grüße"))), QStringLiteral("Grüße"));

    for (const char *bad : {"dW5k*b1di", "dW5kb1d", "/w==", "YWJj\nZGVm"}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(decodedFromBase64String(QString::fromLatin1(bad)).isNull());
    }
    const QString empty = decodedFromBase64String(QString());
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(empty.isEmpty());
}

TEST(BezierTest, HexFieldTextBecomesSixDigits)
{
    struct Row
    {
        const char *in;
        const char *out;
    };
    for (const Row row : {Row{"F80", "FF8800"}, Row{"abc", "AABBCC"}, Row{"12345", "123450"}, Row{"1234567", "123456"},
                          Row{"", "000000"}, Row{"7", "700000"}, Row{"C0FFEE", "C0FFEE"}, Row{"x1z", "001100"}}) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(preProcessedHexString(QString::fromLatin1(row.in)), QString::fromLatin1(row.out));
    }
    // A composed character at the cut stays whole.
    const QString composed = QStringLiteral("ABCDEe\u0301F");
    EXPECT_EQ(preProcessedHexString(composed), QStringLiteral("ABCDEe\u0301"));

    EXPECT_EQ(doubleHexFromSingleCharacter(QStringLiteral("a")), QStringLiteral("AA"));
    EXPECT_EQ(doubleHexFromSingleCharacter(QStringLiteral("g")), QStringLiteral("00"));
    EXPECT_EQ(doubleHexFromSingleCharacter(QString()), QStringLiteral("00"));
}

TEST(BezierTest, LocalizedLabelStandsUprightAtTheTopOfItsRectangle)
{
    QImage image(120, 60, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(0, 60); // points with y up
        painter.scale(1, -1);
        drawLocalizedStringInRect(QStringLiteral("Save"), painter, QRectF(10, 0, 100, 50), Qt::black);
    }
    auto inkInRows = [&](int from, int to, int left = 0, int right = 120) {
        int ink = 0;
        for (int y = from; y < to; ++y)
            for (int x = left; x < right; ++x)
                ink += image.pixelColor(x, y).alpha() > 0;
        return ink;
    };
    EXPECT_GT(inkInRows(10, 30), 0) << "the first line sits at the top of the rectangle";
    EXPECT_EQ(inkInRows(0, 10), 0) << "nothing above it";
    EXPECT_EQ(inkInRows(35, 60), 0) << "nothing in the lower part";
    EXPECT_GT(inkInRows(10, 30, 40, 80), 0) << "centred";
    EXPECT_EQ(inkInRows(10, 30, 0, 30), 0);
}
