#include "shortcuts/ShortcutFieldImages.h"

#include "foundation/InkoraLog.h"

#include <QPainter>
#include <QPainterPath>

namespace inkora {

namespace {

constexpr double kScale = 2;       // pixels per point
constexpr double kButtonSide = 11; // points
const QColor kButtonFill(128, 128, 128);

QImage canvas(double width, double height)
{
    QImage image(QSize(int(width * kScale), int(height * kScale)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kScale);
    image.fill(Qt::transparent);
    return image;
}

/// A grey disc with a white glyph drawn by `glyph` in the button's points.
QImage roundButton(void (*glyph)(QPainter &))
{
    QImage image = canvas(kButtonSide, kButtonSide);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kButtonFill);
    painter.drawEllipse(QRectF(0, 0, kButtonSide, kButtonSide));
    painter.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    glyph(painter);
    return image;
}

void chevronDown(QPainter &painter)
{
    painter.drawPolyline(QPolygonF({QPointF(3.5, 4.5), QPointF(5.5, 6.5), QPointF(7.5, 4.5)}));
}

void restoreArrow(QPainter &painter)
{
    painter.drawArc(QRectF(3, 3, 5, 5), 90 * 16, 270 * 16);
    painter.drawPolyline(QPolygonF({QPointF(4.5, 2), QPointF(5.5, 3), QPointF(4.5, 4)}));
}

void minus(QPainter &painter)
{
    painter.drawLine(QPointF(3.5, 5.5), QPointF(7.5, 5.5));
}

void check(QPainter &painter)
{
    painter.drawPolyline(QPolygonF({QPointF(3.2, 5.6), QPointF(4.8, 7.2), QPointF(7.8, 3.8)}));
}

QImage sixDots()
{
    QImage image = canvas(12, 17);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 150, 150));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 2; ++column)
            painter.drawEllipse(QPointF(4 + 4 * column, 4.5 + 4 * row), 1.2, 1.2);
    }
    return image;
}

} // namespace

QImage shortcutFieldImage(const QString &name)
{
    if (name == QLatin1String("MRKODropdownMenuOval"))
        return roundButton(chevronDown);
    if (name == QLatin1String("RestoreOval"))
        return roundButton(restoreArrow);
    if (name == QLatin1String("ShortcutDisableOval"))
        return roundButton(minus);
    if (name == QLatin1String("ShortcutEnableOval"))
        return roundButton(check);
    if (name == QLatin1String("MRKOSixGrayDots"))
        return sixDots();
    qCWarning(lcShortcuts) << "shortcutFieldImage: no picture named" << name;
    return QImage();
}

} // namespace inkora
