#include "tools/ButtonImage.h"

#include "platform/ImageLoader.h"

#include <QHash>
#include <QPainter>

#include <cmath>

namespace inkora {

QImage buttonImage(const QString &name, double scale)
{
    if (name.isEmpty())
        return {};
    static QHash<QString, QImage> s_images;
    const QString key = name + (scale >= 2 ? QStringLiteral("@2x") : QString());
    const auto found = s_images.constFind(key);
    if (found != s_images.constEnd())
        return *found;
    const QImage image = platform::ImageLoader::namedImage(name, scale);
    s_images.insert(key, image);
    return image;
}

QImage imageInShape(const QImage &picture, const QImage &shape, QSizeF size, double scale)
{
    QImage shaped(QSize(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale))),
                  QImage::Format_RGBA8888_Premultiplied);
    shaped.setDevicePixelRatio(scale);
    shaped.fill(Qt::transparent);
    QPainter p(&shaped);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF local(QPointF(0, 0), size);
    p.drawImage(local, picture);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.drawImage(local, shape);
    p.end();
    return shaped;
}

} // namespace inkora
