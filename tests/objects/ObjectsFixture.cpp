#include "tests/objects/ObjectsFixture.h"

#include "platform/PropertyList.h"

#include <QPainter>

QImage ObjectsFixture::render(const QRectF &area, const std::function<void(QPainter &)> &draw)
{
    QImage image(static_cast<int>(area.width()), static_cast<int>(area.height()),
                 QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(0, area.height());
    painter.scale(1, -1);
    painter.translate(-area.x(), -area.y());
    draw(painter);
    return image;
}

QColor ObjectsFixture::colorAt(const QImage &image, const QRectF &area, QPointF point)
{
    const int x = static_cast<int>(std::floor(point.x() - area.x()));
    const int y = static_cast<int>(std::floor(area.height() - (point.y() - area.y())));
    return image.pixelColor(x, y);
}

std::vector<double> ObjectsFixture::subpathOrientations(const platform::Path &path)
{
    std::vector<double> result;
    std::vector<QPointF> points;
    auto finish = [&] {
        if (points.size() < 3)
            return;
        double sum = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            const QPointF a = points[i], b = points[(i + 1) % points.size()];
            sum += a.x() * b.y() - b.x() * a.y();
        }
        result.push_back(sum);
    };
    for (const platform::Path::Element &e : path.elements()) {
        if (e.type == platform::Path::ElementType::MoveTo) {
            finish();
            points.clear();
        }
        if (e.type == platform::Path::ElementType::Close)
            continue;
        const int n = e.type == platform::Path::ElementType::CubicTo  ? 3
                      : e.type == platform::Path::ElementType::QuadTo ? 2
                                                                      : 1;
        for (int i = 0; i < n; ++i)
            points.push_back(e.points[i]);
    }
    finish();
    return result;
}

bool ObjectsFixture::fills(const platform::Path &path, QPointF point)
{
    return path.toPainterPath(Qt::WindingFill).contains(point);
}

QVariantMap ObjectsFixture::archivedObject(const QByteArray &archive, const QString &className)
{
    const QVariantList objects =
        platform::PropertyList::fromData(archive).toMap().value(QStringLiteral("$objects")).toList();
    for (const QVariant &object : objects) {
        const QVariantMap keyed = object.toMap();
        const qint64 classIndex = referenceOf(keyed, QStringLiteral("$class"));
        if (classIndex < 0 || classIndex >= objects.size())
            continue;
        if (objects.at(classIndex).toMap().value(QStringLiteral("$classname")).toString() == className)
            return keyed;
    }
    return {};
}

qint64 ObjectsFixture::referenceOf(const QVariantMap &object, const QString &key)
{
    const QVariant value = object.value(key);
    if (value.typeId() != qMetaTypeId<platform::PropertyListUid>())
        return -1;
    return static_cast<qint64>(value.value<platform::PropertyListUid>().value);
}
