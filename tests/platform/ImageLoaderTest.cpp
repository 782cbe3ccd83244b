#include "platform/ImageLoader.h"

#include "tests/support/InkoraFixture.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

using platform::ImageLoader;

namespace {

class ImageLoaderTest : public InkoraFixture
{
protected:
    // The CRC of a PNG chunk, so a doctored header still reads as well-formed.
    static quint32 crc32(const QByteArray &bytes)
    {
        quint32 crc = 0xFFFFFFFFu;
        for (const char c : bytes) {
            crc ^= quint8(c);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    }
    static QByteArray encode(const QImage &image, const char *format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, format));
        return bytes;
    }
};

TEST_F(ImageLoaderTest, ReadsPngAndJpegFilesAndData)
{
    QImage picture(8, 4, QImage::Format_RGBA8888);
    picture.fill(QColor(0, 128, 255));
    const QString path = home() + QStringLiteral("/picture.png");
    ASSERT_TRUE(picture.save(path));

    const QImage fromFile = ImageLoader::readImageFile(path);
    EXPECT_EQ(fromFile.size(), QSize(8, 4));
    EXPECT_EQ(fromFile.pixelColor(3, 3), QColor(0, 128, 255));

    const QImage fromJpeg = ImageLoader::readImageData(encode(picture, "JPEG"), "jpeg");
    EXPECT_EQ(fromJpeg.size(), QSize(8, 4));
    EXPECT_NEAR(fromJpeg.pixelColor(3, 3).blue(), 255, 4);
}

TEST_F(ImageLoaderTest, RefusesDamagedAndOversizedPicturesWithOneLine)
{
    log().expectWarning(QStringLiteral("readImageData: cannot read"));
    log().expectWarning(QStringLiteral("readImageFile: cannot read"));

    QByteArray damaged = encode(QImage(16, 16, QImage::Format_RGB32), "PNG");
    damaged.truncate(40);
    EXPECT_TRUE(ImageLoader::readImageData(damaged).isNull());
    EXPECT_TRUE(ImageLoader::readImageFile(home() + QStringLiteral("/missing.png")).isNull());

    // A PNG header that claims 60000 x 60000 pixels (about 14 GB decoded) with almost no data behind it.
    QByteArray huge = encode(QImage(1, 1, QImage::Format_RGB32), "PNG");
    const char size[8] = {0, 0, char(0xEA), 0x60, 0, 0, char(0xEA), 0x60};
    huge.replace(16, 8, QByteArray(size, 8));
    const quint32 crc = crc32(huge.mid(12, 17)); // "IHDR" and its 13 bytes
    const char crcBytes[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    huge.replace(29, 4, QByteArray(crcBytes, 4));
    EXPECT_TRUE(ImageLoader::readImageData(huge, "png").isNull());
    EXPECT_EQ(log().count(QStringLiteral("cannot read")), 3);
}

TEST_F(ImageLoaderTest, NamedImagesPreferTheirDoubleVariantOnDoubleScreens)
{
    log().expectWarning(QStringLiteral("namedImage: no image named nothing"));
    const QImage single = ImageLoader::namedImage(QStringLiteral("sample"));
    EXPECT_EQ(single.size(), QSize(2, 2));
    EXPECT_EQ(single.devicePixelRatio(), 1.0);

    const QImage doubled = ImageLoader::namedImage(QStringLiteral("sample.png"), 2.0);
    EXPECT_EQ(doubled.size(), QSize(4, 4));
    EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
    EXPECT_EQ(doubled.pixelColor(0, 0), QColor(0, 0, 255));

    EXPECT_TRUE(ImageLoader::namedImage(QStringLiteral("nothing"), 2.0).isNull());
}

} // namespace
