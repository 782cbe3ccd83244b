#include "platform/ImageLoader.h"

#include "platform/PlatformLog.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace platform {

namespace {

QImage readFrom(QImageReader &reader, const QString &what, const char *operation)
{
    reader.setAllocationLimit(ImageLoader::kAllocationLimitMB);
    reader.setAutoTransform(true);
    QImage image;
    if (!reader.read(&image)) {
        qCWarning(lcPlatform).noquote() << QStringLiteral("%1: cannot read %2 (%3); no image")
                                               .arg(QLatin1String(operation), what, reader.errorString());
        return {};
    }
    return image;
}

} // namespace

QImage ImageLoader::readImageFile(const QString &path)
{
    QImageReader reader(path);
    return readFrom(reader, path, "readImageFile");
}

QImage ImageLoader::readImageData(const QByteArray &data, const QByteArray &format)
{
    QByteArray bytes = data; // QBuffer needs a non-const array; the copy shares the bytes
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    return readFrom(reader, QStringLiteral("%1 bytes of image data").arg(data.size()), "readImageData");
}

QImage ImageLoader::namedImage(const QString &name, double scale)
{
    const QString file = QFileInfo(name).suffix().isEmpty() ? name + QStringLiteral(".png") : name;
    const QString base = QStringLiteral(":/images/") + file;
    if (scale >= 2) {
        const QFileInfo info(base);
        const QString doubled =
            info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("@2x.") + info.suffix();
        if (QFile::exists(doubled)) {
            QImageReader reader(doubled);
            QImage image = readFrom(reader, doubled, "namedImage");
            image.setDevicePixelRatio(2);
            return image;
        }
    }
    if (!QFile::exists(base)) {
        qCWarning(lcPlatform).noquote() << QStringLiteral("namedImage: no image named %1; no image").arg(name);
        return {};
    }
    QImageReader reader(base);
    return readFrom(reader, base, "namedImage");
}

} // namespace platform
