#include "tools/ButtonImage.h"

#include "platform/ImageLoader.h"

#include <QHash>

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

} // namespace inkora
