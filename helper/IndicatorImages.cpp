#include "helper/IndicatorImages.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>
#include <map>

namespace inkora {

namespace {

// Each icon is drawn in a 100 x 100 box, y down.
using Drawer = std::function<void(QPainter &)>;

QPainterPath arrowHead(QPointF tip, QPointF from, qreal length)
{
    const QLineF shaft(tip, from);
    QLineF left = shaft;
    left.setLength(length);
    left.setAngle(shaft.angle() + 28);
    QLineF right = shaft;
    right.setLength(length);
    right.setAngle(shaft.angle() - 28);
    QPainterPath head;
    head.moveTo(left.p2());
    head.lineTo(tip);
    head.lineTo(right.p2());
    head.closeSubpath();
    return head;
}

const std::map<QString, Drawer> &drawers()
{
    static const std::map<QString, Drawer> table = {
        {QStringLiteral("BrushMedium"),
         [](QPainter &p) {
             QPainterPath path(QPointF(18, 70));
             path.cubicTo(30, 20, 45, 90, 58, 45);
             path.cubicTo(66, 20, 78, 50, 84, 30);
             p.drawPath(path);
         }},
        {QStringLiteral("ArrowMedium"),
         [](QPainter &p) {
             p.drawLine(QPointF(20, 80), QPointF(72, 28));
             p.setBrush(Qt::white);
             p.drawPath(arrowHead(QPointF(82, 18), QPointF(20, 80), 26));
         }},
        {QStringLiteral("RectangleMedium"), [](QPainter &p) { p.drawRoundedRect(QRectF(18, 28, 64, 44), 4, 4); }},
        {QStringLiteral("TextMedium"),
         [](QPainter &p) {
             p.drawLine(QPointF(24, 22), QPointF(76, 22));
             p.drawLine(QPointF(50, 22), QPointF(50, 80));
         }},
        {QStringLiteral("QuickArrowMedium"),
         [](QPainter &p) {
             QPainterPath path(QPointF(18, 78));
             path.quadTo(30, 30, 70, 30);
             p.drawPath(path);
             p.setBrush(Qt::white);
             p.drawPath(arrowHead(QPointF(84, 30), QPointF(60, 30), 22));
         }},
        {QStringLiteral("LineMedium"), [](QPainter &p) { p.drawLine(QPointF(18, 82), QPointF(82, 18)); }},
        {QStringLiteral("EllipseMedium"), [](QPainter &p) { p.drawEllipse(QRectF(16, 26, 68, 48)); }},
        {QStringLiteral("DissolveMedium"),
         [](QPainter &p) {
             // Strokes that fade: dots of falling opacity.
             for (int i = 0; i < 5; ++i) {
                 p.setOpacity(1.0 - i * 0.18);
                 p.drawEllipse(QPointF(20 + i * 15, 50), 6, 6);
             }
         }},
        {QStringLiteral("DissolveOffMedium"),
         [](QPainter &p) {
             for (int i = 0; i < 5; ++i)
                 p.drawEllipse(QPointF(20 + i * 15, 50), 6, 6);
             p.drawLine(QPointF(18, 82), QPointF(82, 18));
         }},
        {QStringLiteral("MRKOLogoMask"),
         [](QPainter &p) {
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::white);
             p.drawRoundedRect(QRectF(0, 0, 100, 100), 10, 10);
         }},
    };
    return table;
}

} // namespace

QImage indicatorImage(const QString &name, QSize size, qreal scale)
{
    const auto found = drawers().find(name);
    if (found == drawers().end() || size.isEmpty())
        return {};
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size.width() / 100.0, size.height() / 100.0);
    QPen pen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    found->second(painter);
    return image;
}

} // namespace inkora
